#pragma once

#include <cstdint>

namespace kivo {

// Nearest integer, ties to even, saturated to the 32-bit range; NaN gives 0.
std::int32_t roundHalfEven(double value);

// Twips as whole pixels at the given dots per inch (1440 twips an inch), rounded as above.
std::int32_t twipsToPixels(float twips, double dotsPerInch);

}  // namespace kivo
