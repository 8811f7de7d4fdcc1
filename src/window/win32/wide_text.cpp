#include "window/win32/wide_text.h"

#include "platform/windows1252.h"

#include <windows.h>

namespace kivo {

std::wstring wideFromUtf8(std::string_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::wstring wideFromWindows1252(std::string_view bytes)
{
    return wideFromUtf8(utf8FromWindows1252(bytes));
}

}  // namespace kivo
