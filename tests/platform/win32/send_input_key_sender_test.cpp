#include "platform/virtual_key_codes.h"
#include "platform/win32/win32_backends.h"

#include "support/captured_stderr.h"
#include "support/waits.h"
#include "test_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace kivo {
namespace {

using test_support::CapturedStderr;
using test_support::KeyMessage;
using ::testing::IsEmpty;

// Scan codes of a US keyboard, which is what Wine makes of Xvfb's default keymap.
constexpr unsigned kShiftScan = 0x2a;
constexpr unsigned kEqualsScan = 0x0d;
constexpr unsigned kAScan = 0x1e;
constexpr unsigned kEnterScan = 0x1c;
constexpr unsigned kF5Scan = 0x3f;

KeyMessage down(unsigned virtualKey, unsigned scanCode, bool extended = false)
{
    return {WM_KEYDOWN, virtualKey, scanCode, extended};
}

KeyMessage up(unsigned virtualKey, unsigned scanCode, bool extended = false)
{
    return {WM_KEYUP, virtualKey, scanCode, extended};
}

KeyMessage typed(wchar_t character, unsigned scanCode)
{
    return {WM_CHAR, static_cast<unsigned>(character), scanCode, false};
}

std::vector<KeyMessage> tapped(unsigned virtualKey, unsigned scanCode, bool extended = false)
{
    return {down(virtualKey, scanCode, extended), up(virtualKey, scanCode, extended)};
}

class SendInputKeySenderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(window_.activate()) << "the test window cannot be brought to the front"; }

    std::vector<KeyMessage> typedInto(std::string_view keys)
    {
        window_.received.clear();
        sender_->send(KeyString(keys));
        test_support::pumpMessages();
        return window_.received;
    }

    test_support::TestWindow& window_ = test_support::TestWindow::shared();
    std::unique_ptr<KeySender> sender_ = makeSendInputKeySender();
};

std::vector<KeyMessage> twice(const std::vector<KeyMessage>& messages)
{
    std::vector<KeyMessage> both = messages;
    both.insert(both.end(), messages.begin(), messages.end());
    return both;
}

struct Typing {
    const char* keys;
    std::vector<KeyMessage> messages;
};

TEST_F(SendInputKeySenderTest, EachKeyArrivesWithItsVirtualKeyScanCodeAndExtendedBit)
{
    const std::vector<KeyMessage> plusOnEqualsKey{down(vk::kShift, kShiftScan), down(vk::kEquals, kEqualsScan),
                                                  typed(L'+', kEqualsScan), up(vk::kEquals, kEqualsScan),
                                                  up(vk::kShift, kShiftScan)};
    const std::vector<KeyMessage> shiftedA{down(vk::kShift, kShiftScan), down('A', kAScan), typed(L'A', kAScan),
                                           up('A', kAScan), up(vk::kShift, kShiftScan)};
    for (const Typing& c : {
             Typing{"{UP}", tapped(vk::kUp, 0x48, true)},
             Typing{"{down}", tapped(vk::kDown, 0x50, true)},
             Typing{"{LEFT}", tapped(vk::kLeft, 0x4b, true)},
             Typing{"{Right}", tapped(vk::kRight, 0x4d, true)},
             Typing{"{HOME}", tapped(vk::kHome, 0x47, true)},
             Typing{"{DEL}", tapped(vk::kDelete, 0x53, true)},
             Typing{"{PGDN}", tapped(vk::kPageDown, 0x51, true)},
             // The layout gives Num Lock no E0 prefix, yet it is an extended key.
             Typing{"{NUMLOCK}{NUMLOCK}", twice(tapped(vk::kNumLock, 0x45, true))},
             Typing{"{F5}", tapped(vk::kF1 + 4, kF5Scan)},
             Typing{"{ENTER}", {down(vk::kEnter, kEnterScan), typed(L'\r', kEnterScan), up(vk::kEnter, kEnterScan)}},
             Typing{"{+}", plusOnEqualsKey},
             Typing{"+a", shiftedA},
             Typing{"+", tapped(vk::kShift, kShiftScan)},
         }) {
        EXPECT_EQ(typedInto(c.keys), c.messages) << c.keys;
    }
}

