#include "window/win32/form1.h"

#include "window/win32/message_loop.h"
#include "window/win32/wide_text.h"

namespace kivo {

Form1::Form1()
{
    registerWindowClass();
    const std::wstring title = wideFromUtf8(design::kTitle);
    window_ = CreateWindowExW(0, kWindowClass, title.c_str(), kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (window_ == nullptr)
        failToStart("Kivo's window");
    dpi_ = windowDpi(window_);
    fonts_ = std::make_unique<ControlFonts>(dpi_);
    formBrush_ = CreateSolidBrush(colourRef(design::kFormBackground));
    buttonLabelBrush_ = CreateSolidBrush(colourRef(design::kButtonLabelBackground));
    buildControls();
    applyClientSize();
    timer1_ = std::make_unique<TickTimer>(window_, kTickMessage);
    folderWatch_ = std::make_unique<FolderWatch>(window_, kFolderChangedMessage);
    notice_ = std::make_unique<TrayNotice>(window_, reinterpret_cast<HICON>(GetClassLongPtrW(window_, GCLP_HICON)));
}

Form1::~Form1()
{
    // The timer's and the watch's threads post to the window, so they end first.
    timer1_.reset();
    folderWatch_.reset();
    // The notification area's icon goes before the window it belongs to.
    notice_.reset();
    DestroyWindow(window_);
    DeleteObject(formBrush_);
    DeleteObject(buttonLabelBrush_);
}

void Form1::show()
{
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    SetForegroundWindow(window_);
}

HWND Form1::labelControl(int index) const
{
    const Label* label = find(index);
    return label ? label->control : nullptr;
}

bool Form1::labelShownBold(int index) const
{
    const HWND control = labelControl(index);
    return control != nullptr && reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)) == fonts_->bold();
}

void Form1::showLabelText(HWND label, std::string_view caption)
{
    SetWindowTextW(label, wideFromWindows1252(caption).c_str());
}

void Form1::showLabelWeight(HWND label, bool bold)
{
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_->choose(bold)), TRUE);
}

namespace {

// Windows gives a queued key to the window that has the focus when the key is read: a key Kivo
// typed into its own window just before a box opens would reach the box, and Enter or a blank
// would answer it. Read now, the keys go where they were typed.
void deliverKeysTypedSoFar()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

bool Form1::askYesNo(std::string_view question)
{
    deliverKeysTypedSoFar();
    const std::wstring text = wideFromUtf8(question);
    const std::wstring title = wideFromUtf8(design::kProgramName);
    return MessageBoxW(window_, text.c_str(), title.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1) != IDNO;
}

void Form1::showProblem(std::string_view message)
{
    deliverKeysTypedSoFar();
    const std::wstring text = wideFromUtf8(message);
    const std::wstring title = wideFromUtf8(design::kProgramName);
    MessageBoxW(IsWindowVisible(window_) ? window_ : nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
}

bool Form1::ownWindowActive() const
{
    DWORD process = 0;
    const HWND front = GetForegroundWindow();
    return front != nullptr && GetWindowThreadProcessId(front, &process) != 0 && process == GetCurrentProcessId();
}

void Form1::setTitle(std::string_view title)
{
    SetWindowTextW(window_, wideFromUtf8(title).c_str());
}

void Form1::notify(std::string_view summary, std::string_view body)
{
    notice_->show(wideFromUtf8(summary), wideFromUtf8(body));
}

void Form1::focusCommand3()
{
    SetFocus(command3_);
}

void Form1::setTimerEnabled(bool enabled)
{
    timer1_->setEnabled(enabled);
}

void Form1::watchFiles(const std::vector<std::filesystem::path>& files)
{
    folderWatch_->watch(files);
}

void Form1::leaveEventLoop(int exitCode)
{
    timer1_->setEnabled(false);
    folderWatch_->watch({});
    ShowWindow(window_, SW_HIDE);
    PostQuitMessage(exitCode);
}

WindowHandle Form1::nativeHandle() const
{
    return reinterpret_cast<WindowHandle>(window_);
}

}  // namespace kivo
