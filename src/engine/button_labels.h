#pragma once

#include <string>
#include <string_view>

namespace kivo {

// The button labels as the engine and the settings file see them: by 0-based index.
// Captions are Windows-1252 byte strings.
class ButtonLabels {
public:
    virtual ~ButtonLabels() = default;
    // True when index is 0 or higher and that label element exists.
    virtual bool exists(int index) const = 0;
    virtual std::string caption(int index) const = 0;
    virtual void setCaption(int index, std::string_view caption) = 0;
    virtual void setBold(int index, bool bold) = 0;
};

}  // namespace kivo
