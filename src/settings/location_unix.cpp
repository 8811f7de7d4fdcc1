#include "settings/location.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace kivo {
namespace {

namespace fs = std::filesystem;

bool isAbsolute(const char* folder)
{
    return folder != nullptr && fs::path(folder).is_absolute();
}

// Empty when neither HOME nor the user's passwd entry names an absolute folder.
fs::path homeFolder()
{
    if (const char* home = std::getenv("HOME"); isAbsolute(home))
        return home;
    if (const passwd* entry = ::getpwuid(::geteuid()); entry != nullptr && isAbsolute(entry->pw_dir))
        return entry->pw_dir;
    return {};
}

// The XDG rule: an unset, empty or relative XDG_CONFIG_HOME means ~/.config.
fs::path configFolder()
{
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); isAbsolute(config))
        return config;
    const fs::path home = homeFolder();
    return home.empty() ? fs::path() : home / ".config";
}

}  // namespace

const FileForm::LineEnding kNewFileLineEnding = FileForm::LineEnding::Lf;

const char* whyNoSettingsFolder()
{
    return "neither XDG_CONFIG_HOME nor HOME names an absolute folder";
}

SettingsLocation defaultSettingsLocation()
{
    const fs::path folder = configFolder();
    if (folder.empty())
        return {};
    const fs::path file = folder / "kivo" / "kivo.ini";
    return {file, file};
}

}  // namespace kivo
