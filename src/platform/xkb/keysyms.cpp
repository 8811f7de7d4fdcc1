#include "platform/xkb/keysyms.h"

#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <utility>

namespace kivo {
namespace {

constexpr xkb_keysym_t kNamedKeysyms[] = {
    XKB_KEY_BackSpace, XKB_KEY_Tab,         XKB_KEY_Return, XKB_KEY_Escape, XKB_KEY_Prior, XKB_KEY_Next,
    XKB_KEY_End,       XKB_KEY_Home,        XKB_KEY_Left,   XKB_KEY_Up,     XKB_KEY_Right, XKB_KEY_Down,
    XKB_KEY_Print,     XKB_KEY_Insert,      XKB_KEY_Delete, XKB_KEY_Help,   XKB_KEY_Break, XKB_KEY_Caps_Lock,
    XKB_KEY_Num_Lock,  XKB_KEY_Scroll_Lock, XKB_KEY_Pause,
};
static_assert(std::size(kNamedKeysyms) == static_cast<std::size_t>(NamedKey::F1));

constexpr std::pair<xkb_keysym_t, xkb_keysym_t> kDeadKeys[] = {
    {XKB_KEY_dead_grave, XKB_KEY_grave},
    {XKB_KEY_dead_acute, XKB_KEY_acute},
    {XKB_KEY_dead_circumflex, XKB_KEY_asciicircum},
    {XKB_KEY_dead_tilde, XKB_KEY_asciitilde},
    {XKB_KEY_dead_diaeresis, XKB_KEY_diaeresis},
    {XKB_KEY_dead_cedilla, XKB_KEY_cedilla},
    {XKB_KEY_dead_abovering, XKB_KEY_degree},
    {XKB_KEY_dead_macron, XKB_KEY_macron},
};

// Evdev codes up to F12 are the set 1 scan codes; past them the Japanese keys differ.
constexpr unsigned kLastSameCode = 88;
constexpr std::pair<unsigned, std::uint16_t> kOtherPlaces[] = {
    {89, 0x73},   {124, 0x7d},  {96, 0x11c},  {97, 0x11d},  {98, 0x135},  {99, 0x137},  {100, 0x138},
    {102, 0x147}, {103, 0x148}, {104, 0x149}, {105, 0x14b}, {106, 0x14d}, {107, 0x14f}, {108, 0x150},
    {109, 0x151}, {110, 0x152}, {111, 0x153}, {125, 0x15b}, {126, 0x15c}, {127, 0x15d},
};

}  // namespace

xkb_keysym_t keysymFor(NamedKey key)
{
    const auto index = static_cast<std::size_t>(key);
    if (index < std::size(kNamedKeysyms)) {
        return kNamedKeysyms[index];
    }
    return XKB_KEY_F1 + (index - static_cast<std::size_t>(NamedKey::F1));
}

std::vector<xkb_keysym_t> modifierKeysyms(const KeyModifiers& modifiers)
{
    std::vector<xkb_keysym_t> keysyms;
    for (auto [wanted, keysym] :
         {std::pair{modifiers.shift, XKB_KEY_Shift_L}, std::pair{modifiers.control, XKB_KEY_Control_L},
          std::pair{modifiers.alt, XKB_KEY_Alt_L}}) {
        if (wanted) {
            keysyms.push_back(keysym);
        }
    }
    return keysyms;
}

xkb_keysym_t spacingKeysymOf(xkb_keysym_t deadKeysym)
{
    for (const auto& [dead, spacing] : kDeadKeys) {
        if (dead == deadKeysym) {
            return spacing;
        }
    }
    return XKB_KEY_NoSymbol;
}

std::optional<unsigned> evdevOfScanCode(std::uint16_t scanCode)
{
    if (scanCode >= 1 && scanCode <= kLastSameCode) {
        return scanCode;
    }
    for (const auto& [evdev, scan] : kOtherPlaces) {
        if (scan == scanCode) {
            return evdev;
        }
    }
    return std::nullopt;
}

std::optional<std::uint16_t> scanCodeOfEvdev(unsigned evdev)
{
    if (evdev >= 1 && evdev <= kLastSameCode) {
        return static_cast<std::uint16_t>(evdev);
    }
    for (const auto& [code, scan] : kOtherPlaces) {
        if (code == evdev) {
            return scan;
        }
    }
    return std::nullopt;
}

}  // namespace kivo
