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
    if (taps_ == Taps::Hold) {
        press(code);
        return;
    }
    for (int times = dead ? 2 : 1; times > 0; --times) {
        keys_.key(code, true);
        keys_.key(code, false);
    }
}

void SharedKeySwitch::key(unsigned code, bool down)
{
    int& holders = holders_[code];
    holders += down ? 1 : -1;
    if ((down && holders == 1) || (!down && holders == 0)) {
        keys_.key(code, down);
    }
    if (holders <= 0) {
        holders_.erase(code);
    }
}

void HeldKeyStrings::press(const KeyString& keys, const std::function<void(HeldKeys&)>& pressStrokes)
{
    if (std::ranges::find(held_, keys.text(), &decltype(held_)::value_type::first) != held_.end()) {
        return;
    }
    auto holder = std::make_unique<HeldKeys>(shared_, HeldKeys::Taps::Hold);
    pressStrokes(*holder);
    held_.emplace_back(keys.text(), std::move(holder));
}

void HeldKeyStrings::release(const KeyString& keys)
{
    std::erase_if(held_, [&](const auto& entry) { return entry.first == keys.text(); });
}

void HeldKeyStrings::releaseAll()
{
    while (!held_.empty()) {
        held_.pop_back();
    }
}

}  // namespace kivo
