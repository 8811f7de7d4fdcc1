#include "engine/key_tokens.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace kivo {
namespace {

std::map<int, std::string> expectedNames()
{
    std::map<int, std::string> names = {
        {8, "{BackSpace}"}, {9, "{Tab}"},   {13, "{Enter}"}, {16, "Shift+"}, {17, "Control^"}, {18, "Alt%"},
        {27, "{Esc}"},      {32, "Space "}, {33, "{PgUp}"},  {34, "{PgDn}"}, {35, "{End}"},    {36, "{Home}"},
        {37, "{Left}"},     {38, "{Up}"},   {39, "{Right}"}, {40, "{Down}"}, {42, "{Prtsc}"},  {45, "{Insert}"},
        {46, "{Delete}"},   {47, "{Help}"}, {108, "{|}"},    {112, "{F1}"},  {113, "{F2}"},    {114, "{F3}"},
        {115, "{F4}"},      {116, "{F5}"},  {117, "{F6}"},   {118, "{F7}"},  {119, "{F8}"},    {120, "{F9}"},
        {121, "{F10}"},     {122, "{F11}"}, {123, "{F12}"},  {124, "{F13}"}, {125, "{F14}"},   {126, "{F15}"},
        {127, "{F16}"},     {186, "{;}"},   {187, "{=}"},    {188, "{,}"},   {189, "{-}"},     {190, "{.}"},
        {191, "{/}"},       {192, "{'}"},   {219, "{[}"},    {220, "{\\}"},  {221, "{]}"},     {222, "{#}"},
    };
    // Keys typed back as themselves: the keypad apart from the main block's digits and
    // punctuation, and the keys whose code's character another key types.
    for (int digit = 0; digit <= 9; ++digit)
        names[96 + digit] = "{Numpad" + std::to_string(digit) + "}";
    names.insert({{106, "{Multiply}"},
                  {107, "{Add}"},
                  {109, "{Subtract}"},
                  {110, "{Decimal}"},
                  {111, "{Divide}"},
                  {19, "{Pause}"},
                  {20, "{CapsLock}"},
                  {44, "{Prtsc}"},
                  {91, "{LWin}"},
                  {92, "{RWin}"},
                  {93, "{Apps}"},
                  {144, "{NumLock}"},
                  {145, "{ScrollLock}"}});
    return names;
}

TEST(KeyNameTable, HoldsExactlyTheNamedCodesAndNothingElse)
{
    KeyNameTable table;
    table.fill();
    const auto names = expectedNames();
    ASSERT_EQ(names.size(), 71u);
    for (int code = 0; code < kKeyCodeSlots; ++code) {
        const auto named = names.find(code);
        const std::string expected = named == names.end() ? "" : named->second;
        EXPECT_EQ(table.slot(code), expected) << "code " << code;
    }
}

// A control byte or one Windows-1252 leaves undefined names no key: nothing is assigned.
TEST(KeyNameTable, CodesWithoutANameBecomeTheirWindows1252Character)
{
    KeyNameTable table;
    table.fill();
    const std::map<int, std::string> cases = {
        {65, "A"},     {90, "Z"}, {49, "1"}, {48, "0"},  {163, "\xA3"}, {160, "\xA0"}, {165, "\xA5"},
        {255, "\xFF"}, {21, ""},  {31, ""},  {0x81, ""}, {0x8d, ""},    {0x9d, ""},
    };
    for (const auto& [code, token] : cases)
        EXPECT_EQ(table.tokenForCode(code), token) << "code " << code;
    EXPECT_EQ(table.tokenForCode(13), "{Enter}");
}

TEST(Caption, ComposesButtonNumberColonTwoBlanksAndToken)
{
    EXPECT_EQ(composeCaption(0, "{Enter}"), "Button 1:  {Enter}");
    EXPECT_EQ(composeCaption(11, "Space "), "Button 12:  Space ");
    EXPECT_EQ(composeCaption(2, ""), "Button 3:  ");
}

struct CaptionCase {
    std::string caption;
    std::string token;
    std::string sent;
};

TEST(Caption, TokenAndTextToSend)
{
    const CaptionCase cases[] = {
        {"Button 3:  {F5}", "{F5}", "{F5}"},
        {"Button 1:  A", "A", "A"},
        {"Button 2:  Shift+", "Shift+", "+"},
        {"Button 2:  Control^", "Control^", "^"},
        {"Button 2:  Alt%", "Alt%", "%"},
        {"Button 4:  Space ", "Space ", " "},
        {"Button 4:  Space", "Space", "e"},
        {"Button 5:  ", "", ""},
        {"Button 5: ", "", ""},
        {"Button 1:", "tton 1:", ":"},
        {"", "", ""},
        {"ab", "", ""},
        {"abc", "c", "c"},
        {"Button 10:  {Enter}", "{Enter}", "{Enter}"},
        {"x: y: z", ": z", "z"},
    };
    for (const auto& c : cases) {
        const std::string_view token = tokenOfCaption(c.caption);
        EXPECT_EQ(token, c.token) << '"' << c.caption << '"';
        EXPECT_EQ(textToSend(token), c.sent) << '"' << c.caption << '"';
    }
}

}  // namespace
}  // namespace kivo
