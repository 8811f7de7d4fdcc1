#pragma once

#include <QWidget>

namespace kivo {

// Closes the window the way its close box does, so the captions are saved, when the desktop
// session ends or when the event loop is asked to quit.
void closeOnSessionEnd(QWidget& window);

}  // namespace kivo
