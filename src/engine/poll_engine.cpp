#include "engine/poll_engine.h"

#include <iterator>
#include <utility>

namespace kivo {

namespace {

constexpr unsigned kFirstJoystick = 0;
constexpr double kAxisScale = 100.0;
constexpr double kDeadZone = 25.0;

// The D-pad's point of view: hundredths of a degree clockwise from up; winmm's centre is 65535,
// and any value beyond a full turn is taken as the centre too.
constexpr std::uint32_t kFullTurn = 36000;
constexpr std::uint32_t kPovCentred = 65535;
constexpr std::uint32_t kEighthTurn = kFullTurn / 8;

int stickPush(double delta)
{
    return delta > kDeadZone ? 1 : delta < -kDeadZone ? -1 : 0;
}

// A point of view taken as the nearest of a D-pad's eight directions, from up clockwise.
std::pair<int, int> dpadPush(std::uint32_t pov)
{
    static constexpr std::pair<int, int> kDirections[] = {{0, -1}, {1, -1}, {1, 0},  {1, 1},
                                                          {0, 1},  {-1, 1}, {-1, 0}, {-1, -1}};
    if (pov >= kFullTurn)
        return {0, 0};
    return kDirections[(pov + kEighthTurn / 2) / kEighthTurn % std::size(kDirections)];
}

}  // namespace

PollEngine::PollEngine(InputServices services, ButtonLabels& labels, SelectedButton& selected, WindowHandle mainWindow)
    : services_(services), labels_(labels), selected_(selected), mainWindow_(mainWindow), keysDown_(services.sender)
{
    // A zeroed point of view would be the D-pad held up.
    joystick_.dwPOV = kPovCentred;
}

void PollEngine::resetSelection()
{
    selected_.index = SelectedButton::kNone;
}

void PollEngine::fillKeyNameTable()
{
    keyNames_.fill();
}

void PollEngine::readButtonCount()
{
    JOYCAPS caps{};
    services_.joystick.capabilities(kFirstJoystick, caps);
    buttonCount_ = static_cast<std::int32_t>(caps.wNumButtons);
}

void PollEngine::captureRestPosition()
{
    if (readPosition())
        restAtCurrentPosition();
}

void PollEngine::restAtCurrentPosition()
{
    restX_ = static_cast<std::int32_t>(joystick_.dwXpos);
    restY_ = static_cast<std::int32_t>(joystick_.dwYpos);
    restCaptured_ = true;
}

// A joystick that stops answering, unplugged say, would otherwise leave its last stick and
// buttons in the record, and Kivo would go on typing them.
void PollEngine::settleAtRest()
{
    joystick_.dwXpos = static_cast<std::uint32_t>(restX_);
    joystick_.dwYpos = static_cast<std::uint32_t>(restY_);
    joystick_.dwButtons = 0;
    joystick_.dwButtonNumber = 0;
    joystick_.dwPOV = kPovCentred;
}

bool PollEngine::readPosition()
{
    joystick_.dwSize = kJoyInfoExSize;
    joystick_.dwFlags = kJoyReturnAll;
    const bool answered = services_.joystick.position(kFirstJoystick, joystick_);
    arrived_ = answered && !answering_;
    answering_ = answered;
    return answered;
}

void PollEngine::tick()
{
    assigned_ = false;
    if (!readPosition()) {
        if (restCaptured_)
            settleAtRest();
    } else if (!restCaptured_) {
        // A joystick that was not there at start-up rests wherever it first answers.
        restAtCurrentPosition();
    }
    if (ownBoxInFront_) {
        // Back in the main window, keys still down from answering the box are not assignments.
        mainWindowInFront_ = false;
        keysDown_.letGoOfAll();
        return;
    }
    if (!holdKeys_)
        sendArrows();
    noteWindowInFront();
    if (mainWindowInFront_)
        captureAssignment();
    if (holdKeys_)
        holdPushedKeys();
    else
        sendHeldButtonKey();
}

void PollEngine::setHoldKeys(bool on)
{
    holdKeys_ = on;
    if (!on)
        keysDown_.letGoOfAll();
}

// Held keys need nothing more until the joystick or the window in front changes.
bool PollEngine::idle() const
{
    const bool nothingToType = holdKeys_ || (arrowPush() == std::pair{0, 0} && joystick_.dwButtons == 0);
    return nothingToType && !mainWindowInFront_;
}

void PollEngine::noteWindowInFront()
{
    const WindowHandle front = services_.foreground.current();
    if (front != front_)
        keysDown_.letGoOfAll();
    front_ = front;
    const bool wasInFront = mainWindowInFront_;
    mainWindowInFront_ = front == mainWindow_;
    if (mainWindowInFront_ && !wasInFront)
        keysHeldIntoFront_.windowCameToFront();
}

// Kivo's own window gets no held key: its key scan would take the key for an assignment.
void PollEngine::holdPushedKeys()
{
    std::vector<const KeyString*> wanted;
    if (!mainWindowInFront_) {
        for (const KeyString* arrow : pushedArrows()) {
            if (arrow != nullptr)
                wanted.push_back(arrow);
        }
        if (const KeyString* button = heldButtonKeys())
            wanted.push_back(button);
    }
    keysDown_.holdOnly(wanted);
}

double PollEngine::deltaX() const
{
    return static_cast<double>(static_cast<std::int32_t>(joystick_.dwXpos)) / kAxisScale -
           static_cast<double>(restX_) / kAxisScale;
}

double PollEngine::deltaY() const
{
    return static_cast<double>(static_cast<std::int32_t>(joystick_.dwYpos)) / kAxisScale -
           static_cast<double>(restY_) / kAxisScale;
}

// Along each axis the stick's push, or the D-pad's while the stick rests there: both pushed the
// same way type one arrow, as one hand would expect, and the stick wins against the D-pad.
std::pair<int, int> PollEngine::arrowPush() const
{
    const auto [dpadX, dpadY] = dpadPush(joystick_.dwPOV);
    const int x = stickPush(deltaX());
    const int y = stickPush(deltaY());
    return {x != 0 ? x : dpadX, y != 0 ? y : dpadY};
}

std::array<const KeyString*, 2> PollEngine::pushedArrows() const
{
    const auto [x, y] = arrowPush();
    const KeyString* alongX = x > 0 ? &arrows_.right : x < 0 ? &arrows_.left : nullptr;
    const KeyString* alongY = y > 0 ? &arrows_.down : y < 0 ? &arrows_.up : nullptr;
    return {alongX, alongY};
}

void PollEngine::sendArrows()
{
    for (const KeyString* arrow : pushedArrows()) {
        if (arrow != nullptr)
            services_.sender.send(*arrow);
    }
}

void PollEngine::sendHeldButtonKey()
{
    if (const KeyString* keys = heldButtonKeys())
        services_.sender.send(*keys);
}

const KeyString* PollEngine::heldButtonKeys()
{
    int held = 0;
    std::uint32_t mask = 1;
    for (std::int32_t i = 0; i < buttonCount_; ++i) {
        if ((joystick_.dwButtons & mask) != 0)
            ++held;
        mask <<= 1;
    }
    if (held == 0 || !selectionNamesLabel())
        return nullptr;
    std::string caption = labels_.caption(selected_.index);
    if (caption != heldCaption_) {
        heldKeys_ = KeyString(textToSend(tokenOfCaption(caption)));
        heldCaption_ = std::move(caption);
    }
    return heldKeys_.text().empty() ? nullptr : &heldKeys_;
}

bool PollEngine::selectionNamesLabel() const
{
    return selected_.index >= 0 && labels_.exists(selected_.index);
}

}  // namespace kivo
