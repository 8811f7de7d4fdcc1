#include "app/linux/window_loss.h"

#include "fakes/fake_input_services.h"
#include "fakes/memory_toolkit.h"
#include "support/temp_settings.h"

#include <gmock/gmock.h>

#include <cstdlib>
#include <optional>

namespace kivo {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// Qt and Xlib end the process with exit() when the display goes, and the hook that saves then
// runs at every exit: after a normal end, the window and its logic are gone and must not be used.
TEST(WindowLossDeathTest, SavesAtExitOnlyWhileItLasts)
{
    const test_support::TempSettings settings;
    const ::testing::Matcher<const std::string&> saved = HasSubstr("X display went away");
    for (const bool lasts : {true, false}) {
        EXPECT_EXIT(
            {
                fakes::FakeInputServices fakes;
                SelectedButton selected{0};
                test_support::MemoryToolkit form;
                WindowLogic logic(form, fakes.services(), selected, settings.location());
                logic.load();
                // Storage that outlives it, as freed memory may still hold its fields.
                static std::optional<WindowLoss> loss;
                loss.emplace(logic, WindowHandle{1});
                if (!lasts)
                    loss.reset();
                std::exit(1);
            },
            ::testing::ExitedWithCode(1), lasts ? saved : Not(saved))
            << (lasts ? "lasts" : "ended");
    }
}

}  // namespace
}  // namespace kivo
