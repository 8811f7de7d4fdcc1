#pragma once

#include "engine/selected_button.h"
#include "platform/input_services.h"
#include "platform/x11/x11_services.h"
#include "window/qt/kivo_window.h"

#include <QApplication>

#include <memory>

namespace kivo {

// Kivo on Linux: the X11 services, the SDL joystick and the Qt window, opened in the order
// start-up needs them. The end-to-end host runs exactly this, with a virtual joystick attached
// between open() and showWindow().
class KivoProgram {
public:
    // Says on standard error why, and returns nullptr, when there is no X display to run on.
    static std::unique_ptr<KivoProgram> open(int& argc, char** argv);
    ~KivoProgram();

    // Builds Form1 (start-up runs here: button count, layout, rest position, captions) and shows it.
    void showWindow();
    WindowHandle windowId() const;
    // The window built by showWindow().
    KivoWindow& window() { return *window_; }
    int run();

private:
    KivoProgram(std::unique_ptr<X11Services> x11, int& argc, char** argv);

    std::unique_ptr<X11Services> x11_;
    std::unique_ptr<Joystick> joystick_;
    QApplication application_;
    SelectedButton selected_;
    std::unique_ptr<KivoWindow> window_;
};

}  // namespace kivo
