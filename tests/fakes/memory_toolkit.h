#pragma once

#include "window/label_toolkit.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kivo::test_support {

// The window held in memory, over the same label half as the real toolkits. What it shows is
// written to a log so tests can check the order of start-up; questions are answered from a
// queue the test fills.
class MemoryToolkit final : public LabelToolkit<int> {
public:
    using Label = LabelToolkit<int>::Label;

    static constexpr WindowHandle kHandle = 0x4c00001;

    MemoryToolkit()
    {
        addLabel(design::kButtonLabel0Caption, design::kButtonLabel0);
        showLabel(0, true);
        log.clear();
    }

    std::vector<Label>& labels = labels_;
    float height = design::kOuterHeight;
    std::vector<float> widthRequests;
    std::deque<bool> answers;
    // Runs once while the next question or message box is open, as events a modal loop delivers would.
    std::function<void()> whileBoxOpen;
    // Whether one of Kivo's windows has the keyboard, as after a click in the main window.
    bool ownWindowInFront = true;
    std::vector<std::string> questions;
    std::vector<std::string> problemsShown;
    std::string title = design::kTitle;
    // The summary of each notification, or "withdrawn".
    std::vector<std::string> notices;
    std::vector<std::string> log;
    bool timerEnabled = true;
    bool focusOnCommand3 = false;
    bool holdKeysShown = false;
    std::vector<int> exitCodes;
    WindowEvents* events = nullptr;
    std::vector<std::filesystem::path> watched;

    // What each label control was last given, and how often its text was set.
    struct Shown {
        bool visible = false;
        bool bold = false;
        bool placed = false;
        int texts = 0;
    };
    std::vector<Shown> shown;

    float outerHeight() const override { return height; }
    void setOuterWidth(float width) override
    {
        widthRequests.push_back(width);
        LabelToolkit::setOuterWidth(width);
    }

    bool askYesNo(std::string_view question) override
    {
        questions.emplace_back(question);
        if (whileBoxOpen)
            std::exchange(whileBoxOpen, nullptr)();
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << question;
            return false;
        }
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    void showProblem(std::string_view message) override
    {
        problemsShown.emplace_back(message);
        if (whileBoxOpen)
            std::exchange(whileBoxOpen, nullptr)();
    }
    bool ownWindowActive() const override { return ownWindowInFront; }
    void setTitle(std::string_view newTitle) override { title = newTitle; }
    void notify(std::string_view summary, std::string_view) override { notices.emplace_back(summary); }
    void withdrawNotification() override { notices.emplace_back("withdrawn"); }
    void showHoldKeys(bool on) override { holdKeysShown = on; }
    void focusCommand3() override
    {
        focusOnCommand3 = true;
        log.push_back("focus Command3");
    }
    void setTimerEnabled(bool enabled) override
    {
        timerEnabled = enabled;
        log.push_back(enabled ? "timer on" : "timer off");
    }
    void setEvents(WindowEvents* newEvents) override { events = newEvents; }
    void watchFiles(const std::vector<std::filesystem::path>& files) override { watched = files; }
    void leaveEventLoop(int exitCode) override
    {
        exitCodes.push_back(exitCode);
        log.push_back("end");
    }
    WindowHandle nativeHandle() const override { return kHandle; }

    // A tick of Timer1, as the real toolkits deliver it.
    void deliverTick()
    {
        tick([this] {
            if (events)
                events->timerTicked();
        });
    }

    Label& at(int index) { return labels_.at(static_cast<std::size_t>(index)); }
    const Label& at(int index) const { return labels_.at(static_cast<std::size_t>(index)); }

private:
    // A new control's first text and place come with its creation, and are not logged apart.
    int makeLabel(int index) override
    {
        shown.emplace_back();
        log.push_back("create " + std::to_string(index));
        return index;
    }
    void showLabelText(int control, std::string_view caption) override
    {
        ++shown.at(static_cast<std::size_t>(control)).texts;
        if (shown[static_cast<std::size_t>(control)].placed)
            log.push_back("caption " + std::to_string(control) + " " + std::string(caption));
    }
    void showLabelWeight(int control, bool bold) override { shown.at(static_cast<std::size_t>(control)).bold = bold; }
    void placeLabel(int control, TwipsRect) override
    {
        if (std::exchange(shown.at(static_cast<std::size_t>(control)).placed, true))
            log.push_back("place " + std::to_string(control));
    }
    void showLabel(int control, bool visible) override
    {
        shown.at(static_cast<std::size_t>(control)).visible = visible;
        log.push_back((visible ? "show " : "hide ") + std::to_string(control));
    }
    bool labelShown(int control) const override { return shown.at(static_cast<std::size_t>(control)).visible; }
    void applyClientSize() override {}
};

}  // namespace kivo::test_support
