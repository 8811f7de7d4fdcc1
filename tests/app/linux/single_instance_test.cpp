#include "app/linux/single_instance.h"

#include "support/captured_stderr.h"
#include "support/temp_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QSysInfo>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gmock/gmock.h>

#include <cstdlib>
#include <fstream>
#include <future>
#include <string>

namespace kivo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Ne;
using ::testing::StartsWith;
using ::testing::UnorderedElementsAre;

class SingleInstanceClaim : public ::testing::Test {
protected:
    SingleInstanceClaim() { fs::create_directory(runtime); }

    fs::path lockFile() const { return settings.folder() / "kivo.ini.lock"; }
    InstanceClaim claim(const fs::path& file) const
    {
        return LinuxSingleInstance::claim(
            file, runtime, [] { return std::string("launch-token_TIME42"); }, 300ms);
    }

    test_support::TempSettings settings;
    const fs::path runtime = settings.folder() / "runtime";
};

struct LeftLock {
    const char* what;
    std::string contents;
};

// Only a running Kivo keeps another from starting, never what a crash left in the file.
TEST_F(SingleInstanceClaim, ALockNobodyHoldsIsTakenWhateverItSays)
{
    const LeftLock cases[] = {
        {"empty, as a kill while writing it leaves it", ""},
        {"garbage", "\x01\x02 not a lock\n"},
        {"from another computer", "12345\nkivo\notherhost\n"},
        {"from a process that has ended on this one", "999999999\nkivo\n" + QSysInfo::machineHostName().toStdString()},
    };
    for (const LeftLock& c : cases) {
        std::ofstream(lockFile(), std::ios::binary) << c.contents;
        const test_support::CapturedStderr errors;
        InstanceClaim taken = claim(settings.file());
        EXPECT_NE(taken.instance, nullptr) << c.what;
        EXPECT_EQ(errors.text(), "") << c.what;
    }
}

TEST_F(SingleInstanceClaim, ALockHeldThroughAnotherPathToTheSameFileIsNotTakenNorCalledARunningKivo)
{
    std::ofstream(settings.file()) << "[Settings]\n";
    const fs::path linked = settings.folder() / "dotfiles" / "kivo.ini";
    fs::create_directory(linked.parent_path());
    fs::create_symlink(settings.file(), linked);
    QLockFile holder(QString::fromStdString(lockFile().string()));
    ASSERT_TRUE(holder.tryLock());

    const test_support::CapturedStderr errors;
    const InstanceClaim refused = claim(linked);
    EXPECT_EQ(refused.instance, nullptr);
    EXPECT_FALSE(refused.runningKivoAnswered);
    EXPECT_THAT(errors.text(), HasSubstr("does not answer"));
}

// The running Kivo answers once it knows where its window is, and the second start says that.
TEST_F(SingleInstanceClaim, ASecondStartHandsOverItsTokenAndSaysWhetherTheWindowCameToTheFront)
{
    const std::pair<bool, const char*> answers[] = {
        {true, "; its window is brought to the front instead."},
        {false, "; it was asked to bring its window to the front, but the desktop did not put it there"},
    };
    InstanceClaim running = claim(settings.file());
    ASSERT_NE(running.instance, nullptr);
    bool cameToFront = false;
    std::string tokenSeen;
    running.instance->listen([&](const std::string& token, const SingleInstance::Answer& answer) {
        tokenSeen = token;
        answer(cameToFront);
    });
    for (const auto& [active, says] : answers) {
        cameToFront = active;
        const test_support::CapturedStderr errors;
        auto second = std::async(std::launch::async, [this] { return claim(settings.file()); });
        while (second.wait_for(1ms) != std::future_status::ready)
            QCoreApplication::processEvents();
        const InstanceClaim answered = second.get();
        EXPECT_EQ(answered.instance, nullptr);
        EXPECT_TRUE(answered.runningKivoAnswered);
        EXPECT_THAT(errors.text(), HasSubstr(says));
        EXPECT_EQ(tokenSeen, "launch-token_TIME42");
    }
}

// A socket of a killed Kivo: its file is still there, but nothing listens.
void leaveDeadSocket(const fs::path& path)
{
    const int descriptor = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.string().copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(bind(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    close(descriptor);
}

TEST_F(SingleInstanceClaim, ListensInTheRuntimeFolderAndRemovesSocketsNothingListensOn)
{
    const std::string prefix = "kivo-" + std::to_string(getuid()) + "-";
    leaveDeadSocket(runtime / (prefix + "dead"));
    std::ofstream(runtime / (prefix + "not-a-socket")) << "kept";

    InstanceClaim taken = claim(settings.file());
    ASSERT_NE(taken.instance, nullptr);
    taken.instance->listen([](const std::string&, const SingleInstance::Answer&) {});
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(runtime))
        names.push_back(entry.path().filename().string());
    EXPECT_THAT(names, UnorderedElementsAre(prefix + "not-a-socket", AllOf(StartsWith(prefix), Ne(prefix + "dead"))));
}

// A relative folder names another place from each working folder, so a second start elsewhere
// would not find the running Kivo.
TEST(SingleInstanceSocketFolder, IsTheRuntimeFolderOnlyWhenItIsAnAbsolutePath)
{
    const std::pair<const char*, fs::path> cases[] = {
        {"/run/user/1000", "/run/user/1000"},
        {"", QDir::tempPath().toStdString()},
        {"run/user", QDir::tempPath().toStdString()},
    };
    const char* kept = std::getenv("XDG_RUNTIME_DIR");
    const std::string before = kept != nullptr ? kept : "";
    for (const auto& [runtime, folder] : cases) {
        ::setenv("XDG_RUNTIME_DIR", runtime, 1);
        EXPECT_EQ(LinuxSingleInstance::socketFolder(), folder) << "'" << runtime << "'";
    }
    kept != nullptr ? ::setenv("XDG_RUNTIME_DIR", before.c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace kivo
