#include "captions_fixture.h"
#include "engine/key_tokens.h"
#include "support/captured_stderr.h"

#include <gmock/gmock.h>

#include <optional>

namespace kivo {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using fakes::MemoryLabels;
using test_support::CapturedStderr;
using test_support::fileContents;
using test_support::writeFile;
using ::testing::HasSubstr;

TEST_F(Captions, ExampleFileIsWrittenByteForByteAndReadBackWithItsBlanks)
{
    const std::vector<std::string> captions{"Button 1:  {Enter}", "Button 2:  ", "Button 3:  {F1}"};
    ASSERT_TRUE(saved(captions));
    EXPECT_EQ(fileContents(file()), created("[Settings]\n0=Button 1:  {Enter}\n1=Button 2:  \n2=Button 3:  {F1}\n"));
    EXPECT_EQ(loaded(3), captions);
}

TEST_F(Captions, SaveChangesTheFirstNKeysInPlaceAndKeepsEverythingElse)
{
    writeFile(file(), "; mine\r\n[settings]\r\n0=old\r\n4=Button 5:  {F5}\r\n[Other]\r\n1=x\r\n");
    ASSERT_TRUE(saved({"a", "Space "}));
    EXPECT_EQ(fileContents(file()),
              "; mine\r\n[settings]\r\n0=a\r\n4=Button 5:  {F5}\r\n1=Space \r\n[Other]\r\n1=x\r\n");
}

TEST_F(Captions, LoadSetsOnlyTheFirstNLabelsCutTo254Bytes)
{
    writeFile(file(), "[Settings]\n1=" + std::string(300, 'x') + "\n3=four\n");
    MemoryLabels labels({"one", "two", "three", "keep"});
    ASSERT_TRUE(loadCaptions(location(), labels, 3));
    EXPECT_EQ(labels.captions(), (std::vector<std::string>{"", std::string(254, 'x'), "", "keep"}));
}

TEST_F(Captions, NoButtonsReadsAndWritesNothing)
{
    writeFile(file(), "[Settings]\n0=a\n");
    MemoryLabels labels({"keep"});
    ASSERT_TRUE(loadCaptions(location(), labels, 0));
    EXPECT_TRUE(saveCaptions(location(), labels, 0));
    const fs::path elsewhere = folder() / "new" / "kivo.ini";
    EXPECT_TRUE(saveCaptions({elsewhere, elsewhere}, labels, 0));
    EXPECT_EQ(labels.caption(0), "keep");
    EXPECT_EQ(fileContents(file()), "[Settings]\n0=a\n");
    EXPECT_FALSE(fs::exists(folder() / "new"));
}

struct HoldKeysCase {
    const char* file;
    std::optional<bool> chosen;
    bool read;
    const char* saved;
};

// The key is read as a hand would write it, and a file that never chose held keys keeps its
// bytes while they stay off, so that older Kivos see the file they wrote.
TEST_F(Captions, HoldKeysIsReadFromSettingsAndWrittenOnlyOnceChosen)
{
    const HoldKeysCase cases[] = {
        {"[Settings]\n0=a\n", std::nullopt, false, "[Settings]\n0=a\n"},
        {"[Settings]\n0=a\n", false, false, "[Settings]\n0=a\n"},
        {"[Settings]\n0=a\n", true, false, "[Settings]\n0=a\nHoldKeys=1\n"},
        {"[settings]\nholdkeys= Yes\n0=a\n", false, true, "[settings]\nholdkeys=0\n0=a\n"},
        {"[Settings]\nHoldKeys=1\n0=a\n", std::nullopt, true, "[Settings]\nHoldKeys=1\n0=a\n"},
        {"[Settings]\nHoldKeys=2\n0=a\n", std::nullopt, false, "[Settings]\nHoldKeys=2\n0=a\n"},
        {"[Other]\nHoldKeys=1\n", true, false, "[Other]\nHoldKeys=1\n[Settings]\n0=a\nHoldKeys=1\n"},
    };
    for (const HoldKeysCase& c : cases) {
        writeFile(file(), c.file);
        EXPECT_EQ(readHoldKeys(location()), c.read) << c.file;
        ASSERT_TRUE(saveCaptions(location(), MemoryLabels({"a"}), 1, c.chosen)) << c.file;
        EXPECT_EQ(fileContents(file()), c.saved) << c.file;
    }
}

TEST_F(Captions, FirstRunLoadsEmptyCaptionsAndSaveCreatesTheFolder)
{
    const fs::path nested = folder() / "config" / "kivo" / "kivo.ini";
    MemoryLabels labels({"Button 1:"});
    ASSERT_TRUE(loadCaptions({nested, nested}, labels, 1));
    EXPECT_EQ(labels.caption(0), "");
    labels.setCaption(0, "Button 1:  A");
    ASSERT_TRUE(saveCaptions({nested, nested}, labels, 1));
    EXPECT_EQ(fileContents(nested), created("[Settings]\n0=Button 1:  A\n"));
}

TEST_F(Captions, FirstSaveCarriesAnEarlierFileOverAndLeavesItAlone)
{
    const fs::path earlier = folder() / "kivo-old.ini";
    const std::string old = "[Settings]\r\n0=old\r\n7=Button 8:  X\r\n";
    writeFile(earlier, old);
    MemoryLabels labels({""});
    ASSERT_TRUE(loadCaptions({earlier, file()}, labels, 1));
    EXPECT_EQ(labels.caption(0), "old");
    ASSERT_TRUE(saveCaptions({earlier, file()}, MemoryLabels({"new"}), 1));
    EXPECT_EQ(fileContents(file()), "[Settings]\r\n0=new\r\n7=Button 8:  X\r\n");
    EXPECT_EQ(fileContents(earlier), old);
}

struct OddFile {
    const char* what;
    std::string contents;
    std::string caption;    // that loads for button 1
    std::string afterSave;  // once button 1 is saved as "new"
};

void PrintTo(const OddFile& file, std::ostream* out)
{
    *out << file.what;
}

class OddFiles : public Captions, public ::testing::WithParamInterface<OddFile> {};

TEST_P(OddFiles, LoadQuietlyAndKeepTheirOtherBytesOnSave)
{
    writeFile(file(), GetParam().contents);
    CapturedStderr errors;
    EXPECT_EQ(loaded(1), std::vector<std::string>{GetParam().caption});
    ASSERT_TRUE(saved({"new"}));
    EXPECT_EQ(fileContents(file()), GetParam().afterSave);
    // A file without the section gets a note that its captions start empty, nothing more.
    // (Matched without a regular expression: GoogleTest's Windows ones have no brackets.)
    const std::string said = errors.text();
    if (!said.empty()) {
        EXPECT_THAT(said, ::testing::AllOf(::testing::StartsWith("kivo: "), HasSubstr("no [Settings] section")));
        EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
    }
}

const std::string kLongLine(1'000'000, 'x');

INSTANTIATE_TEST_SUITE_P(
    Cases, OddFiles,
    ::testing::Values(OddFile{"empty", "", "", created("[Settings]\n0=new\n")},
                      OddFile{"no_settings_section", "[Other]\n0=x", "", "[Other]\n0=x\n[Settings]\n0=new\n"},
                      OddFile{"binary_garbage", "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff"s, "",
                              "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\r\n[Settings]\r\n0=new\r\n"s},
                      OddFile{"nul_bytes_in_values", "[Settings]\n0=a\0b\n1=\0\n"s, "a\0b"s,
                              "[Settings]\n0=new\n1=\0\n"s},
                      OddFile{"key_without_equals", "[Settings]\n0\n", "", "[Settings]\n0\n0=new\n"},
                      OddFile{"duplicate_sections_and_keys", "[Settings]\n0=a\n0=b\n[SETTINGS]\n0=c\n", "a",
                              "[Settings]\n0=new\n0=b\n[SETTINGS]\n0=c\n"},
                      OddFile{"line_of_almost_a_mebibyte", ";" + kLongLine + "\n[Settings]\n0=a\n", "a",
                              ";" + kLongLine + "\n[Settings]\n0=new\n"}),
    [](const auto& info) { return std::string(info.param.what); });

// A file that cannot be read as a profile loads as empty captions and is left alone;
// the next save moves it aside instead of replacing it.
class UnusableFile : public Captions {
protected:
    // inside names the file within a folder that stands in place of kivo.ini.
    void expectLeftAloneThenKeptAs(const fs::path& backup, const std::string& inside, const std::string& contents)
    {
        const auto part = [&](const fs::path& path) { return inside.empty() ? path : path / inside; };
        MemoryLabels labels({"Button 1:"});
        const Status loaded = loadCaptions(location(), labels, 1);
        ASSERT_FALSE(loaded);
        EXPECT_THAT(loaded.problem(), HasSubstr("cannot use the settings file \"" + file().string()));
        EXPECT_EQ(labels.caption(0), "");
        EXPECT_EQ(fileContents(part(file())), contents);
        CapturedStderr errors;
        ASSERT_TRUE(saved({"new"}));
        EXPECT_THAT(errors.text(), HasSubstr(backup.string()));
        EXPECT_EQ(fileContents(file()), created("[Settings]\n0=new\n"));
        EXPECT_EQ(fileContents(part(backup)), contents);
    }
};

TEST_F(UnusableFile, Folder)
{
    fs::create_directory(file());
    writeFile(file() / "note", "mine");
    expectLeftAloneThenKeptAs(folder() / "kivo.ini.bak", "note", "mine");
}

TEST_F(UnusableFile, LargerThanAMebibyte)
{
    const std::string huge = "[Settings]\n0=" + std::string(2'000'000, 'x') + "\n";
    writeFile(file(), huge);
    expectLeftAloneThenKeptAs(folder() / "kivo.ini.bak", "", huge);
}

TEST_F(UnusableFile, Utf16CutWithinACharacter)
{
    const std::string cut = "\xFE\xFF\0[\0S\0]\0\n"s + "x";
    writeFile(file(), cut);
    expectLeftAloneThenKeptAs(folder() / "kivo.ini.bak", "", cut);
}

TEST_F(UnusableFile, EarlierBackupIsNotOverwritten)
{
    writeFile(folder() / "kivo.ini.bak", "earlier");
    fs::create_directory(file());
    writeFile(file() / "note", "mine");
    expectLeftAloneThenKeptAs(folder() / "kivo.ini.bak.2", "note", "mine");
    EXPECT_EQ(fileContents(folder() / "kivo.ini.bak"), "earlier");
}

TEST_F(Captions, SaveFailsWhereAFileStandsForTheFolder)
{
    writeFile(folder() / "kivo", "not a folder");
    const fs::path inside = folder() / "kivo" / "kivo.ini";
    const Status status = saveCaptions({inside, inside}, MemoryLabels({"a"}), 1);
    ASSERT_FALSE(status);
    EXPECT_THAT(status.problem(), HasSubstr("cannot create the folder"));
    EXPECT_EQ(fileContents(folder() / "kivo"), "not a folder");
}

// kivo.ini edited while Kivo runs: the window takes the edit up, as the watch reports it or at the
// latest before a save, and no save undoes it. An assignment made meanwhile is saved beside it,
// and wins where both changed the same button before the watch reported the edit.
TEST_F(Captions, EditsMadeWhileKivoRunsAreShownAndKept)
{
    struct Case {
        const char* name;
        const char* edited;  // nullptr: the file is removed
        bool watched;        // the watch reports the edit before the assignment
        int assigned;        // -1: nothing is assigned before the save
        std::vector<std::string> shown;
        std::string saved;
    };
    const char* start = "[Settings]\n0=Button 1:  A\n1=Button 2:  {F2}\n";
    const char* edit = "[Settings]\n0=Button 1:  A\n1=Button 2:  {F9}\n; mine\n";
    const Case cases[] = {
        {"closed after the edit", edit, false, -1, {"Button 1:  A", "Button 2:  {F9}"}, edit},
        {"another button assigned",
         edit,
         true,
         0,
         {"Button 1:  {Enter}", "Button 2:  {F9}"},
         "[Settings]\n0=Button 1:  {Enter}\n1=Button 2:  {F9}\n; mine\n"},
        {"assigned unseen",
         edit,
         false,
         0,
         {"Button 1:  {Enter}", "Button 2:  {F9}"},
         "[Settings]\n0=Button 1:  {Enter}\n1=Button 2:  {F9}\n; mine\n"},
        {"the edited button assigned after the watch",
         edit,
         true,
         1,
         {"Button 1:  A", "Button 2:  {Enter}"},
         "[Settings]\n0=Button 1:  A\n1=Button 2:  {Enter}\n; mine\n"},
        {"the edited button assigned before the watch",
         edit,
         false,
         1,
         {"Button 1:  A", "Button 2:  {Enter}"},
         "[Settings]\n0=Button 1:  A\n1=Button 2:  {Enter}\n; mine\n"},
        {"a key removed",
         "[Settings]\n0=Button 1:  A\n",
         true,
         -1,
         {"Button 1:  A", ""},
         "[Settings]\n0=Button 1:  A\n1=\n"},
        {"the file removed", nullptr, true, -1, {"Button 1:  A", "Button 2:  {F2}"}, created(start)},
    };
    for (const Case& c : cases) {
        writeFile(file(), start);
        CaptionsFile captions(location());
        MemoryLabels labels(2);
        ASSERT_TRUE(captions.load(labels, 2));
        if (c.edited)
            writeFile(file(), c.edited);
        else
            fs::remove(file());
        if (c.watched)
            captions.takeUpChanges(labels, 2);
        if (c.assigned >= 0)
            labels.setCaption(c.assigned, composeCaption(c.assigned, "{Enter}"));
        const CapturedStderr said;
        ASSERT_TRUE(captions.save(labels, 2)) << c.name;
        EXPECT_EQ(labels.captions(), c.shown) << c.name;
        EXPECT_EQ(fileContents(file()), c.saved) << c.name;
        EXPECT_EQ(said.text().find("button 2") != std::string::npos, !c.watched && c.assigned == 1) << c.name;
    }
}

}  // namespace
}  // namespace kivo
