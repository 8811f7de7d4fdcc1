#include "platform/x11/keysyms.h"

#include <X11/keysym.h>
#include <iconv.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <iostream>

namespace kivo {
namespace {

constexpr KeySym kNamedKeysyms[] = {
    XK_BackSpace, XK_Tab,  XK_Return, XK_Escape,    XK_Prior,    XK_Next,        XK_End,
    XK_Home,      XK_Left, XK_Up,     XK_Right,     XK_Down,     XK_Print,       XK_Insert,
    XK_Delete,    XK_Help, XK_Break,  XK_Caps_Lock, XK_Num_Lock, XK_Scroll_Lock,
};
static_assert(std::size(kNamedKeysyms) == static_cast<std::size_t>(NamedKey::F1));

// The Unicode character of a Windows-1252 byte, or 0 when the code page leaves it undefined.
wchar_t unicodeOf(iconv_t toUnicode, unsigned char byte)
{
    char in = static_cast<char>(byte);
    wchar_t out = 0;
    char* inPointer = &in;
    auto* outPointer = reinterpret_cast<char*>(&out);
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    if (iconv(toUnicode, &inPointer, &inLeft, &outPointer, &outLeft) == static_cast<std::size_t>(-1)) {
        return 0;
    }
    return out;
}

}  // namespace

KeySym keysymFor(NamedKey key)
{
    const auto index = static_cast<std::size_t>(key);
    if (index < std::size(kNamedKeysyms)) {
        return kNamedKeysyms[index];
    }
    return XK_F1 + (index - static_cast<std::size_t>(NamedKey::F1));
}

CharacterKeysyms::CharacterKeysyms()
{
    // glibc's iconv knows Windows-1252 and xkbcommon the keysym of every character.
    const iconv_t toUnicode = iconv_open("WCHAR_T", "WINDOWS-1252");
    if (toUnicode == reinterpret_cast<iconv_t>(-1)) {
        std::cerr << "kivo: only named keys can be typed, iconv does not know the WINDOWS-1252 code page\n";
        return;
    }
    for (unsigned byte = 1; byte < keysyms_.size(); ++byte) {
        if (const wchar_t unicode = unicodeOf(toUnicode, static_cast<unsigned char>(byte)); unicode != 0) {
            keysyms_[byte] = xkb_utf32_to_keysym(static_cast<std::uint32_t>(unicode));
        }
    }
    iconv_close(toUnicode);
}

}  // namespace kivo
