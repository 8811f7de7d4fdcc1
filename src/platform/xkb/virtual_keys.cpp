#include "platform/xkb/virtual_keys.h"

#include "platform/messages.h"
#include "platform/virtual_key_codes.h"
#include "platform/xkb/keysyms.h"

#include <xkbcommon/xkbcommon-keysyms.h>

#include <algorithm>
#include <optional>
#include <utility>

namespace kivo {
namespace {

struct KeyCodes {
    xkb_keysym_t keysym;
    VirtualKeyCodes codes;
    // False where the key-name table's token for the code is another character, which another
    // key types: the table names 192 and 222 as a UK keyboard has them.
    bool namedByTable = true;
};

constexpr KeyCodes kKeys[] = {
    {XKB_KEY_BackSpace, {vk::kBackspace}},
    {XKB_KEY_Tab, {vk::kTab}},
    {XKB_KEY_Clear, {vk::kClear}},
    {XKB_KEY_Return, {vk::kEnter}},
    {XKB_KEY_KP_Enter, {vk::kEnter}},
    {XKB_KEY_Pause, {vk::kPause}},
    {XKB_KEY_Caps_Lock, {vk::kCapsLock}},
    {XKB_KEY_Escape, {vk::kEscape}},
    {XKB_KEY_space, {vk::kSpace}},
    {XKB_KEY_Prior, {vk::kPageUp}},
    {XKB_KEY_Next, {vk::kPageDown}},
    {XKB_KEY_End, {vk::kEnd}},
    {XKB_KEY_Home, {vk::kHome}},
    {XKB_KEY_Left, {vk::kLeft}},
    {XKB_KEY_Up, {vk::kUp}},
    {XKB_KEY_Right, {vk::kRight}},
    {XKB_KEY_Down, {vk::kDown}},
    {XKB_KEY_Select, {vk::kSelect}},
    {XKB_KEY_Execute, {vk::kExecute}},
    {XKB_KEY_Print, {vk::kPrintScreen}},
    {XKB_KEY_Insert, {vk::kInsert}},
    {XKB_KEY_Delete, {vk::kDelete}},
    {XKB_KEY_Help, {vk::kHelp}},
    {XKB_KEY_Super_L, {vk::kLeftWindows}},
    {XKB_KEY_Super_R, {vk::kRightWindows}},
    {XKB_KEY_Menu, {vk::kMenu}},
    {XKB_KEY_Num_Lock, {vk::kNumLock}},
    {XKB_KEY_Scroll_Lock, {vk::kScrollLock}},
    {XKB_KEY_KP_Multiply, {vk::kKeypadMultiply}},
    {XKB_KEY_KP_Add, {vk::kKeypadAdd}},
    {XKB_KEY_KP_Separator, {vk::kKeypadSeparator}},
    {XKB_KEY_KP_Subtract, {vk::kKeypadSubtract}},
    {XKB_KEY_KP_Decimal, {vk::kKeypadDecimal}},
    {XKB_KEY_KP_Divide, {vk::kKeypadDivide}},
    {XKB_KEY_KP_Home, {vk::kHome}},
    {XKB_KEY_KP_Up, {vk::kUp}},
    {XKB_KEY_KP_Prior, {vk::kPageUp}},
    {XKB_KEY_KP_Left, {vk::kLeft}},
    {XKB_KEY_KP_Begin, {vk::kClear}},
    {XKB_KEY_KP_Right, {vk::kRight}},
    {XKB_KEY_KP_End, {vk::kEnd}},
    {XKB_KEY_KP_Down, {vk::kDown}},
    {XKB_KEY_KP_Next, {vk::kPageDown}},
    {XKB_KEY_KP_Insert, {vk::kInsert}},
    {XKB_KEY_KP_Delete, {vk::kDelete}},
    {XKB_KEY_Shift_L, {vk::kShift, vk::kLeftShift}},
    {XKB_KEY_Shift_R, {vk::kShift, vk::kRightShift}},
    {XKB_KEY_Control_L, {vk::kControl, vk::kLeftControl}},
    {XKB_KEY_Control_R, {vk::kControl, vk::kRightControl}},
    {XKB_KEY_Alt_L, {vk::kAlt, vk::kLeftAlt}},
    {XKB_KEY_Alt_R, {vk::kAlt, vk::kRightAlt}},
    // AltGr is the right-hand Alt key.
    {XKB_KEY_ISO_Level3_Shift, {vk::kAlt, vk::kRightAlt}},
    {XKB_KEY_semicolon, {vk::kSemicolon}},
    {XKB_KEY_equal, {vk::kEquals}},
    {XKB_KEY_comma, {vk::kComma}},
    {XKB_KEY_minus, {vk::kMinus}},
    {XKB_KEY_period, {vk::kPeriod}},
    {XKB_KEY_slash, {vk::kSlash}},
    {XKB_KEY_bracketleft, {vk::kOpenBracket}},
    {XKB_KEY_bracketright, {vk::kCloseBracket}},
};

constexpr KeyCodes kUsPunctuation[] = {
    {XKB_KEY_grave, {vk::kOem3}, false},
    {XKB_KEY_backslash, {vk::kBackslash}},
    {XKB_KEY_apostrophe, {vk::kOem7}, false},
};

constexpr KeyCodes kUkPunctuation[] = {
    {XKB_KEY_apostrophe, {vk::kOem3}},
    {XKB_KEY_numbersign, {vk::kOem7}},
    {XKB_KEY_grave, {vk::kOem8}, false},
    {XKB_KEY_backslash, {vk::kOem102}, false},
};

// Codes Windows gives no key of a keyboard (unassigned, reserved, OEM-specific), for the keys
// the table cannot name. All lie above Shift, Control and Alt, so a key held with them wins
// the key scan, as the keys with table names do.
constexpr std::pair<std::uint8_t, std::uint8_t> kSpareCodes[] = {
    {0x88, 0x8f}, {0x92, 0x9f}, {0xa6, 0xb9}, {0xc1, 0xda}, {0xdf, 0xe1}, {0xe3, 0xfe},
};

constexpr xkb_keysym_t kLastFunctionKeysym = XKB_KEY_F24;

VirtualKeyCodes single(xkb_keysym_t offset, std::uint8_t first)
{
    return {static_cast<std::uint8_t>(first + offset), 0};
}

const KeyCodes* lookUp(std::span<const KeyCodes> table, xkb_keysym_t keysym)
{
    for (const KeyCodes& entry : table) {
        if (entry.keysym == keysym) {
            return &entry;
        }
    }
    return nullptr;
}

std::span<const KeyCodes> punctuationOf(OemLayout layout)
{
    if (layout == OemLayout::Uk) {
        return kUkPunctuation;
    }
    return kUsPunctuation;
}

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

VirtualKeyCodes virtualKeysFor(xkb_keysym_t keysym, OemLayout layout)
{
    if (keysym >= XKB_KEY_a && keysym <= XKB_KEY_z) {
        return single(keysym - XKB_KEY_a, 'A');
    }
    if (keysym >= XKB_KEY_A && keysym <= XKB_KEY_Z) {
        return single(keysym - XKB_KEY_A, 'A');
    }
    if (keysym >= XKB_KEY_0 && keysym <= XKB_KEY_9) {
        return single(keysym - XKB_KEY_0, '0');
    }
    if (keysym >= XKB_KEY_KP_0 && keysym <= XKB_KEY_KP_9) {
        return single(keysym - XKB_KEY_KP_0, vk::kKeypad0);
    }
    if (keysym >= XKB_KEY_F1 && keysym <= kLastFunctionKeysym) {
        return single(keysym - XKB_KEY_F1, vk::kF1);
    }
    const KeyCodes* entry = lookUp(kKeys, keysym);
    if (entry == nullptr) {
        entry = lookUp(punctuationOf(layout), keysym);
    }
    return entry == nullptr ? VirtualKeyCodes{} : entry->codes;
}

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
            const KeyCodes* punctuation = lookUp(punctuationOf(layout), keysym);
            if (punctuation != nullptr && !punctuation->namedByTable) {
                tokens_[punctuation->codes[0]] = keysymToken(keysym);
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
