#pragma once

#include "platform/wake_ups.h"

namespace kivo::fakes {

// A wake-up source the test steers: whether it watches everything, and when it wakes.
class FakeWakeUps final : public WakeUpSource {
public:
    bool watching = true;

    bool armForNextChange() override { return watching; }
    using WakeUpSource::listener;
    using WakeUpSource::wake;
};

}  // namespace kivo::fakes