// Wine takes each key by its virtual key and ignores KEYEVENTF_SCANCODE, so only the batch
// itself shows that Windows is told to go by the scan code; a key named by its place goes by it.
TEST(SendInputBatch, EachKeyGoesByItsScanCode)
{
    struct Recording final : SendInputCall {
        explicit Recording(std::vector<INPUT>& batch) : batch(batch) {}
        void send(std::vector<INPUT>& inputs) override { batch = inputs; }
        std::vector<INPUT>& batch;
    };
    struct Key {
        WORD virtualKey;
        WORD scanCode;
        DWORD flags;
        bool operator==(const Key&) const = default;
    };
    std::vector<INPUT> batch;
    makeSendInputKeySender(std::make_unique<Recording>(batch))->send(KeyString("{UP}a{SC01E}{Numpad1}{LWin}"));
    std::vector<Key> keys;
    for (const INPUT& input : batch)
        keys.push_back({input.ki.wVk, input.ki.wScan, input.ki.dwFlags});
    constexpr DWORD kScan = KEYEVENTF_SCANCODE;
    constexpr DWORD kArrow = KEYEVENTF_SCANCODE | KEYEVENTF_EXTENDEDKEY;
    EXPECT_EQ(keys, (std::vector<Key>{{vk::kUp, 0x48, kArrow},
                                      {vk::kUp, 0x48, kArrow | KEYEVENTF_KEYUP},
                                      {'A', kAScan, kScan},
                                      {'A', kAScan, kScan | KEYEVENTF_KEYUP},
                                      {'A', 0x1e, kScan},
                                      {'A', 0x1e, kScan | KEYEVENTF_KEYUP},
                                      {VK_END, 0x4f, kScan},
                                      {VK_END, 0x4f, kScan | KEYEVENTF_KEYUP},
                                      {VK_LWIN, 0x5b, kArrow},
                                      {VK_LWIN, 0x5b, kArrow | KEYEVENTF_KEYUP}}));
}

// What DirectInput and raw-input readers see is the scan code alone, with the E0 prefix
// that tells an arrow from the keypad key sharing its code.
TEST_F(SendInputKeySenderTest, ProgramsReadingRawInputSeeTheScanCodes)
{
    ASSERT_TRUE(window_.receiveRawInput());
    typedInto("{UP}+a");
    EXPECT_EQ(window_.rawKeys, (std::vector<test_support::RawKey>{{0x48, true, false},
                                                                  {0x48, true, true},
                                                                  {kShiftScan, false, false},
                                                                  {kAScan, false, false},
                                                                  {kAScan, false, true},
                                                                  {kShiftScan, false, true}}));
}

// A string held on a button arrives on every tick; its problem is told once.
void expectReportedOnce(const std::string& errors, std::string_view keys)
{
    EXPECT_EQ(errors.find("kivo: cannot type \"" + std::string(keys) + "\": "), 0u) << errors;
    EXPECT_EQ(errors.find('\n'), errors.size() - 1) << "reported more than once: " << errors;
}

TEST_F(SendInputKeySenderTest, MalformedStringTypesNothing)
{
    for (std::string_view keys : {"a{NOPE}", "a{F5"}) {
        CapturedStderr errors;
        EXPECT_THAT(typedInto(keys), IsEmpty()) << keys;
        typedInto(keys);
        expectReportedOnce(errors.text(), keys);
    }
}

TEST_F(SendInputKeySenderTest, ByteWindows1252LeavesUndefinedIsSkipped)
{
    CapturedStderr errors;
    const std::vector<KeyMessage> messages = typedInto(
        "\x81"
        "a");
    EXPECT_EQ(messages, (std::vector<KeyMessage>{down('A', kAScan), typed(L'a', kAScan), up('A', kAScan)}));
    typedInto(
        "\x81"
        "a");
    expectReportedOnce(errors.text(), "\\x81a");
}

