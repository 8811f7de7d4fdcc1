#include "platform/win32/raw_input.h"

namespace kivo {

bool RawInput::add(RawInputConsumer& consumer)
{
    std::vector<RAWINPUTDEVICE> devices = consumer.wantedDevices();
    for (RAWINPUTDEVICE& device : devices)
        device.hwndTarget = window_;
    if (!RegisterRawInputDevices(devices.data(), static_cast<UINT>(devices.size()), sizeof(RAWINPUTDEVICE)))
        return false;
    consumers_.push_back(&consumer);
    return true;
}

void RawInput::handle(LPARAM report)
{
    const auto handle = reinterpret_cast<HRAWINPUT>(report);
    UINT size = 0;
    if (GetRawInputData(handle, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER)) != 0)
        return;
    // HID reports run past the end of RAWINPUT; whole records keep its alignment.
    buffer_.resize((size + sizeof(RAWINPUT) - 1) / sizeof(RAWINPUT));
    if (GetRawInputData(handle, RID_INPUT, buffer_.data(), &size, sizeof(RAWINPUTHEADER)) == static_cast<UINT>(-1))
        return;
    const RAWINPUT& input = buffer_.front();
    for (RawInputConsumer* consumer : consumers_) {
        if (consumer->reportType() == input.header.dwType)
            consumer->received(input);
    }
}

}  // namespace kivo
