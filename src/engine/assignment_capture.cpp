#include "engine/poll_engine.h"

#include "platform/virtual_key_codes.h"

#include <algorithm>
#include <limits>

// Assignment capture: while Kivo's window is in front, a pressed button becomes the selection
// and a pressed key its token.
namespace kivo {

namespace {

constexpr int kFirstScannedCode = 8;
constexpr int kLastScannedCode = 256;
constexpr std::uint8_t kToggledOnly = 1;

// Windows reports a held modifier under its general code and a left- or right-hand one;
// the hand-specific codes must not hide the general code's readable name.
bool isHandedModifier(int code)
{
    return code >= vk::kLeftShift && code <= vk::kRightAlt;
}

int generalModifierCode(int handedCode)
{
    return vk::kShift + (handedCode - vk::kLeftShift) / 2;
}

template <class KeyBytes>
bool anyKeyDown(const KeyBytes& keys)
{
    return std::any_of(keys.begin() + kFirstScannedCode, keys.end(),
                       [](std::uint8_t key) { return key > kToggledOnly; });
}

std::int16_t selectionFromButtonNumber(std::uint32_t buttonNumber)
{
    const std::int64_t index = static_cast<std::int64_t>(static_cast<std::int32_t>(buttonNumber)) - 1;
    if (index < std::numeric_limits<std::int16_t>::min() || index > std::numeric_limits<std::int16_t>::max())
        return SelectedButton::kNone;
    return static_cast<std::int16_t>(index);
}

}  // namespace

void PollEngine::captureAssignment()
{
    highlightSelection();
    scanKeys();
}

void PollEngine::highlightSelection()
{
    std::uint32_t mask = 1;
    for (std::int32_t i = 0; i < buttonCount_; ++i) {
        labels_.setBold(i, false);
        if ((joystick_.dwButtons & mask) != 0)
            selected_.index = selectionFromButtonNumber(joystick_.dwButtonNumber);
        if (selectionNamesLabel())
            labels_.setBold(selected_.index, true);
        mask <<= 1;
    }
}

void PollEngine::scanKeys()
{
    std::array<std::uint8_t, kLastScannedCode + 1> buffer{};
    KeyboardState state{};
    services_.keyboard.state(state);
    keysHeldIntoFront_.leaveOut(state);
    std::copy(state.begin(), state.end(), buffer.begin());

    if (!anyKeyDown(buffer)) {
        captionsBeforeKeys_.clear();
        downLastTick_.reset();
        lettingGo_ = false;
        return;
    }
    rememberCaptionBeforeKeys();
    std::bitset<kLastScannedCode + 1> down;
    for (int code = kFirstScannedCode; code <= kLastScannedCode; ++code)
        down[static_cast<std::size_t>(code)] = buffer[static_cast<std::size_t>(code)] > kToggledOnly;
    // Once a key of the chord is let go, the rest (AltGr, Shift, or the key without them) is
    // on its way up too: what they read as now is not what the user pressed.
    lettingGo_ = lettingGo_ || (downLastTick_ & ~down).any();
    downLastTick_ = down;
    if (lettingGo_)
        return;
    for (int code = kFirstScannedCode; code <= kLastScannedCode; ++code) {
        if (!down[static_cast<std::size_t>(code)])
            continue;
        if (isHandedModifier(code) && buffer[static_cast<std::size_t>(generalModifierCode(code))] > kToggledOnly)
            continue;
        if (!selectionNamesLabel())
            continue;
        std::string token =
            code < kLastScannedCode ? services_.keyboard.tokenOnLayout(static_cast<std::uint8_t>(code)) : std::string{};
        if (token.empty())
            token = keyNames_.tokenForCode(code);
        if (token.empty())
            continue;
        std::string caption = composeCaption(selected_.index, token);
        // A key held down is captured again on every tick; only a change is a new assignment.
        if (labels_.caption(selected_.index) != caption) {
            labels_.setCaption(selected_.index, caption);
            assigned_ = true;
        }
    }
}

void PollEngine::rememberCaptionBeforeKeys()
{
    if (!selectionNamesLabel())
        return;
    const std::int16_t index = selected_.index;
    const bool remembered = std::any_of(captionsBeforeKeys_.begin(), captionsBeforeKeys_.end(),
                                        [index](const auto& entry) { return entry.first == index; });
    if (!remembered)
        captionsBeforeKeys_.emplace_back(index, labels_.caption(index));
}

void PollEngine::undoCaptureOfKeysStillDown()
{
    KeyboardState state{};
    services_.keyboard.state(state);
    if (anyKeyDown(state)) {
        for (const auto& [index, caption] : captionsBeforeKeys_)
            labels_.setCaption(index, caption);
    }
    captionsBeforeKeys_.clear();
}

}  // namespace kivo
