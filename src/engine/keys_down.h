#pragma once

#include "platform/input_services.h"

#include <vector>

namespace kivo {

// The key strings held down while keys are held as a keyboard holds them. Each tick names the
// strings that should be down; only the difference reaches the sender, and the strings let go
// before the new ones are pressed, so a change of direction never holds two opposite arrows.
class KeysDown {
public:
    explicit KeysDown(KeySender& sender) : sender_(sender) {}

    void holdOnly(const std::vector<const KeyString*>& wanted);
    void letGoOfAll();
    bool any() const { return !down_.empty(); }

private:
    KeySender& sender_;
    std::vector<KeyString> down_;  // in the order pressed
};

}  // namespace kivo
