// The game in the virtual machine's scenarios: an X client with a window named
// "kivo-test-receiver" that takes the focus and prints every key press it receives as
// "press KEYSYM MILLISECONDS" (the wall clock, so scripts can time keys against their commands).
#include "support/key_recorder.h"
#include "support/waits.h"

#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main()
{
    const char* display = std::getenv("DISPLAY");
    kivo::test_support::KeyRecorder recorder(display != nullptr ? display : "");
    XStoreName(recorder.display(), recorder.window(), "kivo-test-receiver");
    recorder.takeFocus();
    for (std::size_t printed = 0;;) {
        const auto& keys = recorder.waitForKeys(printed + 1, kivo::test_support::kWaitDeadline);
        const auto now =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch());
        for (; printed < keys.size(); ++printed) {
            const char* name = XKeysymToString(keys[printed].keysym);
            if (keys[printed].pressed)
                std::printf("press %s %lld\n", name != nullptr ? name : "NoSymbol",
                            static_cast<long long>(now.count()));
        }
        std::fflush(stdout);
    }
}
