#pragma once

#include "engine/key_tokens.h"
#include "engine/poll_engine.h"
#include "fakes/fake_input_services.h"
#include "fakes/memory_labels.h"
#include "platform/wayland/wayland_backends.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

namespace kivo {

class FixedKeymap final : public KeymapSource {
public:
    explicit FixedKeymap(const std::string& name, const std::string& variant = {}, unsigned group = 0)
        : name_(name), layout_(XkbLayout::fromNames(name, variant, group).value())
    {
    }
    const XkbLayout& layout() override { return layout_; }
    // The user switches to another of the keymap's layouts.
    void useGroup(unsigned group) { layout_ = XkbLayout::fromNames(name_, {}, group).value(); }

private:
    std::string name_;
    XkbLayout layout_;
};

// A pipe standing in for /dev/uinput, read back as "+KEY_A -KEY_A": each key event must
// come in a report of its own.
class EventPipe {
public:
    EventPipe() { EXPECT_EQ(pipe2(ends_, O_NONBLOCK), 0); }
    ~EventPipe()
    {
        close(ends_[0]);
        close(ends_[1]);
    }
    EventPipe(const EventPipe&) = delete;
    EventPipe& operator=(const EventPipe&) = delete;

    int writeEnd() const { return ends_[1]; }

    std::string events()
    {
        std::string text;
        input_event event{};
        bool reported = true;
        while (read(ends_[0], &event, sizeof event) == sizeof event) {
            if (event.type == EV_KEY) {
                const char* name = libevdev_event_code_get_name(EV_KEY, event.code);
                text += std::string(text.empty() ? "" : " ") + (reported ? "" : "(unreported) ") +
                        (event.value != 0 ? "+" : "-") + (name != nullptr ? name : std::to_string(event.code));
            }
            reported = event.type == EV_SYN;
        }
        return text + (reported ? "" : " (unreported)");
    }

private:
    int ends_[2] = {-1, -1};
};

// The caption a key pressed in Kivo's window gives the selected button, through the engine's key
// scan, and what the button then types into another window.
inline std::pair<std::string, std::string> assignAndTypeBack(FixedKeymap& keymap, const std::vector<unsigned>& pressed,
                                                             std::uint32_t modifiers = 0)
{
    constexpr WindowHandle kKivoWindow = 42;
    const auto input = makeOwnWindowInput(keymap);
    input->setWindow(kKivoWindow);
    EventPipe device;
    const auto sender = makeUinputKeySender(makeDescriptorKeyboard(device.writeEnd()), keymap);
    fakes::FakeJoystick joystick;
    joystick.buttonCount = 1;
    fakes::MemoryLabels labels(1);
    SelectedButton selected;
    PollEngine engine({joystick, *input, *input, *sender}, labels, selected, kKivoWindow);
    engine.fillKeyNameTable();
    engine.readButtonCount();
    engine.captureRestPosition();
    selected.index = 0;

    input->activeChanged(true);
    engine.tick();
    for (const unsigned code : pressed)
        input->keyEvent(code + 8, true, modifiers, 0);
    engine.tick();
    const std::string token(tokenOfCaption(labels.caption(0)));
    for (const unsigned code : pressed)
        input->keyEvent(code + 8, false, modifiers, 0);
    input->activeChanged(false);
    joystick.hold(1);
    engine.tick();
    return {token, device.events()};
}

}  // namespace kivo
