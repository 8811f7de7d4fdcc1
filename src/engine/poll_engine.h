#pragma once

#include "engine/button_labels.h"
#include "engine/key_tokens.h"
#include "engine/keys_down.h"
#include "engine/keys_held_into_front.h"
#include "engine/selected_button.h"
#include "platform/input_services.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kivo {

// Turns joystick state into key strokes, one poll cycle per timer tick, and captures
// assignments while Kivo's own window is in front.
class PollEngine {
public:
    PollEngine(InputServices services, ButtonLabels& labels, SelectedButton& selected, WindowHandle mainWindow);

    void resetSelection();
    void fillKeyNameTable();
    void readButtonCount();
    void captureRestPosition();
    void tick();
    // While one of Kivo's own questions or message boxes has the keyboard, ticks read the joystick
    // but type and capture nothing: a held button would answer the question.
    void setOwnBoxInFront(bool inFront) { ownBoxInFront_ = inFront; }
    // Holds each key down for as long as the stick, the D-pad or a button is held, as a keyboard
    // does, instead of typing a whole stroke on every tick. Switching it off lets go of the keys.
    void setHoldKeys(bool on);
    bool holdsKeys() const { return holdKeys_; }
    // Lets go of every key held down; a later tick presses again what is still pushed then.
    void letGoOfKeys() { keysDown_.letGoOfAll(); }
    // Puts back the captions that keys still down have rewritten since they went down, so
    // that the keys closing the window (Alt+F4) do not become an assignment.
    void undoCaptureOfKeysStillDown();
    // The last tick did nothing, and nothing but the joystick or the window in front can change
    // that: the stick rests inside the dead zone, the D-pad at its centre, no button is down,
    // Kivo's window is not in front.
    bool idle() const;

    std::int32_t buttonCount() const { return buttonCount_; }
    // Whether the last read of the joystick's position found a joystick.
    bool joystickAnswering() const { return answering_; }
    // Whether the last read found a joystick where the read before found none.
    bool joystickArrived() const { return arrived_; }
    // Whether the last tick's capture changed a caption: a new assignment.
    bool assigned() const { return assigned_; }

private:
    bool readPosition();
    void restAtCurrentPosition();
    void settleAtRest();
    void rememberCaptionBeforeKeys();
    double deltaX() const;
    double deltaY() const;
    // Which way to type along X and along Y: -1, 0 or 1.
    std::pair<int, int> arrowPush() const;
    // The arrows the stick or the D-pad pushes, X first; none where an axis rests. Fixed in size,
    // as the default mode asks for them on every tick.
    std::array<const KeyString*, 2> pushedArrows() const;
    void sendArrows();
    // Notes the window in front; a key held into one window is let go before another gets keys.
    void noteWindowInFront();
    void captureAssignment();
    void highlightSelection();
    void scanKeys();
    void sendHeldButtonKey();
    // The selected button's keys while any button is held; nullptr when there are none.
    const KeyString* heldButtonKeys();
    void holdPushedKeys();
    bool selectionNamesLabel() const;

    InputServices services_;
    ButtonLabels& labels_;
    SelectedButton& selected_;
    WindowHandle mainWindow_;

    JOYINFOEX joystick_{};
    std::int32_t buttonCount_ = 0;
    std::int32_t restX_ = 0;
    std::int32_t restY_ = 0;
    bool restCaptured_ = false;
    bool answering_ = false;
    bool arrived_ = false;
    bool assigned_ = false;
    bool mainWindowInFront_ = false;
    bool ownBoxInFront_ = false;
    bool holdKeys_ = false;
    WindowHandle front_ = 0;
    KeysDown keysDown_;
    KeysHeldIntoFront keysHeldIntoFront_;
    KeyNameTable keyNames_;
    struct ArrowKeys {
        KeyString right{"{right}"};
        KeyString left{"{left}"};
        KeyString down{"{down}"};
        KeyString up{"{up}"};
    } arrows_;
    // What a held button types, parsed again only when the selected caption is no longer the
    // one it came from: an assignment, a load or Clear changed it, or another button was selected.
    std::string heldCaption_;
    KeyString heldKeys_;
    // The keys down at the last key scan, and whether one of them has been let go since all
    // were up: a chord being let go, in whatever order, assigns nothing more.
    std::bitset<257> downLastTick_;
    bool lettingGo_ = false;
    // Captions as they stood before the keys now down went down, by label index.
    std::vector<std::pair<std::int16_t, std::string>> captionsBeforeKeys_;
};

}  // namespace kivo
