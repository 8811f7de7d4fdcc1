#include "engine/poll_engine.h"
#include "fakes/fake_input_services.h"
#include "fakes/memory_labels.h"

#include <benchmark/benchmark.h>

namespace kivo {
namespace {

constexpr WindowHandle kKivoWindow = 1;
constexpr WindowHandle kGameWindow = 2;
constexpr int kButtons = 12;

// One engine over fake services, started up as the program does.
struct StartedEngine {
    fakes::FakeInputServices fake;
    fakes::MemoryLabels labels{kButtons};
    SelectedButton selected;
    PollEngine engine{fake.services(), labels, selected, kKivoWindow};

    StartedEngine()
    {
        fake.joystick.buttonCount = kButtons;
        fake.foreground.window = kGameWindow;
        engine.resetSelection();
        engine.fillKeyNameTable();
        engine.readButtonCount();
        engine.captureRestPosition();
        for (int i = 0; i < kButtons; ++i)
            labels.at(i).caption = composeCaption(i, "{F5}");
    }

    void run(benchmark::State& state)
    {
        for (auto _ : state) {
            engine.tick();
            fake.sender.sent.clear();
        }
    }
};

void AtRestInBackground(benchmark::State& state)
{
    StartedEngine started;
    started.run(state);
}
BENCHMARK(AtRestInBackground);

void InFrontWithKeyScan(benchmark::State& state)
{
    StartedEngine started;
    started.fake.foreground.window = kKivoWindow;
    started.selected.index = 2;
    started.run(state);
}
BENCHMARK(InFrontWithKeyScan);

void ButtonHeldKeySent(benchmark::State& state)
{
    StartedEngine started;
    started.selected.index = 2;
    started.fake.joystick.hold(3);
    started.run(state);
}
BENCHMARK(ButtonHeldKeySent);

}  // namespace
}  // namespace kivo
