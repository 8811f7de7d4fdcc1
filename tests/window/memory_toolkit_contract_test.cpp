#include "fakes/memory_toolkit.h"
#include "window/toolkit_contract.h"

namespace kivo::test_support {
namespace {

// The in-memory toolkit the window logic tests use keeps the same contract as the real ones.
struct MemoryHarness {
    static constexpr bool kTicks = false;
    MemoryToolkit memory;

    Toolkit& toolkit() { return memory; }
    bool shownBold(int index) const { return memory.at(index).bold; }
    std::vector<std::string> tabOrder() const { return {}; }
    std::string title() const { return memory.title; }
    void show() {}
    void answerNextQuestionNoLater() { memory.answers.push_back(false); }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Memory, ToolkitContract, MemoryHarness);

}  // namespace
}  // namespace kivo::test_support
