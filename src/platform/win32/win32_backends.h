#pragma once

#include "platform/input_services.h"
#include "platform/win32/layout_records.h"
#include "platform/win32/raw_input.h"

#include <memory>
#include <string>
#include <vector>

namespace kivo {

// A keyboard state fed by a window's raw input, for the window's thread.
class Win32Keyboard : public Keyboard, public RawInputConsumer {
public:
    // The window whose raw input it is added to; set before the first state is read.
    virtual void readFrom(HWND window) = 0;
};

// The Windows input services.
std::unique_ptr<Joystick> makeWinmmJoystick();
// Reports only keys the user pressed while the window is in front; add it to the window's raw input.
std::unique_ptr<Win32Keyboard> makeRawInputKeyboard();
std::unique_ptr<ForegroundWindow> makeWin32Foreground();
std::unique_ptr<KeySender> makeSendInputKeySender();

// The call that hands a batch of keys to Windows, so that tests see the batch itself: Wine
// takes each key by its virtual key and ignores KEYEVENTF_SCANCODE, which Windows needs.
class SendInputCall {
public:
    virtual ~SendInputCall() = default;
    virtual void send(std::vector<INPUT>& inputs) = 0;
};
std::unique_ptr<KeySender> makeSendInputKeySender(std::unique_ptr<SendInputCall> call);
// Characters found by the layout's answers these queries give.
std::unique_ptr<KeySender> makeSendInputKeySender(std::unique_ptr<SendInputCall> call,
                                                  std::unique_ptr<LayoutQueries> queries);

// One line for each joystick winmm finds answering (number, name, buttons), the first marked as
// the one Kivo uses; or a line saying that there is none.
std::string listWinmmJoysticks();

}  // namespace kivo
