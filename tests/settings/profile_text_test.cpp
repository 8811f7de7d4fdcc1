#include "settings/profile_text.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace kivo {
namespace {

using namespace std::string_literals;

std::string testName(std::string what)
{
    for (char& c : what) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return what;
}

// A file's bytes as the profile reads them; each test's bytes decode.
ProfileText profileOf(std::string_view bytes)
{
    const Result<FileText> decoded = decodeFileText(bytes);
    EXPECT_TRUE(decoded) << decoded.problem();
    return ProfileText(decoded ? decoded.value() : FileText());
}

// A UTF-16 file; little-endian with its mark is how Windows' profile functions keep it.
std::string utf16File(std::u16string_view text, bool bigEndian = false, bool marked = true)
{
    std::string bytes;
    for (const char16_t unit : (marked ? u"\uFEFF" : u"") + std::u16string(text)) {
        bytes += static_cast<char>(bigEndian ? unit >> 8 : unit & 0xFF);
        bytes += static_cast<char>(bigEndian ? unit & 0xFF : unit >> 8);
    }
    return bytes;
}

struct ReadCase {
    const char* what;
    std::string text;
    std::string expected;  // value of key "0" in section "settings", "none" when absent
};

void PrintTo(const ReadCase& c, std::ostream* out)
{
    *out << c.what;
}

class ProfileRead : public testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, FindsTheValue)
{
    EXPECT_EQ(profileOf(GetParam().text).value("settings", "0", "none", 255), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileRead,
    testing::Values(
        ReadCase{"section and key match without case", "[SETTINGS]\nx=1\n0=a\n", "a"},
        ReadCase{"blanks around names are ignored", "  [ Settings ]  \n  0  =a\n", "a"},
        ReadCase{"blanks after = are skipped, trailing ones kept", "[Settings]\n0=  Button 2:  \n", "Button 2:  "},
        ReadCase{"quotes keep leading and trailing blanks", "[Settings]\n0= \"  x  \"\n", "  x  "},
        ReadCase{"a lone quote is part of the value", "[Settings]\n0=\"x\n", "\"x"},
        ReadCase{"CRLF lines", "[Settings]\r\n0=Space \r\n1=b\r\n", "Space "},
        ReadCase{"the first section wins", "[Settings]\n1=a\n[Other]\n0=b\n[settings]\n0=c\n", "none"},
        ReadCase{"the first key wins", "[Settings]\n0=a\n0=b\n", "a"},
        ReadCase{"a key before any section belongs to none", "0=a\n[Settings]\n", "none"},
        ReadCase{"a line without = is no key", "[Settings]\n0\n", "none"},
        ReadCase{"a header without ] still counts", "[Settings\n0=a\n", "a"},
        ReadCase{"NUL and 8-bit bytes come back", "[Settings]\n0=a\0\xe9\x14z\n"s, "a\0\xe9\x14z"s},
        ReadCase{"empty text", "", "none"},
        ReadCase{"UTF-16 comes back in Windows-1252 without what it lacks",
                 utf16File(u"[Settings]\r\n0=\u00e7\u2018\u4e2d\r\n"), "\xe7\x91"},
        ReadCase{"UTF-16 big-endian", utf16File(u"[Settings]\r\n0=\u00e7\u4e2d\r\n", true), "\xe7"},
        ReadCase{"UTF-16 with no mark", utf16File(u"[Settings]\n0=\u00e7\n", false, false), "\xe7"},
        ReadCase{"UTF-16 big-endian with no mark", utf16File(u"[Settings]\n0=a\n", true, false), "a"},
        ReadCase{"UTF-16 with no mark and a first line beyond U+00FF",
                 utf16File(u"; \u20ac \u2013 \u041a\u0438\u0432\u043e\r\n[Settings]\r\n0=\u00e7\r\n", false, false),
                 "\xe7"},
        ReadCase{"UTF-16 big-endian with no mark and a first line beyond U+00FF",
                 utf16File(u"\u041a\u0438\u0432\u043e\u041a\u0438\u0432\u043e\n[Settings]\n0=a\n", true, false), "a"},
        ReadCase{"UTF-16 with no mark and mostly Cyrillic",
                 utf16File(u"; " + std::u16string(300, u'\u041a') + u"\r\n[Settings]\r\n0=\u00e7\r\n", false, false),
                 "\xe7"},
        ReadCase{"UTF-16 big-endian with no mark and mostly Cyrillic",
                 utf16File(u"; " + std::u16string(300, u'\u0439') + u"\n [Settings]\n0=a\n", true, false), "a"},
        ReadCase{"a stray byte in marked UTF-8 types nothing", "\xEF\xBB\xBF[Settings]\n0=Button 1:  \xE9\n",
                 "Button 1:  "},
        ReadCase{"a stray byte in marked UTF-8 takes nothing after it",
                 "\xEF\xBB\xBF[Settings]\n0=\xE9t\xF0\x9F\x98x\xC3\xBC\xE0\x80\x80\n", "tx\xfc"},
        ReadCase{"UTF-8 with a mark comes back in Windows-1252", "\xEF\xBB\xBF[Settings]\r\n0=\xE2\x82\xAC\xC3\xBC\r\n",
                 "\x80\xfc"},
        ReadCase{"UTF-8 without a mark", "; \xC3\xBC\n[Settings]\n0=\xE2\x82\xAC\n", "\x80"},
        ReadCase{"Windows-1252 that is not UTF-8 throughout", "[Settings]\n0=\xC3\xBC\n1=\xE9\n", "\xC3\xBC"},
        ReadCase{"CR-only lines", "[Settings]\r1=b\r0=a\r", "a"},
        ReadCase{"8-bit text with NUL bytes beyond its first line", "[S]\n\0a\0b\0c\n[Settings]\n0=a\n"s, "a"}),
    [](const auto& info) { return testName(info.param.what); });

TEST(ProfileRead, LimitCountsTheTerminatingZero)
{
    const ProfileText profile = profileOf("[Settings]\n0=" + std::string(300, 'x') + "\n");
    EXPECT_EQ(profile.value("Settings", "0", "", 255), std::string(254, 'x'));
    EXPECT_EQ(profile.value("Settings", "1", "fallback", 4), "fal");
    EXPECT_EQ(profile.value("Settings", "0", "", 0), "");
}

struct WriteCase {
    const char* what;
    std::string before;
    std::string value;  // written to key "1" of section "Settings"
    std::string after;
};

void PrintTo(const WriteCase& c, std::ostream* out)
{
    *out << c.what;
}

class ProfileWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, ChangesOnlyTheKeysLine)
{
    ProfileText profile = profileOf(GetParam().before);
    profile.setValue("Settings", "1", GetParam().value);
    EXPECT_EQ(profile.text(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileWrite,
    testing::Values(
        WriteCase{"empty file", "", "v", "[Settings]\n1=v\n"},
        WriteCase{"in place, other lines kept", "; note\n[settings]\n 1 = old\n\n[Other]\n1=x\n", "v",
                  "; note\n[settings]\n 1 =v\n\n[Other]\n1=x\n"},
        WriteCase{"missing key goes after the section's last line", "[Settings]\r\n0=a\r\n\r\n[B]\r\n", "v",
                  "[Settings]\r\n0=a\r\n1=v\r\n\r\n[B]\r\n"},
        WriteCase{"missing section goes at the end", "[A]\nk=1", "v", "[A]\nk=1\n[Settings]\n1=v\n"},
        WriteCase{"no final line ending", "[Settings]\n0=a", "v", "[Settings]\n0=a\n1=v\n"},
        WriteCase{"a CR that ends the text is completed", "[Settings]\r\n0=a\r", "v", "[Settings]\r\n0=a\r\n1=v\r\n"},
        WriteCase{"line breaks are not written", "", "a\r\nb\nc", "[Settings]\n1=abc\n"},
        WriteCase{"trailing blanks written as they are", "", "Button 2:  ", "[Settings]\n1=Button 2:  \n"},
        WriteCase{"leading blanks quoted", "", " x", "[Settings]\n1=\" x\"\n"},
        WriteCase{"a quoted value quoted again", "", "\"x\"", "[Settings]\n1=\"\"x\"\"\n"},
        WriteCase{"UTF-16 stays UTF-16, other lines exactly as they were",
                  utf16File(u"[Settings]\r\n0=\u4e2d\U0001F600\xD800.\r\n"), "\x80\xe7",
                  utf16File(u"[Settings]\r\n0=\u4e2d\U0001F600\xD800.\r\n1=\u20ac\u00e7\r\n")},
        WriteCase{"UTF-16 big-endian stays so", utf16File(u"[Settings]\r\n", true), "\xe7",
                  utf16File(u"[Settings]\r\n1=\u00e7\r\n", true)},
        WriteCase{"UTF-16 with no mark gets none", utf16File(u"; note\n", false, false), "v",
                  utf16File(u"; note\n[Settings]\n1=v\n", false, false)},
        WriteCase{"UTF-16 with no mark and a first line beyond U+00FF stays so",
                  utf16File(u"; \u20ac\u041a\r\n[Settings]\r\n", false, false), "\xe7",
                  utf16File(u"; \u20ac\u041a\r\n[Settings]\r\n1=\u00e7\r\n", false, false)},
        WriteCase{"UTF-8 with a mark stays so", "\xEF\xBB\xBF[Settings]\r\n0=\xE2\x82\xAC\r\n", "\xfc\x81",
                  "\xEF\xBB\xBF[Settings]\r\n0=\xE2\x82\xAC\r\n1=\xC3\xBC\xC2\x81\r\n"},
        WriteCase{"UTF-8 without a mark stays so", "; \xC3\xBC\n[Settings]\n", "\x80",
                  "; \xC3\xBC\n[Settings]\n1=\xE2\x82\xAC\n"},
        WriteCase{"CR-only lines stay so", "; a\r[Settings]\r0=x\r\r[B]\r", "v", "; a\r[Settings]\r0=x\r1=v\r\r[B]\r"}),
    [](const auto& info) { return testName(info.param.what); });

TEST(ProfileText, WhatCannotBeReadAsTextSaysWhy)
{
    const auto why = [](std::string_view bytes) {
        const Result<FileText> decoded = decodeFileText(bytes);
        return decoded ? std::string() : decoded.problem();
    };
    EXPECT_EQ(why(utf16File(u"[Settings]\r\n") + "x"), "it is UTF-16 text with an odd number of bytes");
    EXPECT_EQ(why(utf16File(u"[Settings]\r\n", true) + "x"), "it is UTF-16 text with an odd number of bytes");
    const std::string utf32 = "\xFF\xFE\0\0[\0\0\0\n\0\0\0"s;
    EXPECT_EQ(why(utf32), "it is not text: its first line holds NUL bytes");
    EXPECT_EQ(why(utf32.substr(4)), "it is not text: its first line holds NUL bytes");
    EXPECT_EQ(why("[Settings]\n0=\0\n"s), "");
}

TEST(FileEncoding, EveryCaptionByteComesBackAndWhatTheCodePageLacksIsNamed)
{
    const FileForm utf8{FileForm::Encoding::Utf8};
    std::string everyByte;
    for (int byte = 0; byte < 256; ++byte)
        everyByte += static_cast<char>(byte);
    EXPECT_EQ(captionFromValue(valueFromCaption(everyByte, utf8), utf8), everyByte);
    std::u32string lacking;
    EXPECT_EQ(captionFromValue("a\u0080\u4e2d\U0001F600", utf8, &lacking), "a");
    EXPECT_EQ(lacking, U"\u0080\u4e2d\U0001F600");
}

TEST(ProfileRoundTrip, EveryValueReadsBackAsWritten)
{
    for (const std::string& value : {""s, "Button 2:  "s, "Space "s, " \t lead"s, "\"q\""s, "\""s, "a=b;c[d]"s,
                                     "\0\x01\x7f\x80\xff"s, std::string(254, ' ')}) {
        ProfileText profile = profileOf("[Settings]\n1=old\n");
        profile.setValue("Settings", "1", value);
        EXPECT_EQ(profileOf(profile.text()).value("settings", "1", "none", 255), value) << profile.text();
    }
}

}  // namespace
}  // namespace kivo
