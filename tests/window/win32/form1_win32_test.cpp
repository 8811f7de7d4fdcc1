#include "support/captured_stderr.h"
#include "support/waits.h"
#include "window/win32/form1.h"
#include "window/win32/message_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace kivo {
namespace {

// Records what the window delivers; activation hands the focus on as the window logic does.
class RecordedEvents final : public WindowEvents {
public:
    explicit RecordedEvents(Form1& form) : form_(form) {}
    void activated() override
    {
        log.push_back("activated");
        form_.focusCommand3();
    }
    void timerTicked() override { tickThreads.push_back(GetCurrentThreadId()); }
    void quitClicked() override { log.push_back("quit"); }
    void clearClicked() override { log.push_back("clear"); }
    void closed(ClosedBy closer) override { log.push_back(closer == ClosedBy::User ? "closed" : "session closed"); }
    void watchedFileChanged() override {}

    std::vector<std::string> log;
    std::vector<DWORD> tickThreads;

private:
    Form1& form_;
};

// How long a check that nothing arrives pumps.
constexpr DWORD kQuietMilliseconds = static_cast<DWORD>(test_support::kQuietSpan.count());

void pumpFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    MSG message;
    while (GetTickCount() - start < milliseconds) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) && message.message != WM_QUIT)
            DispatchMessageW(&message);
    }
}

// Pumps until the condition holds or the wait gives up: a loaded machine may delay the first
// tick well beyond its millisecond.
template <class Condition>
void pumpUntil(Condition condition)
{
    test_support::waitFor(condition, [] { pumpFor(5); });
}

RECT childRect(HWND parent, HWND child)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

class Win32Form1Test : public ::testing::Test {
protected:
    Form1 form;
    RecordedEvents events{form};
    HWND window = form.window();

    void SetUp() override { form.setEvents(&events); }
    HWND control(int id) const { return GetDlgItem(window, id); }
};

// At Wine's default 96 DPI a pixel is 15 twips.
TEST_F(Win32Form1Test, ControlsAndClientAreaAreTheDesignInPixels)
{
    ASSERT_EQ(windowDpi(window), 96u);
    form.createLabel(1);
    struct Case {
        HWND control;
        RECT pixels;
    };
    for (const Case& c :
         {Case{form.labelControl(0), {8, 152, 137, 169}}, Case{form.labelControl(1), {8, 152, 137, 169}},
          Case{control(201), {8, 80, 217, 105}}, Case{control(101), {8, 8, 89, 41}},
          Case{control(103), {400, 8, 409, 21}}, Case{control(104), {104, 8, 193, 41}}}) {
        const RECT rect = childRect(window, c.control);
        EXPECT_TRUE(EqualRect(&rect, &c.pixels)) << GetDlgCtrlID(c.control) << ": " << rect.left << ',' << rect.top
                                                 << ',' << rect.right << ',' << rect.bottom;
    }
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 304);
    EXPECT_EQ(client.bottom, 419);

    form.setOuterWidth(0);
    EXPECT_EQ(form.outerWidth(), design::kMinimumOuterWidth);
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 130);
}

