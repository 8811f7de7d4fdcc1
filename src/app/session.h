#pragma once

#include "app/edge.h"
#include "app/single_instance.h"
#include "engine/selected_button.h"
#include "settings/location.h"
#include "window/window_logic.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace kivo {

// Where problems with the settings file at start-up go besides standard error.
enum class StartUpProblems { OnStandardError, InABoxToo };

// A running Kivo, put together the same way on every platform: the toolkit's Form1 and the window
// logic over the edge's input services. Start-up (button count, layout, rest position, captions)
// runs here, before the window is first shown; the platform's program runs the event loop.
template <class Form>
class Session {
public:
    Session(Edge<Form>& edge, SettingsLocation settings, StartUpProblems problems = StartUpProblems::OnStandardError,
            std::optional<bool> holdKeys = std::nullopt)
        : edge_(edge), logic_(form_, edge.services(), selected_, std::move(settings))
    {
        if (problems == StartUpProblems::InABoxToo)
            logic_.showStartUpProblems();
        if (holdKeys)
            logic_.holdKeysForThisRun(*holdKeys);
        logic_.load();
    }

    // Shows the window, which sleeps between the edge's wake-ups where it has them, and brings it
    // to the front whenever a later start with the same settings file asks.
    void show(SingleInstance& instance)
    {
        hook_ = edge_.showWindow(form_, logic_);
        if (WakeUpSource* wakeUps = edge_.wakeUps())
            logic_.sleepBetweenWakeUps(*wakeUps);
        instance.listen([this](const LaunchTokens& tokens, SingleInstance::Answer answer) {
            edge_.comeToFront(form_, tokens, std::move(answer));
        });
    }

    Form& form() { return form_; }

private:
    Edge<Form>& edge_;
    SelectedButton selected_;
    // Declared before the logic, so that the logic goes before the window it talks to, and the
    // edge's hook before both.
    Form form_;
    WindowLogic logic_;
    std::unique_ptr<WindowHook> hook_;
};

}  // namespace kivo
