#pragma once

#include "platform/input_services.h"

#include <optional>
#include <string>
#include <vector>

namespace kivo::fakes {

// What the joystick reports on the next reads; a test changes it between ticks.
struct StickState {
    std::uint32_t x = 32767;
    std::uint32_t y = 32767;
    std::uint32_t buttons = 0;
    std::uint32_t buttonNumber = 0;
    // The D-pad, in hundredths of a degree clockwise from up; 65535 at the centre.
    std::uint32_t pov = 65535;
};

class FakeJoystick final : public Joystick {
public:
    // nullopt: no joystick answers.
    std::optional<std::uint32_t> buttonCount = 4;
    // The maker's and product's numbers, as winmm gives a HID joystick's vendor and product.
    std::uint16_t maker = 0;
    std::uint16_t product = 0;
    std::optional<StickState> state = StickState{};
    int positionReads = 0;

    bool capabilities(unsigned deviceId, JOYCAPS& caps) override
    {
        caps = JOYCAPS{};
        if (deviceId != 0 || !buttonCount)
            return false;
        caps.wNumButtons = *buttonCount;
        caps.wMid = maker;
        caps.wPid = product;
        return true;
    }

    bool position(unsigned deviceId, JOYINFOEX& info) override
    {
        ++positionReads;
        if (deviceId != 0 || !state || info.dwSize != sizeof(JOYINFOEX) || info.dwFlags != kJoyReturnAll)
            return false;
        info.dwXpos = state->x;
        info.dwYpos = state->y;
        info.dwButtons = state->buttons;
        info.dwButtonNumber = state->buttonNumber;
        info.dwPOV = state->pov;
        return true;
    }

    void hold(int buttonFrom1)
    {
        state->buttons |= 1u << (buttonFrom1 - 1);
        state->buttonNumber = static_cast<std::uint32_t>(buttonFrom1);
    }
    void releaseAll()
    {
        state->buttons = 0;
        state->buttonNumber = 0;
    }
};

class FakeKeyboard final : public Keyboard {
public:
    KeyboardState keys{};

    bool state(KeyboardState& out) override
    {
        out = keys;
        return true;
    }
    void press(int code) { keys[static_cast<std::size_t>(code)] |= 0x80; }
    void releaseAll() { keys = {}; }
};

class FakeForegroundWindow final : public ForegroundWindow {
public:
    WindowHandle window = 0;
    WindowHandle current() override { return window; }
};

// Records every string sent, in order; a held string as "down " or "up " and the string.
class RecordingKeySender final : public KeySender {
public:
    std::vector<std::string> sent;
    void send(const KeyString& keys) override { sent.push_back(keys.text()); }
    void press(const KeyString& keys) override { sent.push_back("down " + keys.text()); }
    void release(const KeyString& keys) override { sent.push_back("up " + keys.text()); }
};

struct FakeInputServices {
    FakeJoystick joystick;
    FakeKeyboard keyboard;
    FakeForegroundWindow foreground;
    RecordingKeySender sender;

    InputServices services() { return {joystick, keyboard, foreground, sender}; }
};

}  // namespace kivo::fakes
