#include "app/linux/edge_choice.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace kivo {
namespace {

constexpr char kUinput[] = "/dev/uinput";

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

std::string writingProblem(const char* node)
{
    const int descriptor = ::open(node, O_WRONLY | O_CLOEXEC);
    if (descriptor < 0)
        return std::strerror(errno);
    ::close(descriptor);
    return {};
}

SessionFacts currentSessionFacts()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    // Qt takes a list of platforms to try in turn; only the first one counts as asked for.
    const bool x11Forced = platform != nullptr && std::string_view(platform).starts_with("xcb");
    const bool wayland = isSet("WAYLAND_DISPLAY");
    return {wayland, x11Forced, wayland && !x11Forced ? writingProblem(kUinput) : std::string(), isSet("DISPLAY")};
}

EdgeChoice chooseEdge(const SessionFacts& facts)
{
    if (!facts.waylandSession && !facts.x11Display)
        return {false,
                "No keys can be typed here: there is no graphical session (neither WAYLAND_DISPLAY nor DISPLAY "
                "is set). Kivo types through XTest in an X11 session and through a uinput keyboard in a Wayland "
                "one.",
                {}};
    if (!facts.waylandSession)
        return {false, "Keys are typed through XTest into the window in front: this is an X11 session.", {}};
    if (facts.x11Forced)
        return {false,
                "Keys are typed through XTest into X11 programs only: QT_QPA_PLATFORM asks for xcb, "
                "so Kivo runs on XWayland.",
                {}};
    if (facts.uinputProblem.empty())
        return {true,
                "Keys are typed through a uinput keyboard into every window, Wayland's and X11's: this is a "
                "Wayland session and /dev/uinput can be opened for writing.",
                {}};
    const std::string cannot = std::string(kUinput) + " cannot be opened for writing (" + facts.uinputProblem + ")";
    return {false,
            "Keys are typed through XTest into X11 programs only, on XWayland: " + cannot +
                "; the udev rule 70-kivo-uinput.rules lets the user at the seat open it.",
            "keys reach X11 programs only: " + cannot +
                "; install the udev rule 70-kivo-uinput.rules (see the README) to type into every window"};
}

}  // namespace kivo
