#include "engine/keys_held_into_front.h"

#include "platform/virtual_key_codes.h"

namespace kivo {

void KeysHeldIntoFront::leaveOut(KeyboardState& keys)
{
    for (std::size_t code = 0; code < keys.size(); ++code) {
        // The engine counts any byte above the toggle bit as down.
        const bool down = keys[code] > vk::kStateToggled;
        held_[code] = down && (cameToFront_ || held_[code]);
        if (held_[code])
            keys[code] &= vk::kStateToggled;
    }
    cameToFront_ = false;
}

}  // namespace kivo
