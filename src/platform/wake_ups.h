#pragma once

namespace kivo {

// Hears that something a tick reads may have changed.
class WakeUpListener {
public:
    virtual ~WakeUpListener() = default;
    virtual void wokenUp() = 0;
};

// Announces changes to what a tick reads (the joystick, the window in front), so that ticks
// can stop while nothing moves. A platform without such announcements has none, and polls.
class WakeUpSource {
public:
    virtual ~WakeUpSource() = default;
    // Asked after a tick that did nothing: true when the next change that could make a tick do
    // something will be announced; later ones need not be until it is asked again. A source that
    // stops watching something wakes its listener.
    virtual bool watchesEverything() = 0;
    // Where wake-ups go from now on, always on the window's thread; nullptr for nowhere.
    virtual void setListener(WakeUpListener* listener) = 0;
};

}  // namespace kivo
