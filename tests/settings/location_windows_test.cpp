#include "settings/location_windows.h"

#include "support/temp_settings.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kivo {
namespace {

namespace fs = std::filesystem;
using test_support::writeFile;

// The user's folders, made inside a test folder.
class WindowsLocation : public ::testing::Test {
protected:
    WindowsLocation()
    {
        for (const fs::path& made : {appData(), localAppData(), windows()})
            fs::create_directories(made);
    }

    fs::path appData() const { return settings_.folder() / "Roaming"; }
    fs::path localAppData() const { return settings_.folder() / "Local"; }
    fs::path windows() const { return settings_.folder() / "Windows"; }
    WindowsFolders folders() const { return {appData(), localAppData(), windows()}; }

    fs::path perUser() const { return appData() / "Kivo" / "kivo.ini"; }
    fs::path inWindows() const { return windows() / "kivo.ini"; }
    fs::path redirected() const { return localAppData() / "VirtualStore" / windows().relative_path() / "kivo.ini"; }

private:
    test_support::TempSettings settings_;
};

TEST_F(WindowsLocation, PerUserFileOnceSavedElseTheOneEarlierVersionsSawUntilTheFirstSave)
{
    struct Case {
        const char* what;
        std::vector<fs::path> existing;
        fs::path readFrom;
    };
    const std::vector<Case> cases{
        {"none", {}, perUser()},
        {"in the Windows folder", {inWindows()}, inWindows()},
        {"redirected into the virtual store", {redirected()}, redirected()},
        {"both earlier ones", {inWindows(), redirected()}, redirected()},
        {"saved already", {inWindows(), redirected(), perUser()}, perUser()},
    };
    for (const Case& c : cases) {
        for (const fs::path& file : c.existing) {
            fs::create_directories(file.parent_path());
            writeFile(file, "[Settings]\n");
        }
        const SettingsLocation location = settingsLocationIn(folders());
        EXPECT_EQ(location.readFrom, c.readFrom) << c.what;
        EXPECT_EQ(location.writeTo, perUser()) << c.what;
        for (const fs::path& file : c.existing)
            fs::remove(file);
    }
}

TEST_F(WindowsLocation, WithoutAPerUserFolderStaysInTheWindowsFolder)
{
    writeFile(inWindows(), "[Settings]\n");
    const SettingsLocation location = settingsLocationIn({{}, localAppData(), windows()});
    EXPECT_EQ(location.readFrom, inWindows());
    EXPECT_EQ(location.writeTo, inWindows());
}

// Sets an environment variable for the life of the object.
class ScopedVariable {
public:
    ScopedVariable(const wchar_t* name, const fs::path& value) : name_(name)
    {
        std::wstring old(32768, L'\0');
        const DWORD length = GetEnvironmentVariableW(name, old.data(), static_cast<DWORD>(old.size()));
        if (length > 0 && length < old.size())
            old_ = old.substr(0, length);
        SetEnvironmentVariableW(name, value.c_str());
    }
    ~ScopedVariable() { SetEnvironmentVariableW(name_, old_ ? old_->c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const wchar_t* name_;
    std::optional<std::wstring> old_;
};

TEST_F(WindowsLocation, DefaultIsInTheAppDataFolderOfTheEnvironment)
{
    const ScopedVariable roaming(L"APPDATA", appData());
    const ScopedVariable local(L"LOCALAPPDATA", localAppData());
    const SettingsLocation location = defaultSettingsLocation();
    EXPECT_EQ(location.writeTo, perUser());
    EXPECT_EQ(location.readFrom, perUser());
}

}  // namespace
}  // namespace kivo