// Windows repeats no injected key, so Kivo does: the key goes down again after the keyboard
// delay, with no up between, and at the let-go it goes up before its modifier.
TEST_F(SendInputKeySenderTest, HeldKeysRepeatWithoutAnUpAndGoUpBeforeTheirModifiers)
{
    window_.received.clear();
    const KeyString held("+{F5}");
    sender_->press(held);
    // Only what has come: the repeat leaves no quiet span to wait for.
    const auto downs = [&] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        return std::ranges::count(window_.received, down(vk::kF1 + 4, kF5Scan));
    };
    EXPECT_TRUE(test_support::waitFor([&] { return downs() >= 3; }));
    EXPECT_NE(GetAsyncKeyState(vk::kF1 + 4) & 0x8000, 0);
    sender_->release(held);
    test_support::pumpMessages();
    const std::vector<KeyMessage> expected = {down(vk::kShift, kShiftScan), down(vk::kF1 + 4, kF5Scan)};
    ASSERT_GE(window_.received.size(), 4u);
    EXPECT_EQ(std::vector<KeyMessage>(window_.received.begin(), window_.received.begin() + 2), expected);
    EXPECT_EQ(std::vector<KeyMessage>(window_.received.end() - 2, window_.received.end()),
              (std::vector<KeyMessage>{up(vk::kF1 + 4, kF5Scan), up(vk::kShift, kShiftScan)}));
    for (int key : {int{vk::kShift}, vk::kF1 + 4})
        EXPECT_EQ(GetAsyncKeyState(key) & 0x8000, 0) << "virtual key " << key;
}

// 0x80 is the euro sign, on no key of the US layout Wine has here: no key no game knows of
// (a Unicode packet) is typed for it, as on the other edges; the rest of the string is.
TEST_F(SendInputKeySenderTest, CharacterOffTheLayoutIsRefusedAndTheRestTyped)
{
    CapturedStderr errors;
    EXPECT_EQ(typedInto("\x80"
                        "a"),
              (std::vector<KeyMessage>{down('A', kAScan), typed(L'a', kAScan), up('A', kAScan)}));
    typedInto(
        "\x80"
        "a");
    expectReportedOnce(errors.text(), "\u20aca");
}

// Keys of a German layout, and what they type.
struct GermanKey {
    UINT virtualKey;
    UINT scanCode;
    wchar_t plain, shifted, withAltGr;
    bool dead = false;
    wchar_t withShiftAndAltGr = 0;
};
constexpr GermanKey kGermanKeys[] = {
    {'E', 0x12, L'e', L'E', L'\u20ac'},
    {'Q', 0x10, L'q', L'Q', L'@'},
    {0xba, 0x1a, L'\u00fc', L'\u00dc', 0},
    {0xdc, 0x29, L'^', L'\u00b0', 0, true},
    {0xbc, 0x33, L',', L';', 0, false, L'\u00d7'},
    {VK_SHIFT, 0x2a, 0, 0, 0},
    {VK_CONTROL, 0x1d, 0, 0, 0},
    {VK_MENU, 0x38, 0, 0, 0},
};

const HKL kGermanHandle = reinterpret_cast<HKL>(0x04070407);
const HKL kUsHandle = reinterpret_cast<HKL>(0x04090409);

// What a German layout answers, whatever layout Wine has: AltGr is Control and Alt held together,
// the circumflex key is a dead key, and the comma key types a character with Shift and AltGr.
// Another layout in front types none of these.
class GermanLayout final : public LayoutQueries {
public:
    explicit GermanLayout(const HKL& inFront = kGermanHandle) : inFront_(inFront) {}

