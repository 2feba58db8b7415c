// Dialog-unit conversion: rounding, corner-based rectangles and base units from a font.
#include <QFontMetrics>
#include <gtest/gtest.h>

#include "shell/DialogUnits.h"

TEST(DialogUnits, FourByEightBaseIsIdentity) {
    const CDialogUnits units(4, 8);
    EXPECT_EQ(units.ToPixels(7, 137, 117, 14), QRect(7, 137, 117, 14));
    EXPECT_EQ(units.ToPixels(131, 158), QSize(131, 158));
}

TEST(DialogUnits, RoundsToNearestPixelHalfAwayFromZero) {
    const CDialogUnits units(6, 13);
    EXPECT_EQ(units.ToPixelsX(7), 11);    // 10.5
    EXPECT_EQ(units.ToPixelsX(-7), -11);  // -10.5
    EXPECT_EQ(units.ToPixelsX(5), 8);     // 7.5
    EXPECT_EQ(units.ToPixelsX(1), 2);     // 1.5
    EXPECT_EQ(units.ToPixelsY(137), 223); // 222.625
    EXPECT_EQ(units.ToPixelsY(3), 5);     // 4.875
    EXPECT_EQ(units.ToPixelsY(1), 2);     // 1.625
}

TEST(DialogUnits, RectanglesConvertTheirCornersSoNeighboursStayFlush) {
    const CDialogUnits units(7, 15);
    // Two controls that touch in units must touch in pixels.
    const QRect upper = units.ToPixels(7, 7, 125, 46);
    const QRect lower = units.ToPixels(7, 53, 125, 12);
    EXPECT_EQ(upper.bottom() + 1, lower.top());
    EXPECT_EQ(upper.left(), 12);                                   // 12.25
    EXPECT_EQ(upper.left() + upper.width(), units.ToPixelsX(132)); // 231
}

TEST(DialogUnits, BaseUnitsComeFromTheFont) {
    QFont font = CDialogUnits::DialogFont();
    const CDialogUnits small = CDialogUnits::FromFont(font);
    const QFontMetrics metrics(font);
    const double average = metrics.horizontalAdvance(QStringLiteral(
                               "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                           52.0;
    EXPECT_NEAR(small.BaseX(), average, 0.55);
    EXPECT_EQ(small.BaseY(), metrics.height());

    font.setPointSize(font.pointSize() * 2);
    const CDialogUnits large = CDialogUnits::FromFont(font);
    EXPECT_GT(large.BaseX(), small.BaseX());
    EXPECT_GT(large.BaseY(), small.BaseY());
}

TEST(DialogUnits, NonPositiveBaseIsClampedRatherThanCollapsingEverything) {
    const CDialogUnits units(0, -3);
    EXPECT_GT(units.ToPixelsX(100), 0);
    EXPECT_GT(units.ToPixelsY(100), 0);
}
