#pragma once

#include "window/label_toolkit.h"
#include "window/win32/control_fonts.h"
#include "window/win32/folder_watch.h"
#include "window/win32/tick_timer.h"
#include "window/win32/tray_notice.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kivo {

// Kivo's one window and its controls, drawn with native Win32 controls. Geometry comes from
// the design in twips, converted with the window's DPI.
class Form1 final : public LabelToolkit<HWND> {
public:
    static constexpr const wchar_t* kWindowClass = L"KivoForm1";
    // The program's icon, where its resources have one under this identifier.
    static constexpr int kIconResource = 1;

    Form1();
    ~Form1() override;
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    void show();
    HWND window() const { return window_; }
    // Comes to the front with whatever question it has open.
    void bringToFront();
    // Lets the program see each of the window's messages before Form1 handles it (raw input, say).
    using MessageTap = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;
    void tapMessages(MessageTap tap) { tap_ = std::move(tap); }
    // The STATIC control of button label i, or nullptr; for tests that look at what is shown.
    HWND labelControl(int index) const;
    bool labelShownBold(int index) const;

    void setEvents(WindowEvents* events) override { events_ = events; }
    bool askYesNo(std::string_view question) override;
    void showProblem(std::string_view message) override;
    bool ownWindowActive() const override;
    void setTitle(std::string_view title) override;
    void notify(std::string_view summary, std::string_view body) override;
    void withdrawNotification() override { notice_->withdraw(); }
    void focusCommand3() override;
    void showHoldKeys(bool on) override;
    void setTimerEnabled(bool enabled) override;
    void watchFiles(const std::vector<std::filesystem::path>& files) override;
    void leaveEventLoop(int exitCode) override;
    WindowHandle nativeHandle() const override;

private:
    struct FixedControl {
        HWND control = nullptr;
        TwipsRect rect;
    };

    // A fixed window: no sizing border, no minimise or maximise box.
    static constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    static constexpr UINT kTickMessage = WM_APP + 1;
    static constexpr UINT kFolderChangedMessage = WM_APP + 2;
    // Not IDOK or IDCANCEL, which Enter and Escape send.
    static constexpr int kCommand1Id = 101;
    static constexpr int kCommand3Id = 103;
    static constexpr int kCommand4Id = 104;
    static constexpr int kCheck1Id = 105;
    static constexpr int kLabel1Id = 201;
    static constexpr int kLabel2Id = 202;
    static constexpr int kFirstButtonLabelId = 1000;

    static void registerWindowClass();
    static COLORREF colourRef(unsigned rgb);
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void tick();
    void command(int id);
    LRESULT colourStatic(HDC dc, HWND control);
    void changeDpi(UINT dpi, const RECT& suggested);

    HWND makeLabel(int index) override;
    void showLabelText(HWND label, std::string_view caption) override;
    void showLabelWeight(HWND label, bool bold) override;
    void placeLabel(HWND label, TwipsRect rect) override { place(label, rect); }
    void showLabel(HWND label, bool visible) override { ShowWindow(label, visible ? SW_SHOWNA : SW_HIDE); }
    bool labelShown(HWND label) const override { return (GetWindowLongPtrW(label, GWL_STYLE) & WS_VISIBLE) != 0; }
    void applyClientSize() override;

    void buildControls();
    HWND addControl(const wchar_t* className, DWORD style, int id, std::string_view caption, TwipsRect rect);
    void fitInstructions();
    bool isButtonLabel(HWND control) const;
    void place(HWND control, TwipsRect rect) const;
    void placeAll();
    int toPixels(float twips) const;

    HWND window_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    std::unique_ptr<ControlFonts> fonts_;
    std::vector<FixedControl> fixed_;
    HWND label1_ = nullptr;
    HWND label2_ = nullptr;
    HWND command3_ = nullptr;
    HWND check1_ = nullptr;
    HBRUSH formBrush_ = nullptr;
    HBRUSH buttonLabelBrush_ = nullptr;
    std::unique_ptr<TickTimer> timer1_;
    std::unique_ptr<FolderWatch> folderWatch_;
    std::unique_ptr<TrayNotice> notice_;
    WindowEvents* events_ = nullptr;
    MessageTap tap_;
};

}  // namespace kivo
