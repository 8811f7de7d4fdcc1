#pragma once

#include "window/toolkit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kivo::test_support {

// The window held in memory. Every change is written to a log so tests can check the order
// of start-up; questions are answered from a queue the test fills.
class MemoryToolkit final : public Toolkit {
public:
    struct Label {
        std::string caption = design::kButtonLabel0Caption;
        bool bold = false;
        bool visible = true;
        TwipsRect rect = design::kButtonLabel0;
    };

    static constexpr WindowHandle kHandle = 0x4c00001;
    static constexpr float kMinimumOuterWidth = 1500;

    std::vector<Label> labels{Label{}};
    float width = design::kOuterWidth;
    float height = design::kOuterHeight;
    std::vector<float> widthRequests;
    std::deque<bool> answers;
    // Runs once while the next question is open, as events a modal loop delivers would.
    std::function<void()> whileAsking;
    std::vector<std::string> questions;
    std::vector<std::string> problemsShown;
    std::string title = design::kTitle;
    // The summary of each notification, or "withdrawn".
    std::vector<std::string> notices;
    std::vector<std::string> log;
    bool timerEnabled = true;
    bool focusOnCommand3 = false;
    std::vector<int> exitCodes;
    WindowEvents* events = nullptr;

    bool exists(int index) const override { return index >= 0 && index < static_cast<int>(labels.size()); }
    std::string caption(int index) const override { return at(index).caption; }
    void setCaption(int index, std::string_view caption) override
    {
        at(index).caption = caption;
        log.push_back("caption " + std::to_string(index) + " " + std::string(caption));
    }
    void setBold(int index, bool bold) override { at(index).bold = bold; }

    void createLabel(int index) override
    {
        // As every toolkit: only the next element is created.
        if (index != static_cast<int>(labels.size()))
            return;
        Label copy = labels.front();
        copy.visible = false;
        labels.push_back(copy);
        log.push_back("create " + std::to_string(index));
    }
    void setLabelVisible(int index, bool visible) override
    {
        at(index).visible = visible;
        log.push_back((visible ? "show " : "hide ") + std::to_string(index));
    }
    bool labelVisible(int index) const override { return at(index).visible; }
    TwipsRect labelRect(int index) const override { return at(index).rect; }
    void setLabelRect(int index, TwipsRect rect) override
    {
        at(index).rect = rect;
        log.push_back("place " + std::to_string(index));
    }

    float outerWidth() const override { return width; }
    float outerHeight() const override { return height; }
    void setOuterWidth(float newWidth) override
    {
        widthRequests.push_back(newWidth);
        width = std::max(newWidth, kMinimumOuterWidth);
    }

    bool askYesNo(std::string_view question) override
    {
        questions.emplace_back(question);
        if (whileAsking)
            std::exchange(whileAsking, nullptr)();
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << question;
            return false;
        }
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    void showProblem(std::string_view message) override { problemsShown.emplace_back(message); }
    void setTitle(std::string_view newTitle) override { title = newTitle; }
    void notify(std::string_view summary, std::string_view) override { notices.emplace_back(summary); }
    void withdrawNotification() override { notices.emplace_back("withdrawn"); }
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
    void leaveEventLoop(int exitCode) override
    {
        exitCodes.push_back(exitCode);
        log.push_back("end");
    }
    WindowHandle nativeHandle() const override { return kHandle; }

    Label& at(int index) { return labels.at(static_cast<std::size_t>(index)); }
    const Label& at(int index) const { return labels.at(static_cast<std::size_t>(index)); }
};

}  // namespace kivo::test_support
