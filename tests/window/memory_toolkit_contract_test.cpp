#include "fakes/memory_toolkit.h"
#include "window/toolkit_contract.h"

namespace kivo::test_support {
namespace {

// The in-memory toolkit the window logic tests use keeps the same contract as the real ones.
struct MemoryHarness {
    static constexpr bool kTicks = false;
    MemoryToolkit memory;

    Toolkit& toolkit() { return memory; }
    bool shownBold(int index) const { return memory.shown.at(static_cast<std::size_t>(index)).bold; }
    std::vector<std::string> tabOrder() const { return {}; }
    std::string title() const { return memory.title; }
    void show() {}
    void answerNextQuestionNoLater() { memory.answers.push_back(false); }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Memory, ToolkitContract, MemoryHarness);

// A tick rewrites captions and weights a thousand times a second; the controls are given only
// what changed, and the weights once the tick is over.
TEST(LabelToolkit, OnlyChangesReachTheControls)
{
    struct Reweighting final : WindowEvents {
        void activated() override {}
        void timerTicked() override
        {
            form->setCaption(0, "Button 1:  A");
            form->setBold(0, false);
            form->setBold(0, bold);
            boldDuringTick = form->shown[0].bold;
        }
        void quitClicked() override {}
        void clearClicked() override {}
        void closed(ClosedBy) override {}
        void watchedFileChanged() override {}
        MemoryToolkit* form = nullptr;
        bool bold = true;
        bool boldDuringTick = false;
    } events;
    MemoryToolkit form;
    events.form = &form;
    form.setEvents(&events);
    for (const bool bold : {true, true, false}) {
        events.bold = bold;
        const bool before = form.shown[0].bold;
        form.deliverTick();
        EXPECT_EQ(events.boldDuringTick, before) << "a weight is shown when the tick ends";
        EXPECT_EQ(form.shown[0].bold, bold);
    }
    EXPECT_EQ(form.shown[0].texts, 2) << "the design's caption, then one change";
}

}  // namespace
}  // namespace kivo::test_support
