#pragma once

#include "settings/captions.h"
#include "settings/file_replace.h"

#include "support/temp_settings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kivo {

// A file as Kivo creates it, given with "\n" and written with the platform's line ending.
inline std::string created(std::string text)
{
    const std::string_view ending = lineEndingInText(FileForm{.lineEnding = kNewFileLineEnding});
    for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += ending.size())
        text.replace(at, 1, ending);
    return text;
}

// kivo.ini in a fresh folder of its own, loaded into and saved from labels in memory.
class Captions : public ::testing::Test {
protected:
    const std::filesystem::path& folder() const { return settings_.folder(); }
    std::filesystem::path file() const { return settings_.file(); }
    SettingsLocation location() const { return settings_.location(); }

    std::vector<std::string> loaded(std::int32_t n) const
    {
        fakes::MemoryLabels labels(std::vector<std::string>(static_cast<std::size_t>(n), "Button 1:"));
        EXPECT_TRUE(loadCaptions(location(), labels, n));
        return labels.captions();
    }
    Status saved(const std::vector<std::string>& captions) const
    {
        const auto n = static_cast<std::int32_t>(captions.size());
        return saveCaptions(location(), fakes::MemoryLabels(captions), n);
    }

private:
    test_support::TempSettings settings_;
};

}  // namespace kivo
