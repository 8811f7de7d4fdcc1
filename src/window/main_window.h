#pragma once

#include "engine/poll_engine.h"
#include "engine/selected_button.h"
#include "platform/input_services.h"
#include "settings/captions.h"
#include "window/toolkit.h"

namespace kivo {

// Form1's behaviour, whatever toolkit draws it: start-up, the poll timer, Quit, Clear and
// closing. Holds the engine for the life of the window.
class MainWindow final : public WindowEvents {
public:
    MainWindow(Toolkit& form, InputServices services, SelectedButton& selected, SettingsLocation settings);

    // Start-up; runs before the window is first shown.
    void load();

    void activated() override;
    void timerTicked() override;
    void quitClicked() override;
    void clearClicked() override;
    void closed() override;

    std::int32_t buttonCount() const { return engine_.buttonCount(); }

private:
    void storeCaptions();

    Toolkit& form_;
    PollEngine engine_;
    SettingsLocation settings_;
};

}  // namespace kivo
