#include "captions_fixture.h"

#include <gmock/gmock.h>
#include <windows.h>

#include <filesystem>
#include <string>

namespace kivo {
namespace {

namespace fs = std::filesystem;
using testing::fileContents;
using ::testing::HasSubstr;
using testing::writeFile;

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

}  // namespace
}  // namespace kivo
