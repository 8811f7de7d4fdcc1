#include "platform/win32/layout_records.h"

#include <array>

namespace kivo {
namespace {

constexpr std::uint8_t kFirstOem = 0xba;
constexpr std::uint8_t kLastOemBeforeBrackets = 0xc0;
constexpr std::uint8_t kOpenBracket = 0xdb;
constexpr std::uint8_t kOem8 = 0xdf;
constexpr std::uint8_t kOem102 = 0xe2;
// Asks ToUnicodeEx to leave the keyboard's dead-key state as it was.
constexpr UINT kKeepKeyboardState = 4;
constexpr BYTE kDown = 0x80;

bool typesCharacters(unsigned virtualKey)
{
    return (virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z') ||
           (virtualKey >= kFirstOem && virtualKey <= kLastOemBeforeBrackets) ||
           (virtualKey >= kOpenBracket && virtualKey <= kOem8) || virtualKey == kOem102;
}

class SystemLayoutQueries final : public LayoutQueries {
public:
    int toUnicode(UINT virtualKey, UINT scanCode, const BYTE* keyState, wchar_t* text, int size, HKL layout) override
    {
        return ToUnicodeEx(virtualKey, scanCode, keyState, text, size, kKeepKeyboardState, layout);
    }
    UINT mapVirtualKey(UINT code, UINT mapType, HKL layout) override { return MapVirtualKeyExW(code, mapType, layout); }
    HKL inUse() override { return GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), nullptr)); }
};

}  // namespace

std::unique_ptr<LayoutQueries> makeSystemLayoutQueries()
{
    return std::make_unique<SystemLayoutQueries>();
}

std::vector<KeyRecord> readLayout(LayoutQueries& queries, HKL layout)
{
    std::vector<KeyRecord> records;
    for (unsigned virtualKey = 1; virtualKey < 0xff; ++virtualKey) {
        if (!typesCharacters(virtualKey)) {
            continue;
        }
        const UINT scanCode = queries.mapVirtualKey(virtualKey, MAPVK_VK_TO_VSC_EX, layout);
        KeyRecord record;
        record.virtualKey = static_cast<std::uint8_t>(virtualKey);
        record.scanCode = static_cast<std::uint16_t>(((scanCode >> 8) == 0xe0 ? 0x100U : 0U) | (scanCode & 0xffU));
        for (const KeyLevel level : {KeyLevel::Plain, KeyLevel::Shift, KeyLevel::AltGr, KeyLevel::ShiftAltGr}) {
            std::array<BYTE, 256> state{};
            state[VK_SHIFT] = needsShift(level) ? kDown : 0;
            state[VK_CONTROL] = state[VK_MENU] = needsAltGr(level) ? kDown : 0;
            std::array<wchar_t, 4> text{};
            const int count = queries.toUnicode(virtualKey, scanCode & 0xffU, state.data(), text.data(),
                                                static_cast<int>(text.size()), layout);
            const auto index = static_cast<std::size_t>(level);
            // A key typing several characters at once types no one of them; one typing a control
            // character with AltGr types nothing there.
            if ((count == 1 || count == -1) && text[0] >= L' ') {
                record.typed[index] = static_cast<char32_t>(text[0]);
                record.dead[index] = count < 0;
            }
        }
        records.push_back(record);
    }
    return records;
}

const std::vector<KeyRecord>& LayoutRecords::of(HKL layout)
{
    if (!read_ || layout != layout_) {
        records_ = readLayout(queries_, layout);
        layout_ = layout;
        read_ = true;
    }
    return records_;
}

const KeyRecord* LayoutRecords::find(std::uint8_t virtualKey, HKL layout)
{
    for (const KeyRecord& record : of(layout)) {
        if (record.virtualKey == virtualKey) {
            return &record;
        }
    }
    return nullptr;
}

}  // namespace kivo
