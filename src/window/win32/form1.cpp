#include "window/win32/form1.h"

#include "window/win32/windows1252.h"

#include <algorithm>

namespace kivo {

Form1::Form1()
{
    registerWindowClass();
    const std::wstring title = wideFromWindows1252(design::kTitle);
    window_ = CreateWindowExW(0, kWindowClass, title.c_str(), kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    dpi_ = windowDpi(window_);
    fonts_ = std::make_unique<ControlFonts>(dpi_);
    formBrush_ = CreateSolidBrush(colourRef(design::kFormBackground));
    buttonLabelBrush_ = CreateSolidBrush(colourRef(design::kButtonLabelBackground));
    buildControls();
    applyClientSize();
    timer1_ = std::make_unique<TickTimer>(window_, kTickMessage);
}

Form1::~Form1()
{
    // The timer thread posts to the window, so it ends first.
    timer1_.reset();
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
    const ButtonLabel* label = labels_.find(index);
    return label ? label->control : nullptr;
}

bool Form1::labelShownBold(int index) const
{
    const HWND control = labelControl(index);
    return control != nullptr && reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)) == fonts_->bold();
}

bool Form1::exists(int index) const
{
    return labels_.exists(index);
}

std::string Form1::caption(int index) const
{
    return labels_.caption(index);
}

void Form1::setCaption(int index, std::string_view caption)
{
    if (ButtonLabel* label = labels_.changeCaption(index, caption))
        SetWindowTextW(label->control, wideFromWindows1252(caption).c_str());
}

void Form1::setBold(int index, bool bold)
{
    if (ButtonLabel* label = labels_.changeBold(index, bold))
        showBold(*label);
}

void Form1::showBold(ButtonLabel& label)
{
    SendMessageW(label.control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_->choose(label.bold)), TRUE);
}

// Asking for an element that exists leaves it as it is.
void Form1::createLabel(int index)
{
    if (!labels_.isNext(index))
        return;
    const ButtonLabel& first = labels_.first();
    ButtonLabel label = makeButtonLabel(index, first.caption, first.rect);
    label.bold = first.bold;
    if (label.bold) {
        label.shownBold = true;
        showBold(label);
    }
    labels_.add(label);
}

void Form1::setLabelVisible(int index, bool visible)
{
    if (ButtonLabel* label = labels_.find(index))
        ShowWindow(label->control, visible ? SW_SHOWNA : SW_HIDE);
}

bool Form1::labelVisible(int index) const
{
    const HWND control = labelControl(index);
    return control != nullptr && (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

TwipsRect Form1::labelRect(int index) const
{
    return labels_.rect(index);
}

void Form1::setLabelRect(int index, TwipsRect rect)
{
    if (ButtonLabel* label = labels_.find(index)) {
        label->rect = rect;
        place(label->control, rect);
    }
}

void Form1::setOuterWidth(float width)
{
    outerWidth_ = std::max(width, design::kMinimumOuterWidth);
    applyClientSize();
}

bool Form1::askYesNo(std::string_view question)
{
    const std::wstring text = wideFromWindows1252(question);
    const std::wstring title = wideFromWindows1252(design::kProgramName);
    return MessageBoxW(window_, text.c_str(), title.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1) != IDNO;
}

void Form1::focusCommand3()
{
    SetFocus(command3_);
}

void Form1::setTimerEnabled(bool enabled)
{
    timer1_->setEnabled(enabled);
}

void Form1::leaveEventLoop(int exitCode)
{
    timer1_->setEnabled(false);
    ShowWindow(window_, SW_HIDE);
    PostQuitMessage(exitCode);
}

WindowHandle Form1::nativeHandle() const
{
    return reinterpret_cast<WindowHandle>(window_);
}

}  // namespace kivo
