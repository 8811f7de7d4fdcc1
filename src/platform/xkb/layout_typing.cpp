#include "platform/xkb/layout_typing.h"

#include "platform/windows1252.h"
#include "platform/xkb/keysyms.h"

#include <optional>

namespace kivo {
namespace {

// Captions are few; a stream of ever new strokes must not grow the table without end.
constexpr std::size_t kMostStrokesKept = 256;

std::uint64_t keyOf(const KeyStroke& stroke)
{
    return static_cast<std::uint64_t>(stroke.kind) | static_cast<std::uint64_t>(stroke.key) << 8U |
           static_cast<std::uint64_t>(static_cast<unsigned char>(stroke.character)) << 16U |
           static_cast<std::uint64_t>(stroke.modifiers.shift) << 24U |
           static_cast<std::uint64_t>(stroke.modifiers.control) << 25U |
           static_cast<std::uint64_t>(stroke.modifiers.alt) << 26U | static_cast<std::uint64_t>(stroke.scanCode) << 32U;
}

}  // namespace

std::string LayoutTyping::type(const XkbLayout& layout, const KeyStroke& stroke, HeldKeys& held)
{
    if (layout.serial() != layoutSerial_ || found_.size() >= kMostStrokesKept) {
        found_.clear();
        layoutSerial_ = layout.serial();
    }
    auto [entry, added] = found_.try_emplace(keyOf(stroke));
    if (added) {
        entry->second = find(layout, stroke);
    }
    const StrokeKeys& keys = entry->second;
    for (const unsigned code : keys.held) {
        held.press(code);
    }
    if (keys.taps) {
        held.tap(keys.tapped, keys.dead);
    }
    return keys.problem;
}

LayoutTyping::StrokeKeys LayoutTyping::find(const XkbLayout& layout, const KeyStroke& stroke)
{
    StrokeKeys keys;
    for (const xkb_keysym_t keysym : modifierKeysyms(stroke.modifiers)) {
        if (const std::optional<KeyPlacement> modifier = layout.find(keysym)) {
            keys.held.insert(keys.held.end(), modifier->levelKeys.begin(), modifier->levelKeys.end());
            keys.held.push_back(modifier->code);
        }
    }
    std::optional<KeyPlacement> placement;
    switch (stroke.kind) {
        case KeyStroke::Kind::ModifiersOnly:
            return keys;
        case KeyStroke::Kind::ScanCode:
            if (const std::optional<unsigned> evdev = evdevOfScanCode(stroke.scanCode)) {
                placement = KeyPlacement{*evdev, {}, layout.isDeadKey(*evdev)};
            } else {
                keys.problem = "no key of a Linux keyboard sits at scan code " + scanCodeToken(stroke.scanCode);
                return keys;
            }
            break;
        case KeyStroke::Kind::Named:
            placement = layout.find(keysymFor(stroke.key));
            break;
        case KeyStroke::Kind::Character:
            placement = layout.findCharacter(unicodeFromWindows1252(stroke.character));
            break;
    }
    if (!placement) {
        keys.problem = "no key of the keyboard layout types it";
        return keys;
    }
    keys.held.insert(keys.held.end(), placement->levelKeys.begin(), placement->levelKeys.end());
    keys.taps = true;
    keys.tapped = placement->code;
    keys.dead = placement->dead;
    return keys;
}

void LayoutKeyStrings::send(const XkbLayout& layout, const KeyString& keys)
{
    typer_.type(keys, [&](const KeyStroke& stroke) {
        HeldKeys held(keys_);
        return typing_.type(layout, stroke, held);
    });
}

void LayoutKeyStrings::press(const XkbLayout& layout, const KeyString& keys)
{
    holding_.press(keys, [&](HeldKeys& held) {
        typer_.type(keys, [&](const KeyStroke& stroke) { return typing_.type(layout, stroke, held); });
    });
}

}  // namespace kivo
