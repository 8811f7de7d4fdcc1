#include "event_loop_round.h"
#include "platform/sdl/device_watch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace kivo {
namespace {

class DrainedDescriptorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(pipe2(ends, O_NONBLOCK | O_CLOEXEC), 0);
        watched.watch(ends[0]);
    }
    void TearDown() override
    {
        if (ends[1] >= 0)
            close(ends[1]);
    }

    void runEventLoop()
    {
        for (int round = 0; round < 5; ++round)
            changes += eventLoopRound(watched);
    }

    int ends[2] = {-1, -1};
    int changes = 0;
    DrainedDescriptor watched;
};

TEST_F(DrainedDescriptorTest, EverythingWrittenIsReadAndAnnouncedOnce)
{
    runEventLoop();
    EXPECT_EQ(changes, 0);

    ASSERT_EQ(write(ends[1], "abc", 3), 3);
    ASSERT_EQ(write(ends[1], "de", 2), 2);
    runEventLoop();
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(watched.open());
    char left = 0;
    EXPECT_EQ(read(ends[0], &left, 1), -1) << "the data was left unread, so the loop would spin";
}

TEST_F(DrainedDescriptorTest, AnEndedDescriptorIsAnnouncedThenClosedSoItCannotSpin)
{
    close(ends[1]);
    ends[1] = -1;
    runEventLoop();
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(watched.open());
}

// A change that arrives between a tick's read and the pause ending is one the ticks may not
// have seen: resuming must say so rather than swallow it, or Kivo would sleep through it.
TEST_F(DrainedDescriptorTest, APausedDescriptorAnnouncesNothingAndResumingSaysWhatCameMeanwhile)
{
    watched.pause();
    ASSERT_EQ(write(ends[1], "abc", 3), 3);
    runEventLoop();
    EXPECT_EQ(changes, 0);

    EXPECT_FALSE(watched.resume());
    EXPECT_TRUE(watched.open());
    ASSERT_EQ(write(ends[1], "!", 1), 1);
    runEventLoop();
    EXPECT_EQ(changes, 0) << "the ticks run on and read it themselves: a noisy device must not wake them too";
    watched.resume();
    EXPECT_TRUE(watched.resume()) << "nothing new since";
    runEventLoop();
    EXPECT_EQ(changes, 0);
    ASSERT_EQ(write(ends[1], "d", 1), 1);
    runEventLoop();
    EXPECT_EQ(changes, 1);

    watched.pause();
    close(ends[1]);
    ends[1] = -1;
    EXPECT_FALSE(watched.resume()) << "an ended descriptor cannot announce anything";
    EXPECT_FALSE(watched.open());
}

}  // namespace
}  // namespace kivo
