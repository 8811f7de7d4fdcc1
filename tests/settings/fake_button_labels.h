#pragma once

#include "engine/button_labels.h"

#include <string>
#include <utility>
#include <vector>

// Labels held in memory: one per caption given.
class FakeButtonLabels final : public kivo::ButtonLabels {
public:
    explicit FakeButtonLabels(std::vector<std::string> captions) : captions_(std::move(captions)) {}

    bool exists(int index) const override { return index >= 0 && index < static_cast<int>(captions_.size()); }
    std::string caption(int index) const override { return captions_.at(static_cast<std::size_t>(index)); }
    void setCaption(int index, std::string_view caption) override
    {
        captions_.at(static_cast<std::size_t>(index)) = caption;
    }
    void setBold(int, bool) override {}

    const std::vector<std::string>& captions() const { return captions_; }

private:
    std::vector<std::string> captions_;
};
