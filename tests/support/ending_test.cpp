#include "support/ending.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>

namespace kivo::test_support {
namespace {

struct EndingCase {
    const char* what;
    bool ignoresTerm;
    // How long SIGTERM is given before SIGKILL; short on purpose, so that a process that ignores
    // it is shown killed without waiting out the whole deadline.
    std::chrono::milliseconds grace;
    int endedBy;
};

TEST(EndProcess, EndsEveryProcessWithinTheDeadlineKillingOneThatIgnoresSigterm)
{
    const EndingCase cases[] = {
        {"a process that ends on SIGTERM", false, kWaitDeadline, SIGTERM},
        {"a process that ignores SIGTERM", true, kAskingPace, SIGKILL},
    };
    for (const EndingCase& c : cases) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (c.ignoresTerm)
                signal(SIGTERM, SIG_IGN);
            [[maybe_unused]] const ssize_t said = write(ready[1], "!", 1);
            for (;;)
                pause();
        }
        close(ready[1]);
        pollfd started{ready[0], POLLIN, 0};
        ASSERT_TRUE(waitFor([&] { return poll(&started, 1, 0) > 0; })) << c.what;
        close(ready[0]);

        const auto begun = std::chrono::steady_clock::now();
        const int status = endProcess(child, SIGTERM, c.grace);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.endedBy) << c.what;
        EXPECT_LT(std::chrono::steady_clock::now() - begun, kWaitDeadline) << c.what;
    }
}

}  // namespace
}  // namespace kivo::test_support
