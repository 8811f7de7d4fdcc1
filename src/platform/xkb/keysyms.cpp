#include "platform/xkb/keysyms.h"

#include "platform/windows1252.h"

#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <utility>

namespace kivo {
namespace {

constexpr xkb_keysym_t kNamedKeysyms[] = {
    XKB_KEY_BackSpace, XKB_KEY_Tab,   XKB_KEY_Return,    XKB_KEY_Escape,   XKB_KEY_Prior,
    XKB_KEY_Next,      XKB_KEY_End,   XKB_KEY_Home,      XKB_KEY_Left,     XKB_KEY_Up,
    XKB_KEY_Right,     XKB_KEY_Down,  XKB_KEY_Print,     XKB_KEY_Insert,   XKB_KEY_Delete,
    XKB_KEY_Help,      XKB_KEY_Break, XKB_KEY_Caps_Lock, XKB_KEY_Num_Lock, XKB_KEY_Scroll_Lock,
};
static_assert(std::size(kNamedKeysyms) == static_cast<std::size_t>(NamedKey::F1));

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

CharacterKeysyms::CharacterKeysyms()
{
    for (unsigned byte = 1; byte < keysyms_.size(); ++byte) {
        const auto character = static_cast<char>(byte);
        if (windows1252Defines(character)) {
            keysyms_[byte] = xkb_utf32_to_keysym(static_cast<std::uint32_t>(unicodeFromWindows1252(character)));
        }
    }
}

}  // namespace kivo
