// What a save must leave alone, and what it must clean up, in kivo.ini and its folder.
#include "captions_fixture.h"
#include "settings/captions.h"
#include "settings/location.h"

#include "support/captured_stderr.h"
#include "support/temp_settings.h"

#include <gmock/gmock.h>

#include <algorithm>

namespace kivo {
namespace {

namespace fs = std::filesystem;
using fakes::MemoryLabels;
using test_support::CapturedStderr;
using test_support::fileContents;
using test_support::writeFile;
using ::testing::HasSubstr;

const std::string kBom = "\xEF\xBB\xBF";
const std::string kLongValue(300, 'x');

class FileCare : public ::testing::Test {
protected:
    const fs::path& folder() const { return settings_.folder(); }
    fs::path file() const { return settings_.file(); }
    SettingsLocation location() const { return settings_.location(); }

    std::vector<std::string> loaded(std::int32_t n) const
    {
        MemoryLabels labels(n);
        EXPECT_TRUE(loadCaptions(location(), labels, n));
        return labels.captions();
    }
    Status saved(const std::vector<std::string>& captions) const
    {
        const auto n = static_cast<std::int32_t>(captions.size());
        return saveCaptions(location(), MemoryLabels(captions), n);
    }

private:
    test_support::TempSettings settings_;
};

struct SaveCase {
    const char* what;
    std::string before;
    std::vector<std::string> captions;  // nothing: save the captions as loaded
    std::string after;
};

TEST_F(FileCare, SaveChangesOnlyWhatTheUserChanged)
{
    const std::string longLine = "[Settings]\n0=" + kLongValue + "\n1=b\n";
    for (const SaveCase& c : {
             SaveCase{"an untouched over-long value stays whole", longLine, {}, longLine},
             SaveCase{"a changed over-long value is replaced", longLine, {"a", "b"}, "[Settings]\n0=a\n1=b\n"},
             SaveCase{"a byte-order mark is skipped and kept",
                      kBom + "[Settings]\n0=a\n",
                      {"c"},
                      kBom + "[Settings]\n0=c\n"},
             SaveCase{"an all-ASCII file is Windows-1252", "[Settings]\n0=a\n", {"\xFC"}, "[Settings]\n0=\xFC\n"},
             SaveCase{"a file with only a byte-order mark gets its section after it",
                      kBom,
                      {"c"},
                      kBom + created("[Settings]\n0=c\n")},
         }) {
        writeFile(file(), c.before);
        const auto n = static_cast<std::int32_t>(c.captions.empty() ? 2 : c.captions.size());
        const std::vector<std::string> captions = c.captions.empty() ? loaded(n) : c.captions;
        ASSERT_TRUE(saved(captions)) << c.what;
        EXPECT_EQ(fileContents(file()), c.after) << c.what;
    }
}

TEST_F(FileCare, ByteOrderMarkDoesNotHideTheSection)
{
    writeFile(file(), kBom + "[Settings]\r\n0=Button 1:  {Enter}\r\n");
    EXPECT_EQ(loaded(1), std::vector<std::string>{"Button 1:  {Enter}"});
}

TEST_F(FileCare, NonEmptyFileWithoutTheSectionGetsOneNote)
{
    for (const auto& [text, notes] : {std::pair<std::string, int>{"[Other]\nx=1\n", 1}, {"", 0}, {"[settings]\n", 0}}) {
        writeFile(file(), text);
        const CapturedStderr errors;
        loaded(1);
        const std::string said = errors.text();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), notes) << text;
        if (notes == 1) {
            EXPECT_THAT(said, HasSubstr("no [Settings] section"));
        }
    }
}

TEST_F(FileCare, CharactersNoCaptionCanHoldAreLeftOutAndSaidOnce)
{
    const std::string utf8 =
        kBom + "[Settings]\n0=Button 1:  \xE4\xB8\xAD\n1=Button 2:  \xF0\x9F\x98\x80\xE4\xB8\xAD\n";
    writeFile(file(), utf8);
    const CapturedStderr errors;
    const std::vector<std::string> captions = loaded(2);
    EXPECT_EQ(captions, (std::vector<std::string>{"Button 1:  ", "Button 2:  "}));
    ASSERT_TRUE(saved(captions));
    EXPECT_EQ(fileContents(file()), utf8);
    EXPECT_EQ(errors.text(), "kivo: the settings file \"" + file().string() +
                                 "\" holds characters that Windows-1252, the code page of the captions, lacks "
                                 "(U+4E2D, U+1F600); they are left out of the captions and type nothing.\n");
}

TEST_F(FileCare, ReadOnlyFileIsNotReplaced)
{
    writeFile(file(), "[Settings]\n0=old\n");
    fs::permissions(file(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const Status status = saved({"new"});
    ASSERT_FALSE(status);
    EXPECT_THAT(status.problem(), HasSubstr("read-only"));
    EXPECT_EQ(fileContents(file()), "[Settings]\n0=old\n");
    // A save that changes nothing replaces nothing, so every exit would otherwise fail.
    EXPECT_TRUE(saved({"old"}));
}

TEST_F(FileCare, NoFolderToKeepTheFileInMeansNoSave)
{
    const fs::path previous = fs::current_path();
    fs::current_path(folder());
    MemoryLabels labels(std::vector<std::string>{"a"});
    const Status load = loadCaptions({}, labels, 1);
    const Status save = saveCaptions({}, labels, 1);
    fs::current_path(previous);
    ASSERT_FALSE(load);
    ASSERT_FALSE(save);
    EXPECT_THAT(save.problem(), HasSubstr("no folder to keep kivo.ini in"));
    EXPECT_TRUE(fs::is_empty(folder()));
}

}  // namespace
}  // namespace kivo
