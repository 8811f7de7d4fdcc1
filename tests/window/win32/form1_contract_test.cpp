#include "support/waits.h"
#include "window/toolkit_contract.h"
#include "window/win32/form1.h"

#include <thread>

namespace kivo::test_support {
namespace {

struct Win32Harness {
    static constexpr bool kTicks = true;
    Form1 form;
    std::thread answerer;

    ~Win32Harness()
    {
        if (answerer.joinable())
            answerer.join();
    }
    Toolkit& toolkit() { return form; }
    bool shownBold(int index) const { return form.labelShownBold(index); }
    // The children that take Tab, in the order Tab visits them.
    std::vector<std::string> tabOrder() const
    {
        std::vector<std::string> order;
        for (HWND child = GetWindow(form.window(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP)
                order.push_back("Command" + std::to_string(GetDlgCtrlID(child) - 100));
        }
        return order;
    }
    std::string title() const
    {
        wchar_t text[64]{};
        const int length = GetWindowTextW(form.window(), text, 64);
        return std::string(text, text + length);
    }
    void show() { form.show(); }
    // Answers No a tenth of a second after the question opens, so ticks have had their time.
    void answerNextQuestionNoLater()
    {
        answerer = std::thread([] {
            HWND box = nullptr;
            if (test_support::waitFor([&box] { return (box = FindWindowW(L"#32770", L"Kivo")) != nullptr; })) {
                Sleep(300);  // the time the ticks are given while the question is open
                PostMessageW(box, WM_COMMAND, IDNO, 0);
            }
        });
    }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, ToolkitContract, Win32Harness);

}  // namespace
}  // namespace kivo::test_support
