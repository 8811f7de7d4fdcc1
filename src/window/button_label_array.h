#pragma once

#include "window/design.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kivo {

// What a toolkit keeps for each element of the button-label array beside its own control: the
// caption as Windows-1252 bytes, the bold flag and the rectangle in twips, by 0-based index.
// Ticks set every bold flag and may rewrite a caption a thousand times a second, so only real
// changes are handed on to be shown.
template <class Control>
class ButtonLabelArray {
public:
    struct Label {
        Control control{};
        std::string caption;
        bool bold = false;
        bool shownBold = false;
        TwipsRect rect;
    };

    bool exists(int index) const { return index >= 0 && static_cast<std::size_t>(index) < labels_.size(); }
    // Elements are created in order: only the one after the last may be added.
    bool isNext(int index) const { return index >= 0 && static_cast<std::size_t>(index) == labels_.size(); }
    void add(Label label) { labels_.push_back(std::move(label)); }

    Label* find(int index) { return exists(index) ? &labels_[static_cast<std::size_t>(index)] : nullptr; }
    const Label* find(int index) const { return exists(index) ? &labels_[static_cast<std::size_t>(index)] : nullptr; }
    const Label& first() const { return labels_.front(); }
    auto begin() { return labels_.begin(); }
    auto end() { return labels_.end(); }
    std::string caption(int index) const { return exists(index) ? find(index)->caption : std::string(); }
    TwipsRect rect(int index) const { return exists(index) ? find(index)->rect : TwipsRect{}; }

    // The label whose caption now differs from what it showed, or nullptr.
    Label* changeCaption(int index, std::string_view caption)
    {
        Label* label = find(index);
        if (!label || label->caption == caption)
            return nullptr;
        label->caption = caption;
        return label;
    }

    // The label whose weight is to be shown now, or nullptr. A tick turns every label plain
    // before making the selected one bold again; weights set during a tick are shown when it
    // ends, so a label whose weight did not change is not redrawn.
    Label* changeBold(int index, bool bold)
    {
        Label* label = find(index);
        if (!label)
            return nullptr;
        label->bold = bold;
        return ticking_ ? nullptr : toShow(*label);
    }

    // Runs a tick, then shows the weight of every label whose weight changed.
    template <class Tick, class ShowBold>
    void tick(Tick&& runTick, ShowBold&& showBold)
    {
        ticking_ = true;
        runTick();
        ticking_ = false;
        for (Label& label : labels_) {
            if (Label* changed = toShow(label))
                showBold(*changed);
        }
    }

private:
    static Label* toShow(Label& label)
    {
        if (label.shownBold == label.bold)
            return nullptr;
        label.shownBold = label.bold;
        return &label;
    }

    std::vector<Label> labels_;
    bool ticking_ = false;
};

}  // namespace kivo
