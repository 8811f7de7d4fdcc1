// Form1's controls: created in the design's tab order and placed in twips at the window's DPI.
#include "window/win32/form1.h"

#include "window/rounding.h"
#include "window/win32/wide_text.h"

#include <algorithm>

namespace kivo {

void Form1::buildControls()
{
    ShowWindow(addLabel(design::kButtonLabel0Caption, design::kButtonLabel0).control, SW_SHOWNA);

    label1_ = addControl(L"STATIC", SS_LEFT | SS_NOPREFIX, kLabel1Id, design::kLabel1Caption, design::kLabel1);
    SendMessageW(label1_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_->bold()), FALSE);
    addControl(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, kCommand1Id, design::kCommand1Caption, design::kCommand1);
    command3_ =
        addControl(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, kCommand3Id, design::kCommand3Caption, design::kCommand3);
    addControl(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, kCommand4Id, design::kCommand4Caption, design::kCommand4);
    // Out of the tab order: a key pressed to assign it, the space bar above all, would switch it.
    check1_ = addControl(L"BUTTON", BS_AUTOCHECKBOX | BS_MULTILINE, kCheck1Id, design::kCheck1Caption, design::kCheck1);
    label2_ = addControl(L"STATIC", SS_LEFT | SS_NOPREFIX, kLabel2Id, design::kLabel2Caption, design::kLabel2);
    fitInstructions();
}

void Form1::showHoldKeys(bool on)
{
    SendMessageW(check1_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

HWND Form1::addControl(const wchar_t* className, DWORD style, int id, std::string_view caption, TwipsRect rect)
{
    const std::wstring text = wideFromUtf8(caption);
    const HWND control =
        CreateWindowExW(0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_->plain()), FALSE);
    fixed_.push_back({control, rect});
    place(control, rect);
    return control;
}

// A button label starts hidden and plain; layout decides which are shown.
HWND Form1::makeLabel(int index)
{
    const HWND label = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, window_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstButtonLabelId + index)),
                                       GetModuleHandleW(nullptr), nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_->plain()), FALSE);
    return label;
}

// Where the desktop's font is wider than the design's, the wrapped instructions take an extra
// line; the label grows into the free space above the button labels rather than cut it.
void Form1::fitInstructions()
{
    RECT box{0, 0, toPixels(design::kLabel2.width), 0};
    wchar_t text[512];
    GetWindowTextW(label2_, text, static_cast<int>(std::size(text)));
    const HDC dc = GetDC(label2_);
    const HGDIOBJ previous = SelectObject(dc, fonts_->plain());
    DrawTextW(dc, text, -1, &box, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(label2_, dc);
    const int room = toPixels(design::kButtonLabel0.top) - toPixels(design::kLabel2.top);
    const int needed = std::min<int>(box.bottom, room);
    if (needed > toPixels(design::kLabel2.height)) {
        SetWindowPos(label2_, nullptr, 0, 0, toPixels(design::kLabel2.width), needed,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool Form1::isButtonLabel(HWND control) const
{
    return GetDlgCtrlID(control) >= kFirstButtonLabelId;
}

void Form1::place(HWND control, TwipsRect rect) const
{
    SetWindowPos(control, nullptr, toPixels(rect.left), toPixels(rect.top), toPixels(rect.width), toPixels(rect.height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// After a DPI change: every control at its new size, in the new fonts.
void Form1::placeAll()
{
    for (const FixedControl& fixed : fixed_) {
        place(fixed.control, fixed.rect);
        const HFONT font = fixed.control == label1_ ? fonts_->bold() : fonts_->plain();
        SendMessageW(fixed.control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    for (Label& label : labels_) {
        place(label.control, label.rect);
        SendMessageW(label.control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_->choose(label.shownBold)), TRUE);
    }
    fitInstructions();
    applyClientSize();
}

// The client area as designed; the frame is whatever the desktop draws around it.
void Form1::applyClientSize()
{
    RECT outer;
    RECT client;
    GetWindowRect(window_, &outer);
    GetClientRect(window_, &client);
    const int frameWidth = (outer.right - outer.left) - client.right;
    const int frameHeight = (outer.bottom - outer.top) - client.bottom;
    SetWindowPos(window_, nullptr, 0, 0, toPixels(design::clientWidth(outerWidth())) + frameWidth,
                 toPixels(design::kClientHeight) + frameHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Form1::toPixels(float twips) const
{
    return twipsToPixels(twips, dpi_);
}

}  // namespace kivo
