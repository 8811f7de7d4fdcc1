#include "platform/key_string_typer.h"
#include "platform/virtual_key_codes.h"
#include "platform/win32/layout_tokens.h"
#include "platform/win32/named_keys.h"
#include "platform/win32/own_input_tag.h"
#include "platform/win32/win32_backends.h"
#include "platform/windows1252.h"

#include <windows.h>

#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace kivo {
namespace {

class SystemSendInput final : public SendInputCall {
public:
    void send(std::vector<INPUT>& inputs) override
    {
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    }
};

// Collects one SendInput batch, so that no other input lands between the keys of a string.
class InputBatch {
public:
    explicit InputBatch(HKL layout) : layout_(layout) {}

    HKL layout() const { return layout_; }

    // Games that read DirectInput or raw input see only scan codes, so each key carries
    // its scan code as well as its virtual key; a key without one goes by virtual key alone.
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

    // A key named by its place goes by that scan code, with the virtual key the layout gives it.
    void tapScanCode(std::uint16_t scanCode)
    {
        const bool extended = scanCode > 0xff;
        const UINT virtualKey =
            MapVirtualKeyExW(extended ? 0xe000U | (scanCode & 0xffU) : scanCode, MAPVK_VSC_TO_VK_EX, layout_);
        for (const DWORD direction : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = static_cast<WORD>(virtualKey);
            input.ki.wScan = static_cast<WORD>(scanCode & 0xffU);
            input.ki.dwFlags = KEYEVENTF_SCANCODE | direction | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
            input.ki.dwExtraInfo = kOwnInputTag;
            inputs_.push_back(input);
        }
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

    void send(SendInputCall& call)
    {
        if (!inputs_.empty()) {
            call.send(inputs_);
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
    explicit SendInputKeySender(std::unique_ptr<SendInputCall> call) : call_(std::move(call)) {}

    void send(const KeyString& keys) override
    {
        InputBatch batch(targetLayout());
        typer_.type(keys, [&batch](const KeyStroke& stroke) { return add(batch, stroke); });
        batch.send(*call_);
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
            case KeyStroke::Kind::ScanCode:
                withModifiers(batch, stroke.modifiers, [&] { batch.tapScanCode(stroke.scanCode); });
                return {};
            case KeyStroke::Kind::Character:
                break;
        }
        const auto character = static_cast<wchar_t>(unicodeFromWindows1252(stroke.character));
        SHORT onLayout = VkKeyScanExW(character, batch.layout());
        if (onLayout == -1) {
            onLayout = keyTyping(character, batch.layout());
        }
        if (onLayout == -1) {
            withModifiers(batch, stroke.modifiers, [&] { batch.tapCharacter(character); });
            return {};
        }
        // The high byte says which of Shift, Control and Alt the layout needs for it.
        const auto needs = static_cast<unsigned>(onLayout) >> 8;
        KeyModifiers modifiers = stroke.modifiers;
        modifiers.shift |= (needs & 1) != 0;
        modifiers.control |= (needs & 2) != 0;
        modifiers.alt |= (needs & 4) != 0;
        const auto virtualKey = static_cast<std::uint8_t>(onLayout & 0xff);
        withModifiers(batch, modifiers, [&] {
            batch.tap(virtualKey);
            // Twice gives a dead key's own character; once would leave the game's text input
            // waiting for the key after it.
            if (isDeadKey(virtualKey, batch.layout())) {
                batch.tap(virtualKey);
            }
        });
        return {};
    }

    std::unique_ptr<SendInputCall> call_;
    KeyStringTyper typer_;
};

}  // namespace

std::unique_ptr<KeySender> makeSendInputKeySender(std::unique_ptr<SendInputCall> call)
{
    return std::make_unique<SendInputKeySender>(std::move(call));
}

std::unique_ptr<KeySender> makeSendInputKeySender()
{
    return makeSendInputKeySender(std::make_unique<SystemSendInput>());
}

}  // namespace kivo
