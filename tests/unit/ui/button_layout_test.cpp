// How the owner-draw button classifies its template style and places bitmap and caption.
#include <gtest/gtest.h>

#include "monitor/controls/button_layout.h"

namespace {
constexpr uint32_t kTabStop = 0x00010000, kVisible = 0x10000000;
constexpr uint32_t kAutoCheckBox = 3, kPushLike = 0x1000, kRadioButton = 4, kDefPush = 1;
}  // namespace

TEST(ButtonKind, FollowsTheTemplateStyle) {
    EXPECT_EQ(ButtonKind::Push, ClassifyButton(kVisible | kTabStop));
    EXPECT_EQ(ButtonKind::Toggle, ClassifyButton(kVisible | kTabStop | kAutoCheckBox | kPushLike));
    EXPECT_EQ(ButtonKind::Toggle, ClassifyButton(kDefPush));
    EXPECT_EQ(ButtonKind::RadioStyle, ClassifyButton(kRadioButton));
    EXPECT_EQ(0xBu, OwnerDrawStyle(0) & 0xF);
    EXPECT_EQ(kPushLike | 0xBu, OwnerDrawStyle(kPushLike | kAutoCheckBox));
}

TEST(ButtonLayout, BitmapAtTheLeftCentredVertically) {
    ButtonLayout l = LayOutButton(Box{0, 0, 98, 25}, 16, 16);
    EXPECT_EQ(2, l.bitmap.left);
    EXPECT_EQ(4, l.bitmap.top);  // (25 - 16) / 2
    EXPECT_EQ(18, l.bitmap.right);
    EXPECT_EQ(20, l.bitmap.bottom);
    EXPECT_EQ(24, l.caption.left);
    EXPECT_EQ(0, l.caption.top);
    EXPECT_EQ(92, l.caption.right);
    EXPECT_EQ(25, l.caption.bottom);
}

TEST(ButtonLayout, WithoutBitmapTheCaptionRunsFromSixToRightMinusSix) {
    ButtonLayout l = LayOutButton(Box{0, 0, 98, 25}, 0, 0);
    EXPECT_TRUE(l.bitmap.Empty());
    EXPECT_EQ(6, l.caption.left);
    EXPECT_EQ(92, l.caption.right);
}

TEST(ButtonLayout, FocusBoxNeverTurnsInsideOut) {
    Box tall = FocusBox(Box{0, 0, 100, 60}, 14);
    EXPECT_EQ(14, tall.left);
    EXPECT_EQ(14, tall.top);
    EXPECT_EQ(86, tall.right);
    EXPECT_EQ(46, tall.bottom);
    Box low = FocusBox(Box{0, 0, 98, 25}, 14);
    EXPECT_FALSE(low.Empty());
    EXPECT_EQ(3, low.top);
    EXPECT_EQ(22, low.bottom);
}
