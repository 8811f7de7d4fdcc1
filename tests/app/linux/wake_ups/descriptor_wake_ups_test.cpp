#include "app/linux/wake_ups/descriptor_wake_ups.h"

#include <QCoreApplication>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

namespace kivo {
namespace {

// Hands up the read end of one of two pipes, or none; reads nothing, so what was written stays
// readable, and only the binding decides whether the loop wakes for it again.
class PipeWatch final : public DescriptorWatch {
public:
    PipeWatch()
    {
        for (int* ends : pipes)
            pipe2(ends, O_NONBLOCK | O_CLOEXEC);
    }
    ~PipeWatch() override
    {
        for (int* ends : pipes) {
            close(ends[0]);
            close(ends[1]);
        }
    }
    std::vector<int> descriptors() const override
    {
        if (handedUp < 0)
            return {};
        return {pipes[handedUp][0]};
    }
    bool happened(int descriptor) override
    {
        heard.push_back(descriptor);
        handedUp = -1;
        return true;
    }

    int pipes[2][2] = {};
    int handedUp = 0;
    std::vector<int> heard;
};

// A descriptor the watch stopped handing up, paused or closed, must not wake the loop again: a
// closed one would spin it.
TEST(DescriptorWakeUps, WakesOnlyForWhatTheWatchHandsUpNow)
{
    PipeWatch watch;
    int announced = 0;
    DescriptorWakeUps wakeUps(watch, [&announced] { ++announced; });
    ASSERT_EQ(write(watch.pipes[0][1], "a", 1), 1);
    ASSERT_EQ(write(watch.pipes[1][1], "b", 1), 1);
    for (int round = 0; round < 5; ++round)
        QCoreApplication::processEvents();
    EXPECT_EQ(watch.heard, std::vector<int>{watch.pipes[0][0]});
    EXPECT_EQ(announced, 1);

    watch.handedUp = 1;
    wakeUps.rebind();
    for (int round = 0; round < 5; ++round)
        QCoreApplication::processEvents();
    EXPECT_EQ(watch.heard, (std::vector<int>{watch.pipes[0][0], watch.pipes[1][0]}))
        << "the new descriptor, not the old";
    EXPECT_EQ(announced, 2);
}

}  // namespace
}  // namespace kivo
