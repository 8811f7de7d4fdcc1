#include "app/linux/single_instance.h"

#include "support/captured_stderr.h"
#include "support/ordinary_user.h"
#include "support/temp_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QSysInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>

#include <algorithm>
#include <csignal>
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
    std::unique_ptr<SingleInstance> claim(const fs::path& file) const
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

bool deleted(int descriptor)
{
    struct stat status {};
    return ::fstat(descriptor, &status) != 0 || status.st_nlink == 0;
}

// Only a running Kivo keeps another from starting, never what a crash left in the file; and the
// file stays, since a start that deleted it could not know whether another had just locked it.
TEST_F(SingleInstanceClaim, ALockNobodyHoldsIsTakenWhateverItSaysAndKept)
{
    const LeftLock cases[] = {
        {"empty, as a kill while writing it leaves it", ""},
        {"garbage", "\x01\x02 not a lock\n"},
        {"from another computer", "12345\nkivo\notherhost\n"},
        {"from a process that has ended on this one", "999999999\nkivo\n" + QSysInfo::machineHostName().toStdString()},
    };
    for (const LeftLock& c : cases) {
        std::ofstream(lockFile(), std::ios::binary) << c.contents;
        const int left = ::open(lockFile().c_str(), O_RDONLY | O_CLOEXEC);
        const test_support::CapturedStderr errors;
        const std::unique_ptr<SingleInstance> taken = claim(settings.file());
        EXPECT_NE(taken, nullptr) << c.what;
        EXPECT_EQ(errors.text(), "") << c.what;
        EXPECT_FALSE(deleted(left)) << c.what;
        ::close(left);
    }
}

TEST_F(SingleInstanceClaim, AnotherUsersLockFileOpensForReadingAndLocks)
{
    std::ofstream(lockFile()) << "";
    fs::permissions(lockFile(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    EXPECT_EXIT(
        {
            test_support::runAsOrdinaryUser();
            std::exit(claim(settings.file()) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "^$");
}

// A Kivo that holds the lock but does not answer is busy or stopped, not a stranger.
TEST_F(SingleInstanceClaim, ALockHeldThroughAnotherPathIsARunningKivoThatDoesNotAnswer)
{
    const fs::path linked = settings.folder() / "dotfiles" / "kivo.ini";
    fs::create_directory(linked.parent_path());
    fs::create_symlink(settings.file(), linked);
    const int holder = ::open(lockFile().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);

    for (const char* linkedFile : {"that does not exist yet", "that exists"}) {
        const test_support::CapturedStderr errors;
        EXPECT_EQ(claim(linked), nullptr) << linkedFile;
        EXPECT_THAT(errors.text(), AllOf(HasSubstr("already running"), HasSubstr("busy"),
                                         HasSubstr("(process " + std::to_string(::getpid()) + ")")));
        std::ofstream(settings.file()) << "[Settings]\n";
    }
    ::close(holder);
}

// A start in a child process, from the moment go can be read: reports 'C' when it claimed the
// file, 'R' when it was refused, and keeps what it has until it is killed.
pid_t startInChild(const fs::path& file, const fs::path& runtime, int go, int report)
{
    const pid_t child = ::fork();
    if (child != 0)
        return child;
    ::dup2(::open("/dev/null", O_WRONLY), STDERR_FILENO);
    char token = 0;
    if (::read(go, &token, 1) != 1)
        ::_exit(1);
    const std::unique_ptr<SingleInstance> claim = LinuxSingleInstance::claim(
        file, runtime, [] { return std::string(); }, 100ms);
    token = claim ? 'C' : 'R';
    if (::write(report, &token, 1) != 1)
        ::_exit(1);
    ::pause();
    ::_exit(0);
}

std::string readReports(int report, int count)
{
    std::string reports(static_cast<std::size_t>(count), '\0');
    for (int got = 0; got < count;) {
        const ssize_t n = ::read(report, reports.data() + got, reports.size() - got);
        if (n <= 0)
            break;
        got += static_cast<int>(n);
    }
    std::ranges::sort(reports);
    return reports;
}

void killAndReap(pid_t child)
{
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

// A Kivo killed, then two started at once: exactly one of them runs, however their steps
// interleave.
TEST_F(SingleInstanceClaim, TwoStartsAfterAKillGiveOneKivo)
{
    int go[2];
    int report[2];
    ASSERT_EQ(::pipe(go), 0);
    ASSERT_EQ(::pipe(report), 0);
    for (int attempt = 0; attempt < 20; ++attempt) {
        const pid_t killed = startInChild(settings.file(), runtime, go[0], report[1]);
        ASSERT_EQ(::write(go[1], "g", 1), 1);
        ASSERT_EQ(readReports(report[0], 1), "C");
        killAndReap(killed);
        const pid_t first = startInChild(settings.file(), runtime, go[0], report[1]);
        const pid_t second = startInChild(settings.file(), runtime, go[0], report[1]);
        ASSERT_EQ(::write(go[1], "gg", 2), 2);
        EXPECT_EQ(readReports(report[0], 2), "CR") << "attempt " << attempt;
        killAndReap(first);
        killAndReap(second);
    }
}

// The running Kivo answers once it knows where its window is, and the second start says that.
TEST_F(SingleInstanceClaim, ASecondStartHandsOverItsTokenAndSaysWhetherTheWindowCameToTheFront)
{
    const std::pair<bool, const char*> answers[] = {
        {true, "; its window is brought to the front instead."},
        {false, "; it was asked to bring its window to the front, but the desktop did not put it there"},
    };
    const std::unique_ptr<SingleInstance> running = claim(settings.file());
    ASSERT_NE(running, nullptr);
    bool cameToFront = false;
    std::string tokenSeen;
    running->listen([&](const std::string& token, const SingleInstance::Answer& answer) {
        tokenSeen = token;
        answer(cameToFront);
    });
    for (const auto& [active, says] : answers) {
        cameToFront = active;
        const test_support::CapturedStderr errors;
        auto second = std::async(std::launch::async, [this] { return claim(settings.file()); });
        while (second.wait_for(1ms) != std::future_status::ready)
            QCoreApplication::processEvents();
        EXPECT_EQ(second.get(), nullptr);
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

    const std::unique_ptr<SingleInstance> taken = claim(settings.file());
    ASSERT_NE(taken, nullptr);
    taken->listen([](const std::string&, const SingleInstance::Answer&) {});
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
