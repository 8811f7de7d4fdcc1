#pragma once

#include <chrono>

namespace kivo {

enum class SessionBusAnswer {
    Answers,
    // It took the connection and said nothing within the patience, as a hung bus does.
    Silent,
    // There is none, or it refused at once: whoever asks it next is told so at once too.
    None,
};

// Asks the session bus that libdbus would use whether it answers, waiting at most the patience.
SessionBusAnswer askSessionBus(std::chrono::milliseconds patience);

// SDL and Qt each connect to the session bus as they start, and libdbus waits without a
// deadline for a bus that never answers, with no window shown. Asked first, a bus too slow for
// the whole start to wait on is kept out of the whole process, and standard error says what that
// costs. Call it before SDL or Qt starts, while no other thread reads the environment.
void shutOutASlowSessionBus();

}  // namespace kivo
