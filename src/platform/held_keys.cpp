#include "platform/held_keys.h"

#include <algorithm>

namespace kivo {

HeldKeys::~HeldKeys()
{
    for (auto code = held_.rbegin(); code != held_.rend(); ++code) {
        keys_.key(*code, false);
    }
}

void HeldKeys::press(unsigned code)
{
    if (std::ranges::find(held_, code) == held_.end()) {
        keys_.key(code, true);
        held_.push_back(code);
    }
}

void HeldKeys::tap(unsigned code, bool dead)
{
    for (int times = dead ? 2 : 1; times > 0; --times) {
        keys_.key(code, true);
        keys_.key(code, false);
    }
}

}  // namespace kivo
