#pragma once

#include "window/design.h"
#include "window/toolkit.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kivo {

// The label half of Toolkit and the outer width, written once over a few hooks each toolkit
// provides. Beside each button label's control it keeps the caption as Windows-1252 bytes, the
// bold flag and the rectangle in twips, by 0-based index. Ticks set every bold flag and may
// rewrite a caption a thousand times a second, so only real changes reach the hooks.
template <class Control>
class LabelToolkit : public Toolkit {
public:
    bool exists(int index) const final { return find(index) != nullptr; }
    std::string caption(int index) const final
    {
        const Label* label = find(index);
        return label ? label->caption : std::string();
    }
    void setCaption(int index, std::string_view caption) final
    {
        Label* label = find(index);
        if (!label || label->caption == caption)
            return;
        label->caption = caption;
        showLabelText(label->control, caption);
    }
    // A tick turns every label plain before making the selected one bold again; weights set
    // during a tick are shown when it ends, so a label whose weight did not change is not redrawn.
    void setBold(int index, bool bold) final
    {
        Label* label = find(index);
        if (!label)
            return;
        label->bold = bold;
        if (!ticking_)
            showChangedWeight(*label);
    }

    void createLabel(int index) final
    {
        if (index != static_cast<int>(labels_.size()) || labels_.empty())
            return;
        const Label first = labels_.front();
        Label& label = addLabel(first.caption, first.rect);
        label.bold = first.bold;
        showChangedWeight(label);
    }
    void setLabelVisible(int index, bool visible) final
    {
        if (Label* label = find(index))
            showLabel(label->control, visible);
    }
    bool labelVisible(int index) const final
    {
        const Label* label = find(index);
        return label && labelShown(label->control);
    }
    TwipsRect labelRect(int index) const final
    {
        const Label* label = find(index);
        return label ? label->rect : TwipsRect{};
    }
    void setLabelRect(int index, TwipsRect rect) final
    {
        if (Label* label = find(index)) {
            label->rect = rect;
            placeLabel(label->control, rect);
        }
    }

    float outerWidth() const final { return outerWidth_; }
    float outerHeight() const override { return design::kOuterHeight; }
    void setOuterWidth(float width) override
    {
        outerWidth_ = std::max(width, design::kMinimumOuterWidth);
        applyClientSize();
    }

protected:
    struct Label {
        Control control{};
        std::string caption;
        bool bold = false;
        bool shownBold = false;
        TwipsRect rect;
    };

    // A new label control: hidden, plain and without text.
    virtual Control makeLabel(int index) = 0;
    virtual void showLabelText(Control control, std::string_view caption) = 0;
    virtual void showLabelWeight(Control control, bool bold) = 0;
    virtual void placeLabel(Control control, TwipsRect rect) = 0;
    virtual void showLabel(Control control, bool visible) = 0;
    virtual bool labelShown(Control control) const = 0;
    // Sizes the client area to design::clientWidth(outerWidth()) by design::kClientHeight.
    virtual void applyClientSize() = 0;

    // Adds the next label, hidden and plain, with this caption and place.
    Label& addLabel(std::string caption, TwipsRect rect)
    {
        Label label;
        label.control = makeLabel(static_cast<int>(labels_.size()));
        label.caption = std::move(caption);
        label.rect = rect;
        showLabelText(label.control, label.caption);
        placeLabel(label.control, rect);
        labels_.push_back(std::move(label));
        return labels_.back();
    }

    // Runs a tick, then shows the weight of every label whose weight changed.
    template <class Tick>
    void tick(Tick&& runTick)
    {
        ticking_ = true;
        runTick();
        ticking_ = false;
        for (Label& label : labels_)
            showChangedWeight(label);
    }

    Label* find(int index) { return exists(index) ? &labels_[static_cast<std::size_t>(index)] : nullptr; }
    const Label* find(int index) const
    {
        return index >= 0 && static_cast<std::size_t>(index) < labels_.size()
                   ? &labels_[static_cast<std::size_t>(index)]
                   : nullptr;
    }

    std::vector<Label> labels_;

private:
    void showChangedWeight(Label& label)
    {
        if (label.shownBold == label.bold)
            return;
        label.shownBold = label.bold;
        showLabelWeight(label.control, label.bold);
    }

    float outerWidth_ = design::kOuterWidth;
    bool ticking_ = false;
};

}  // namespace kivo
