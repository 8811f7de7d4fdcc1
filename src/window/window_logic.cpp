#include "window/window_logic.h"

#include "engine/key_tokens.h"
#include "platform/messages.h"
#include "window/exit_status.h"
#include "window/label_layout.h"

#include <string>
#include <utility>

namespace kivo {
WindowLogic::WindowLogic(Toolkit& form, InputServices services, SelectedButton& selected, SettingsLocation settings)
    : form_(form), engine_(services, form, selected, form.nativeHandle()), captions_(std::move(settings))
{
}

WindowLogic::~WindowLogic()
{
    form_.setEvents(nullptr);
    if (wakeUps_)
        wakeUps_->setListener(nullptr);
}

void WindowLogic::sleepBetweenWakeUps(WakeUpSource& wakeUps, std::function<Clock::time_point()> now)
{
    wakeUps_ = &wakeUps;
    now_ = std::move(now);
    if (stage_ == Stage::Running)
        wakeUps_->setListener(this);
}

void WindowLogic::load()
{
    form_.setTimerEnabled(false);
    engine_.resetSelection();
    engine_.fillKeyNameTable();
    engine_.readButtonCount();
    layOutButtonLabels(form_, engine_.buttonCount());
    engine_.captureRestPosition();
    reportStartUpProblem(captions_.load(form_, engine_.buttonCount()));
    engine_.setHoldKeys(holdKeysForThisRun_.value_or(captions_.holdKeys()));
    form_.showHoldKeys(engine_.holdsKeys());
    tellWhetherJoystickAnswers();
    stage_ = Stage::Running;
    form_.watchFiles(captions_.watchedFiles());
    form_.setEvents(this);
    if (wakeUps_)
        wakeUps_->setListener(this);
    form_.setTimerEnabled(true);
}

// Kivo's window in front makes every tick count: keys pressed there are assignments.
void WindowLogic::activated()
{
    if (stage_ != Stage::Running)
        return;
    form_.focusCommand3();
    wokenUp();
}

void WindowLogic::timerTicked()
{
    if (stage_ != Stage::Running)
        return;
    tick();
    sleepIfIdle();
}

void WindowLogic::tick()
{
    // A key typed into Kivo's own question or message box would answer it, while one typed into
    // a game the user went back to before answering is what the user wants.
    engine_.setOwnBoxInFront(boxesOpen_ > 0 && form_.ownWindowActive());
    engine_.tick();
    if (engine_.assigned())
        keepAssignment();
    if (engine_.joystickArrived() && engine_.buttonCount() == 0)
        adoptLateJoystick();
    tellWhetherJoystickAnswers();
}

void WindowLogic::adoptLateJoystick()
{
    engine_.readButtonCount();
    if (engine_.buttonCount() == 0)
        return;
    // Undo what the layout did for no buttons, so the labels come out as at start-up.
    form_.setLabelVisible(0, true);
    form_.setOuterWidth(design::kOuterWidth);
    layOutButtonLabels(form_, engine_.buttonCount());
    if (const Status loaded = captions_.load(form_, engine_.buttonCount()); !loaded)
        reportProblem(loaded.problem());
}

// Without a joystick the window is narrow and types nothing, and standard error is nowhere a user
// who started Kivo from the menu looks: the title says so for as long as it lasts, and the
// desktop's notification once, at start-up and whenever a joystick goes away.
void WindowLogic::tellWhetherJoystickAnswers()
{
    const bool missing = !engine_.joystickAnswering();
    if (missing == toldJoystickMissing_)
        return;
    toldJoystickMissing_ = missing;
    form_.setTitle(missing ? design::kTitleWithoutJoystick : design::kTitle);
    if (!missing)
        form_.withdrawNotification();
    else if (stage_ == Stage::Loading)
        form_.notify(design::kNoJoystickSummary, design::kNoJoystickBody);
    else
        form_.notify(design::kJoystickGoneSummary, design::kJoystickGoneBody);
}

void WindowLogic::wokenUp()
{
    // While Timer1 runs the next tick is at most a millisecond away; an extra one would type an
    // extra key.
    if (stage_ != Stage::Running || !asleep_)
        return;
    tick();
    // Waking costs about two ticks' worth (the wake-up, the tick, arming the watches again), so a
    // source that wakes more often than every two ticks is cheaper to poll for a while: sleeping
    // again at the first quiet tick would only trade each tick for a dearer wake-up.
    constexpr auto kNoisyWithin = std::chrono::milliseconds(2 * design::kTimerIntervalMs);
    constexpr auto kPollAfterNoise = std::chrono::milliseconds(250);
    const Clock::time_point woken = now_();
    if (engine_.idle() && woken - asleepSince_ < kNoisyWithin)
        pollUntil_ = woken + kPollAfterNoise;
    if (!sleepIfIdle()) {
        asleep_ = false;
        form_.setTimerEnabled(true);
    }
}

bool WindowLogic::sleepIfIdle()
{
    if (!wakeUps_ || !engine_.idle() || now_() < pollUntil_ || !wakeUps_->armForNextChange())
        return false;
    if (!asleep_)
        form_.setTimerEnabled(false);
    asleep_ = true;
    asleepSince_ = now_();
    return true;
}

void WindowLogic::quitClicked()
{
    if (stage_ != Stage::Running || !ask(design::kQuitQuestion))
        return;
    // The window may have been closed, and saved, while the question was open.
    if (stage_ == Stage::Running)
        end(ClosedBy::User);
}

void WindowLogic::clearClicked()
{
    if (stage_ != Stage::Running || !ask(design::kClearQuestion) || stage_ != Stage::Running)
        return;
    form_.focusCommand3();
    for (std::int32_t i = 0; i < engine_.buttonCount(); ++i)
        form_.setCaption(i, composeCaption(i, ""));
}

void WindowLogic::holdKeysSwitched(bool on)
{
    if (stage_ != Stage::Running)
        return;
    form_.focusCommand3();
    engine_.setHoldKeys(on);
    captions_.chooseHoldKeys(on);
    keepAssignment();
}

void WindowLogic::closed(ClosedBy closer)
{
    if (stage_ == Stage::Running)
        end(closer);
}

void WindowLogic::watchedFileChanged()
{
    if (stage_ == Stage::Running)
        captions_.takeUpChanges(form_, engine_.buttonCount());
}

void WindowLogic::end(ClosedBy closer)
{
    // Only the user's keys close the window (Alt+F4). A key still down when the system ends Kivo
    // is an assignment whose release is yet to arrive, as a busy compositor delivers it late, and
    // it is already saved.
    if (closer == ClosedBy::User)
        engine_.undoCaptureOfKeysStillDown();
    engine_.letGoOfKeys();
    // A notice of a Kivo that has ended would only mislead.
    if (toldJoystickMissing_)
        form_.withdrawNotification();
    const Status saved = endAndSave();
    // The assignments of this session are lost; standard error is nowhere a user looks.
    if (!saved && closer == ClosedBy::User)
        showProblem(saved.problem());
    form_.leaveEventLoop(saved ? kExitSuccess : kExitSaveFailed);
}

void WindowLogic::keepAssignment()
{
    const Status saved = captions_.save(form_, engine_.buttonCount());
    if (!saved && !assignmentUnsaved_) {
        reportProblem(saved.problem());
        // The user is at the window, making the assignment that may be lost.
        showProblem(saved.problem());
    }
    assignmentUnsaved_ = !saved;
}

void WindowLogic::reportStartUpProblem(const Status& loaded)
{
    if (loaded)
        return;
    reportProblem(loaded.problem());
    if (showStartUpProblems_)
        showProblem(loaded.problem());
}

int WindowLogic::windowLost(std::string_view what)
{
    if (stage_ != Stage::Running)
        return kExitSuccess;
    const Status saved = endAndSave();
    reportProblem(std::string(what) + (saved ? "; the button captions were saved." : "."));
    return kExitWindowLost;
}

Status WindowLogic::endAndSave()
{
    stage_ = Stage::Ended;
    const Status saved = captions_.save(form_, engine_.buttonCount());
    if (!saved)
        reportProblem(saved.problem());
    return saved;
}

// A key held down would reach the box, and stay down while it waits for an answer.
bool WindowLogic::ask(std::string_view question)
{
    engine_.letGoOfKeys();
    ++boxesOpen_;
    const bool yes = form_.askYesNo(question);
    --boxesOpen_;
    return yes;
}

void WindowLogic::showProblem(std::string_view message)
{
    engine_.letGoOfKeys();
    ++boxesOpen_;
    form_.showProblem(message);
    --boxesOpen_;
}

}  // namespace kivo
