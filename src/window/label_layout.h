#pragma once

#include "window/toolkit.h"

#include <cstdint>

namespace kivo {

// Hides label 0 when there are no buttons; otherwise creates labels 1 to n - 1 in columns
// below label 0, widening the window whenever a column would stick out.
void layOutButtonLabels(Toolkit& form, std::int32_t buttonCount);

}  // namespace kivo
