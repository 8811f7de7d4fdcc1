#include "window/qt/kivo_window.h"

#include <QGuiApplication>
#include <QSessionManager>

#include <utility>

namespace kivo {

KivoWindow::KivoWindow(InputServices services, SelectedButton& selected, SettingsLocation settings)
    : form_(std::make_unique<Form1>()),
      logic_(*form_, services, selected, std::move(settings)),
      signals_([this] { form_->close(); })
{
    form_->setEvents(&logic_);
    logic_.load();
    closeWithSession();
}

KivoWindow::~KivoWindow()
{
    form_->setEvents(nullptr);
}

void KivoWindow::closeWithSession()
{
    auto* application = qGuiApp;
    if (!application)
        return;
    QObject::connect(application, &QGuiApplication::commitDataRequest, form_.get(),
                     [this](QSessionManager&) { form_->close(); });
    // Whatever else ends the event loop first.
    QObject::connect(application, &QCoreApplication::aboutToQuit, form_.get(), [this] { form_->close(); });
}

void KivoWindow::show()
{
    form_->show();
    form_->raise();
    form_->activateWindow();
}

}  // namespace kivo
