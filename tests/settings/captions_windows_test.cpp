#include "captions_fixture.h"

#include <gmock/gmock.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kivo {
namespace {

namespace fs = std::filesystem;
using test_support::fileContents;
using test_support::writeFile;
using ::testing::HasSubstr;

// A program holding kivo.ini open without sharing its deletion (an editor, a virus
// scanner) stops the new file from taking the old one's place: the new file must not be
// left behind.
TEST_F(Captions, SaveOverAFileHeldOpenFailsLeavingTheFolderAsItWas)
{
    const std::string old = "[Settings]\r\n0=old\r\n";
    writeFile(file(), old);
    const HANDLE held = CreateFileW(file().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const Status status = saved({"new"});
    CloseHandle(held);
    ASSERT_FALSE(status);
    EXPECT_THAT(status.problem(), HasSubstr("kivo.ini"));
    EXPECT_EQ(fileContents(file()), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()), 1);
}

// A save in progress keeps its temporary file open; one that was killed left its file closed.
TEST_F(Captions, SaveRemovesStaleTemporariesButNotOneBeingWritten)
{
    for (const char* name : {"kivo.ini.new-stale1", "kivo.ini.new-stale2", "kivo.ini.new-live", "other.ini.new-x"})
        writeFile(folder() / name, "partial");
    const HANDLE live = CreateFileW((folder() / "kivo.ini.new-live").c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(live, INVALID_HANDLE_VALUE);

    ASSERT_TRUE(saved({"a"}));
    CloseHandle(live);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder()))
        left.push_back(entry.path().filename().string());
    EXPECT_THAT(left, ::testing::UnorderedElementsAre("kivo.ini", "kivo.ini.new-live", "other.ini.new-x"));
    EXPECT_EQ(fileContents(file()), "[Settings]\r\n0=a\r\n") << "a new file ends its lines as Windows does";
}

}  // namespace
}  // namespace kivo
