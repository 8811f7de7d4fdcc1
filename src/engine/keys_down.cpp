#include "engine/keys_down.h"

#include <algorithm>

namespace kivo {

void KeysDown::holdOnly(const std::vector<const KeyString*>& wanted)
{
    for (auto held = down_.size(); held-- > 0;) {
        const bool stays =
            std::ranges::any_of(wanted, [&](const KeyString* keys) { return keys->text() == down_[held].text(); });
        if (!stays) {
            sender_.release(down_[held]);
            down_.erase(down_.begin() + static_cast<std::ptrdiff_t>(held));
        }
    }
    for (const KeyString* keys : wanted) {
        if (std::ranges::none_of(down_, [&](const KeyString& held) { return held.text() == keys->text(); })) {
            sender_.press(*keys);
            down_.push_back(*keys);
        }
    }
}

void KeysDown::letGoOfAll()
{
    holdOnly({});
}

}  // namespace kivo
