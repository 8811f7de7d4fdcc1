#include "settings/location_windows.h"

#include <windows.h>

#include <string>
#include <system_error>

namespace kivo {
namespace {

namespace fs = std::filesystem;

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

fs::path environmentFolder(const wchar_t* name)
{
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return {};
    std::wstring folder(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, folder.data(), size);
    folder.resize(length < size ? length : 0);
    return folder;
}

bool isThere(const fs::path& file)
{
    std::error_code error;
    return fs::exists(file, error);
}

}  // namespace

SettingsLocation settingsLocationIn(const WindowsFolders& folders)
{
    fs::path earlier = folders.windows / L"kivo.ini";
    if (!folders.localAppData.empty()) {
        const fs::path redirected = folders.localAppData / L"VirtualStore" / earlier.relative_path();
        if (isThere(redirected))
            earlier = redirected;
    }
    // Without a per-user folder the file stays where earlier versions kept it.
    if (folders.appData.empty())
        return {earlier, folders.windows / L"kivo.ini"};
    const fs::path file = folders.appData / L"Kivo" / L"kivo.ini";
    if (!isThere(file) && isThere(earlier))
        return {earlier, file};
    return {file, file};
}

const FileForm::LineEnding kNewFileLineEnding = FileForm::LineEnding::CrLf;

const char* whyNoSettingsFolder()
{
    return "neither %APPDATA% nor the Windows folder is known";
}

SettingsLocation defaultSettingsLocation()
{
    return settingsLocationIn({environmentFolder(L"APPDATA"), environmentFolder(L"LOCALAPPDATA"), windowsFolder()});
}

}  // namespace kivo
