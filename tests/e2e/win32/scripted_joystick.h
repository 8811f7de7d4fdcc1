#pragma once

#include "app/win32/win32_wake_ups.h"
#include "platform/input_services.h"

#include <cstdint>
#include <mutex>

namespace kivo::e2e {

// A joystick moved by the script: Wine cannot see SDL's virtual joystick, so the host feeds
// the engine's records itself. Moved from the reader thread, read on the window's thread.
class ScriptedJoystick final : public Joystick {
public:
    // Its vendor and product, for winmm's record and for the reports raw input would send.
    static constexpr DeviceIdentity kIdentity{0x1209, 0x4b56};

    ScriptedJoystick(int buttons, std::uint32_t restX, std::uint32_t restY);

    bool capabilities(unsigned deviceId, JOYCAPS& caps) override;
    bool position(unsigned deviceId, JOYINFOEX& info) override;

    void moveTo(std::uint32_t x, std::uint32_t y);
    void pointDpad(std::uint32_t pov);
    void setButton(int fromOne, bool down);
    // Unplugged, it answers as winmm does for a missing device: every read fails.
    void setPlugged(bool plugged);

private:
    std::mutex mutex_;
    const int buttons_;
    std::uint32_t x_;
    std::uint32_t y_;
    std::uint32_t pov_ = 65535;
    std::uint32_t pressed_ = 0;
    bool plugged_ = true;
};

}  // namespace kivo::e2e
