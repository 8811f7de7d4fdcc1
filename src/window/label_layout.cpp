#include "window/label_layout.h"

#include "engine/key_tokens.h"
#include "window/rounding.h"

#include <string>

namespace kivo {

namespace {

constexpr double kRowPitch = 1.4;
// A label starts a new column when its top plus this many label heights passes the bottom.
constexpr int kHeightsBelowTop = 3;

void hideOnlyLabel(Toolkit& form)
{
    form.setLabelVisible(0, false);
    form.setOuterWidth(form.labelRect(0).left);
}

void addLabel(Toolkit& form, int index, std::int32_t x, std::int32_t y, TwipsRect templateRect)
{
    form.createLabel(index);
    form.setLabelRect(index, {static_cast<float>(x), static_cast<float>(y), templateRect.width, templateRect.height});
    form.setLabelVisible(index, true);
    form.setCaption(index, buttonCaption(index));
}

}  // namespace

void layOutButtonLabels(Toolkit& form, std::int32_t buttonCount)
{
    if (buttonCount == 0) {
        hideOnlyLabel(form);
        return;
    }
    if (buttonCount < 2)
        return;

    const TwipsRect first = form.labelRect(0);
    std::int32_t x = roundHalfEven(first.left);
    std::int32_t y = roundHalfEven(first.top);
    const std::int32_t last = buttonCount - 1;
    for (std::int32_t i = 1; i <= last; ++i) {
        y = roundHalfEven(static_cast<double>(first.height) * kRowPitch + y);
        const float bottomReach = static_cast<float>(static_cast<double>(first.height) * kHeightsBelowTop + y);
        if (bottomReach > form.outerHeight()) {
            y = roundHalfEven(first.top);
            x = roundHalfEven(static_cast<double>(first.width) + x);
        }
        const double rightEdge = static_cast<double>(first.width) + x;
        if (rightEdge > form.outerWidth())
            form.setOuterWidth(static_cast<float>(rightEdge));
        addLabel(form, i, x, y, first);
    }
}

}  // namespace kivo
