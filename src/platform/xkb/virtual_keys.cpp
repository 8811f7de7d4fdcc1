#include "platform/xkb/virtual_keys.h"

#include "platform/messages.h"
#include "platform/virtual_key_codes.h"
#include "platform/xkb/keysym_codes.h"
#include "platform/xkb/keysyms.h"

#include <xkbcommon/xkbcommon-keysyms.h>

#include <algorithm>
#include <optional>
#include <utility>

namespace kivo {
namespace {

// Codes Windows gives no key of a keyboard (unassigned, reserved, OEM-specific), for the keys
// the table cannot name. All lie above Shift, Control and Alt, so a key held with them wins
// the key scan, as the keys with table names do.
constexpr std::pair<std::uint8_t, std::uint8_t> kSpareCodes[] = {
    {0x88, 0x8f}, {0x92, 0x9f}, {0xa6, 0xb9}, {0xc1, 0xda}, {0xdf, 0xe1}, {0xe3, 0xfe},
};

bool isDeadKeysym(xkb_keysym_t keysym)
{
    return keysym >= XKB_KEY_dead_grave && keysym <= XKB_KEY_dead_greek;
}

bool isKeypadKeysym(xkb_keysym_t keysym)
{
    return keysym >= XKB_KEY_KP_Space && keysym <= XKB_KEY_KP_Equal;
}

// "{SC01E}", or the name of the place ("{Numpad1}"); empty for keys without one.
std::string placeToken(unsigned keycode)
{
    const std::optional<std::uint16_t> place =
        keycode >= kEvdevToXkb ? scanCodeOfEvdev(keycode - kEvdevToXkb) : std::nullopt;
    return place ? scanCodeToken(*place) : std::string{};
}

// The token of a key the key-name table does not name: the character it types (a dead key's
// with the key after it), or else its place; empty for keys that type no character.
std::string characterOrPlaceToken(xkb_keysym_t keysym, unsigned keycode)
{
    if (std::string token = keysymToken(isDeadKeysym(keysym) ? spacingKeysymOf(keysym) : keysym); !token.empty()) {
        return token;
    }
    if (!isDeadKeysym(keysym) && xkb_keysym_to_utf32(keysym) == 0) {
        return {};
    }
    return placeToken(keycode);
}

}  // namespace

VirtualKeyTable::VirtualKeyTable(const Levels& levels, unsigned first)
{
    const std::span<const xkb_keysym_t> unshifted = levels.unshifted;
    // A UK-style layout types "#" without Shift; a US one needs Shift for it.
    const OemLayout layout =
        std::ranges::find(unshifted, XKB_KEY_numbersign) != unshifted.end() ? OemLayout::Uk : OemLayout::Us;
    std::bitset<kKeycodes> used;
    for (std::size_t i = 0; i < unshifted.size() && first + i < kKeycodes; ++i) {
        const std::size_t keycode = first + i;
        keysyms_[keycode] = unshifted[i];
        numLockOff_[keycode] = virtualKeysFor(unshifted[i], layout);
        // Keypad keys type their digits on the second level, which Num Lock selects.
        const xkb_keysym_t second = levels.secondLevel[i];
        const bool keypad = second >= XKB_KEY_KP_Space && second <= XKB_KEY_KP_Equal;
        numLockOn_[keycode] = keypad ? virtualKeysFor(second, layout) : numLockOff_[keycode];
        for (const std::uint8_t code : numLockOff_[keycode]) {
            used.set(code);
        }
        for (const std::uint8_t code : numLockOn_[keycode]) {
            used.set(code);
        }
        levelThreeShifts_.set(keycode, unshifted[i] == XKB_KEY_ISO_Level3_Shift);
        shifts_.set(keycode, unshifted[i] == XKB_KEY_Shift_L || unshifted[i] == XKB_KEY_Shift_R);
        dead_.set(keycode, isDeadKeysym(unshifted[i]));
    }
    used.reset(0);

    for (std::size_t i = 0; i < unshifted.size() && first + i < kKeycodes; ++i) {
        const auto keycode = static_cast<unsigned>(first + i);
        const xkb_keysym_t keysym = unshifted[i];
        // A keypad key, with Num Lock on or off, is typed back on the keypad: a game that moves
        // on it reads neither the digit row nor the arrows.
        if (const std::uint8_t code = isKeypadKeysym(keysym) ? codeFor(placeToken(keycode), used) : 0; code != 0) {
            numLockOff_[keycode] = numLockOn_[keycode] = {code, 0};
            continue;
        }
        if (numLockOff_[keycode][0] != 0) {
            if (!tableNamesKeysym(keysym, layout)) {
                tokens_[numLockOff_[keycode][0]] = keysymToken(keysym);
            }
            continue;
        }
        if (const std::uint8_t code = codeFor(characterOrPlaceToken(keysym, keycode), used); code != 0) {
            numLockOff_[keycode] = numLockOn_[keycode] = {code, 0};
        }
    }

    // With AltGr, and with Shift and AltGr, a key types what no key types on the first two
    // levels: that character names it.
    for (auto [keysyms, codes] :
         {std::pair{levels.levelThree, &levelThree_}, std::pair{levels.levelFour, &levelFour_}}) {
        for (std::size_t i = 0; i < keysyms.size() && first + i < kKeycodes; ++i) {
            const xkb_keysym_t keysym = keysyms[i];
            const bool lower = std::ranges::find(unshifted, keysym) != unshifted.end() ||
                               std::ranges::find(levels.secondLevel, keysym) != levels.secondLevel.end();
            if (keysym == XKB_KEY_NoSymbol || lower || isDeadKeysym(keysym)) {
                continue;
            }
            (*codes)[first + i] = codeFor(keysymToken(keysym), used);
        }
    }
}

std::uint8_t VirtualKeyTable::codeFor(const std::string& token, const std::bitset<kKeycodes>& used)
{
    if (token.empty()) {
        return 0;
    }
    for (const auto& [first, last] : kSpareCodes) {
        for (unsigned code = first; code <= last; ++code) {
            if (tokens_[code] == token) {
                return static_cast<std::uint8_t>(code);
            }
            if (tokens_[code].empty() && !used.test(code)) {
                tokens_[code] = token;
                return static_cast<std::uint8_t>(code);
            }
        }
    }
    return 0;
}

void VirtualKeyTable::markDown(KeyboardState& keys, const std::bitset<kKeycodes>& down, bool numLockOn,
                               std::bitset<kKeycodes>& told) const
{
    const std::array<VirtualKeyCodes, kKeycodes>& codes = numLockOn ? numLockOn_ : numLockOff_;
    const bool altGr = (down & levelThreeShifts_).any();
    const std::array<std::uint8_t, kKeycodes>& altGrCodes = (down & shifts_).any() ? levelFour_ : levelThree_;
    for (std::size_t keycode = 0; keycode < down.size(); ++keycode) {
        if (!down.test(keycode))
            continue;
        if (altGr && altGrCodes[keycode] != 0) {
            keys[altGrCodes[keycode]] |= vk::kStateDown;
            continue;
        }
        for (const std::uint8_t code : codes[keycode]) {
            if (code != 0)
                keys[code] |= vk::kStateDown;
        }
        if (codes[keycode][0] == 0 && keysyms_[keycode] != XKB_KEY_NoSymbol && !told.test(keycode)) {
            told.set(keycode);
            std::array<char, 64> name{};
            xkb_keysym_get_name(keysyms_[keycode], name.data(), name.size());
            reportProblem("the key " + std::string(name.data()) + " (keycode " + std::to_string(keycode) +
                          ") cannot be assigned: no token names it");
        }
    }
}

}  // namespace kivo
