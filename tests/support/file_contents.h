#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace kivo::test_support {

inline std::string fileContents(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

}  // namespace kivo::test_support
