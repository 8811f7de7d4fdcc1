#include "platform/layout_records_table.h"
#include "platform/xkb/keysyms.h"
#include "platform/xkb/xkb_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>
#include <tuple>

namespace kivo {
namespace {

// xkbcommon reads the same layouts into the records the shared table holds as Windows gives
// them, so the one rule from record to token names a key alike on every edge.
TEST(KeyRecords, LinuxReadsEachLayoutIntoTheRecordsWindowsGives)
{
    const struct {
        const char* layout;
        const char* variant;
        std::span<const KeyRecord> keys;
    } layouts[] = {{"de", "", kGerman}, {"fr", "", kFrench},     {"ru", "", kRussian},
                   {"pl", "", kPolish}, {"us", "intl", kUsIntl}, {"us", "", kUs}};
    // Where the systems' own layouts differ: fr's AltGr+2 is a dead tilde on Windows only, and
    // us-intl's AltGr+' types an acute accent there, an apostrophe in xkeyboard-config.
    const std::tuple<std::string_view, std::uint16_t, std::size_t> differing[] = {{"fr", 0x03, 2}, {"us", 0x28, 2}};
    for (const auto& [name, variant, keys] : layouts) {
        const XkbLayout layout = XkbLayout::fromNames(name, variant).value();
        for (const KeyRecord& key : keys) {
            const KeyRecord& read = layout.records()[evdevOfScanCode(key.scanCode).value() + kEvdevToXkb];
            for (std::size_t level = 0; level < kKeyLevels; ++level) {
                if ((key.typed[level] == 0 && !key.dead[level]) ||
                    std::ranges::count(differing, std::tuple{std::string_view(name), key.scanCode, level}) != 0)
                    continue;
                const std::string where = std::string(name) + variant + " " + scanCodeToken(key.scanCode) +
                                          " at level " + std::to_string(level);
                EXPECT_EQ(read.typed[level], key.typed[level]) << where;
                EXPECT_EQ(read.dead[level], key.dead[level]) << where;
            }
        }
    }
}

}  // namespace
}  // namespace kivo
