#include "platform/windows1252.h"
#include "platform/key_string_typer.h"

#include "support/captured_stderr.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

struct CodePageRow {
    char byte;
    char32_t unicode;
    bool defined;
};

TEST(Windows1252, EveryByteStandsForOneCharacterAndComesBack)
{
    for (const CodePageRow& row : {
             CodePageRow{'A', U'A', true},
             CodePageRow{'\x14', U'\x14', true},
             CodePageRow{'\x80', U'\u20ac', true},
             CodePageRow{'\x8e', U'\u017d', true},
             CodePageRow{'\x9f', U'\u0178', true},
             CodePageRow{'\xa0', U'\u00a0', true},
             CodePageRow{'\xe9', U'\u00e9', true},
             // The undefined bytes stand for the controls of their number, as Windows has them.
             CodePageRow{'\x81', U'\u0081', false},
             CodePageRow{'\x8d', U'\u008d', false},
             CodePageRow{'\x8f', U'\u008f', false},
             CodePageRow{'\x90', U'\u0090', false},
             CodePageRow{'\x9d', U'\u009d', false},
         }) {
        const auto code = static_cast<unsigned>(static_cast<unsigned char>(row.byte));
        EXPECT_EQ(unicodeFromWindows1252(row.byte), row.unicode) << code;
        EXPECT_EQ(windows1252FromUnicode(row.unicode), row.byte) << code;
        EXPECT_EQ(windows1252Defines(row.byte), row.defined) << code;
    }
    EXPECT_EQ(utf8FromWindows1252("Jos\xe9 \x80"), "Jos\u00e9 \u20ac");
}

// No key types an undefined byte on any platform: the rest of the string is typed, and the
// problem is told once, as a terminal shows it.
TEST(Windows1252, UndefinedBytesAreNotTypedAndToldOnce)
{
    KeyStringTyper typer;
    const KeyString keys("\x81\xe9");
    std::vector<KeyStroke> typed;
    const test_support::CapturedStderr errors;
    for (int tick = 0; tick < 2; ++tick)
        typer.type(keys, [&](const KeyStroke& stroke) {
            typed.push_back(stroke);
            return std::string();
        });
    EXPECT_EQ(typed, (std::vector<KeyStroke>{KeyStroke::typed('\xe9'), KeyStroke::typed('\xe9')}));
    EXPECT_EQ(errors.text(), "kivo: cannot type \"\\x81\u00e9\": Windows-1252 has no character for the byte \\x81\n");
}

}  // namespace
}  // namespace kivo
