#include "window/label_layout.h"

#include "fakes/memory_toolkit.h"
#include "window/rounding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kivo {
namespace {

using test_support::MemoryToolkit;

constexpr float kPitch = 357;

TEST(LabelLayout, NoButtonsHidesLabel0AndAsksForItsLeftAsWidth)
{
    MemoryToolkit form;
    layOutButtonLabels(form, 0);

    EXPECT_FALSE(form.labelVisible(0));
    EXPECT_EQ(form.widthRequests, std::vector<float>{120});
    EXPECT_EQ(form.outerWidth(), design::kMinimumOuterWidth);
    EXPECT_EQ(form.labels.size(), 1u);
}

TEST(LabelLayout, OneOrNegativeCountLeavesTheDesign)
{
    for (std::int32_t n : {1, -1, std::numeric_limits<std::int32_t>::min()}) {
        MemoryToolkit form;
        layOutButtonLabels(form, n);

        EXPECT_TRUE(form.log.empty()) << n;
        EXPECT_EQ(form.labels.size(), 1u) << n;
        EXPECT_TRUE(form.labelVisible(0)) << n;
        EXPECT_EQ(form.outerWidth(), design::kOuterWidth) << n;
    }
}

struct Placement {
    int index;
    float left;
    float top;
};

struct LayoutCase {
    std::int32_t buttons;
    float width;
    std::vector<Placement> placements;
};

class LabelLayoutFigures : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LabelLayoutFigures, PlacesLabelsAndSizesTheWindow)
{
    const LayoutCase& c = GetParam();
    MemoryToolkit form;
    layOutButtonLabels(form, c.buttons);

    ASSERT_EQ(form.labels.size(), static_cast<std::size_t>(c.buttons));
    EXPECT_EQ(form.outerWidth(), c.width);
    EXPECT_EQ(form.at(0).rect, design::kButtonLabel0);
    EXPECT_EQ(form.at(0).caption, "Button 1:");
    for (const Placement& p : c.placements) {
        const MemoryToolkit::Label& label = form.at(p.index);
        EXPECT_EQ(label.rect, (TwipsRect{p.left, p.top, 1935, 255})) << "label " << p.index;
        EXPECT_TRUE(form.labelVisible(p.index)) << "label " << p.index;
        EXPECT_EQ(label.caption, "Button " + std::to_string(p.index + 1) + ":") << "label " << p.index;
        EXPECT_FALSE(label.bold);
    }
}

INSTANTIATE_TEST_SUITE_P(
    DesignValues, LabelLayoutFigures,
    ::testing::Values(LayoutCase{2, 4650, {{1, 120, 2637}}},
                      LayoutCase{12, 4650, {{1, 120, 2637}, {10, 120, 2280 + 10 * kPitch}, {11, 2055, 2280}}},
                      LayoutCase{23, 5925, {{21, 2055, 2280 + 10 * kPitch}, {22, 3990, 2280}}},
                      LayoutCase{32, 5925, {{12, 2055, 2280 + kPitch}, {31, 3990, 2280 + 9 * kPitch}}}));

TEST(LabelLayout, WidensOnceWhenTheThirdColumnStarts)
{
    MemoryToolkit form;
    layOutButtonLabels(form, 22);
    EXPECT_TRUE(form.widthRequests.empty());

    MemoryToolkit wider;
    layOutButtonLabels(wider, 32);
    EXPECT_EQ(wider.widthRequests, std::vector<float>{5925});
}

// Both tests are strict: a label that exactly reaches the bottom or the right edge neither
// wraps nor widens; one twip less and it does.
TEST(LabelLayout, EqualityNeitherWrapsNorWidens)
{
    struct Case {
        float outerHeight;
        float outerWidth;
        float label10Left;
        std::vector<float> widthRequests;
    };
    const float reachOfLabel10 = 3 * 255 + 2280 + 10 * kPitch;
    const float rightOfColumn2 = 1935 + 2055;
    for (const Case& c : {Case{reachOfLabel10, 4650, 120, {}}, Case{reachOfLabel10 - 1, 4650, 2055, {}},
                          Case{reachOfLabel10 - 1, rightOfColumn2, 2055, {}},
                          Case{reachOfLabel10 - 1, rightOfColumn2 - 1, 2055, {rightOfColumn2}}}) {
        MemoryToolkit form;
        form.height = c.outerHeight;
        form.setOuterWidth(c.outerWidth);
        form.widthRequests.clear();
        layOutButtonLabels(form, 11);

        EXPECT_EQ(form.at(10).rect.left, c.label10Left) << c.outerHeight << " x " << c.outerWidth;
        EXPECT_EQ(form.widthRequests, c.widthRequests) << c.outerHeight << " x " << c.outerWidth;
    }
}

// The bottom test is made in single precision: a label height one float step above 255 adds
// less than half a float step at that size, so the label that just fits still fits.
TEST(LabelLayout, BottomTestRoundsToSinglePrecision)
{
    MemoryToolkit form;
    form.at(0).rect.height = std::nextafter(255.0f, 256.0f);
    form.height = 3 * 255 + 2280 + 10 * kPitch;
    layOutButtonLabels(form, 11);

    EXPECT_EQ(form.at(10).rect.left, 120);
    EXPECT_EQ(form.at(10).rect.top, 2280 + 10 * kPitch);
}

TEST(LabelLayout, HalfTwipPositionsRoundToEven)
{
    MemoryToolkit form;
    form.at(0).rect.left = 120.5f;
    form.at(0).rect.top = 2281.5f;
    layOutButtonLabels(form, 2);

    EXPECT_EQ(form.at(1).rect.left, 120);
    EXPECT_EQ(form.at(1).rect.top, 2282 + kPitch);
}

TEST(LabelLayout, CreatesEachLabelBeforePlacingShowingAndCaptioningIt)
{
    MemoryToolkit form;
    layOutButtonLabels(form, 2);
    EXPECT_EQ(form.log, (std::vector<std::string>{"create 1", "place 1", "show 1", "caption 1 Button 2:"}));
}

TEST(RoundHalfEven, RoundsTiesToEvenAndSaturates)
{
    struct Case {
        double value;
        std::int32_t expected;
    };
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    for (const Case& c : {Case{0.5, 0}, Case{1.5, 2}, Case{2.5, 2}, Case{-0.5, 0}, Case{-1.5, -2}, Case{2.4999, 2},
                          Case{356.9999999, 357}, Case{1e12, kMax}, Case{-1e12, kMin},
                          Case{std::numeric_limits<double>::quiet_NaN(), 0}})
        EXPECT_EQ(roundHalfEven(c.value), c.expected) << c.value;
}

}  // namespace
}  // namespace kivo
