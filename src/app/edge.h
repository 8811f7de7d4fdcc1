#pragma once

#include "app/single_instance.h"
#include "platform/input_services.h"
#include "platform/wake_ups.h"
#include "window/window_logic.h"

#include <memory>
#include <string>

namespace kivo {

// What an edge keeps tied to Kivo's window, for as long as the window lives.
class WindowHook {
public:
    virtual ~WindowHook() = default;
};

// How Kivo reaches one platform (X11, Wayland, Windows), made by that platform's one factory: the
// services the engine reads and types through, what wakes the ticks, and what the platform does
// to Kivo's window. A step every platform takes is added here once.
template <class Form>
class Edge {
public:
    virtual ~Edge() = default;
    virtual InputServices services() = 0;
    // Ties the edge to Kivo's window once start-up has run, and shows the window in front. What
    // it gives (may be null) is to go before the window does.
    virtual std::unique_ptr<WindowHook> showWindow(Form& form, WindowLogic& logic) = 0;
    // What wakes the ticks of the shown window; null when they poll.
    virtual WakeUpSource* wakeUps() = 0;
    // Brings the shown window to the front for a later start, with the tokens its launcher gave
    // for that, and answers once it knows; an empty answer is not waited for.
    virtual void comeToFront(Form& form, const LaunchTokens& tokens, SingleInstance::Answer answer) = 0;
};

}  // namespace kivo
