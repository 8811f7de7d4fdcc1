#include "support/key_recorder.h"

#include "support/waits.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>

#include <poll.h>
#include <algorithm>
#include <stdexcept>

namespace kivo::test_support {

using Clock = std::chrono::steady_clock;

KeyRecorder::KeyRecorder(const std::string& displayName) : display_(XOpenDisplay(displayName.c_str()))
{
    if (display_ == nullptr) {
        throw std::runtime_error("KeyRecorder: cannot open display " + displayName);
    }
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 200, 100, 0, 0, 0);
    XSelectInput(display_, window_, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
    // Kivo types characters the layout lacks through keycodes it maps on the fly; like a
    // careful XKB client, the recorder follows mapping changes to look them up.
    int opcode = 0;
    int errorBase = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    XkbQueryExtension(display_, &opcode, &xkbEventBase_, &errorBase, &major, &minor);
    XkbSelectEventDetails(display_, XkbUseCoreKbd, XkbMapNotify, XkbAllClientInfoMask, XkbAllClientInfoMask);
    XMapWindow(display_, window_);
    // Focus can be given only to a viewable window.
    XEvent event;
    do {
        XWindowEvent(display_, window_, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
}

KeyRecorder::~KeyRecorder()
{
    XCloseDisplay(display_);
}

void KeyRecorder::takeFocus()
{
    XSetInputFocus(display_, window_, RevertToPointerRoot, CurrentTime);
    XSync(display_, False);
}

bool KeyRecorder::giveFocusTo(Window window)
{
    const bool viewable = waitFor([&] {
        XWindowAttributes attributes{};
        return XGetWindowAttributes(display_, window, &attributes) != 0 && attributes.map_state == IsViewable;
    });
    if (viewable) {
        XSetInputFocus(display_, window, RevertToPointerRoot, CurrentTime);
        XSync(display_, False);
    }
    return viewable;
}

const std::vector<RecordedKey>& KeyRecorder::waitForKeys(std::size_t count, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    readAvailable();
    while (keys_.size() < count && Clock::now() < deadline) {
        pollfd readable{ConnectionNumber(display_), POLLIN, 0};
        poll(&readable, 1, 10);
        readAvailable();
    }
    return keys_;
}

const std::vector<RecordedKey>& KeyRecorder::waitUntil(
    const std::function<bool(const std::vector<RecordedKey>&)>& enough)
{
    waitFor([&] {
        waitForKeys(keys_.size() + 1, kAskingPace);
        return enough(keys_);
    });
    return keys_;
}

const std::vector<RecordedKey>& KeyRecorder::settle()
{
    return waitForKeys(static_cast<std::size_t>(-1), kQuietSpan);
}

bool KeyRecorder::waitUntilQuiet()
{
    return waitFor([this] {
        const std::size_t before = keys_.size();
        return settle().size() == before;
    });
}

bool KeyRecorder::anyKeyDown() const
{
    char down[32];
    XQueryKeymap(display_, down);
    return std::ranges::any_of(down, [](char byte) { return byte != 0; });
}

void KeyRecorder::readAvailable()
{
    while (XEventsQueued(display_, QueuedAfterReading) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == xkbEventBase_) {
            auto& xkb = reinterpret_cast<XkbEvent&>(event);
            if (xkb.any.xkb_type == XkbMapNotify) {
                XkbRefreshKeyboardMapping(&xkb.map);
            }
        } else if (event.type == MappingNotify) {
            XRefreshKeyboardMapping(&event.xmapping);
        } else if (event.type == KeyPress || event.type == KeyRelease) {
            KeySym keysym = NoSymbol;
            char text[8];
            XLookupString(&event.xkey, text, sizeof text, &keysym, nullptr);
            keys_.push_back(
                {event.type == KeyPress, static_cast<KeyCode>(event.xkey.keycode), keysym, event.xkey.state});
        }
    }
}

std::size_t pressesOf(const std::vector<RecordedKey>& keys, KeySym keysym)
{
    return static_cast<std::size_t>(std::ranges::count(typedKeysyms(keys), keysym));
}

std::function<bool(const std::vector<RecordedKey>&)> pressed(KeySym keysym, std::size_t count)
{
    return [=](const std::vector<RecordedKey>& keys) { return pressesOf(keys, keysym) >= count; };
}

std::vector<KeySym> typedKeysyms(const std::vector<RecordedKey>& keys)
{
    std::vector<KeySym> typed;
    for (const RecordedKey& key : keys) {
        if (key.pressed && !IsModifierKey(key.keysym)) {
            typed.push_back(key.keysym);
        }
    }
    return typed;
}

bool everyPressReleased(const std::vector<RecordedKey>& keys)
{
    for (auto key = keys.begin(); key != keys.end(); ++key) {
        const KeyCode keycode = key->keycode;
        if (key->pressed && std::find_if(key + 1, keys.end(), [keycode](const RecordedKey& later) {
                                return !later.pressed && later.keycode == keycode;
                            }) == keys.end()) {
            return false;
        }
    }
    return true;
}

}  // namespace kivo::test_support
