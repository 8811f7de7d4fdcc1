#include "platform/x11/x11_error_guard.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace kivo {
namespace {

// Xlib's error callback carries no context of ours, so the guarded connections are kept here.
struct Guard {
    std::mutex mutex;
    std::vector<Display*> displays;
    XErrorHandler previous = nullptr;
};

Guard& guard()
{
    static Guard instance;
    return instance;
}

int onError(Display* display, XErrorEvent* error)
{
    Guard& g = guard();
    {
        std::lock_guard lock(g.mutex);
        if (std::ranges::find(g.displays, display) != g.displays.end()) {
            return 0;
        }
    }
    return g.previous != nullptr ? g.previous(display, error) : 0;
}

}  // namespace

void guardAgainstErrors(Display* display)
{
    Guard& g = guard();
    static std::once_flag installed;
    std::call_once(installed, [&g] { g.previous = XSetErrorHandler(onError); });
    std::lock_guard lock(g.mutex);
    g.displays.push_back(display);
}

void stopGuarding(Display* display)
{
    Guard& g = guard();
    std::lock_guard lock(g.mutex);
    std::erase(g.displays, display);
}

}  // namespace kivo
