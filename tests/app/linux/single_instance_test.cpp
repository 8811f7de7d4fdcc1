#include "app/linux/single_instance.h"

#include "support/captured_stderr.h"
#include "support/ending.h"
#include "support/ordinary_user.h"
#include "support/qt_waits.h"
#include "support/temp_settings.h"
#include "support/waits.h"

#include <QCoreApplication>
#include <QDir>
#include <QSysInfo>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <future>
#include <optional>
#include <string>

namespace kivo {
namespace {

namespace fs = std::filesystem;

// What a claim that was refused found; nothing answered for one that runs.
const AlreadyRunning& refusal(const Claim& claim)
{
    static const AlreadyRunning kNone;
    const AlreadyRunning* refused = std::get_if<AlreadyRunning>(&claim);
    return refused ? *refused : kNone;
}

std::string whyUnlocked(const Claim& claim)
{
    const Running* running = std::get_if<Running>(&claim);
    return running ? running->whyUnlocked : "already running";
}
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
    Claim claim(const fs::path& file) const
    {
        LinuxInstanceLock lock(file, runtime);
        return claimSingleInstance(
            lock,
            [] {
                return LaunchTokens{"activation-token", "launch-id_TIME42"};
            },
            300ms);  // the claim's patience, short: a row where nobody answers waits all of it
    }
    // The one socket a running Kivo listens on.
    fs::path socketPath() const
    {
        for (const fs::directory_entry& entry : fs::directory_iterator(runtime)) {
            if (entry.is_socket())
                return entry.path();
        }
        return {};
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
        const Claim taken = claim(settings.file());
        EXPECT_NE(runningInstance(taken), nullptr) << c.what;
        EXPECT_EQ(whyUnlocked(taken), "") << c.what;
        EXPECT_FALSE(deleted(left)) << c.what;
        ::close(left);
    }
}

// Another user's lock file opens for reading, which is all flock needs. Opened without waiting: a
// FIFO in its place, which would wait for a writer, is refused, and Kivo starts sure all the same
// through the name it holds.
TEST_F(SingleInstanceClaim, AnotherUsersLockFileOpensForReadingAndLocksWhenItIsARegularFile)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root: the file is another user's only when root gives up its id to claim it";
    for (const bool regular : {true, false}) {
        fs::remove(lockFile());
        regular ? void(std::ofstream(lockFile()) << "") : void(::mkfifo(lockFile().c_str(), 0600));
        fs::permissions(lockFile(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
        EXPECT_EXIT(
            {
                test_support::runAsOrdinaryUser();
                ::alarm(static_cast<unsigned>(test_support::kWaitDeadline.count()));
                const Claim taken = claim(settings.file());
                std::fputs(whyUnlocked(taken).c_str(), stderr);
                std::exit(runningInstance(taken) ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "^$");
    }
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
        const Claim refused = claim(linked);
        EXPECT_EQ(runningInstance(refused), nullptr) << linkedFile;
        EXPECT_EQ(refusal(refused).answer, FrontAnswer::NoAnswer) << linkedFile;
        EXPECT_EQ(refusal(refused).held.holder, ::getpid()) << linkedFile;
        std::ofstream(settings.file()) << "[Settings]\n";
    }
    ::close(holder);
}

// Whatever happens to the settings folder or the lock file while Kivo runs, a second start finds
// it running, and a start in a folder it may not write to is sure of that all the same.
TEST_F(SingleInstanceClaim, NoGameWithTheFolderLetsASecondKivoRun)
{
    const fs::path folder = settings.folder() / "kivo";
    const fs::path file = folder / "kivo.ini";
    const fs::path aside = settings.folder() / "aside";
    const std::pair<const char*, std::function<void()>> games[] = {
        {"lock file deleted", [&] { fs::remove(folder / "kivo.ini.lock"); }},
        {"folder deleted", [&] { fs::remove_all(folder); }},
        {"folder renamed", [&] { fs::rename(folder, aside); }},
        {"folder re-created",
         [&] {
             fs::remove_all(folder);
             fs::create_directories(folder);
         }},
        {"folder read-only", [&] { fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec); }},
    };
    for (const auto& [game, play] : games) {
        fs::create_directories(folder);
        const Claim running = claim(file);
        ASSERT_NE(runningInstance(running), nullptr) << game;
        play();
        EXPECT_EQ(runningInstance(claim(file)), nullptr) << game;
        fs::permissions(folder, fs::perms::owner_all);
        fs::remove_all(aside);
    }
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    const Claim alone = claim(file);
    EXPECT_NE(runningInstance(alone), nullptr);
    EXPECT_EQ(whyUnlocked(alone), "");
    fs::permissions(folder, fs::perms::owner_all);
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
    LinuxInstanceLock lock(file, runtime);
    const Claim claim = claimSingleInstance(
        lock, [] { return LaunchTokens(); }, 100ms);  // the claim's patience, short: nobody answers
    token = runningInstance(claim) ? 'C' : 'R';
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
    test_support::endProcess(child, SIGKILL);
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

// The running Kivo answers once it knows where its window is, and the second start tells which.
// One that was stopped while the second start waited does not carry out the request once it
// runs again.
TEST_F(SingleInstanceClaim, ASecondStartHandsOverItsTokensAndTellsWhetherTheWindowCameToTheFront)
{
    struct Row {
        const char* holder;
        std::optional<bool> cameToFront;
        FrontAnswer answer;
    };
    const Row rows[] = {
        {"answers that it came to the front", true, FrontAnswer::CameToFront},
        {"answers that it only asked", false, FrontAnswer::AskedOnly},
        {"is stopped", std::nullopt, FrontAnswer::NoAnswer},
    };
    const Claim running = claim(settings.file());
    ASSERT_NE(runningInstance(running), nullptr);
    bool cameToFront = false;
    std::optional<LaunchTokens> tokensSeen;
    runningInstance(running)->listen([&](const LaunchTokens& tokens, const SingleInstance::Answer& answer) {
        tokensSeen = tokens;
        answer(cameToFront);
    });
    for (const Row& row : rows) {
        cameToFront = row.cameToFront.value_or(false);
        tokensSeen.reset();
        auto second = std::async(std::launch::async, [this] { return claim(settings.file()); });
        // The running Kivo answers through its event loop, in the rows where it answers at all.
        const auto claimed = [&second] { return second.wait_for(0ms) == std::future_status::ready; };
        row.cameToFront ? test_support::waitWithEvents(claimed) : test_support::waitFor(claimed);
        const Claim refused = second.get();
        EXPECT_EQ(runningInstance(refused), nullptr) << row.holder;
        EXPECT_EQ(refusal(refused).answer, row.answer) << row.holder;
        // What a stopped Kivo would do once it runs again.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
        ASSERT_EQ(tokensSeen.has_value(), row.cameToFront.has_value()) << row.holder;
        if (tokensSeen) {
            EXPECT_EQ(tokensSeen->activation, "activation-token");
            EXPECT_EQ(tokensSeen->startupId, "launch-id_TIME42");
        }
    }
}

int connectedClient(const fs::path& socket)
{
    const int client = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socket.string().copy(address.sun_path, sizeof address.sun_path - 1);
    return ::connect(client, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ? client : -1;
}

// How many of clients the running Kivo closed, once that many are or the wait gives up.
long droppedOnceSettled(const std::vector<int>& clients, long expected)
{
    const auto dropped = [&] {
        return std::ranges::count_if(clients, [](int client) {
            pollfd hangUp{client, POLLIN, 0};
            return ::poll(&hangUp, 1, 0) == 1;
        });
    };
    test_support::waitWithEvents([&] { return dropped() >= expected; });
    return dropped();
}

// Whatever a client sends costs the running Kivo nothing it keeps: a line longer than any request,
// and more connections than starts make at once, are dropped.
TEST_F(SingleInstanceClaim, TheSocketDropsWhatNoStartOfKivoSends)
{
    const Claim running = claim(settings.file());
    ASSERT_NE(runningInstance(running), nullptr);
    int asked = 0;
    runningInstance(running)->listen([&](const LaunchTokens&, const SingleInstance::Answer&) { ++asked; });
    const std::vector<int> longLine{connectedClient(socketPath())};
    const std::string line(64 * 1024, 'r');
    ASSERT_EQ(::send(longLine.front(), line.data(), line.size(), MSG_DONTWAIT), ssize_t(line.size()));
    EXPECT_EQ(droppedOnceSettled(longLine, 1), 1) << "a long line";
    constexpr int kAtOnce = 16;
    std::vector<int> many;
    for (int i = 0; i < 40; ++i)
        many.push_back(connectedClient(socketPath()));
    EXPECT_EQ(droppedOnceSettled(many, long(many.size()) - kAtOnce), long(many.size()) - kAtOnce) << "many at once";
    // Those kept say nothing, and are closed once a start would have given up: they would
    // otherwise keep every later start out.
    EXPECT_TRUE(test_support::waitFor([&] { return droppedOnceSettled(many, long(many.size())) == long(many.size()); }))
        << "silent ones";
    EXPECT_EQ(asked, 0);
    for (const int client : longLine)
        ::close(client);
    for (const int client : many)
        ::close(client);
}

// Another user's entry where the socket goes (XDG_RUNTIME_DIR unset, so a shared temporary
// folder): the running Kivo says that it cannot answer there, and a second start that it cannot
// ask it, without waiting.
TEST_F(SingleInstanceClaim, AnotherUsersEntryInPlaceOfTheSocketIsNamed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root, to give the entry to another user";
    fs::path taken;
    {
        const Claim first = claim(settings.file());
        runningInstance(first)->listen([](const LaunchTokens&, const SingleInstance::Answer&) {});
        taken = socketPath();
    }
    std::ofstream(taken) << "";
    ASSERT_EQ(::chown(taken.c_str(), 65534, 65534), 0);
    const Claim running = claim(settings.file());
    const test_support::CapturedStderr errors;
    runningInstance(running)->listen([](const LaunchTokens&, const SingleInstance::Answer&) {});
    EXPECT_THAT(errors.text(), HasSubstr(taken.string() + "\" belongs to another user"));
    const Claim second = claim(settings.file());
    EXPECT_EQ(runningInstance(second), nullptr);
    EXPECT_THAT(refusal(second).held.unaskable, HasSubstr("belongs to another user"));
    EXPECT_EQ(refusal(second).held.holder, ::getpid());
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

    const Claim taken = claim(settings.file());
    ASSERT_NE(runningInstance(taken), nullptr);
    runningInstance(taken)->listen([](const LaunchTokens&, const SingleInstance::Answer&) {});
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
        EXPECT_EQ(LinuxInstanceLock::socketFolder(), folder) << "'" << runtime << "'";
    }
    kept != nullptr ? ::setenv("XDG_RUNTIME_DIR", before.c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace kivo
