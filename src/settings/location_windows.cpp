#include "settings/location.h"

#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <string>
#include <system_error>

namespace kivo {
namespace {

namespace fs = std::filesystem;

// Where the profile functions of earlier Windows versions of Kivo kept the bare name "kivo.ini".
fs::path windowsFolder()
{
    std::wstring folder(MAX_PATH, L'\0');
    UINT length = GetWindowsDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (length > folder.size()) {
        folder.resize(length);
        length = GetWindowsDirectoryW(folder.data(), length);
    }
    folder.resize(length <= folder.size() ? length : 0);
    return folder;
}

fs::path appDataFolder()
{
    const DWORD size = GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
    if (size == 0)
        return {};
    std::wstring folder(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", folder.data(), size);
    folder.resize(length < size ? length : 0);
    return folder;
}

}  // namespace

SettingsLocation defaultSettingsLocation()
{
    const fs::path earlier = windowsFolder() / L"kivo.ini";
    const fs::path folder = appDataFolder();
    // Without a per-user folder the file stays where earlier versions kept it.
    if (folder.empty())
        return {earlier, earlier};
    const fs::path file = folder / L"Kivo" / L"kivo.ini";
    std::error_code error;
    // Assignments made by an earlier version are read until the first save writes the new file.
    if (!fs::exists(file, error) && fs::exists(earlier, error))
        return {earlier, file};
    return {file, file};
}

}  // namespace kivo
