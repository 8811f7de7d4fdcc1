// GoogleTest goes before the X headers, whose macros clash with its names.
#include "x11_fixture.h"

#include "support/key_recorder.h"

#include <poll.h>

#include <chrono>

namespace kivo {
namespace {

using test_support::KeyRecorder;

bool readable(int socket, std::chrono::milliseconds within)
{
    pollfd watched{socket, POLLIN, 0};
    return poll(&watched, 1, static_cast<int>(within.count())) == 1;
}

// Kivo sleeps on the socket: a focus move must make it readable, and handling the events must
// leave it quiet, or Kivo would either miss its window coming to the front or never sleep.
TEST_F(X11Test, AFocusMoveWakesTheSocketAndReadingTheEventsQuietsIt)
{
    openServices();
    KeyRecorder game(displayName());
    // The server may still be telling Kivo about the new window; handle that until it is quiet.
    for (int round = 0; round < 50 && readable(services_->eventSocket(), test_support::kQuietSpan); ++round)
        services_->readEvents();
    services_->readEvents();
    ASSERT_FALSE(services_->eventsWaiting());
    ASSERT_FALSE(readable(services_->eventSocket(), test_support::kQuietSpan));

    game.takeFocus();
    EXPECT_TRUE(readable(services_->eventSocket(), test_support::kWaitDeadline));
    services_->readEvents();
    EXPECT_FALSE(readable(services_->eventSocket(), {}));
    EXPECT_FALSE(services_->eventsWaiting());
    EXPECT_EQ(services_->foreground().current(), game.window());
}

}  // namespace
}  // namespace kivo
