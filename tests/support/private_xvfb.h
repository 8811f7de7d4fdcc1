#pragma once

#include <sys/types.h>
#include <string>

namespace kivo::test_support {

// An Xvfb server of the test's own on a free display number, stopped when this goes away.
// Throws std::runtime_error when the server cannot be started.
class PrivateXvfb {
public:
    PrivateXvfb();
    ~PrivateXvfb();
    PrivateXvfb(const PrivateXvfb&) = delete;
    PrivateXvfb& operator=(const PrivateXvfb&) = delete;

    // ":N", for XOpenDisplay or the DISPLAY variable.
    const std::string& displayName() const { return displayName_; }
    // The server's process, for measuring what it spends.
    pid_t pid() const { return pid_; }

private:
    void stop();

    pid_t pid_ = -1;
    std::string displayName_;
};

}  // namespace kivo::test_support