TEST_F(Win32Form1Test, CaptionsAreWindows1252BytesAndMessagesUtf8ShownAsUnicode)
{
    const std::string bytes = "Button 1:  \x80\xe9&";
    form.setCaption(0, bytes);
    EXPECT_EQ(form.caption(0), bytes);
    wchar_t shown[64];
    GetWindowTextW(form.labelControl(0), shown, 64);
    EXPECT_STREQ(shown, L"Button 1:  \u20ac\u00e9&");
    wchar_t title[64];
    GetWindowTextW(window, title, 64);
    EXPECT_STREQ(title, L"Kivo v" KIVO_VERSION);

    // A message is UTF-8, like the paths it names.
    std::wstring message;
    std::thread reader([&message] {
        wchar_t text[128]{};
        HWND box = nullptr;
        test_support::waitFor([&] {
            return (box = FindWindowW(L"#32770", L"Kivo")) != nullptr && GetDlgItemTextW(box, 0xffff, text, 128) != 0;
        });
        message = text;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    form.showProblem("\"C:\\users\\Jos\u00e9 \u00dc\\kivo.ini\" cannot be written");
    reader.join();
    EXPECT_EQ(message, L"\"C:\\users\\Jos\u00e9 \u00dc\\kivo.ini\" cannot be written");
}

TEST_F(Win32Form1Test, MessagesReachTheLogicAndNothingCancelsAClose)
{
    struct Case {
        UINT message;
        WPARAM wParam;
        LRESULT result;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {WM_CLOSE, 0, 0, {"closed"}},
        {WM_QUERYENDSESSION, 0, TRUE, {}},
        {WM_ENDSESSION, TRUE, 0, {"session closed"}},
        {WM_ENDSESSION, FALSE, 0, {}},
        {WM_COMMAND, MAKEWPARAM(101, BN_CLICKED), 0, {"quit"}},
        {WM_COMMAND, MAKEWPARAM(104, BN_CLICKED), 0, {"clear"}},
        // Enter and Escape typed into the window are keys to assign, not Quit.
        {WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0, {}},
        {WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0, {}},
    };
    for (const Case& c : cases) {
        events.log.clear();
        EXPECT_EQ(SendMessageW(window, c.message, c.wParam, 0), c.result) << c.message;
        EXPECT_EQ(events.log, c.log) << c.message << ' ' << c.wParam;
    }
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(Win32Form1Test, ActivationPutsTheFocusOnCommand3)
{
    form.show();
    SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(events.log.back(), "activated");
    EXPECT_EQ(GetFocus(), control(103));
}

TEST_F(Win32Form1Test, TicksComeOnTheWindowsThreadOnlyWhileEnabled)
{
    pumpFor(kQuietMilliseconds);
    EXPECT_TRUE(events.tickThreads.empty());
    form.setTimerEnabled(true);
    pumpUntil([this] { return events.tickThreads.size() >= 3; });
    form.setTimerEnabled(false);
    ASSERT_FALSE(events.tickThreads.empty());
    for (DWORD thread : events.tickThreads)
        EXPECT_EQ(thread, GetCurrentThreadId());
    pumpFor(kQuietMilliseconds);  // a tick already posted
    const std::size_t ticks = events.tickThreads.size();
    pumpFor(kQuietMilliseconds);
    EXPECT_EQ(events.tickThreads.size(), ticks);
}

TEST_F(Win32Form1Test, BoldSetDuringATickIsShownWhenTheTickEnds)
{
    class BoldEveryTick final : public WindowEvents {
    public:
        explicit BoldEveryTick(Form1& form) : form_(form) {}
        void activated() override {}
        void timerTicked() override
        {
            form_.setBold(0, true);
            if (ticks++ == 0)
                shownDuringTick = form_.labelShownBold(0);
        }
        void quitClicked() override {}
        void clearClicked() override {}
        void closed(ClosedBy) override {}
        void watchedFileChanged() override {}
        bool shownDuringTick = true;
        int ticks = 0;

    private:
        Form1& form_;
    } bolder(form);
    form.setEvents(&bolder);
    form.setTimerEnabled(true);
    pumpUntil([&bolder] { return bolder.ticks > 0; });
    EXPECT_FALSE(bolder.shownDuringTick);
    EXPECT_TRUE(form.labelShownBold(0));
    form.createLabel(1);
    EXPECT_TRUE(form.labelShownBold(1)) << "a new label is a copy of label 0";
}

// The notification area as the shell reaches it: Shell_NotifyIcon hands each change to the
// window of class Shell_TrayWnd as WM_COPYDATA, the change (NIM_ADD, ...) in dwData. This one,
// made after the shell's own, is found first and records the changes.
class NotificationArea {
public:
    NotificationArea()
    {
        const WNDCLASSW windowClass{
            .lpfnWndProc = record, .hInstance = GetModuleHandleW(nullptr), .lpszClassName = kClass};
        RegisterClassW(&windowClass);
        window_ = CreateWindowW(kClass, nullptr, 0, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~NotificationArea()
    {
        DestroyWindow(window_);
        UnregisterClassW(kClass, GetModuleHandleW(nullptr));
    }
    NotificationArea(const NotificationArea&) = delete;
    NotificationArea& operator=(const NotificationArea&) = delete;

    static inline std::vector<ULONG_PTR> changes;

private:
    static LRESULT CALLBACK record(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message != WM_COPYDATA)
            return DefWindowProcW(window, message, wParam, lParam);
        changes.push_back(reinterpret_cast<const COPYDATASTRUCT*>(lParam)->dwData);
        return TRUE;
    }

    static constexpr wchar_t kClass[] = L"Shell_TrayWnd";
    HWND window_;
};

// "No joystick found" leaves the notification area when a joystick comes and when Kivo ends.
TEST(Win32TrayNoticeTest, NoticeLeavesTheNotificationAreaWhenWithdrawnAndWhenTheWindowGoes)
{
    NotificationArea area;
    {
        Form1 form;
        form.notify("No joystick found", "Plug one in.");
        form.withdrawNotification();
        form.notify("No joystick found", "Plug one in.");
    }
    EXPECT_EQ(NotificationArea::changes, (std::vector<ULONG_PTR>{NIM_ADD, NIM_DELETE, NIM_ADD, NIM_DELETE}));
}

// Without its window or Timer1 Kivo says why and ends with a failure, rather than run doing nothing.
TEST(Win32MessageLoopTest, AFailedStartIsReportedAndEndsTheLoopWithAFailure)
{
    const test_support::CapturedStderr errors;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    failToStart("a test window");
    EXPECT_EQ(runMessageLoop(nullptr), 1);
    EXPECT_NE(errors.text().find("kivo: cannot make a test window: "), std::string::npos);
}

}  // namespace
}  // namespace kivo
