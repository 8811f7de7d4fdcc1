#include "app/single_instance.h"

#include "support/captured_stderr.h"
#include "support/temp_settings.h"

#include <windows.h>

#include <gmock/gmock.h>

namespace kivo {
namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::HasSubstr;

TEST(Win32SingleInstance, EveryNameOfTheFileRaisesTheKivoHoldingItAndAnotherFileRunsBesideIt)
{
    const test_support::TempSettings settings;
    std::unique_ptr<SingleInstance> first = claimSingleInstance(settings.file());
    ASSERT_NE(first, nullptr);
    int raised = 0;
    first->listen([&raised](const std::string&, const SingleInstance::Answer&) { ++raised; });

    std::wstring capitals = settings.file().wstring();
    CharUpperBuffW(capitals.data(), static_cast<DWORD>(capitals.size()));
    std::wstring shortFolder(MAX_PATH, L'\0');
    shortFolder.resize(GetShortPathNameW(settings.folder().c_str(), shortFolder.data(), MAX_PATH));
    const fs::path sameFile[] = {settings.file(),
                                 capitals,
                                 settings.folder() / "nowhere" / ".." / "kivo.ini",
                                 settings.file().generic_wstring(),
                                 fs::path(shortFolder) / "kivo.ini",
                                 L"\\\\?\\" + settings.file().wstring(),
                                 settings.folder() / "kivo.ini. ",
                                 settings.folder().wstring() + L". \\kivo.ini"};
    for (const fs::path& file : sameFile) {
        const test_support::CapturedStderr errors;
        EXPECT_EQ(claimSingleInstance(file), nullptr) << file;
        EXPECT_THAT(errors.text(), AllOf(HasSubstr("already running"), HasSubstr("brought to the front instead")))
            << file;
    }
    EXPECT_EQ(raised, std::size(sameFile));

    EXPECT_NE(claimSingleInstance(settings.folder() / "other" / "kivo.ini"), nullptr);
    first.reset();
    EXPECT_NE(claimSingleInstance(settings.file()), nullptr) << "still held after the first ended";
}

}  // namespace
}  // namespace kivo
