#pragma once

#include <cstdint>

namespace kivo {

// Nearest integer, ties to even, saturated to the 32-bit range; NaN gives 0.
std::int32_t roundHalfEven(double value);

}  // namespace kivo
