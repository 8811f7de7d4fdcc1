#pragma once

#include "app/single_instance.h"

#include <string>

namespace kivo {

// The name of the mutex and the answering window for the settings file Windows names fileKey:
// the same in every build of Kivo.
std::wstring win32InstanceName(const std::wstring& fileKey);

}  // namespace kivo
