#pragma once

#include "platform/wake_ups.h"

namespace kivo::fakes {

// A wake-up source the test steers: whether it watches everything, and when it wakes.
class FakeWakeUps final : public WakeUpSource {
public:
    bool watching = true;
    WakeUpListener* listener = nullptr;

    bool armForNextChange() override { return watching; }
    void setListener(WakeUpListener* newListener) override { listener = newListener; }

    void wake()
    {
        if (listener)
            listener->wokenUp();
    }
};

}  // namespace kivo::fakes
