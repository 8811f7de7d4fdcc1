#pragma once

#include "engine/selected_button.h"
#include "platform/input_services.h"
#include "platform/wake_ups.h"
#include "settings/location.h"
#include "window/window_logic.h"

#include <utility>

namespace kivo {

// Where problems with the settings file at start-up go besides standard error.
enum class StartUpProblems { OnStandardError, InABoxToo };

// A running Kivo, put together the same way on every platform: the toolkit's Form1, the window
// logic over it and the input services, sleeping between wake-ups where the platform has them.
// Start-up (button count, layout, rest position, captions) runs here, before the window is
// first shown; the platform's program shows it and runs the event loop.
template <class Form>
class Session {
public:
    Session(const InputServices& services, SettingsLocation settings, WakeUpSource* wakeUps = nullptr,
            StartUpProblems problems = StartUpProblems::OnStandardError)
        : logic_(form_, services, selected_, std::move(settings))
    {
        if (wakeUps)
            logic_.sleepBetweenWakeUps(*wakeUps);
        if (problems == StartUpProblems::InABoxToo)
            logic_.showStartUpProblems();
        logic_.load();
    }

    Form& form() { return form_; }
    WindowLogic& logic() { return logic_; }

private:
    SelectedButton selected_;
    // Declared before the logic, so that the logic goes before the window it talks to.
    Form form_;
    WindowLogic logic_;
};

}  // namespace kivo
