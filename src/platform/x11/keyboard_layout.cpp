#include "platform/x11/keyboard_layout.h"

#include "platform/xkb/keysyms.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include <vector>

namespace kivo {
namespace {

unsigned indicatorBit(Display* display, const char* name)
{
    int index = 0;
    if (!XkbGetNamedIndicator(display, XInternAtom(display, name, False), &index, nullptr, nullptr, nullptr)) {
        return 0;
    }
    return 1U << index;
}

}  // namespace

KeyboardLayout KeyboardLayout::read(Display* display)
{
    KeyboardLayout layout;
    XkbDescPtr xkb = XkbGetMap(display, XkbAllClientInfoMask, XkbUseCoreKbd);
    if (xkb == nullptr) {
        return layout;
    }
    // What each key types with and without Shift, by the key's own type: on some keys
    // (Pause and Break) the second level is reached with Control, not Shift.
    auto typed = [xkb](int keycode, unsigned modifiers) {
        unsigned consumed = 0;
        KeySym keysym = NoSymbol;
        XkbTranslateKeyCode(xkb, static_cast<KeyCode>(keycode), modifiers, &consumed, &keysym);
        return keysym;
    };
    const int first = xkb->min_key_code;
    const int last = xkb->max_key_code;
    auto levelThree = [xkb](int keycode) {
        return XkbKeyGroupWidth(xkb, keycode, 0) > 2 ? XkbKeySymEntry(xkb, keycode, 2, 0) : NoSymbol;
    };
    std::vector<xkb_keysym_t> unshifted;
    std::vector<xkb_keysym_t> secondLevel;
    std::vector<xkb_keysym_t> thirdLevel;
    for (int keycode = first; keycode <= last; ++keycode) {
        unshifted.push_back(typed(keycode, 0));
        secondLevel.push_back(XkbKeyGroupWidth(xkb, keycode, 0) > 1 ? XkbKeySymEntry(xkb, keycode, 1, 0) : NoSymbol);
        thirdLevel.push_back(levelThree(keycode));
        if (XkbKeyNumGroups(xkb, keycode) == 0) {
            layout.unused_.push_back(static_cast<KeyCode>(keycode));
        }
    }
    layout.virtualKeys_ = VirtualKeyTable({unshifted, secondLevel, thirdLevel}, static_cast<unsigned>(first));

    // Unshifted positions first, so a keysym on two keys is typed without Shift if it can be;
    // AltGr last, as it is the level a user reaches for last.
    for (bool shifted : {false, true}) {
        for (int keycode = first; keycode <= last; ++keycode) {
            if (const KeySym keysym = typed(keycode, shifted ? ShiftMask : 0); keysym != NoSymbol) {
                layout.positions_.try_emplace(keysym, KeyPosition{static_cast<KeyCode>(keycode), shifted});
            }
        }
    }
    for (bool shifted : {false, true}) {
        for (int keycode = first; keycode <= last; ++keycode) {
            if (const KeySym spacing = spacingKeysymOf(typed(keycode, shifted ? ShiftMask : 0)); spacing != NoSymbol) {
                layout.positions_.try_emplace(spacing,
                                              KeyPosition{static_cast<KeyCode>(keycode), shifted, false, true});
            }
        }
    }
    for (int keycode = first; keycode <= last; ++keycode) {
        if (const KeySym keysym = levelThree(keycode); keysym != NoSymbol) {
            layout.positions_.try_emplace(keysym, KeyPosition{static_cast<KeyCode>(keycode), false, true});
        }
    }
    XkbFreeKeyboard(xkb, 0, True);

    layout.capsLockLight_ = indicatorBit(display, "Caps Lock");
    layout.numLockLight_ = indicatorBit(display, "Num Lock");
    layout.scrollLockLight_ = indicatorBit(display, "Scroll Lock");
    return layout;
}

std::optional<KeyPosition> KeyboardLayout::find(KeySym keysym) const
{
    if (const auto found = positions_.find(keysym); found != positions_.end()) {
        return found->second;
    }
    return std::nullopt;
}

}  // namespace kivo
