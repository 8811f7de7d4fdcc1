#include "window/main_window.h"

#include "engine/key_tokens.h"
#include "window/label_layout.h"

#include <utility>

namespace kivo {

MainWindow::MainWindow(Toolkit& form, InputServices services, SelectedButton& selected, SettingsLocation settings)
    : form_(form), engine_(services, form, selected, form.nativeHandle()), settings_(std::move(settings))
{
}

void MainWindow::load()
{
    form_.setTimerEnabled(false);
    engine_.resetSelection();
    engine_.fillKeyNameTable();
    engine_.readButtonCount();
    layOutButtonLabels(form_, engine_.buttonCount());
    engine_.captureRestPosition();
    loadCaptions(settings_, form_, engine_.buttonCount());
    form_.setTimerEnabled(true);
}

void MainWindow::activated()
{
    form_.focusCommand3();
}

void MainWindow::timerTicked()
{
    engine_.tick();
}

void MainWindow::quitClicked()
{
    if (!form_.askYesNo(design::kQuitQuestion))
        return;
    storeCaptions();
    form_.endProcess();
}

void MainWindow::clearClicked()
{
    if (!form_.askYesNo(design::kClearQuestion))
        return;
    form_.focusCommand3();
    for (std::int32_t i = 0; i < engine_.buttonCount(); ++i)
        form_.setCaption(i, composeCaption(i, ""));
}

void MainWindow::closed()
{
    storeCaptions();
    form_.endProcess();
}

void MainWindow::storeCaptions()
{
    saveCaptions(settings_, form_, engine_.buttonCount());
}

}  // namespace kivo
