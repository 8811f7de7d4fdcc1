// The least a key typed on a wake-up can take on this machine: sleeps in poll on its standard
// input, as Kivo's event loop sleeps on the joystick's descriptor, and for each line that
// arrives types F5 through XTest, doing nothing else. kivo_e2e_measure times it beside Kivo.
// Usage: kivo_latency_floor DISPLAY
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>
#include <cstdio>

int main(int argc, char** argv)
{
    Display* display = XOpenDisplay(argc > 1 ? argv[1] : nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "kivo_latency_floor: cannot open the X display\n");
        return 1;
    }
    // The timer slack Kivo runs with.
    prctl(PR_SET_TIMERSLACK, 1UL);
    const KeyCode f5 = XKeysymToKeycode(display, XK_F5);
    pollfd input{STDIN_FILENO, POLLIN, 0};
    char chunk[256];
    while (poll(&input, 1, -1) > 0 && read(STDIN_FILENO, chunk, sizeof chunk) > 0) {
        XTestFakeKeyEvent(display, f5, True, CurrentTime);
        XTestFakeKeyEvent(display, f5, False, CurrentTime);
        XFlush(display);
    }
    XCloseDisplay(display);
    return 0;
}
