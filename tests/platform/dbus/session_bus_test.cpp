#include "platform/dbus/session_bus.h"

#include "support/silent_socket.h"

#include <gtest/gtest.h>

#include <sys/types.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace kivo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A session bus of the test's own, listening where it is told.
class PrivateBus {
public:
    explicit PrivateBus(const fs::path& socket)
    {
        const std::string command = "dbus-daemon --session --fork --print-pid=1 --address=unix:path=" + socket.string();
        if (std::FILE* daemon = popen(command.c_str(), "r")) {
            if (std::fscanf(daemon, "%d", &pid_) != 1)
                pid_ = 0;
            pclose(daemon);
        }
    }
    ~PrivateBus()
    {
        if (pid_ > 0)
            kill(pid_, SIGTERM);
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool started() const { return pid_ > 0; }

private:
    pid_t pid_ = 0;
};

// The environment variable as it was, put back at the end.
class SavedVariable {
public:
    explicit SavedVariable(const char* name) : name_(name)
    {
        if (const char* value = std::getenv(name))
            value_ = value;
    }
    ~SavedVariable() { value_ ? setenv(name_, value_->c_str(), 1) : unsetenv(name_); }
    SavedVariable(const SavedVariable&) = delete;
    SavedVariable& operator=(const SavedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> value_;
};

enum class Listener { Daemon, Silent, Nobody };
enum class Found { ByAddress, InRuntimeFolder };

struct Row {
    const char* name;
    Listener listener;
    Found found;
    SessionBusAnswer answer;
};

TEST(SessionBus, AnswersSilentOrNoneWhereverLibdbusWouldLook)
{
    const Row rows[] = {
        {"a bus at the address given", Listener::Daemon, Found::ByAddress, SessionBusAnswer::Answers},
        {"the user's bus in the runtime folder", Listener::Daemon, Found::InRuntimeFolder, SessionBusAnswer::Answers},
        {"a hung bus at the address given", Listener::Silent, Found::ByAddress, SessionBusAnswer::Silent},
        {"a hung bus in the runtime folder", Listener::Silent, Found::InRuntimeFolder, SessionBusAnswer::Silent},
        {"an address nobody listens on", Listener::Nobody, Found::ByAddress, SessionBusAnswer::None},
        {"no address and no bus in the runtime folder", Listener::Nobody, Found::InRuntimeFolder,
         SessionBusAnswer::None},
    };
    const fs::path folder = fs::temp_directory_path() / ("kivo-bus-test-" + std::to_string(getpid()));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fs::create_directories(folder);
        const fs::path socket = folder / "bus";
        const SavedVariable address("DBUS_SESSION_BUS_ADDRESS");
        const SavedVariable runtime("XDG_RUNTIME_DIR");
        if (row.found == Found::ByAddress) {
            setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + socket.string()).c_str(), 1);
            unsetenv("XDG_RUNTIME_DIR");
        } else {
            unsetenv("DBUS_SESSION_BUS_ADDRESS");
            setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        }
        std::optional<PrivateBus> daemon;
        std::optional<test_support::SilentSocket> silent;
        if (row.listener == Listener::Daemon) {
            daemon.emplace(socket);
            ASSERT_TRUE(daemon->started()) << "dbus-daemon is missing; scripts/bootstrap.sh installs it";
        } else if (row.listener == Listener::Silent) {
            silent.emplace(socket);
        }
        EXPECT_EQ(askSessionBus(200ms), row.answer);
        daemon.reset();
        silent.reset();
        fs::remove_all(folder);
    }
}

}  // namespace
}  // namespace kivo
