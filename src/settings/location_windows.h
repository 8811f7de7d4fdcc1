#pragma once

#include "settings/location.h"

#include <filesystem>

namespace kivo {

// The folders Windows names for this user; empty where it names none.
struct WindowsFolders {
    std::filesystem::path appData;       // %APPDATA%
    std::filesystem::path localAppData;  // %LOCALAPPDATA%
    std::filesystem::path windows;       // the Windows folder
};

// kivo.ini lives in %APPDATA%\Kivo. Until the first save puts it there, the file earlier
// versions kept under the bare name in the Windows folder is read; Windows redirected the
// writes of a program without administrator rights into %LOCALAPPDATA%\VirtualStore\Windows,
// and that copy is what such a program saw, so it comes first.
SettingsLocation settingsLocationIn(const WindowsFolders& folders);

}  // namespace kivo
