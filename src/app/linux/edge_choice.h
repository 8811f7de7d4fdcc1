#pragma once

#include <string>

namespace kivo {

// What the choice between Wayland and X11 goes by.
struct SessionFacts {
    bool waylandSession = false;
    // QT_QPA_PLATFORM asks for X11, as Qt users set it to.
    bool x11Forced = false;
    // Empty when /dev/uinput can be opened for writing; otherwise why not.
    std::string uinputProblem;
    bool x11Display = false;
};

struct EdgeChoice {
    bool wayland = false;
    // Which path runs and why, for the help.
    std::string why;
    // One line for standard error at start-up; empty when there is nothing to say.
    std::string warning;
};

// Empty when the node can be opened for writing, as a keyboard needs /dev/uinput; otherwise why not.
std::string writingProblem(const char* node);
// Looks at the environment and tries /dev/uinput.
SessionFacts currentSessionFacts();
// Wayland, typing through a uinput keyboard into every window, where the session is Wayland's and
// /dev/uinput can be written; X11 through XTest (XWayland in a Wayland session) otherwise.
EdgeChoice chooseEdge(const SessionFacts& facts);

}  // namespace kivo
