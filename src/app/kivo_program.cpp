#include "app/kivo_program.h"

#include "platform/sdl/sdl_joystick.h"
#include "settings/captions.h"

#include <sys/prctl.h>
#include <cstdio>
#include <cstdlib>

namespace kivo {

std::unique_ptr<KivoProgram> KivoProgram::open(int& argc, char** argv)
{
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        std::fputs("kivo: no X display (DISPLAY is not set); Kivo needs an X11 session or XWayland\n", stderr);
        return nullptr;
    }
    auto x11 = openX11Services(display);
    if (!x11)
        return nullptr;
    // Kivo compares its own X window with the one holding the input focus, so its window must
    // be an X window even in a Wayland session.
    qputenv("QT_QPA_PLATFORM", "xcb");
    return std::unique_ptr<KivoProgram>(new KivoProgram(std::move(x11), argc, argv));
}

KivoProgram::KivoProgram(std::unique_ptr<X11Services> x11, int& argc, char** argv)
    : x11_(std::move(x11)), joystick_(makeSdlJoystick()), application_(argc, argv)
{
    QApplication::setApplicationName("Kivo");
    QApplication::setApplicationVersion("1.0");
    QApplication::setDesktopFileName("kivo");
    // Timer1 is due every millisecond; the kernel's default 50 µs of timer slack would make
    // every tick, and so every key, that much later.
    prctl(PR_SET_TIMERSLACK, 1UL);
}

KivoProgram::~KivoProgram() = default;

void KivoProgram::showWindow()
{
    const InputServices services{*joystick_, x11_->keyboard(), x11_->foreground(), x11_->sender()};
    window_ = std::make_unique<KivoWindow>(services, selected_, defaultSettingsLocation());
    window_->show();
}

WindowHandle KivoProgram::windowId() const
{
    return window_ ? window_->windowId() : 0;
}

int KivoProgram::run()
{
    return QApplication::exec();
}

}  // namespace kivo
