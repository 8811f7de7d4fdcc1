#include "window/win32/tray_notice.h"

#include <algorithm>
#include <iterator>

namespace kivo {
namespace {

// Copies as much of text as fits, always ending in a null.
template <std::size_t N>
void copyInto(wchar_t (&field)[N], const std::wstring& text)
{
    const std::size_t length = std::min(text.size(), N - 1);
    std::copy_n(text.begin(), length, std::begin(field));
    field[length] = L'\0';
}

}  // namespace

TrayNotice::TrayNotice(HWND owner, HICON icon)
{
    data_.cbSize = sizeof(data_);
    data_.hWnd = owner;
    data_.uID = 1;
    data_.hIcon = icon;
}

TrayNotice::~TrayNotice()
{
    withdraw();
}

void TrayNotice::show(const std::wstring& summary, const std::wstring& body)
{
    data_.uFlags = NIF_ICON | NIF_TIP | NIF_INFO | NIF_SHOWTIP;
    copyInto(data_.szTip, summary);
    copyInto(data_.szInfoTitle, summary);
    copyInto(data_.szInfo, body);
    // Quiet while the user has just signed in or plays full screen, as Windows asks of notices.
    data_.dwInfoFlags = NIIF_WARNING | NIIF_RESPECT_QUIET_TIME;
    if (Shell_NotifyIconW(shown_ ? NIM_MODIFY : NIM_ADD, &data_))
        shown_ = true;
}

void TrayNotice::withdraw()
{
    if (shown_)
        Shell_NotifyIconW(NIM_DELETE, &data_);
    shown_ = false;
}

}  // namespace kivo
