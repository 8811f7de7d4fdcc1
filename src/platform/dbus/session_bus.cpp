#include "platform/dbus/session_bus.h"

#include "platform/messages.h"

#include <dbus/dbus.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace kivo {
namespace {

constexpr const char* kAddressVariable = "DBUS_SESSION_BUS_ADDRESS";

// Where libdbus looks: the address given, or else the user's bus in the runtime folder. Without
// either it would launch a bus of its own, which cannot hang.
std::optional<std::string> sessionBusAddress()
{
    if (const char* address = std::getenv(kAddressVariable); address != nullptr && *address != '\0')
        return address;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0')
        return std::nullopt;
    const std::filesystem::path bus = std::filesystem::path(runtime) / "bus";
    std::error_code error;
    if (!std::filesystem::is_socket(bus, error))
        return std::nullopt;
    return "unix:path=" + bus.string();
}

struct ErrorFree {
    void operator()(DBusError* error) const { dbus_error_free(error); }
};
struct ConnectionClose {
    void operator()(DBusConnection* connection) const
    {
        dbus_connection_close(connection);
        dbus_connection_unref(connection);
    }
};
struct MessageUnref {
    void operator()(DBusMessage* message) const { dbus_message_unref(message); }
};
struct PendingCallUnref {
    void operator()(DBusPendingCall* call) const { dbus_pending_call_unref(call); }
};

}  // namespace

SessionBusAnswer askSessionBus(std::chrono::milliseconds patience)
{
    // The patience covers the whole probe, the connection's handshake included.
    const auto deadline = std::chrono::steady_clock::now() + patience;
    const std::optional<std::string> address = sessionBusAddress();
    if (!address)
        return SessionBusAnswer::None;
    DBusError error;
    dbus_error_init(&error);
    const std::unique_ptr<DBusError, ErrorFree> freed(&error);
    const std::unique_ptr<DBusConnection, ConnectionClose> connection(
        dbus_connection_open_private(address->c_str(), &error));
    if (!connection)
        return SessionBusAnswer::None;
    // Hello is the first thing every client of a bus says; the bus answers it with the client's name.
    const std::unique_ptr<DBusMessage, MessageUnref> hello(
        dbus_message_new_method_call(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, "Hello"));
    DBusPendingCall* call = nullptr;
    if (!dbus_connection_send_with_reply(connection.get(), hello.get(), &call, DBUS_TIMEOUT_INFINITE) ||
        call == nullptr)
        return SessionBusAnswer::None;
    const std::unique_ptr<DBusPendingCall, PendingCallUnref> pending(call);
    // libdbus's own blocking calls wait for the bus to take part in the handshake without a
    // deadline, so the waiting is done here, one step at a time.
    while (!dbus_pending_call_get_completed(call)) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return SessionBusAnswer::Silent;
        if (!dbus_connection_read_write_dispatch(connection.get(), static_cast<int>(left.count())))
            return SessionBusAnswer::None;
    }
    const std::unique_ptr<DBusMessage, MessageUnref> reply(dbus_pending_call_steal_reply(call));
    return reply && dbus_message_get_type(reply.get()) == DBUS_MESSAGE_TYPE_METHOD_RETURN ? SessionBusAnswer::Answers
                                                                                          : SessionBusAnswer::None;
}

void shutOutASlowSessionBus()
{
    // The start waits on the bus three times, here and as SDL and Qt each connect, so a bus
    // that takes longer than a third of the start's patience holds the window back longer than
    // that. A bus that is merely busy answers Hello in well under a second.
    constexpr std::chrono::seconds kStartPatience{3};
    constexpr int kWaitsAtStart = 3;
    constexpr auto kPatience = kStartPatience / kWaitsAtStart;
    if (askSessionBus(kPatience) != SessionBusAnswer::Silent)
        return;
    // An address libdbus cannot use: everyone who asks for the session bus is told so at once.
    setenv(kAddressVariable, "disabled:", 1);
    reportProblem("the session bus did not answer within " + std::to_string(kPatience.count()) +
                  " s; Kivo goes on without it, so the desktop shows none of its notifications");
}

}  // namespace kivo
