#include "engine/poll_engine.h"

#include <cstdio>
#include <string>
#include <vector>

// Until the window is built, Kivo runs its engine once over a platform with no joystick.
namespace {

class NoJoystick final : public kivo::Joystick {
public:
    bool capabilities(unsigned, kivo::JOYCAPS& caps) override { caps = {}; return false; }
    bool position(unsigned, kivo::JOYINFOEX&) override { return false; }
};
class NoKeyboard final : public kivo::Keyboard {
public:
    bool state(kivo::KeyboardState& keys) override { keys = {}; return false; }
};
class NoWindow final : public kivo::ForegroundWindow {
public:
    kivo::WindowHandle current() override { return 0; }
};
class PrintingSender final : public kivo::KeySender {
public:
    void send(std::string_view keys) override { std::printf("would send %.*s\n", int(keys.size()), keys.data()); }
};
class OneLabel final : public kivo::ButtonLabels {
public:
    bool exists(int index) const override { return index == 0; }
    std::string caption(int) const override { return caption_; }
    void setCaption(int, std::string_view caption) override { caption_ = caption; }
    void setBold(int, bool) override {}
private:
    std::string caption_ = "Button 1:";
};

}  // namespace

int main()
{
    NoJoystick joystick;
    NoKeyboard keyboard;
    NoWindow window;
    PrintingSender sender;
    OneLabel labels;
    kivo::SelectedButton selected;
    kivo::PollEngine engine({joystick, keyboard, window, sender}, labels, selected, 1);
    engine.resetSelection();
    engine.fillKeyNameTable();
    engine.readButtonCount();
    engine.captureRestPosition();
    engine.tick();
    std::printf("Kivo engine ran one tick with no joystick platform (%d buttons); the window is not built yet.\n",
                engine.buttonCount());
}
