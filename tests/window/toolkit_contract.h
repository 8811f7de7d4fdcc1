#pragma once

#include "window/toolkit.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace kivo::test_support {

// What every toolkit promises the window logic (window/toolkit.h), run over each one through a
// harness that owns the toolkit and looks at what it shows:
//   Toolkit& toolkit();
//   bool shownBold(int index);                 the weight label i is drawn in
//   std::vector<std::string> tabOrder();       the controls Tab visits; empty without controls
//   static constexpr bool kTicks;              whether Timer1 really ticks
//   std::string title();                       the title bar's text
//   void show();
//   void pumpFor(int milliseconds);            runs the event loop
//   void answerNextQuestionNoLater();          answers the next question No after a while
template <class Harness>
class ToolkitContract : public ::testing::Test {
protected:
    Harness harness;
    Toolkit& toolkit() { return harness.toolkit(); }
};

TYPED_TEST_SUITE_P(ToolkitContract);

TYPED_TEST_P(ToolkitContract, Label0IsTheDesignsVisibleButton1)
{
    Toolkit& toolkit = this->toolkit();
    EXPECT_TRUE(toolkit.exists(0));
    EXPECT_FALSE(toolkit.exists(1));
    EXPECT_FALSE(toolkit.exists(-1));
    EXPECT_EQ(toolkit.caption(0), design::kButtonLabel0Caption);
    EXPECT_TRUE(toolkit.labelVisible(0));
    EXPECT_EQ(toolkit.labelRect(0), design::kButtonLabel0);
    EXPECT_FALSE(this->harness.shownBold(0));
}

TYPED_TEST_P(ToolkitContract, ACreatedLabelIsAnInvisibleCopyOfLabel0)
{
    Toolkit& toolkit = this->toolkit();
    const TwipsRect rect{240, 2400, 1800, 300};
    toolkit.setCaption(0, "Button 1:  {F5}");
    toolkit.setBold(0, true);
    toolkit.setLabelRect(0, rect);
    toolkit.createLabel(1);
    ASSERT_TRUE(toolkit.exists(1));
    EXPECT_EQ(toolkit.caption(1), "Button 1:  {F5}");
    EXPECT_FALSE(toolkit.labelVisible(1));
    EXPECT_EQ(toolkit.labelRect(1), rect);
    EXPECT_TRUE(this->harness.shownBold(1));
}

TYPED_TEST_P(ToolkitContract, OnlyTheNextLabelIsCreated)
{
    Toolkit& toolkit = this->toolkit();
    toolkit.setCaption(0, "Button 1:  A");
    toolkit.createLabel(2);
    EXPECT_FALSE(toolkit.exists(2));
    toolkit.createLabel(0);
    EXPECT_EQ(toolkit.caption(0), "Button 1:  A");
    EXPECT_FALSE(toolkit.exists(1));
}

TYPED_TEST_P(ToolkitContract, CaptionsAreWindows1252BytesAndLabelsShowAndHide)
{
    Toolkit& toolkit = this->toolkit();
    const std::string bytes = "Button 1:  \x80\xe9&";
    toolkit.setCaption(0, bytes);
    EXPECT_EQ(toolkit.caption(0), bytes);
    toolkit.setLabelVisible(0, false);
    EXPECT_FALSE(toolkit.labelVisible(0));
    toolkit.setLabelVisible(0, true);
    EXPECT_TRUE(toolkit.labelVisible(0));
}

TYPED_TEST_P(ToolkitContract, OuterWidthIsRaisedToTheDesignsMinimum)
{
    Toolkit& toolkit = this->toolkit();
    EXPECT_EQ(toolkit.outerWidth(), design::kOuterWidth);
    EXPECT_EQ(toolkit.outerHeight(), design::kOuterHeight);
    for (const auto& [asked, given] : {std::pair{design::kOuterWidth + 900, design::kOuterWidth + 900},
                                       std::pair{design::kMinimumOuterWidth, design::kMinimumOuterWidth},
                                       std::pair{design::kMinimumOuterWidth - 1, design::kMinimumOuterWidth},
                                       std::pair{0.0f, design::kMinimumOuterWidth}}) {
        toolkit.setOuterWidth(asked);
        EXPECT_EQ(toolkit.outerWidth(), given) << asked;
    }
}

TYPED_TEST_P(ToolkitContract, TheTitleChangesAndNotificationsNeverWait)
{
    Toolkit& toolkit = this->toolkit();
    toolkit.setTitle(design::kTitleWithoutJoystick);
    EXPECT_EQ(this->harness.title(), design::kTitleWithoutJoystick);
    // Whether or not a notification service answers, the window goes on at once.
    toolkit.notify("No joystick found", "Plug one in.");
    toolkit.withdrawNotification();
    toolkit.setTitle(design::kTitle);
    EXPECT_EQ(this->harness.title(), design::kTitle);
}

TYPED_TEST_P(ToolkitContract, TabOrderRunsQuitCommand3Clear)
{
    const std::vector<std::string> order = this->harness.tabOrder();
    if (order.empty())
        GTEST_SKIP() << "no controls";
    EXPECT_EQ(order, (std::vector<std::string>{"Command1", "Command3", "Command4"}));
}

TYPED_TEST_P(ToolkitContract, TicksGoOnWhileAQuestionIsOpen)
{
    if (!TypeParam::kTicks)
        GTEST_SKIP() << "no timer";
    struct CountedTicks final : WindowEvents {
        void activated() override {}
        void timerTicked() override { ++ticks; }
        void quitClicked() override {}
        void clearClicked() override {}
        void closed(ClosedBy) override {}
        void watchedFileChanged() override {}
        int ticks = 0;
    } events;
    Toolkit& toolkit = this->toolkit();
    toolkit.setEvents(&events);
    this->harness.show();
    toolkit.setTimerEnabled(true);
    this->harness.answerNextQuestionNoLater();
    EXPECT_FALSE(toolkit.askYesNo("Are you sure?"));
    toolkit.setTimerEnabled(false);
    toolkit.setEvents(nullptr);
    EXPECT_GT(events.ticks, 0);
}

REGISTER_TYPED_TEST_SUITE_P(ToolkitContract, Label0IsTheDesignsVisibleButton1, ACreatedLabelIsAnInvisibleCopyOfLabel0,
                            OnlyTheNextLabelIsCreated, CaptionsAreWindows1252BytesAndLabelsShowAndHide,
                            OuterWidthIsRaisedToTheDesignsMinimum, TheTitleChangesAndNotificationsNeverWait,
                            TabOrderRunsQuitCommand3Clear, TicksGoOnWhileAQuestionIsOpen);

}  // namespace kivo::test_support
