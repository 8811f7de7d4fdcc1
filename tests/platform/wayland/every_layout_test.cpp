#include "key_typing_fixtures.h"
#include "platform/windows1252.h"
#include "platform/xkb/keysyms.h"
#include "support/captured_stderr.h"

#include <xkbcommon/xkbcommon-keysyms.h>

#include <memory>
#include <sstream>

namespace kivo {
namespace {

using Context = std::unique_ptr<xkb_context, decltype(&xkb_context_unref)>;
using Keymap = std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)>;
using State = std::unique_ptr<xkb_state, decltype(&xkb_state_unref)>;

// The characters key events type into a window reading them with this keymap, a dead key's own
// where it is pressed: "+KEY_RIGHTALT +KEY_E" types "€" on de. A dead key Kivo taps twice types
// its character once.
std::u32string typedBy(xkb_keymap* keymap, const std::string& events)
{
    const State state(xkb_state_new(keymap), &xkb_state_unref);
    std::u32string typed;
    bool deadBefore = false;
    std::istringstream words(events);
    for (std::string word; words >> word;) {
        const bool down = word[0] == '+';
        const auto keycode = static_cast<xkb_keycode_t>(libevdev_event_code_from_name(EV_KEY, word.c_str() + 1) + 8);
        if (down) {
            const xkb_keysym_t keysym = xkb_state_key_get_one_sym(state.get(), keycode);
            const xkb_keysym_t spacing = spacingKeysymOf(keysym);
            const char32_t character = xkb_keysym_to_utf32(spacing != XKB_KEY_NoSymbol ? spacing : keysym);
            const bool dead = spacing != XKB_KEY_NoSymbol;
            if (character >= U' ' && !(dead && deadBefore && typed.back() == character)) {
                typed += character;
            }
            deadBefore = dead && character >= U' ';
        }
        xkb_state_update_key(state.get(), keycode, down ? XKB_KEY_DOWN : XKB_KEY_UP);
    }
    return typed;
}

// The keys of the main block that type characters: the rows from the digits down, the key left of
// 1 and the one beside the left Shift.
constexpr unsigned kCharacterKeys[] = {
    KEY_1,         KEY_2,          KEY_3,     KEY_4,         KEY_5, KEY_6, KEY_7, KEY_8, KEY_9, KEY_0, KEY_MINUS,
    KEY_EQUAL,     KEY_Q,          KEY_W,     KEY_E,         KEY_R, KEY_T, KEY_Y, KEY_U, KEY_I, KEY_O, KEY_P,
    KEY_LEFTBRACE, KEY_RIGHTBRACE, KEY_A,     KEY_S,         KEY_D, KEY_F, KEY_G, KEY_H, KEY_J, KEY_K, KEY_L,
    KEY_SEMICOLON, KEY_APOSTROPHE, KEY_GRAVE, KEY_BACKSLASH, KEY_Z, KEY_X, KEY_C, KEY_V, KEY_B, KEY_N, KEY_M,
    KEY_COMMA,     KEY_DOT,        KEY_SLASH, KEY_102ND,
};

char32_t lowerAscii(char32_t c)
{
    return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c;
}

// Every character key of many layouts, by itself, with AltGr and with Shift and AltGr, pressed in
// Kivo's window: the button then types that same character, where a caption can hold it (a
// letter as its capital, as the key-name table names letters). Where none can, the button types
// the key by itself, its place where the key by itself types no such character either, and
// standard error says so for a character typed with AltGr.
TEST(EveryLayout, EachKeyAssignedTypesWhatTheUserTyped)
{
    const std::pair<const char*, const char*> layouts[] = {
        {"de", ""},    {"de", "nodeadkeys"}, {"fr", ""},       {"fr", "oss"}, {"ch", ""}, {"be", ""},
        {"es", ""},    {"it", ""},           {"pt", ""},       {"br", ""},    {"nl", ""}, {"se", ""},
        {"pl", ""},    {"cz", ""},           {"hu", ""},       {"tr", ""},    {"gb", ""}, {"ca", ""},
        {"latam", ""}, {"us", "intl"},       {"us", "dvorak"}, {"ru", ""},    {"ua", ""}, {"gr", ""},
    };
    const Context context(xkb_context_new(XKB_CONTEXT_NO_FLAGS), &xkb_context_unref);
    for (const auto& [name, variant] : layouts) {
        FixedKeymap kivosKeymap(name, variant);
        const xkb_rule_names names{nullptr, nullptr, name, variant, nullptr};
        const Keymap keymap(xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS),
                            &xkb_keymap_unref);
        const State probe(xkb_state_new(keymap.get()), &xkb_state_unref);
        const bool altGr = xkb_state_key_get_one_sym(probe.get(), KEY_RIGHTALT + 8) == XKB_KEY_ISO_Level3_Shift;
        for (const unsigned key : kCharacterKeys) {
            const char* keyName = libevdev_event_code_get_name(EV_KEY, key);
            const std::vector<std::vector<unsigned>> chords = {
                {key}, {KEY_RIGHTALT, key}, {KEY_RIGHTALT, KEY_LEFTSHIFT, key}};
            for (std::size_t level = 0; level < (altGr ? chords.size() : 1); ++level) {
                std::string pressed;
                for (const unsigned code : chords[level])
                    pressed += std::string(" +") + libevdev_event_code_get_name(EV_KEY, code);
                const std::u32string user = typedBy(keymap.get(), pressed);
                // Shift alone changes no token, and AltGr changes nothing on a key without its levels.
                const std::string shifted = std::string(" +KEY_LEFTSHIFT +") + keyName;
                if (user.size() != 1 || (level == 2 && user == typedBy(keymap.get(), shifted)))
                    continue;
                const test_support::CapturedStderr quiet;
                const auto [token, typedBack] = assignAndTypeBack(kivosKeymap, chords[level]);
                const std::u32string back = typedBy(keymap.get(), typedBack);
                const std::string where = std::string(name) + "(" + variant + ")" + pressed + " gave " + token;
                if (characterToken(user[0]).empty()) {
                    EXPECT_NE(typedBack.find(std::string("+") + keyName), std::string::npos) << where;
                    const bool byItself = user == typedBy(keymap.get(), std::string(" +") + keyName);
                    EXPECT_TRUE(byItself || quiet.text().find("no caption can hold") != std::string::npos) << where;
                    continue;
                }
                ASSERT_EQ(back.size(), 1U) << where << ", typed back " << typedBack;
                EXPECT_EQ(lowerAscii(back[0]), lowerAscii(user[0])) << where << ", typed back " << typedBack;
            }
        }
    }
}

}  // namespace
}  // namespace kivo
