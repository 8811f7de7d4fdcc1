#pragma once

#include "engine/poll_engine.h"
#include "engine/selected_button.h"
#include "platform/input_services.h"
#include "platform/wake_ups.h"
#include "settings/captions.h"
#include "settings/location.h"
#include "settings/result.h"
#include "window/toolkit.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string_view>

namespace kivo {

// The main window's behaviour, whatever toolkit draws it: start-up, the poll timer, Quit, Clear and
// closing. Holds the engine for the life of the window. Events reach it only between the
// end of start-up and the end of the window: nothing happens after the captions are saved.
class WindowLogic final : public WindowEvents, private WakeUpListener {
public:
    WindowLogic(Toolkit& form, InputServices services, SelectedButton& selected, SettingsLocation settings);
    ~WindowLogic() override;
    WindowLogic(const WindowLogic&) = delete;
    WindowLogic& operator=(const WindowLogic&) = delete;

    using Clock = std::chrono::steady_clock;

    // Lets Timer1 stop after a tick that did nothing, for as long as the source watches
    // everything a tick reads; without a source every tick runs. A source that wakes within a
    // few ticks of falling asleep, as a noisy stick does, costs more than the ticks: Timer1 then
    // runs for a while, and on until a tick finds the source quiet. Called before load(), or
    // after it for a source that needs the window first.
    void sleepBetweenWakeUps(WakeUpSource& wakeUps, std::function<Clock::time_point()> now = Clock::now);

    // Problems with the settings file at start-up go to a message box as well as to standard
    // error, for a program started where no terminal shows them. Called before load().
    void showStartUpProblems() { showStartUpProblems_ = true; }

    // Holds keys down, or types a stroke on every tick, for this run whatever kivo.ini says,
    // until the user switches it in the window. Called before load().
    void holdKeysForThisRun(bool on) { holdKeysForThisRun_ = on; }

    // Start-up; runs before the window is first shown.
    void load();

    void activated() override;
    void timerTicked() override;
    void quitClicked() override;
    void clearClicked() override;
    // Saved at once, as an assignment is.
    void holdKeysSwitched(bool on) override;
    void closed(ClosedBy closer) override;
    // Shows the captions someone changed in kivo.ini while Kivo runs.
    void watchedFileChanged() override;

    // The window went away without being closed (its display ended, another program destroyed
    // it): saves the captions once, says what happened and gives the exit status, always a
    // failure. Neither the toolkit nor the keyboard is asked anything more, as the display may be
    // gone; 0 when the window had already ended.
    int windowLost(std::string_view what);

    std::int32_t buttonCount() const { return engine_.buttonCount(); }

private:
    enum class Stage { Loading, Running, Ended };

    // One poll cycle, and the labels of a joystick that has just arrived.
    void tick();
    // Ticks at once, then every millisecond until a tick does nothing.
    void wokenUp() override;
    // Stops Timer1 when the tick did nothing and the wake-up source will say when that changes.
    bool sleepIfIdle();

    // Saves the captions and ends the event loop, with a failure status when the save failed;
    // a user who closed the window is shown why.
    void end(ClosedBy closer);
    void reportStartUpProblem(const Status& loaded);
    // Writes the captions as soon as a key is assigned, so that an end that closes nothing (a
    // crash, a dead compositor, a power cut) loses no assignment. A failure is reported once,
    // and again only after a save has worked.
    void keepAssignment();
    // Ends the stage, so that no event acts after the captions are saved, and saves them.
    Status endAndSave();
    // The window's own modal boxes, during which ticks type nothing into them.
    bool ask(std::string_view question);
    void showProblem(std::string_view message);
    // A joystick that answers only after a start-up that found none gets its labels and
    // captions then, as start-up would have given them.
    void adoptLateJoystick();
    // Tells the user when a joystick stops or starts answering, and only then.
    void tellWhetherJoystickAnswers();

    Toolkit& form_;
    PollEngine engine_;
    CaptionsFile captions_;
    WakeUpSource* wakeUps_ = nullptr;
    std::function<Clock::time_point()> now_;
    Clock::time_point asleepSince_;
    // After a noisy wake-up the ticks run at least until then.
    Clock::time_point pollUntil_;
    Stage stage_ = Stage::Loading;
    bool asleep_ = false;
    bool showStartUpProblems_ = false;
    bool assignmentUnsaved_ = false;
    bool toldJoystickMissing_ = false;
    std::optional<bool> holdKeysForThisRun_;
    int boxesOpen_ = 0;
};

}  // namespace kivo
