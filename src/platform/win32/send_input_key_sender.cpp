#include "platform/key_string_typer.h"
#include "platform/virtual_key_codes.h"
#include "platform/win32/input_batch.h"
#include "platform/win32/key_repeat.h"
#include "platform/win32/layout_records.h"
#include "platform/win32/named_keys.h"
#include "platform/win32/own_input_tag.h"
#include "platform/win32/win32_backends.h"
#include "platform/windows1252.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <unordered_map>
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

// Captions are few; a stream of ever new strings must not grow the table without end.
constexpr std::size_t kMostStringsKept = 256;

class SendInputKeySender final : public KeySender {
public:
    SendInputKeySender(std::unique_ptr<SendInputCall> call, std::unique_ptr<LayoutQueries> queries)
        : call_(std::move(call)),
          queries_(std::move(queries)),
          records_(*queries_),
          repeat_([this] { repeatNewestKey(); })
    {
    }

    ~SendInputKeySender() override
    {
        while (!held_.empty()) {
            release(KeyString(held_.back().first));
        }
    }

    SendInputKeySender(const SendInputKeySender&) = delete;
    SendInputKeySender& operator=(const SendInputKeySender&) = delete;

    // A string's keys are found once for a layout: a held button types the same string on every tick.
    void send(const KeyString& keys) override
    {
        const HKL layout = queries_->inUse();
        if (layout != typedLayout_ || typed_.size() >= kMostStringsKept) {
            typed_.clear();
            typedLayout_ = layout;
        }
        auto [typed, added] = typed_.try_emplace(keys.text());
        if (added) {
            InputBatch batch(layout, *queries_);
            typer_.type(keys, [&](const KeyStroke& stroke) { return add(batch, stroke); });
            typed->second = batch.inputs();
        }
        if (!typed->second.empty()) {
            call_->send(typed->second);
        }
    }

    void press(const KeyString& keys) override
    {
        if (std::ranges::find(held_, keys.text(), &Held::first) != held_.end()) {
            return;
        }
        InputBatch batch(queries_->inUse(), *queries_, InputBatch::Keys::Held);
        typer_.type(keys, [&](const KeyStroke& stroke) { return add(batch, stroke); });
        batch.send(*call_);
        held_.emplace_back(keys.text(), batch.ups());
        repeat_.start();
    }

    void release(const KeyString& keys) override
    {
        const auto held = std::ranges::find(held_, keys.text(), &Held::first);
        if (held == held_.end()) {
            return;
        }
        // As on a keyboard, letting go of the repeating key ends the repeat, whatever else is held.
        if (held + 1 == held_.end()) {
            repeat_.stop();
        }
        std::vector<INPUT> ups = std::move(held->second);
        held_.erase(held);
        call_->send(ups);
    }

private:
    // The newest string's key goes down again, without an up between, as a held key repeats.
    void repeatNewestKey()
    {
        if (held_.empty() || held_.back().second.empty()) {
            return;
        }
        INPUT down = held_.back().second.front();
        down.ki.dwFlags &= ~static_cast<DWORD>(KEYEVENTF_KEYUP);
        std::vector<INPUT> repeat{down};
        call_->send(repeat);
    }

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
        modifiers.shift |= needsShift(reach->level);
        // AltGr is Control and Alt together.
        modifiers.control |= needsAltGr(reach->level);
        modifiers.alt |= needsAltGr(reach->level);
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

    // Each held string with the ups that let go of the very keys it pressed.
    using Held = std::pair<std::string, std::vector<INPUT>>;

    std::unique_ptr<SendInputCall> call_;
    std::unique_ptr<LayoutQueries> queries_;
    LayoutRecords records_;
    KeyStringTyper typer_;
    std::vector<Held> held_;
    HKL typedLayout_ = nullptr;
    std::unordered_map<std::string, std::vector<INPUT>> typed_;
    KeyRepeat repeat_;
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
