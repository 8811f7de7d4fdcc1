#include "platform/messages.h"
#include "platform/virtual_key_codes.h"
#include "platform/win32/layout_records.h"
#include "platform/win32/own_input_tag.h"
#include "platform/win32/win32_backends.h"

#include <bitset>
#include <iterator>

namespace kivo {
namespace {

constexpr USHORT kGenericDesktopPage = 1;
constexpr USHORT kKeyboardUsage = 6;
// Sent for the E0/E1 prefixes of some keys; no key of its own.
constexpr USHORT kNoKey = 255;

// With Num Lock off the keypad's keys come as the arrows, Home and the rest, and its Enter as
// Return; only the E0 prefix the others carry tells them apart. They are kept under codes no
// key has, one for each place, so that they are named and typed back on the keypad.
constexpr std::uint16_t kKeypadPlaces[] = {0x47, 0x48, 0x49, 0x4b, 0x4c, 0x4d, 0x4f, 0x50, 0x51, 0x52, 0x53, 0x11c};
constexpr std::uint8_t kFirstKeypadPlaceCode = 0xc1;

std::uint8_t codeOf(const RAWKEYBOARD& key)
{
    const bool prefixed = (key.Flags & RI_KEY_E0) != 0;
    const std::uint16_t place = (prefixed ? 0x100U : 0U) | (key.MakeCode & 0xffU);
    const bool keypadNavigation = !prefixed && key.VKey != VK_RETURN && key.VKey != VK_NUMLOCK;
    for (std::size_t i = 0; i < std::size(kKeypadPlaces); ++i) {
        if (kKeypadPlaces[i] == place && (keypadNavigation || key.VKey == VK_RETURN)) {
            return static_cast<std::uint8_t>(kFirstKeypadPlaceCode + i);
        }
    }
    return static_cast<std::uint8_t>(key.VKey);
}

// The keys the user pressed while the window is in front, from the window's raw keyboard
// input: GetKeyboardState would also show the keys Kivo types into its own window and keys
// that were down while another window had the keyboard.
class RawInputKeyboard final : public Win32Keyboard {
public:
    void readFrom(HWND window) override { window_ = window; }

    std::vector<RAWINPUTDEVICE> wantedDevices() const override
    {
        // Without RIDEV_INPUTSINK, reports come only while the window is in front.
        return {RAWINPUTDEVICE{kGenericDesktopPage, kKeyboardUsage, 0, nullptr}};
    }
    DWORD reportType() const override { return RIM_TYPEKEYBOARD; }

    void received(const RAWINPUT& report) override
    {
        const RAWKEYBOARD& key = report.data.keyboard;
        // Windows gives injected input no device; Wine gives it one, so Kivo's own mark counts too.
        if (report.header.hDevice == nullptr || key.ExtraInformation == kOwnInputTag)
            return;
        if (key.VKey == 0 || key.VKey >= kNoKey)
            return;
        down_[codeOf(key)] = (key.Flags & RI_KEY_BREAK) == 0;
    }

    bool state(KeyboardState& keys) override
    {
        const bool inFront = GetForegroundWindow() == window_;
        if (inFront && !inFront_)
            takeKeysDownNow();
        else if (!inFront)
            down_.reset();
        inFront_ = inFront;
        // The lock keys' toggle bits, which raw input does not carry.
        const bool read = GetKeyboardState(keys.data()) != FALSE;
        for (std::size_t code = 0; code < keys.size(); ++code) {
            keys[code] &= vk::kStateToggled;
            if (down_[code])
                keys[code] |= vk::kStateDown;
        }
        return read;
    }

    // Named on the layout of the window in front, Kivo's own while it assigns keys. AltGr comes
    // to raw input as Control and Alt.
    std::string tokenOnLayout(std::uint8_t code) override
    {
        if (code >= kFirstKeypadPlaceCode && code < kFirstKeypadPlaceCode + std::size(kKeypadPlaces)) {
            return scanCodeToken(kKeypadPlaces[code - kFirstKeypadPlaceCode]);
        }
        const KeyRecord* key = records_.find(code, queries_->inUse());
        const bool altGr = down_[VK_CONTROL] && down_[VK_MENU];
        const KeyLevel held = !altGr ? KeyLevel::Plain : down_[VK_SHIFT] ? KeyLevel::ShiftAltGr : KeyLevel::AltGr;
        if (key == nullptr) {
            return {};
        }
        std::string token = recordToken(*key, held);
        const char32_t typed = key->at(held) != 0 ? key->at(held) : key->at(KeyLevel::AltGr);
        if (token.empty() && altGr && typed != 0 && typed != key->at(KeyLevel::Plain) && !told_[code]) {
            told_[code] = true;
            reportProblem("AltGr with the key " + scanCodeToken(key->scanCode) +
                          " types a character no caption can hold: the key is assigned as it types without AltGr");
        }
        return token;
    }

private:
    // Keys held as the window comes to the front were pressed for another window; they show as
    // down, so that the capture leaves them out until their release arrives.
    void takeKeysDownNow()
    {
        for (int code = 0; code < static_cast<int>(down_.size()); ++code)
            down_[static_cast<std::size_t>(code)] = (GetAsyncKeyState(code) & 0x8000) != 0;
    }

    std::unique_ptr<LayoutQueries> queries_ = makeSystemLayoutQueries();
    LayoutRecords records_{*queries_};
    HWND window_ = nullptr;
    bool inFront_ = false;
    std::bitset<256> down_;
    // Keys whose AltGr character no token names, told once each.
    std::bitset<256> told_;
};

}  // namespace

std::unique_ptr<Win32Keyboard> makeRawInputKeyboard()
{
    return std::make_unique<RawInputKeyboard>();
}

}  // namespace kivo
