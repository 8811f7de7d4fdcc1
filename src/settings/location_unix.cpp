#include "settings/location.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace kivo {
namespace {

namespace fs = std::filesystem;

fs::path homeFolder()
{
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return home;
    if (const passwd* entry = ::getpwuid(::geteuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return {};
}

// The XDG rule: an unset, empty or relative XDG_CONFIG_HOME means ~/.config.
fs::path configFolder()
{
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && fs::path(config).is_absolute()) {
        return config;
    }
    return homeFolder() / ".config";
}

}  // namespace

SettingsLocation defaultSettingsLocation()
{
    const fs::path file = configFolder() / "kivo" / "kivo.ini";
    return {file, file};
}

}  // namespace kivo
