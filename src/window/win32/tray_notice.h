#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace kivo {

// A notice as Windows gives one for a program without a place of its own in the notification
// area: Kivo's icon there for as long as the notice stands, and its balloon, which Windows 10 and
// later show as a toast. Neither takes the focus from the window in front.
class TrayNotice {
public:
    // The owner's icon is shown; the owner must outlive the notice.
    TrayNotice(HWND owner, HICON icon);
    ~TrayNotice();
    TrayNotice(const TrayNotice&) = delete;
    TrayNotice& operator=(const TrayNotice&) = delete;

    // Replaces the notice shown before. Without a notification area (no shell) nothing shows.
    void show(const std::wstring& summary, const std::wstring& body);
    void withdraw();

private:
    NOTIFYICONDATAW data_{};
    bool shown_ = false;
};

}  // namespace kivo
