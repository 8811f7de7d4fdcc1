#pragma once

#include <cstdint>

namespace kivo {

// The button last pressed while Kivo's window was in front; the one program-wide value.
// Created by whoever runs the program and handed to the engine, so tests each have their own.
struct SelectedButton {
    static constexpr std::int16_t kNone = -1;
    std::int16_t index = kNone;
};

}  // namespace kivo
