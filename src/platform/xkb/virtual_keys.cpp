#include "platform/xkb/virtual_keys.h"

#include "platform/messages.h"
#include "platform/virtual_key_codes.h"
#include "platform/xkb/keysym_codes.h"

#include <xkbcommon/xkbcommon-keysyms.h>

#include <algorithm>
#include <tuple>
#include <utility>

namespace kivo {
namespace {

// Codes Windows gives no key of a keyboard (unassigned, reserved, OEM-specific) and those of
// F13 to F24, which a keyboard with them takes first, for the keys the table cannot name: a
// layout with many AltGr characters needs nearly all. All lie above Shift, Control and Alt, so a
// key held with them wins the key scan, as the keys with table names do.
constexpr std::pair<std::uint8_t, std::uint8_t> kSpareCodes[] = {
    {0x3a, 0x40}, {0x5e, 0x5e}, {0x88, 0x8f}, {0x92, 0x9f}, {0xa6, 0xb9},
    {0xc1, 0xda}, {0xdf, 0xe1}, {0xe3, 0xfe}, {0x7c, 0x87},
};

bool isKeypadKeysym(xkb_keysym_t keysym)
{
    return keysym >= XKB_KEY_KP_Space && keysym <= XKB_KEY_KP_Equal;
}

std::string keysymName(xkb_keysym_t keysym)
{
    std::array<char, 64> name{};
    xkb_keysym_get_name(keysym, name.data(), name.size());
    return name.data();
}

}  // namespace

VirtualKeyTable::VirtualKeyTable(const Keys& keys)
{
    const std::span<const xkb_keysym_t> unshifted = keys.unshifted;
    const OemLayout layout = oemLayoutOf(unshifted);
    const std::size_t count =
        std::min({keys.records.size(), unshifted.size(), keys.secondLevel.size(), std::size_t{kKeycodes}});
    std::bitset<kKeycodes> used;
    for (std::size_t keycode = 0; keycode < count; ++keycode) {
        keysyms_[keycode] = unshifted[keycode];
        numLockOff_[keycode] = virtualKeysFor(unshifted[keycode], layout);
        // Keypad keys type their digits on the second level, which Num Lock selects.
        const xkb_keysym_t second = keys.secondLevel[keycode];
        numLockOn_[keycode] = isKeypadKeysym(second) ? virtualKeysFor(second, layout) : numLockOff_[keycode];
        for (const std::uint8_t code : numLockOff_[keycode]) {
            used.set(code);
        }
        for (const std::uint8_t code : numLockOn_[keycode]) {
            used.set(code);
        }
        levelThreeShifts_.set(keycode, unshifted[keycode] == XKB_KEY_ISO_Level3_Shift);
        shifts_.set(keycode, unshifted[keycode] == XKB_KEY_Shift_L || unshifted[keycode] == XKB_KEY_Shift_R);
    }
    used.reset(0);

    for (std::size_t keycode = 0; keycode < count; ++keycode) {
        const KeyRecord& record = keys.records[keycode];
        const xkb_keysym_t keysym = unshifted[keycode];
        // A keypad key, with Num Lock on or off, is typed back on the keypad: a game that moves
        // on it reads neither the digit row nor the arrows.
        if (isKeypadKeysym(keysym) && record.scanCode != 0) {
            if (const std::uint8_t code = codeFor(scanCodeToken(record.scanCode), used); code != 0) {
                numLockOff_[keycode] = numLockOn_[keycode] = {code, 0};
                continue;
            }
        }
        if (numLockOff_[keycode][0] != 0) {
            if (!tableNamesKeysym(keysym, layout)) {
                tokens_[numLockOff_[keycode][0]] = recordToken(record, KeyLevel::Plain);
            }
            continue;
        }
        if (const std::uint8_t code = codeFor(recordToken(record, KeyLevel::Plain), used); code != 0) {
            numLockOff_[keycode] = numLockOn_[keycode] = {code, 0};
        }
    }

    // A key typing another character with AltGr, or with Shift and AltGr, than by itself: its
    // token names it, typed back on whichever key types it with the fewest modifiers.
    for (auto [level, codes, unnamed] : {std::tuple{KeyLevel::AltGr, &levelThree_, &levelThreeUnnamed_},
                                         std::tuple{KeyLevel::ShiftAltGr, &levelFour_, &levelFourUnnamed_}}) {
        for (std::size_t keycode = 0; keycode < count; ++keycode) {
            const KeyRecord& record = keys.records[keycode];
            const char32_t character = record.at(level);
            if ((character == 0 && !record.deadAt(level)) || character == record.at(KeyLevel::Plain)) {
                continue;
            }
            (*codes)[keycode] = codeFor(recordToken(record, level), used);
            unnamed->set(keycode, (*codes)[keycode] == 0);
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
    const bool shift = (down & shifts_).any();
    const std::array<std::uint8_t, kKeycodes>& altGrCodes = shift ? levelFour_ : levelThree_;
    const std::bitset<kKeycodes>& altGrUnnamed = shift ? levelFourUnnamed_ : levelThreeUnnamed_;
    for (std::size_t keycode = 0; keycode < down.size(); ++keycode) {
        if (!down.test(keycode))
            continue;
        if (altGr && altGrCodes[keycode] != 0) {
            keys[altGrCodes[keycode]] |= vk::kStateDown;
            continue;
        }
        if (altGr && altGrUnnamed.test(keycode) && !told.test(keycode)) {
            told.set(keycode);
            reportProblem("AltGr with the key " + keysymName(keysyms_[keycode]) +
                          " types a character no caption can hold: the key is assigned as it types without AltGr");
        }
        for (const std::uint8_t code : codes[keycode]) {
            if (code != 0)
                keys[code] |= vk::kStateDown;
        }
        if (codes[keycode][0] == 0 && keysyms_[keycode] != XKB_KEY_NoSymbol && !told.test(keycode)) {
            told.set(keycode);
            reportProblem("the key " + keysymName(keysyms_[keycode]) + " (keycode " + std::to_string(keycode) +
                          ") cannot be assigned: no token names it");
        }
    }
}

}  // namespace kivo
