#pragma once

#include <windows.h>

#include <vector>

namespace kivo {

// Takes the raw input reports of one kind of device (RIM_TYPEKEYBOARD, RIM_TYPEHID, ...).
class RawInputConsumer {
public:
    virtual ~RawInputConsumer() = default;
    // The top-level collections wanted and how (usage page and usage, RIDEV_* flags); the
    // window is filled in on registration.
    virtual std::vector<RAWINPUTDEVICE> wantedDevices() const = 0;
    virtual DWORD reportType() const = 0;
    virtual void received(const RAWINPUT& report) = 0;
};

// One window's raw input shared by several consumers: registrations for different usages
// stand side by side, and each WM_INPUT goes to the consumer of its report's kind.
class RawInput {
public:
    explicit RawInput(HWND window) : window_(window) {}

    // Registers the consumer's devices for the window; false when Windows refuses them.
    bool add(RawInputConsumer& consumer);
    // For the window's WM_INPUT; the window still hands the message on to DefWindowProc.
    void handle(LPARAM report);

private:
    HWND window_;
    std::vector<RawInputConsumer*> consumers_;
    std::vector<RAWINPUT> buffer_;
};

}  // namespace kivo
