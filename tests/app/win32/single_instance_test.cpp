#include "app/single_instance.h"

#include "support/captured_stderr.h"
#include "support/temp_settings.h"

#include <windows.h>

#include <gmock/gmock.h>

#include <cwctype>
#include <string>

namespace kivo {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

std::wstring shortName(const fs::path& path)
{
    std::wstring name(MAX_PATH, L'\0');
    name.resize(GetShortPathNameW(path.c_str(), name.data(), MAX_PATH));
    return name;
}

TEST(Win32SingleInstance, EveryNameOfTheFileRaisesTheKivoHoldingItAndAnotherFileRunsBesideIt)
{
    const test_support::TempSettings settings;
    std::ofstream(settings.file()) << "[Settings]\r\n";
    InstanceClaim first = claimSingleInstance(settings.file());
    ASSERT_NE(first.instance, nullptr);
    int raised = 0;
    first.instance->listen([&raised] { ++raised; });

    std::wstring capitals = settings.file().wstring();
    for (wchar_t& c : capitals)
        c = std::towupper(c);
    const fs::path sameFile[] = {
        settings.file(),
        capitals,
        settings.folder() / "nowhere" / ".." / "kivo.ini",
        settings.file().generic_wstring(),
        shortName(settings.file()),
    };
    for (const fs::path& file : sameFile) {
        const test_support::CapturedStderr errors;
        const int before = raised;
        const InstanceClaim second = claimSingleInstance(file);
        EXPECT_EQ(second.instance, nullptr) << file;
        EXPECT_TRUE(second.runningKivoRaised) << file;
        EXPECT_EQ(raised, before + 1) << file;
        EXPECT_THAT(errors.text(), HasSubstr("already running")) << file;
    }

    const InstanceClaim other = claimSingleInstance(settings.folder() / "other" / "kivo.ini");
    EXPECT_NE(other.instance, nullptr);
    first.instance.reset();
    EXPECT_NE(claimSingleInstance(settings.file()).instance, nullptr) << "still held after the first ended";
}

}  // namespace
}  // namespace kivo
