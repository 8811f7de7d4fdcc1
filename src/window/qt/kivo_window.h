#pragma once

#include "engine/selected_button.h"
#include "platform/input_services.h"
#include "settings/captions.h"
#include "window/main_window.h"
#include "window/qt/form1.h"
#include "window/qt/termination_signals.h"

#include <memory>

namespace kivo {

// Form1 and its behaviour, for a running QApplication. Start-up runs in the constructor, so
// the window is complete before it is first shown. The close box, the window manager, the end
// of the session and SIGTERM, SIGHUP or SIGINT all close it the same way: captions saved,
// event loop left with 0.
class KivoWindow {
public:
    KivoWindow(InputServices services, SelectedButton& selected, SettingsLocation settings);
    ~KivoWindow();
    KivoWindow(const KivoWindow&) = delete;
    KivoWindow& operator=(const KivoWindow&) = delete;

    void show();
    // The native window id (the X window id under X11), the one the engine compares with the
    // foreground window.
    WindowHandle windowId() const { return form_->nativeHandle(); }

    Form1& form() { return *form_; }

private:
    void closeWithSession();

    std::unique_ptr<Form1> form_;
    MainWindow logic_;
    TerminationSignals signals_;
};

}  // namespace kivo
