#pragma once

#include <windows.h>

namespace kivo {

// One Kivo per user: two would type every key twice and overwrite each other's settings.
// Holds a named mutex for the life of the program.
class SingleInstance {
public:
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool alreadyRunning() const { return alreadyRunning_; }
    // Brings the window of the Kivo that runs already to the front.
    static void activateRunning();

private:
    HANDLE mutex_;
    bool alreadyRunning_;
};

}  // namespace kivo
