#include "window/win32/control_fonts.h"

#include "window/design.h"
#include "window/rounding.h"
#include "window/win32/wide_text.h"

namespace kivo {
namespace {

constexpr double kPointsPerInch = 72;

HFONT makeFont(UINT dpi, int weight)
{
    // A negative height asks for the character height, which is what a point size means.
    const int height = -roundHalfEven(design::kFontPointSize * dpi / kPointsPerInch);
    const std::wstring face = wideFromUtf8(design::kFontFamily);
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face.c_str());
}

}  // namespace

ControlFonts::ControlFonts(UINT dpi) : plain_(makeFont(dpi, FW_NORMAL)), bold_(makeFont(dpi, FW_BOLD)) {}

ControlFonts::~ControlFonts()
{
    DeleteObject(plain_);
    DeleteObject(bold_);
}

UINT windowDpi(HWND window)
{
    // Looked up at run time, so the program still starts on Windows versions without it.
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr) {
        if (const UINT dpi = getDpiForWindow(window); dpi != 0)
            return dpi;
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace kivo
