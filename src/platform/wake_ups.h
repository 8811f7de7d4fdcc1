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
// Kivo's own window coming to the front needs no announcement: its activation wakes the ticks.
class WakeUpSource {
public:
    virtual ~WakeUpSource() = default;
    // Called after a tick that did nothing. Arms the watches (it may open device nodes and
    // enable notifiers) so that the next change that could make a tick do something is
    // announced; true when it will be. Later changes need not be until it is called again. A
    // source that stops watching something wakes its listener.
    virtual bool armForNextChange() = 0;
    // Where wake-ups go from now on, always on the window's thread; nullptr for nowhere.
    void setListener(WakeUpListener* listener) { listener_ = listener; }

protected:
    WakeUpListener* listener() const { return listener_; }
    // Something a tick reads may have changed.
    void wake() const
    {
        if (listener_)
            listener_->wokenUp();
    }

private:
    WakeUpListener* listener_ = nullptr;
};

}  // namespace kivo
