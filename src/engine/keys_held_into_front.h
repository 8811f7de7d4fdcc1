#pragma once

#include "platform/input_services.h"

#include <bitset>

namespace kivo {

// Only a key pressed while Kivo's window is in front is the user's answer to a selected button.
// Keys already down when the window came to the front (the Alt and Tab of an Alt+Tab into it)
// are left out until they have been released.
class KeysHeldIntoFront {
public:
    void windowCameToFront() { cameToFront_ = true; }
    // Clears the down bit of every key held since the window came to the front.
    void leaveOut(KeyboardState& keys);

private:
    std::bitset<256> held_;
    bool cameToFront_ = false;
};

}  // namespace kivo
