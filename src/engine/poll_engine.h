#pragma once

#include "engine/button_labels.h"
#include "engine/key_tokens.h"
#include "engine/selected_button.h"
#include "platform/input_services.h"

#include <cstdint>
#include <string>

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

    std::int32_t buttonCount() const { return buttonCount_; }

private:
    bool readPosition();
    void restAtCurrentPosition();
    void sendArrows();
    void captureAssignment();
    void highlightSelection();
    void scanKeys();
    void sendHeldButtonKey();
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
    KeyNameTable keyNames_;
    std::string currentToken_;
};

}  // namespace kivo
