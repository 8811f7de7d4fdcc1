#pragma once

#include "settings/captions.h"

#include "fakes/memory_labels.h"
#include "support/file_contents.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace kivo::test_support {

// A fresh folder for kivo.ini, removed with the test. Others may enter it, so that a child
// process that gives up root can still work in it.
class TempSettings {
public:
    TempSettings()
    {
        namespace fs = std::filesystem;
        // A random name, used only when no folder has it yet.
        std::random_device random;
        do {
            folder_ = fs::temp_directory_path() / ("kivo-test-" + std::to_string(random()));
        } while (!fs::create_directory(folder_));
        fs::permissions(folder_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    }
    ~TempSettings()
    {
        namespace fs = std::filesystem;
        std::error_code ignored;
        // A test may have taken its own rights away to make a save fail, from the folder or from a
        // file in it; Windows deletes no read-only file, and a folder left behind in the shared
        // temporary folder can take another test's short name.
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
        for (fs::recursive_directory_iterator entry(folder_, ignored), end; entry != end; entry.increment(ignored))
            fs::permissions(entry->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(folder_, ignored);
    }
    TempSettings(const TempSettings&) = delete;
    TempSettings& operator=(const TempSettings&) = delete;

    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path file() const { return folder_ / "kivo.ini"; }
    SettingsLocation location() const { return {file(), file()}; }
    bool written() const { return std::filesystem::exists(file()); }

    // The captions of buttons 1 to n as the program would load them.
    std::vector<std::string> stored(int n) const
    {
        fakes::MemoryLabels labels(n);
        EXPECT_TRUE(loadCaptions(location(), labels, n));
        return labels.captions();
    }

    void store(const std::vector<std::string>& captions) const
    {
        ASSERT_TRUE(
            saveCaptions(location(), fakes::MemoryLabels(captions), static_cast<std::int32_t>(captions.size())));
    }

private:
    std::filesystem::path folder_;
};

}  // namespace kivo::test_support
