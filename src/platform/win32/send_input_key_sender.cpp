#include "platform/messages.h"
#include "platform/virtual_key_codes.h"
#include "platform/win32/named_keys.h"
#include "platform/win32/own_input_tag.h"
#include "platform/win32/win32_backends.h"

#include <windows.h>

#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kivo {
namespace {

constexpr UINT kWindows1252 = 1252;

// The character a Windows-1252 byte stands for; none for the five bytes the code page
// leaves undefined, which Windows passes through as control codes.
std::optional<wchar_t> windows1252Character(char byte)
{
    wchar_t character = 0;
    if (MultiByteToWideChar(kWindows1252, MB_ERR_INVALID_CHARS, &byte, 1, &character, 1) != 1 ||
        (character >= 0x80 && character <= 0x9f)) {
        return std::nullopt;
    }
    return character;
}

// Collects one SendInput batch, so that no other input lands between the keys of a string.
class InputBatch {
public:
    explicit InputBatch(HKL layout) : layout_(layout) {}

    HKL layout() const { return layout_; }

    // Games that read DirectInput or raw input see only scan codes, so each key carries
    // its scan code as well as its virtual key; a key without one goes by virtual key alone.
    // Wine ignores KEYEVENTF_SCANCODE and takes the virtual key, so the tests under Wine cannot
    // tell it missing; Windows needs it.
    void key(std::uint8_t virtualKey, bool up)
    {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
        input.ki.dwExtraInfo = kOwnInputTag;
        const UINT scanCode = MapVirtualKeyExW(virtualKey, MAPVK_VK_TO_VSC_EX, layout_);
        if ((scanCode & 0xff) != 0) {
            input.ki.wScan = static_cast<WORD>(scanCode & 0xff);
            input.ki.dwFlags |= KEYEVENTF_SCANCODE;
        }
        // The layout marks most extended keys with an E0 prefix; Num Lock it does not.
        if (isExtendedKey(virtualKey) || (scanCode >> 8) == 0xe0) {
            input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        }
        if (up) {
            input.ki.dwFlags |= KEYEVENTF_KEYUP;
        }
        inputs_.push_back(input);
    }

    void tap(std::uint8_t virtualKey)
    {
        key(virtualKey, false);
        key(virtualKey, true);
    }

    // A character no key of the layout types goes by its code.
    void tapCharacter(wchar_t character)
    {
        for (const DWORD direction : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = character;
            input.ki.dwFlags = KEYEVENTF_UNICODE | direction;
            input.ki.dwExtraInfo = kOwnInputTag;
            inputs_.push_back(input);
        }
    }

    void send()
    {
        if (!inputs_.empty()) {
            SendInput(static_cast<UINT>(inputs_.size()), inputs_.data(), sizeof(INPUT));
        }
    }

private:
    HKL layout_;
    std::vector<INPUT> inputs_;
};

constexpr std::pair<bool KeyModifiers::*, std::uint8_t> kModifierKeys[] = {
    {&KeyModifiers::shift, vk::kShift}, {&KeyModifiers::control, vk::kControl}, {&KeyModifiers::alt, vk::kAlt}};

// Presses the modifiers, lets the caller add the key, then releases them last first.
template <typename AddKey>
void withModifiers(InputBatch& batch, const KeyModifiers& modifiers, AddKey addKey)
{
    for (const auto& [held, virtualKey] : kModifierKeys) {
        if (modifiers.*held) {
            batch.key(virtualKey, false);
        }
    }
    addKey();
    for (auto entry = std::rbegin(kModifierKeys); entry != std::rend(kModifierKeys); ++entry) {
        if (modifiers.*(entry->first)) {
            batch.key(entry->second, true);
        }
    }
}

class SendInputKeySender final : public KeySender {
public:
    void send(std::string_view keys) override
    {
        const ParsedKeyString parsed = parseKeyString(keys);
        if (!parsed.error.empty()) {
            report(keys, parsed.error);
            return;
        }
        InputBatch batch(targetLayout());
        std::string problem;
        for (const KeyStroke& stroke : parsed.strokes) {
            if (std::string untyped = add(batch, stroke); !untyped.empty()) {
                problem = std::move(untyped);
            }
        }
        batch.send();
        if (!problem.empty()) {
            report(keys, problem);
        }
    }

private:
    // Characters are looked up on the layout of the window that receives them.
    static HKL targetLayout() { return GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), nullptr)); }

    // Returns why the key could not be typed, or nothing when it was.
    static std::string add(InputBatch& batch, const KeyStroke& stroke)
    {
        switch (stroke.kind) {
            case KeyStroke::Kind::ModifiersOnly:
                withModifiers(batch, stroke.modifiers, [] {});
                return {};
            case KeyStroke::Kind::Named:
                withModifiers(batch, stroke.modifiers, [&] { batch.tap(virtualKeyFor(stroke.key)); });
                return {};
            case KeyStroke::Kind::Character:
                break;
        }
        const std::optional<wchar_t> character = windows1252Character(stroke.character);
        if (!character) {
            return "Windows-1252 has no character " + std::to_string(static_cast<unsigned char>(stroke.character));
        }
        const SHORT onLayout = VkKeyScanExW(*character, batch.layout());
        if (onLayout == -1) {
            withModifiers(batch, stroke.modifiers, [&] { batch.tapCharacter(*character); });
            return {};
        }
        // The high byte says which of Shift, Control and Alt the layout needs for it.
        const auto needs = static_cast<unsigned>(onLayout) >> 8;
        KeyModifiers modifiers = stroke.modifiers;
        modifiers.shift |= (needs & 1) != 0;
        modifiers.control |= (needs & 2) != 0;
        modifiers.alt |= (needs & 4) != 0;
        withModifiers(batch, modifiers, [&] { batch.tap(static_cast<std::uint8_t>(onLayout & 0xff)); });
        return {};
    }

    // A string held on a button arrives every tick, so each problem is told once.
    void report(std::string_view keys, std::string_view problem)
    {
        if (keys == lastReported_) {
            return;
        }
        lastReported_ = keys;
        reportProblem("cannot type \"" + std::string(keys) + "\": " + std::string(problem));
    }

    std::string lastReported_;
};

}  // namespace

std::unique_ptr<KeySender> makeSendInputKeySender()
{
    return std::make_unique<SendInputKeySender>();
}

}  // namespace kivo
