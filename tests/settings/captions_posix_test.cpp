#include "captions_fixture.h"
#include "support/ordinary_user.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <set>
#include <string_view>

// The inodes of the regular files flushed to disk, to see that a save's new file gets there
// before it takes the name: a crash could otherwise leave an empty kivo.ini.
std::vector<ino_t> flushedFiles;

extern "C" int fsync(int descriptor)
{
    struct stat status {};
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode))
        flushedFiles.push_back(status.st_ino);
    static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
    return real(descriptor);
}

// While set, renames of a file whose name ends in ".bak" fail, as a file system may refuse one.
bool backupStaysPut = false;

extern "C" int rename(const char* from, const char* to)
{
    if (backupStaysPut && std::string_view(from).ends_with(".bak")) {
        errno = EBUSY;
        return -1;
    }
    static const auto real = reinterpret_cast<int (*)(const char*, const char*)>(::dlsym(RTLD_NEXT, "rename"));
    return real(from, to);
}

// Cases that rest on POSIX: symbolic links, file modes, users and file-size limits.
namespace kivo {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using fakes::MemoryLabels;
using test_support::fileContents;
using test_support::runAsOrdinaryUser;
using test_support::writeFile;
using ::testing::HasSubstr;

TEST_F(Captions, SaveKeepsASymbolicLinkAndThePermissions)
{
    const fs::path real = folder() / "dotfiles-kivo.ini";
    writeFile(real, "[Settings]\n0=old\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(real.filename(), file());
    ASSERT_TRUE(saved({"new"}));
    EXPECT_TRUE(fs::is_symlink(file()));
    EXPECT_EQ(fileContents(real), "[Settings]\n0=new\n");
    EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(Captions, SaveThroughLinksToNoFileYetCreatesTheFileTheyNameAndKeepsThem)
{
    const fs::path real = folder() / "dotfiles-kivo.ini";
    fs::create_symlink(real, folder() / "middle-link");
    fs::create_symlink("middle-link", file());
    ASSERT_TRUE(saved({"new"}));
    EXPECT_TRUE(fs::is_symlink(file()));
    EXPECT_TRUE(fs::is_symlink(folder() / "middle-link"));
    EXPECT_EQ(fileContents(real), "[Settings]\n0=new\n");
}

TEST_F(Captions, SaveFlushesItsNewFileToDisk)
{
    flushedFiles.clear();
    ASSERT_TRUE(saved({"new"}));
    struct stat status {};
    ASSERT_EQ(::stat(file().c_str(), &status), 0);
    EXPECT_THAT(flushedFiles, ::testing::Contains(status.st_ino));
}

TEST_F(Captions, UnreadableFileLoadsAsEmptyCaptions)
{
    writeFile(file(), "[Settings]\n0=secret\n");
    fs::permissions(file(), fs::perms::owner_write);
    EXPECT_EXIT(
        {
            runAsOrdinaryUser();
            MemoryLabels labels({"x"});
            const Status loaded = loadCaptions(location(), labels, 1);
            std::fputs(loaded ? "" : loaded.problem().c_str(), stderr);
            std::exit(labels.caption(0).empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "cannot use the settings file .*Permission denied");
}

TEST_F(Captions, SaveIntoAReadOnlyFolderFailsLeavingTheOldFileWhole)
{
    const std::string old = "[Settings]\n0=old\n";
    writeFile(file(), old);
    fs::permissions(file(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    fs::permissions(folder(), fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_EXIT(
        {
            runAsOrdinaryUser();
            const Status status = saved({"new"});
            std::fputs(status ? "" : status.problem().c_str(), stderr);
            std::exit(status ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "could not save .*kivo.ini.*Permission denied");
    EXPECT_EQ(fileContents(file()), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()), 1);
}

// Whatever it holds, a file Kivo may not write, or may write but not read, is neither moved
// aside nor replaced nor given other permissions.
TEST_F(Captions, FileKivoMayNotWriteOrReadIsLeftAsItIs)
{
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    for (const auto& [contents, mode] : {std::pair{"PK\x03\x04\x14\0\0\0\x08\0"s, fs::perms(0444)},
                                         {"[Settings]\n0=old\n"s, fs::perms::none},
                                         {"[Settings]\n0=old\n"s, fs::perms::owner_write}}) {
        writeFile(file(), contents);
        fs::permissions(file(), mode);
        // Owned by the user the save runs as, in a folder that user may write.
        ASSERT_TRUE(::geteuid() != 0 || (::chown(folder().c_str(), nobody->pw_uid, nobody->pw_gid) == 0 &&
                                         ::chown(file().c_str(), nobody->pw_uid, nobody->pw_gid) == 0));
        EXPECT_EXIT(
            {
                runAsOrdinaryUser();
                const Status status = saved({"new"});
                std::fputs(status ? "" : status.problem().c_str(), stderr);
                std::exit(status ? 1 : 0);
            },
            ::testing::ExitedWithCode(0), "could not save .*kivo.ini.*The file is left as it was")
            << static_cast<int>(mode);
        EXPECT_EQ(fs::status(file()).permissions(), mode);
        EXPECT_FALSE(fs::exists(folder() / "kivo.ini.bak"));
        fs::permissions(file(), fs::perms::owner_read);
        EXPECT_EQ(fileContents(file()), contents);
    }
}

// The same captions saved again into a file nobody changed leave it unread; a change by anyone
// is taken up at once, and Kivo's next caption is saved over it.
TEST_F(Captions, SavingTheSameCaptionsAgainReadsNothing)
{
    CaptionsFile captions(location());
    MemoryLabels labels({"a"});
    ASSERT_TRUE(captions.save(labels, 1));
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, folder().c_str(), IN_OPEN | IN_ACCESS), 0);
    for (int tick = 0; tick < 100; ++tick)
        ASSERT_TRUE(captions.save(labels, 1));
    char events[4096];
    EXPECT_LT(::read(watch, events, sizeof events), 0) << "kivo.ini was opened";
    ::close(watch);

    writeFile(file(), "[Settings]\n0=other\n1=x\n");
    ASSERT_TRUE(captions.save(labels, 1));
    EXPECT_EQ(labels.captions(), std::vector<std::string>{"other"});
    EXPECT_EQ(fileContents(file()), "[Settings]\n0=other\n1=x\n");
    labels.setCaption(0, "b");
    ASSERT_TRUE(captions.save(labels, 1));
    EXPECT_EQ(fileContents(file()), "[Settings]\n0=b\n1=x\n");
}

// While it lives, no file of this process may grow, as on a full disk: the new file cannot
// be written, yet renames still work. With SIGXFSZ ignored the write fails with EFBIG
// instead of killing the test.
class NoRoomToWrite {
public:
    NoRoomToWrite() : handler_(std::signal(SIGXFSZ, SIG_IGN))
    {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        const rlimit none{0, old_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &none);
    }
    ~NoRoomToWrite()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, handler_);
    }
    NoRoomToWrite(const NoRoomToWrite&) = delete;
    NoRoomToWrite& operator=(const NoRoomToWrite&) = delete;

private:
    rlimit old_{};
    void (*handler_)(int);
};

TEST_F(Captions, SaveThatCannotWriteLeavesTheFolderAsItWas)
{
    const auto names = [this] {
        std::set<std::string> all;
        for (const auto& entry : fs::directory_iterator(folder()))
            all.insert(entry.path().filename().string());
        return all;
    };
    // inside: where the old bytes are, kivo.ini itself or a file in a folder standing in its
    // place, which the save first moves aside as unusable.
    for (const fs::path inside : {"", "note"}) {
        const fs::path old = inside.empty() ? file() : file() / inside;
        if (!inside.empty())
            fs::create_directory(file());
        writeFile(old, "[Settings]\n0=old\n");
        const Status status = [this] {
            const NoRoomToWrite full;
            return saved({"new"});
        }();
        ASSERT_FALSE(status) << inside;
        EXPECT_THAT(status.problem(), HasSubstr("File too large. The file is left as it was."));
        EXPECT_EQ(fileContents(old), "[Settings]\n0=old\n") << inside;
        EXPECT_EQ(names(), std::set<std::string>{"kivo.ini"}) << inside;
        fs::remove_all(file());
    }
}

// A save that moved an unusable file aside and then failed puts it back; where that fails too,
// the message says where the file is instead of claiming it was left as it was.
TEST_F(Captions, BackupThatCannotGetItsNameBackIsNamed)
{
    fs::create_directory(file());
    backupStaysPut = true;
    const Status status = [this] {
        const NoRoomToWrite full;
        return saved({"new"});
    }();
    backupStaysPut = false;
    ASSERT_FALSE(status);
    EXPECT_THAT(status.problem(), HasSubstr("stays \"" + (folder() / "kivo.ini.bak").string() + "\""));
    EXPECT_THAT(status.problem(), ::testing::Not(HasSubstr("left as it was")));
}

TEST_F(Captions, SaveRemovesStaleTemporariesButNotOneBeingWritten)
{
    for (const char* name : {"kivo.ini.new-stale1", "kivo.ini.new-stale2", "kivo.ini.new-live", "other.ini.new-x"})
        writeFile(folder() / name, "partial");
    const int live = ::open((folder() / "kivo.ini.new-live").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);

    ASSERT_TRUE(saved({"a"}));
    ::close(live);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder()))
        left.push_back(entry.path().filename().string());
    EXPECT_THAT(left, ::testing::UnorderedElementsAre("kivo.ini", "kivo.ini.new-live", "other.ini.new-x"));
}

}  // namespace
}  // namespace kivo
