#include "window/qt/close_requests.h"

#include <QGuiApplication>
#include <QSessionManager>

namespace kivo {

void closeOnSessionEnd(Form1& window)
{
    auto* application = qGuiApp;
    if (!application)
        return;
    QObject::connect(application, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.closeForSystem(); });
    // Whatever else ends the event loop first.
    QObject::connect(application, &QCoreApplication::aboutToQuit, &window, [&window] { window.closeForSystem(); });
}

}  // namespace kivo
