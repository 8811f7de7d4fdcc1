#include "platform/win32/input_batch.h"

#include "platform/win32/named_keys.h"
#include "platform/win32/own_input_tag.h"

#include <algorithm>

namespace kivo {

void InputBatch::key(std::uint8_t virtualKey, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwExtraInfo = kOwnInputTag;
    const UINT scanCode = queries_.mapVirtualKey(virtualKey, MAPVK_VK_TO_VSC_EX, layout_);
    if ((scanCode & 0xff) != 0) {
        input.ki.wScan = static_cast<WORD>(scanCode & 0xff);
        input.ki.dwFlags |= KEYEVENTF_SCANCODE;
    }
    // The layout marks most extended keys with an E0 prefix; Num Lock it does not.
    if (isExtendedKey(virtualKey) || (scanCode >> 8) == 0xe0) {
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    }
    if (up) {
        input.ki.dwFlags |= KEYEVENTF_KEYUP;
    }
    add(input);
}

void InputBatch::tap(std::uint8_t virtualKey)
{
    key(virtualKey, false);
    key(virtualKey, true);
}

void InputBatch::tapScanCode(std::uint16_t scanCode)
{
    const bool extended = scanCode > 0xff;
    const UINT virtualKey =
        queries_.mapVirtualKey(extended ? 0xe000U | (scanCode & 0xffU) : scanCode, MAPVK_VSC_TO_VK_EX, layout_);
    for (const DWORD direction : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = static_cast<WORD>(virtualKey);
        input.ki.wScan = static_cast<WORD>(scanCode & 0xffU);
        input.ki.dwFlags = KEYEVENTF_SCANCODE | direction | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
        input.ki.dwExtraInfo = kOwnInputTag;
        add(input);
    }
}

void InputBatch::send(SendInputCall& call)
{
    if (!inputs_.empty()) {
        call.send(inputs_);
    }
}

std::vector<INPUT> InputBatch::ups() const
{
    std::vector<INPUT> ups(inputs_.rbegin(), inputs_.rend());
    for (INPUT& up : ups) {
        up.ki.dwFlags |= KEYEVENTF_KEYUP;
    }
    return ups;
}

void InputBatch::add(const INPUT& input)
{
    const bool up = (input.ki.dwFlags & KEYEVENTF_KEYUP) != 0;
    const bool pressedAlready = std::ranges::any_of(
        inputs_, [&](const INPUT& down) { return down.ki.wVk == input.ki.wVk && down.ki.wScan == input.ki.wScan; });
    if (keys_ == Keys::Held && (up || pressedAlready)) {
        return;
    }
    inputs_.push_back(input);
}

}  // namespace kivo
