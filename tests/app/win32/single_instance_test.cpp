#include "app/win32/single_instance.h"

#include "support/temp_settings.h"

#include <windows.h>

#include <gmock/gmock.h>

#include <optional>

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

TEST(Win32SingleInstance, EveryNameOfTheFileAsksTheKivoHoldingItAndAnotherFileRunsBesideIt)
{
    const test_support::TempSettings settings;
    Claim first = claimSingleInstance(settings.file());
    ASSERT_NE(runningInstance(first), nullptr);
    int asked = 0;
    bool cameToFront = true;
    runningInstance(first)->listen([&](const LaunchTokens&, const SingleInstance::Answer& answer) {
        ++asked;
        answer(cameToFront);
    });

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
        const Claim refused = claimSingleInstance(file);
        EXPECT_EQ(runningInstance(refused), nullptr) << file;
        EXPECT_EQ(refusal(refused).answer, FrontAnswer::CameToFront) << file;
    }
    EXPECT_EQ(asked, std::size(sameFile));
    // Windows may refuse the window the front and flash its taskbar button instead.
    cameToFront = false;
    EXPECT_EQ(refusal(claimSingleInstance(settings.file())).answer, FrontAnswer::AskedOnly);

    EXPECT_NE(runningInstance(claimSingleInstance(settings.folder() / "other" / "kivo.ini")), nullptr);
    first.emplace<AlreadyRunning>();
    EXPECT_NE(runningInstance(claimSingleInstance(settings.file())), nullptr) << "still held after the first ended";
}

// Two builds of Kivo, before and after an update, name one file alike.
TEST(Win32SingleInstance, TheNameOfAFileIsTheSameInEveryBuild)
{
    EXPECT_EQ(win32InstanceName(L"C:\\USERS\\PUBLIC\\KIVO.INI"), L"Kivo.c9193a3cb58f3805");
}

}  // namespace
}  // namespace kivo
