#include "platform/virtual_key_codes.h"
#include "platform/win32/layout_records.h"
#include "platform/win32/own_input_tag.h"
#include "platform/win32/win32_backends.h"

#include <bitset>

namespace kivo {
namespace {

constexpr USHORT kGenericDesktopPage = 1;
constexpr USHORT kKeyboardUsage = 6;
// Sent for the E0/E1 prefixes of some keys; no key of its own.
constexpr USHORT kNoKey = 255;

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
        down_[key.VKey] = (key.Flags & RI_KEY_BREAK) == 0;
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
        const HKL layout = GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), nullptr));
        const KeyRecord* key = records_.find(code, layout);
        return key == nullptr ? std::string{} : recordToken(*key, down_[VK_CONTROL] && down_[VK_MENU]);
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
};

}  // namespace

std::unique_ptr<Win32Keyboard> makeRawInputKeyboard()
{
    return std::make_unique<RawInputKeyboard>();
}

}  // namespace kivo
