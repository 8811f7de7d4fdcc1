#pragma once

#include "engine/button_labels.h"
#include "settings/captions.h"

#include "fakes/memory_labels.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kivo::testing {

// A kivo.ini in a folder of its own, removed with the test.
class TempSettings {
public:
    TempSettings()
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::temp_directory_path() /
                  ("kivo-window-" + std::string(test->test_suite_name()) + "-" + test->name() + "-" +
                   std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    ~TempSettings() { std::filesystem::remove_all(folder_); }
    TempSettings(const TempSettings&) = delete;
    TempSettings& operator=(const TempSettings&) = delete;

    SettingsLocation location() const { return {file(), file()}; }
    std::filesystem::path file() const { return folder_ / "kivo.ini"; }
    bool written() const { return std::filesystem::exists(file()); }

    std::vector<std::string> stored(int n) const
    {
        fakes::MemoryLabels labels(n);
        EXPECT_TRUE(loadCaptions(location(), labels, n));
        std::vector<std::string> captions;
        for (const auto& label : labels.labels)
            captions.push_back(label.caption);
        return captions;
    }

    void store(const std::vector<std::string>& captions) const
    {
        fakes::MemoryLabels labels(static_cast<int>(captions.size()));
        for (std::size_t i = 0; i < captions.size(); ++i)
            labels.labels[i].caption = captions[i];
        ASSERT_TRUE(saveCaptions(location(), labels, static_cast<std::int32_t>(captions.size())));
    }

private:
    std::filesystem::path folder_;
};

}  // namespace kivo::testing
