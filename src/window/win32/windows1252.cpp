#include "window/win32/windows1252.h"

#include <windows.h>

namespace kivo {

std::wstring wideFromWindows1252(std::string_view bytes)
{
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(1252, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(1252, 0, bytes.data(), size, wide.data(), length);
    return wide;
}

}  // namespace kivo
