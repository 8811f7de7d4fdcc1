#include "window/rounding.h"

#include <cmath>
#include <limits>

namespace kivo {

std::int32_t roundHalfEven(double value)
{
    constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr double kHighest = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value);  // the default rounding mode: nearest, ties to even
    if (rounded <= kLowest)
        return std::numeric_limits<std::int32_t>::min();
    if (rounded >= kHighest)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(rounded);
}

std::int32_t twipsToPixels(float twips, double dotsPerInch)
{
    constexpr double kTwipsPerInch = 1440;
    return roundHalfEven(twips * dotsPerInch / kTwipsPerInch);
}

}  // namespace kivo
