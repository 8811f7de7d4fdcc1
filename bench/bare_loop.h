#pragma once

#include <chrono>

namespace kivo::bench {

struct BareLoopCost {
    double cpuPercent;
    double wakeUpsPerSecond;
};

// What polling every millisecond costs on this machine at the least: a thread that does nothing
// but sleep until the next millisecond, for `window`.
BareLoopCost measureBareLoop(std::chrono::seconds window);

}  // namespace kivo::bench
