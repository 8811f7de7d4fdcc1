#include "platform/key_string.h"
#include "platform/key_records.h"

#include <gtest/gtest.h>

#include <tuple>

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

// Keys of a German layout as its reader fills them, and of a French and a Russian one.
const KeyRecord kGermanE{'E', 0x12, {U'e', U'E', U'\u20ac'}};
const KeyRecord kGermanQ{'Q', 0x10, {U'q', U'Q', U'@'}};
const KeyRecord kGermanUe{0xba, 0x1a, {U'\u00fc', U'\u00dc', 0}};
const KeyRecord kGermanCircumflex{0xdc, 0x29, {U'^', U'\u00b0', 0}, {true, false, false}};
const KeyRecord kGermanAcute{0xdd, 0x0d, {U'\u00b4', U'`', 0}, {true, true, false}};
const KeyRecord kGerman1{'1', 0x02, {U'1', U'!', 0}};
const KeyRecord kFrench1{'1', 0x02, {U'&', U'1', 0}};
const KeyRecord kRussianA{'A', 0x1e, {U'\u0444', U'\u0424', 0}};
const KeyRecord kGerman[] = {kGermanE, kGermanQ, kGermanUe, kGermanCircumflex, kGermanAcute, kGerman1};

TEST(KeyRecords, TokenShowsWhatTheKeyTypesUnlessTheTableTypesThatSameKey)
{
    const std::tuple<KeyRecord, bool, std::string> table[] = {
        {kGermanE, false, ""},
        {kGermanE, true, "\x80"},
        {kGermanQ, true, "{@}"},
        {kGermanUe, false, "\xFC"},
        {kGermanUe, true, "\xFC"},
        {kGermanCircumflex, false, "{^}"},
        {kGermanAcute, false, "\xB4"},
        {kGerman1, false, ""},
        {kFrench1, false, "{&}"},
        {kRussianA, false, "{SC01E}"},
        {KeyRecord{'Z', 0x2c}, false, ""},
    };
    for (const auto& [key, altGr, token] : table)
        EXPECT_EQ(recordToken(key, altGr), token) << int{key.virtualKey} << (altGr ? " with AltGr" : "");
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
