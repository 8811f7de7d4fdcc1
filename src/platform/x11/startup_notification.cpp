#include "platform/x11/startup_notification.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace kivo {
namespace {

// A startup-notification message travels in pieces of this many bytes.
constexpr std::size_t kPieceSize = 20;
// _NET_ACTIVE_WINDOW's source indication for a request from an application.
constexpr std::uint32_t kFromApplication = 1;

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// Launchers end the id with "_TIME" and the X server time of the click that started it.
std::optional<xcb_timestamp_t> launchTime(const std::string& startupId)
{
    const std::size_t at = startupId.rfind("_TIME");
    if (at == std::string::npos)
        return std::nullopt;
    const char* digits = startupId.data() + at + std::strlen("_TIME");
    xcb_timestamp_t time = 0;
    const auto [end, error] = std::from_chars(digits, startupId.data() + startupId.size(), time);
    if (error != std::errc() || end == digits)
        return std::nullopt;
    return time;
}

// "remove: ID=..." ends the launch; a value is escaped as the protocol quotes it.
std::string removal(const std::string& startupId)
{
    std::string message = "remove: ID=";
    for (const char c : startupId) {
        if (c == '"' || c == '\\')
            message += '\\';
        message += c;
    }
    return message;
}

void sendToRoot(xcb_connection_t* connection, xcb_window_t root, const xcb_client_message_event_t& event,
                std::uint32_t mask)
{
    xcb_send_event(connection, 0, root, mask, reinterpret_cast<const char*>(&event));
}

void endLaunch(xcb_connection_t* connection, xcb_window_t root, const std::string& startupId)
{
    const std::string message = removal(startupId);
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 8;
    event.window = root;
    event.type = atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t continued = atom(connection, "_NET_STARTUP_INFO");
    // With its terminating NUL, as the receivers look for it.
    const std::size_t length = message.size() + 1;
    for (std::size_t sent = 0; sent < length; sent += kPieceSize) {
        std::fill(std::begin(event.data.data8), std::end(event.data.data8), 0);
        std::memcpy(event.data.data8, message.c_str() + sent, std::min(kPieceSize, length - sent));
        sendToRoot(connection, root, event, XCB_EVENT_MASK_PROPERTY_CHANGE);
        event.type = continued;
    }
}

}  // namespace

void activateForStartup(xcb_connection_t* connection, xcb_window_t window, const std::string& startupId)
{
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    if (const std::optional<xcb_timestamp_t> time = launchTime(startupId)) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = atom(connection, "_NET_ACTIVE_WINDOW");
        event.data.data32[0] = kFromApplication;
        event.data.data32[1] = *time;
        sendToRoot(connection, root, event, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT);
    }
    endLaunch(connection, root, startupId);
    xcb_flush(connection);
}

}  // namespace kivo
