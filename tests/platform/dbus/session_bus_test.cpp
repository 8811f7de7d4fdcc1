#include "platform/dbus/session_bus.h"

#include "support/private_session_bus.h"
#include "support/silent_socket.h"
#include "support/waits.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <utility>

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
        // A bus that answers is not waited out, so only the silent rows keep the patience short.
        const auto patience = row.answer == SessionBusAnswer::Silent ? 200ms : test_support::kWaitDeadline;
        EXPECT_EQ(askSessionBus(patience), row.answer);
        daemon.reset();
        silent.reset();
        fs::remove_all(folder);
    }
}

// A session bus that takes each connection on to a real bus only after a delay, as a loaded one
// answers: one connection at a time, relayed byte for byte.
class SlowSessionBus {
public:
    SlowSessionBus(const fs::path& socket, fs::path bus, std::chrono::milliseconds delay)
        : bus_(std::move(bus)), delay_(delay)
    {
        const sockaddr_un address = addressOf(socket);
        if (::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener_, 4) != 0)
            throw std::runtime_error("SlowSessionBus: " + socket.string());
        relay_ = std::thread([this] { relayEach(); });
    }
    ~SlowSessionBus()
    {
        stop_ = true;
        ::shutdown(listener_, SHUT_RDWR);
        relay_.join();
        ::close(listener_);
    }
    SlowSessionBus(const SlowSessionBus&) = delete;
    SlowSessionBus& operator=(const SlowSessionBus&) = delete;

private:
    static sockaddr_un addressOf(const fs::path& path)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.string().copy(address.sun_path, sizeof address.sun_path - 1);
        return address;
    }
    void relayEach()
    {
        for (int client; (client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0; ::close(client)) {
            std::this_thread::sleep_for(delay_);
            const int bus = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const sockaddr_un address = addressOf(bus_);
            if (::connect(bus, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
                relay(client, bus);
            ::close(bus);
        }
    }
    void relay(int client, int bus) const
    {
        pollfd ends[2] = {{client, POLLIN, 0}, {bus, POLLIN, 0}};
        char bytes[4096];
        while (!stop_ && ::poll(ends, 2, 50) >= 0) {
            for (int from = 0; from < 2; ++from) {
                if (ends[from].revents == 0)
                    continue;
                const ssize_t n = ::read(ends[from].fd, bytes, sizeof bytes);
                if (n <= 0 || ::write(ends[1 - from].fd, bytes, static_cast<std::size_t>(n)) != n)
                    return;
            }
        }
    }

    fs::path bus_;
    std::chrono::milliseconds delay_;
    int listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    std::atomic<bool> stop_ = false;
    std::thread relay_;
};

// The start waits on the bus three times (here, then as SDL and Qt connect), so a bus that
// answers each connection late holds the window back three times as long: one that answers later
// than a third of the start's patience is shut out, one that answers at once is kept.
TEST(SessionBus, OneTooSlowForTheWholeStartIsShutOut)
{
    for (const auto& [delay, shutOut] : {std::pair{0ms, false}, std::pair{1500ms, true}}) {
        // A folder for each row, as above; the bus may still be removing its socket as it goes.
        const fs::path folder = fs::temp_directory_path() /
                                ("kivo-slow-bus-" + std::to_string(getpid()) + "-" + std::to_string(delay.count()));
        fs::create_directories(folder);
        {
            const test_support::PrivateSessionBus daemon(folder / "bus");
            ASSERT_TRUE(daemon.started());
            const SlowSessionBus slow(folder / "slow", folder / "bus", delay);
            const std::string address = "unix:path=" + (folder / "slow").string();
            setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
            shutOutASlowSessionBus();
            EXPECT_EQ(std::getenv("DBUS_SESSION_BUS_ADDRESS"), shutOut ? "disabled:" : address) << delay.count();
        }
        EXPECT_TRUE(test_support::waitFor([&] {
            std::error_code error;
            fs::remove_all(folder, error);
            return !fs::exists(folder);
        }));
    }
}

}  // namespace
}  // namespace kivo
