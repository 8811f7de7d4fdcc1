// Form1's window procedure: what each message means for the window logic.
#include "window/win32/form1.h"

#include "window/exit_status.h"

namespace kivo {

COLORREF Form1::colourRef(unsigned rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void Form1::registerWindowClass()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(instance, kWindowClass, &windowClass))
        return;
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    // The program's icon resource, where the program has one.
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
    if (windowClass.hIcon == nullptr)
        windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
}

LRESULT CALLBACK Form1::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* form = static_cast<Form1*>(creation->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr || form->fonts_ == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    return form->handle(message, wParam, lParam);
}

LRESULT Form1::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (tap_)
        tap_(message, wParam, lParam);
    switch (message) {
        case kTickMessage:
            tick();
            return 0;
        case kFolderChangedMessage:
            if (events_)
                events_->watchedFileChanged();
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED)
                command(LOWORD(wParam));
            return 0;
        case WM_ACTIVATE: {
            // The default puts the focus on the window itself; Command3 takes it from there.
            const LRESULT result = DefWindowProcW(window_, message, wParam, lParam);
            if (LOWORD(wParam) != WA_INACTIVE && events_)
                events_->activated();
            return result;
        }
        case WM_CLOSE:
            // The close box and Alt+F4 save and end; nothing cancels them.
            if (events_)
                events_->closed(ClosedBy::User);
            else
                leaveEventLoop(kExitSuccess);
            return 0;
        case WM_ENDSESSION:
            // A close nothing cancels: the default agrees to the query before it. The process may
            // be ended as soon as this returns, so the captions are saved now.
            if (wParam && events_)
                events_->closed(ClosedBy::System);
            return 0;
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(window_, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, formBrush_);
            return 1;
        }
        case WM_CTLCOLORSTATIC:
            return colourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_CTLCOLORBTN:
            // The corners around a themed button show the form's grey.
            return reinterpret_cast<LRESULT>(formBrush_);
        case WM_DPICHANGED:
            changeDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void Form1::bringToFront()
{
    const HWND front = GetLastActivePopup(window_);
    if (IsIconic(window_)) {
        ShowWindow(window_, SW_RESTORE);
    } else if (GetForegroundWindow() != front) {
        // Under Wine the window manager puts a window in front as it maps it, and a window hidden
        // and shown again is mapped anew however late the window manager is. Not a minimise and a
        // restore: Wine says nothing of a minimise carried out after the restore, and the window
        // would stay minimised.
        ShowWindow(front, SW_HIDE);
        ShowWindow(front, SW_SHOW);
    }
    SetForegroundWindow(front);
}

void Form1::tick()
{
    if (!timer1_ || !timer1_->takeTick() || !events_)
        return;
    LabelToolkit::tick([this] { events_->timerTicked(); });
}

// Enter and Escape in the window come as IDOK and IDCANCEL; they are keys to assign, not
// commands, so only the buttons' own identifiers act.
void Form1::command(int id)
{
    if (!events_)
        return;
    if (id == kCommand1Id)
        events_->quitClicked();
    else if (id == kCommand4Id)
        events_->clearClicked();
    else if (id == kCheck1Id)
        events_->holdKeysSwitched(SendMessageW(check1_, BM_GETCHECK, 0, 0) == BST_CHECKED);
}

// Button labels are green on black; the other labels are opaque in the system's button colour.
LRESULT Form1::colourStatic(HDC dc, HWND control)
{
    if (isButtonLabel(control)) {
        SetTextColor(dc, colourRef(design::kButtonLabelText));
        SetBkColor(dc, colourRef(design::kButtonLabelBackground));
        return reinterpret_cast<LRESULT>(buttonLabelBrush_);
    }
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

void Form1::changeDpi(UINT dpi, const RECT& suggested)
{
    dpi_ = dpi;
    // The controls hold the old fonts until placeAll() hands them the new ones.
    const std::unique_ptr<ControlFonts> previous = std::move(fonts_);
    fonts_ = std::make_unique<ControlFonts>(dpi_);
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    placeAll();
}

}  // namespace kivo
