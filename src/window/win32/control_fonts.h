#pragma once

#include <windows.h>

namespace kivo {

// The design's face and size at one DPI, plain and bold. Owns the font handles.
class ControlFonts {
public:
    explicit ControlFonts(UINT dpi);
    ~ControlFonts();
    ControlFonts(const ControlFonts&) = delete;
    ControlFonts& operator=(const ControlFonts&) = delete;

    HFONT plain() const { return plain_; }
    HFONT bold() const { return bold_; }
    HFONT choose(bool isBold) const { return isBold ? bold_ : plain_; }

private:
    HFONT plain_;
    HFONT bold_;
};

// The DPI the window is shown at: its monitor's where Windows says so (Windows 10 1607 and
// later), otherwise the screen's logical DPI.
UINT windowDpi(HWND window);

}  // namespace kivo
