#pragma once

#include "engine/button_labels.h"

#include <string>
#include <vector>

namespace kivo::fakes {

struct MemoryLabel {
    std::string caption;
    bool bold = false;
};

// Button labels held in memory, one element per index.
class MemoryLabels final : public ButtonLabels {
public:
    std::vector<MemoryLabel> labels;

    explicit MemoryLabels(int count = 1) : labels(static_cast<std::size_t>(count)) {}
    // One label per caption given.
    explicit MemoryLabels(const std::vector<std::string>& captions)
    {
        for (const std::string& caption : captions)
            labels.push_back({caption});
    }

    bool exists(int index) const override { return index >= 0 && index < static_cast<int>(labels.size()); }
    std::string caption(int index) const override { return at(index).caption; }
    void setCaption(int index, std::string_view caption) override { at(index).caption = caption; }
    void setBold(int index, bool bold) override { at(index).bold = bold; }

    std::vector<std::string> captions() const
    {
        std::vector<std::string> all;
        for (const MemoryLabel& label : labels)
            all.push_back(label.caption);
        return all;
    }

    MemoryLabel& at(int index) { return labels.at(static_cast<std::size_t>(index)); }
    const MemoryLabel& at(int index) const { return labels.at(static_cast<std::size_t>(index)); }
};

}  // namespace kivo::fakes