    int toUnicode(UINT virtualKey, UINT, const BYTE* state, wchar_t* text, int, HKL layout) override
    {
        const bool shift = (state[VK_SHIFT] & 0x80) != 0;
        const bool altGr = (state[VK_CONTROL] & 0x80) != 0 && (state[VK_MENU] & 0x80) != 0;
        for (const GermanKey& key : kGermanKeys) {
            const wchar_t altGrCharacter = shift ? key.withShiftAndAltGr : key.withAltGr;
            const wchar_t character = altGr ? altGrCharacter : shift ? key.shifted : key.plain;
            if (layout == kGermanHandle && key.virtualKey == virtualKey && character != 0) {
                text[0] = character;
                return key.dead && !shift ? -1 : 1;
            }
        }
        return 0;
    }
    UINT mapVirtualKey(UINT code, UINT, HKL) override
    {
        for (const GermanKey& key : kGermanKeys) {
            if (key.virtualKey == code)
                return key.scanCode;
        }
        return 0;
    }
    HKL inUse() override { return inFront_; }

private:
    const HKL& inFront_;
};

struct Recording final : SendInputCall {
    explicit Recording(std::vector<INPUT>& batch) : batch(batch) {}
    void send(std::vector<INPUT>& inputs) override { batch = inputs; }
    std::vector<INPUT>& batch;
};

std::vector<std::pair<WORD, bool>> keysOf(const std::vector<INPUT>& batch)
{
    std::vector<std::pair<WORD, bool>> keys;
    for (const INPUT& input : batch)
        keys.emplace_back(input.ki.wVk, (input.ki.dwFlags & KEYEVENTF_KEYUP) != 0);
    return keys;
}

TEST(SendInputBatch, CharactersGoByTheLayoutsAnswersAltGrAsControlAndAltADeadKeyTwice)
{
    std::vector<INPUT> batch;
    makeSendInputKeySender(std::make_unique<Recording>(batch), std::make_unique<GermanLayout>())
        ->send(KeyString("\x80\xFC{^}\xB0\xD7"));
    EXPECT_EQ(keysOf(batch),
              (std::vector<std::pair<WORD, bool>>{
                  {VK_CONTROL, false}, {VK_MENU, false},  {'E', false},        {'E', true},      {VK_MENU, true},
                  {VK_CONTROL, true},  {0xba, false},     {0xba, true},        {0xdc, false},    {0xdc, true},
                  {0xdc, false},       {0xdc, true},      {VK_SHIFT, false},   {0xdc, false},    {0xdc, true},
                  {VK_SHIFT, true},    {VK_SHIFT, false}, {VK_CONTROL, false}, {VK_MENU, false}, {0xbc, false},
                  {0xbc, true},        {VK_MENU, true},   {VK_CONTROL, true},  {VK_SHIFT, true}}));
}

// A held button types the same caption on every tick; it follows the layout of the window in front
// from one tick to the next.
TEST(SendInputBatch, TheSameCaptionFollowsTheLayoutInFront)
{
    std::vector<INPUT> batch;
    HKL inFront = kUsHandle;
    const auto sender =
        makeSendInputKeySender(std::make_unique<Recording>(batch), std::make_unique<GermanLayout>(inFront));
    const CapturedStderr quiet;
    const KeyString ue("\xFC");
    for (const HKL layout : {kUsHandle, kGermanHandle, kGermanHandle, kUsHandle}) {
        inFront = layout;
        batch.clear();
        sender->send(ue);
        using Keys = std::vector<std::pair<WORD, bool>>;
        const Keys expected = layout == kGermanHandle ? Keys{{0xba, false}, {0xba, true}} : Keys{};
        EXPECT_EQ(keysOf(batch), expected);
    }
}

TEST_F(SendInputKeySenderTest, NothingStaysDownAfterModifiedKeys)
{
    typedInto("^+{F5}%{HOME}+{END}");
    for (int key : {int{vk::kShift}, int{vk::kControl}, int{vk::kAlt}, vk::kF1 + 4, int{vk::kHome}, int{vk::kEnd}}) {
        EXPECT_EQ(GetAsyncKeyState(key) & 0x8000, 0) << "virtual key " << key;
    }
}

}  // namespace
}  // namespace kivo
