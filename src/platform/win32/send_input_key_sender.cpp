#include "platform/key_string_typer.h"
#include "platform/virtual_key_codes.h"
#include "platform/win32/layout_records.h"
#include "platform/win32/named_keys.h"
#include "platform/win32/own_input_tag.h"
#include "platform/win32/win32_backends.h"
#include "platform/windows1252.h"

#include <windows.h>

#include <iterator>
#include <optional>
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
    InputBatch(HKL layout, LayoutQueries& queries) : layout_(layout), queries_(queries) {}

    HKL layout() const { return layout_; }

    // Games that read DirectInput or raw input see only scan codes, so each key carries
    // its scan code as well as its virtual key; a key without one goes by virtual key alone.
    void key(std::uint8_t virtualKey, bool up)
    {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
        input.ki.dwExtraInfo = kOwnInputTag;
        const UINT scanCode = queries_.mapVirtualKey(virtualKey, MAPVK_VK_TO_VSC_EX, layout_);
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
            queries_.mapVirtualKey(extended ? 0xe000U | (scanCode & 0xffU) : scanCode, MAPVK_VSC_TO_VK_EX, layout_);
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

    void send(SendInputCall& call)
    {
        if (!inputs_.empty()) {
            call.send(inputs_);
        }
    }

private:
    HKL layout_;
    LayoutQueries& queries_;
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
    SendInputKeySender(std::unique_ptr<SendInputCall> call, std::unique_ptr<LayoutQueries> queries)
        : call_(std::move(call)), queries_(std::move(queries)), records_(*queries_)
    {
    }

    void send(const KeyString& keys) override
    {
        InputBatch batch(targetLayout(), *queries_);
        typer_.type(keys, [&](const KeyStroke& stroke) { return add(batch, stroke); });
        batch.send(*call_);
    }

private:
    // Characters are looked up on the layout of the window that receives them.
    static HKL targetLayout() { return GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), nullptr)); }

    // Returns why the key could not be typed, or nothing when it was.
    std::string add(InputBatch& batch, const KeyStroke& stroke)
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
        const std::optional<KeyReach> reach =
            keyTyping(records_.of(batch.layout()), unicodeFromWindows1252(stroke.character));
        if (!reach) {
            return "no key of the keyboard layout types it";
        }
        KeyModifiers modifiers = stroke.modifiers;
        modifiers.shift |= reach->level == KeyLevel::Shift;
        // AltGr is Control and Alt together.
        modifiers.control |= reach->level == KeyLevel::AltGr;
        modifiers.alt |= reach->level == KeyLevel::AltGr;
        const std::uint8_t virtualKey = reach->key->virtualKey;
        withModifiers(batch, modifiers, [&] {
            batch.tap(virtualKey);
            // Twice gives a dead key's own character; once would leave the game's text input
            // waiting for the key after it.
            if (reach->dead) {
                batch.tap(virtualKey);
            }
        });
        return {};
    }

    std::unique_ptr<SendInputCall> call_;
    std::unique_ptr<LayoutQueries> queries_;
    LayoutRecords records_;
    KeyStringTyper typer_;
};

}  // namespace

std::unique_ptr<KeySender> makeSendInputKeySender(std::unique_ptr<SendInputCall> call,
                                                  std::unique_ptr<LayoutQueries> queries)
{
    return std::make_unique<SendInputKeySender>(std::move(call), std::move(queries));
}

std::unique_ptr<KeySender> makeSendInputKeySender(std::unique_ptr<SendInputCall> call)
{
    return makeSendInputKeySender(std::move(call), makeSystemLayoutQueries());
}

std::unique_ptr<KeySender> makeSendInputKeySender()
{
    return makeSendInputKeySender(std::make_unique<SystemSendInput>());
}

}  // namespace kivo
