#include "platform/key_string.h"
#include "platform/key_records.h"
#include "platform/layout_records_table.h"
#include "platform/windows1252.h"

#include <gtest/gtest.h>

#include <span>

namespace kivo {
namespace {

constexpr KeyModifiers kNone{};
constexpr KeyModifiers kShift{.shift = true};
constexpr KeyModifiers kControl{.control = true};
constexpr KeyModifiers kAlt{.alt = true};

struct WellFormed {
    std::string_view text;
    std::vector<KeyStroke> strokes;
    // A failing case names its string.
    friend void PrintTo(const WellFormed& c, std::ostream* out) { *out << '"' << c.text << '"'; }
};

class WellFormedKeyString : public ::testing::TestWithParam<WellFormed> {};

TEST_P(WellFormedKeyString, ParsesToStrokes)
{
    const KeyString parsed(GetParam().text);
    EXPECT_EQ(parsed.error(), "");
    EXPECT_EQ(parsed.strokes(), GetParam().strokes);
}

INSTANTIATE_TEST_SUITE_P(
    Notation, WellFormedKeyString,
    ::testing::Values(
        WellFormed{"", {}}, WellFormed{"a", {KeyStroke::typed('a')}}, WellFormed{"A", {KeyStroke::typed('A')}},
        WellFormed{"ab1", {KeyStroke::typed('a'), KeyStroke::typed('b'), KeyStroke::typed('1')}},
        WellFormed{" ", {KeyStroke::typed(' ')}}, WellFormed{"\xA3", {KeyStroke::typed('\xA3')}},
        WellFormed{"{Enter}", {KeyStroke::named(NamedKey::Enter)}},
        WellFormed{"{right}", {KeyStroke::named(NamedKey::Right)}},
        WellFormed{"{RIGHT}", {KeyStroke::named(NamedKey::Right)}},
        WellFormed{"{F1}", {KeyStroke::named(NamedKey::F1)}}, WellFormed{"{f16}", {KeyStroke::named(NamedKey::F16)}},
        WellFormed{"{+}", {KeyStroke::typed('+')}}, WellFormed{"{^}", {KeyStroke::typed('^')}},
        WellFormed{"{%}", {KeyStroke::typed('%')}}, WellFormed{"{{}", {KeyStroke::typed('{')}},
        WellFormed{"{}}", {KeyStroke::typed('}')}}, WellFormed{"{0}", {KeyStroke::typed('0')}},
        WellFormed{"}", {KeyStroke::typed('}')}}, WellFormed{"+a", {KeyStroke::typed('a', kShift)}},
        WellFormed{"^c", {KeyStroke::typed('c', kControl)}},
        WellFormed{"%{F4}", {KeyStroke::named(functionKey(4), kAlt)}},
        WellFormed{"+^%{Del}", {KeyStroke::named(NamedKey::Delete, {true, true, true})}},
        WellFormed{"+ab", {KeyStroke::typed('a', kShift), KeyStroke::typed('b', kNone)}},
        WellFormed{"+{+}", {KeyStroke::typed('+', kShift)}}, WellFormed{"+", {KeyStroke::modifiersOnly(kShift)}},
        WellFormed{"^", {KeyStroke::modifiersOnly(kControl)}}, WellFormed{"%", {KeyStroke::modifiersOnly(kAlt)}},
        WellFormed{"a+^", {KeyStroke::typed('a'), KeyStroke::modifiersOnly({true, true, false})}},
        WellFormed{")", {KeyStroke::typed(')')}}, WellFormed{"[", {KeyStroke::typed('[')}},
        WellFormed{"{SC01E}", {KeyStroke::place(0x1e)}}, WellFormed{"+{sc11c}", {KeyStroke::place(0x11c, kShift)}}));

struct Named {
    std::string_view name;
    NamedKey key;
    friend void PrintTo(const Named& c, std::ostream* out) { *out << '"' << c.name << '"'; }
};

class KeyName : public ::testing::TestWithParam<Named> {};

TEST_P(KeyName, NamesItsKey)
{
    EXPECT_EQ(namedKeyFor(GetParam().name), GetParam().key);
}

// The names captions carry, and the other usual names of the same notation.
INSTANTIATE_TEST_SUITE_P(Names, KeyName,
                         ::testing::Values(Named{"BackSpace", NamedKey::Backspace}, Named{"BS", NamedKey::Backspace},
                                           Named{"bksp", NamedKey::Backspace}, Named{"Tab", NamedKey::Tab},
                                           Named{"Enter", NamedKey::Enter}, Named{"Esc", NamedKey::Escape},
                                           Named{"PgUp", NamedKey::PageUp}, Named{"PgDn", NamedKey::PageDown},
                                           Named{"End", NamedKey::End}, Named{"Home", NamedKey::Home},
                                           Named{"Left", NamedKey::Left}, Named{"Up", NamedKey::Up},
                                           Named{"Right", NamedKey::Right}, Named{"Down", NamedKey::Down},
                                           Named{"Prtsc", NamedKey::PrintScreen}, Named{"Insert", NamedKey::Insert},
                                           Named{"INS", NamedKey::Insert}, Named{"Delete", NamedKey::Delete},
                                           Named{"Del", NamedKey::Delete}, Named{"Help", NamedKey::Help},
                                           Named{"Break", NamedKey::Break}, Named{"CapsLock", NamedKey::CapsLock},
                                           Named{"NumLock", NamedKey::NumLock},
                                           Named{"ScrollLock", NamedKey::ScrollLock}, Named{"F10", functionKey(10)}));

TEST(KeyName, RejectsWhatNamesNoKey)
{
    for (std::string_view name : {"", "Nope", "F0", "F17", "F01", "F", "F1x", "Enter ", "BackSpac"}) {
        EXPECT_EQ(namedKeyFor(name), std::nullopt) << name;
    }
}

class MalformedKeyString : public ::testing::TestWithParam<std::string_view> {};

// Nothing of a malformed string is typed, not even the part before the fault.
TEST_P(MalformedKeyString, YieldsNoStrokesAndSaysWhy)
{
    const KeyString parsed(GetParam());
    EXPECT_TRUE(parsed.strokes().empty());
    EXPECT_NE(parsed.error(), "");
}

INSTANTIATE_TEST_SUITE_P(Notation, MalformedKeyString,
                         ::testing::Values("{", "{}", "{Nope}", "a{Nope}", "{Enter", "+{", "{ab", "x{F1}{F99}",
                                           "{Enter}}{", "{SC1E}", "{SC000}", "{SC200}", "{SC-1E}"));

struct RecordRow {
    std::span<const KeyRecord> layout;
    const KeyRecord& key;
    KeyLevel held;  // the modifiers held with the key
    std::string token;
    KeyLevel level;  // at which the token is typed back
    bool dead = false;
};

// A key pressed in Kivo's window shows its token, and the token types that very key back, at the
// level it was pressed at (a letter's capital with Shift, a dead key's own character twice). The
// token is the key-name table's where the rule gives none; a key at a place types back there.
TEST(KeyRecords, EveryKeysTokenIsTypedBackOnTheSameKey)
{
    const RecordRow table[] = {
        {kGerman, kGermanE, KeyLevel::Plain, "", KeyLevel::Shift},
        {kGerman, kGermanE, KeyLevel::AltGr, "\x80", KeyLevel::AltGr},
        {kGerman, kGermanQ, KeyLevel::AltGr, "{@}", KeyLevel::AltGr},
        {kGerman, kGermanZ, KeyLevel::Plain, "", KeyLevel::Shift},
        {kGerman, kGermanUe, KeyLevel::Plain, "\xFC", KeyLevel::Plain},
        {kGerman, kGermanUe, KeyLevel::AltGr, "\xFC", KeyLevel::Plain},
        {kGerman, kGermanSharpS, KeyLevel::Plain, "\xDF", KeyLevel::Plain},
        {kGerman, kGermanSharpS, KeyLevel::AltGr, "{\\}", KeyLevel::AltGr},
        {kGerman, kGermanSharpS, KeyLevel::ShiftAltGr, "\xBF", KeyLevel::ShiftAltGr},
        {kGerman, kGermanComma, KeyLevel::ShiftAltGr, "\xD7", KeyLevel::ShiftAltGr},
        {kGerman, kGermanE, KeyLevel::ShiftAltGr, "\x80", KeyLevel::AltGr},
        {kGerman, kGermanCircumflex, KeyLevel::Plain, "{^}", KeyLevel::Plain, true},
        {kGerman, kGermanAcute, KeyLevel::Plain, "\xB4", KeyLevel::Plain, true},
        {kGerman, kGerman1, KeyLevel::Plain, "", KeyLevel::Plain},
        {kFrench, kFrench1, KeyLevel::Plain, "{&}", KeyLevel::Plain},
        {kFrench, kFrench2, KeyLevel::Plain, "\xE9", KeyLevel::Plain},
        {kFrench, kFrench2, KeyLevel::AltGr, "{~}", KeyLevel::AltGr, true},
        {kFrench, kFrenchE, KeyLevel::AltGr, "\x80", KeyLevel::AltGr},
        {kRussian, kRussianA, KeyLevel::Plain, "{SC01E}", KeyLevel::Plain},
        {kRussian, kRussianZhe, KeyLevel::Plain, "{SC027}", KeyLevel::Plain},
        {kRussian, kRussianPeriod, KeyLevel::Plain, "{.}", KeyLevel::Plain},
        {kUsIntl, kUsIntlAcute, KeyLevel::Plain, "\xB4", KeyLevel::Plain, true},
        {kUsIntl, kUsIntlQ, KeyLevel::AltGr, "\xE4", KeyLevel::AltGr},
        {kUsIntl, kUsIntlQ, KeyLevel::ShiftAltGr, "\xC4", KeyLevel::ShiftAltGr},
        {kPolish, kPolishA, KeyLevel::AltGr, "", KeyLevel::Shift},
        {kUs, kUsA, KeyLevel::Plain, "", KeyLevel::Shift},
        {kUs, kUsSemicolon, KeyLevel::Plain, "{;}", KeyLevel::Plain},
        {kUs, kUsApostrophe, KeyLevel::Plain, "{'}", KeyLevel::Plain},
    };
    for (const RecordRow& row : table) {
        const KeyRecord& key = row.key;
        const std::string where =
            scanCodeToken(key.scanCode) + " at level " + std::to_string(static_cast<int>(row.held));
        EXPECT_EQ(recordToken(key, row.held), row.token) << where;
        const std::string shown = row.token.empty() ? std::string(1, static_cast<char>(key.virtualKey)) : row.token;
        const std::vector<KeyStroke> strokes = KeyString(shown).strokes();
        ASSERT_EQ(strokes.size(), 1U) << where;
        if (strokes[0].kind == KeyStroke::Kind::ScanCode) {
            EXPECT_EQ(strokes[0].scanCode, key.scanCode) << where;
            continue;
        }
        const std::optional<KeyReach> reach = keyTyping(row.layout, unicodeFromWindows1252(strokes[0].character));
        ASSERT_TRUE(reach) << where;
        EXPECT_EQ(reach->key->scanCode, key.scanCode) << where;
        EXPECT_EQ(reach->level, row.level) << where;
        EXPECT_EQ(reach->dead, row.dead) << where;
    }
    EXPECT_EQ(recordToken(KeyRecord{'Z', 0x2c}, KeyLevel::Plain), "") << "a key typing nothing";
}

// The keypad's keys, whichever Num Lock says, and the Windows keys share a virtual key or type no
// character: both builds name them by their place and type them back there.
TEST(KeyRecords, KeysWithoutACharacterOfTheirOwnAreTypedBackAtTheirPlace)
{
    const std::pair<std::uint16_t, std::string_view> table[] = {
        {0x4f, "{Numpad1}"},  {0x52, "{Numpad0}"}, {0x53, "{Decimal}"},  {0x11c, "{NumpadEnter}"},
        {0x4a, "{Subtract}"}, {0x135, "{Divide}"}, {0x37, "{Multiply}"}, {0x15b, "{LWin}"},
        {0x15c, "{RWin}"},    {0x15d, "{Apps}"},   {0x58, "{SC058}"},
    };
    for (const auto& [place, token] : table) {
        EXPECT_EQ(scanCodeToken(place), token);
        EXPECT_EQ(KeyString(token).strokes(), std::vector{KeyStroke::place(place)}) << token;
    }
}

TEST(KeyRecords, CharacterIsTypedOnTheKeyWithTheFewestModifiersADeadKeysOwnTwice)
{
    struct Reach {
        char32_t character;
        std::uint8_t virtualKey;
        KeyLevel level;
        bool dead;
    };
    const Reach table[] = {
        {U'e', 'E', KeyLevel::Plain, false}, {U'\u20ac', 'E', KeyLevel::AltGr, false},
        {U'@', 'Q', KeyLevel::AltGr, false}, {U'\u00dc', 0xba, KeyLevel::Shift, false},
        {U'^', 0xdc, KeyLevel::Plain, true}, {U'\u00b0', 0xdc, KeyLevel::Shift, false},
        {U'`', 0xdd, KeyLevel::Shift, true}, {U'!', '1', KeyLevel::Shift, false},
    };
    for (const Reach& row : table) {
        const std::optional<KeyReach> reach = keyTyping(kGerman, row.character);
        ASSERT_TRUE(reach) << static_cast<unsigned>(row.character);
        EXPECT_EQ(reach->key->virtualKey, row.virtualKey) << static_cast<unsigned>(row.character);
        EXPECT_EQ(reach->level, row.level) << static_cast<unsigned>(row.character);
        EXPECT_EQ(reach->dead, row.dead) << static_cast<unsigned>(row.character);
    }
    EXPECT_FALSE(keyTyping(kGerman, U'x'));
}

}  // namespace
}  // namespace kivo
