#include "platform/dbus/session_bus.h"

#include "support/private_session_bus.h"
#include "support/silent_socket.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace kivo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

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
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        // A folder for each row, so that no bus ending late takes the next one's socket with it.
        const fs::path folder = fs::temp_directory_path() /
                                ("kivo-bus-test-" + std::to_string(getpid()) + "-" + std::to_string(&row - rows));
        fs::create_directories(folder);
        const fs::path socket = folder / "bus";
        if (row.found == Found::ByAddress) {
            setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + socket.string()).c_str(), 1);
            unsetenv("XDG_RUNTIME_DIR");
        } else {
            unsetenv("DBUS_SESSION_BUS_ADDRESS");
            setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        }
        std::optional<test_support::PrivateSessionBus> daemon;
        std::optional<test_support::SilentSocket> silent;
        if (row.listener == Listener::Daemon) {
            daemon.emplace(socket);
            ASSERT_TRUE(daemon->started()) << "dbus-daemon is missing; scripts/bootstrap.sh installs it";
        } else if (row.listener == Listener::Silent) {
            silent.emplace(socket);
        }
        // The patience Kivo is given, short: a hung bus makes its row wait all of it.
        EXPECT_EQ(askSessionBus(200ms), row.answer);
        daemon.reset();
        silent.reset();
        fs::remove_all(folder);
    }
}

}  // namespace
}  // namespace kivo
