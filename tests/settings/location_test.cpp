#include "settings/captions.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace kivo {
namespace {

// Sets an environment variable (or unsets it, given nothing) for the life of the object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedVariable() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(SettingsLocation, FollowsXdgConfigHomeElseHomeConfig)
{
    const ScopedVariable home("HOME", "/home/ann");
    struct Case {
        const char* xdgConfigHome;
        const char* file;
    };
    for (const Case& c :
         {Case{"/srv/conf", "/srv/conf/kivo/kivo.ini"}, Case{nullptr, "/home/ann/.config/kivo/kivo.ini"},
          Case{"", "/home/ann/.config/kivo/kivo.ini"}, Case{"relative/conf", "/home/ann/.config/kivo/kivo.ini"}}) {
        const ScopedVariable xdg("XDG_CONFIG_HOME", c.xdgConfigHome);
        const SettingsLocation location = defaultSettingsLocation();
        EXPECT_EQ(location.readFrom, c.file) << (c.xdgConfigHome ? c.xdgConfigHome : "unset");
        EXPECT_EQ(location.writeTo, c.file);
    }
}

// A relative location would follow the working folder, so each start could read another file.
TEST(SettingsLocation, WithoutHomeIsInTheHomeOfTheUsersPasswdEntry)
{
    const passwd* user = ::getpwuid(::geteuid());
    ASSERT_NE(user, nullptr);
    const ScopedVariable xdg("XDG_CONFIG_HOME", nullptr);
    for (const char* home : {"", static_cast<const char*>(nullptr)}) {
        const ScopedVariable variable("HOME", home);
        const SettingsLocation location = defaultSettingsLocation();
        EXPECT_TRUE(location.writeTo.is_absolute()) << location.writeTo;
        EXPECT_EQ(location.writeTo, std::filesystem::path(user->pw_dir) / ".config/kivo/kivo.ini")
            << (home ? "empty" : "unset");
        EXPECT_EQ(location.readFrom, location.writeTo);
    }
}

TEST(SettingsLocation, UserWithoutAnAbsoluteHomeHasNoLocation)
{
    // A user id with no passwd entry, as in a bare container, and no usable HOME.
    EXPECT_EXIT(
        {
            ::setenv("HOME", "relative/home", 1);
            ::setenv("XDG_CONFIG_HOME", "relative/conf", 1);
            if (::geteuid() == 0 && ::setuid(54321) != 0)
                std::_Exit(99);
            std::_Exit(defaultSettingsLocation().writeTo.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace kivo
