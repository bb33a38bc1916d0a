#include "ControlsTestSupport.h"
#include "controls/Panels.h"
#include "controls/SpeedButton.h"

#include <gtest/gtest.h>

using namespace ctest;

TEST(Panels, PlayPanelLaysOutForWholeBands)
{
    TPlayPanel odd;
    odd.resize(50, 101);
    odd.SetDivision(2);
    odd.setBevelOuter(bvNone);
    EXPECT_EQ(odd.gradientHeight(), 102);
    TPlayPanel even;
    even.resize(50, 102);
    even.SetDivision(2);
    even.setBevelOuter(bvNone);
    const QImage a = odd.grab().toImage();
    const QImage b = even.grab().toImage().copy(0, 0, 50, 101);
    EXPECT_EQ(a.convertToFormat(QImage::Format_RGB32), b.convertToFormat(QImage::Format_RGB32));
}

TEST(Panels, PlayPanelGradientRunsToColorSecondInTheMiddle)
{
    TPlayPanel p;
    p.resize(40, 200);
    p.SetColorSecond(clBlack);
    p.setBevelOuter(bvNone);
    const QImage img = p.grab().toImage();
    // The outermost rows carry the first steps of the gradient, next to Color.
    EXPECT_GE(qGray(img.pixel(20, 0)), 250);
    EXPECT_GE(qGray(img.pixel(20, 199)), 250);
    EXPECT_EQ(img.pixel(20, 10), img.pixel(20, 189)) << "mirrored";
    EXPECT_LT(qGray(img.pixel(20, 99)), 8);
}

TEST(Panels, DivisionBelowOnePaints)
{
    TPlayPanel p;
    p.SetDivision(0);
    EXPECT_EQ(p.grab().size(), p.size());
    p.SetDivision(-3);
    EXPECT_EQ(p.grab().size(), p.size());
}

TEST(Panels, FrameDragStaysInsideTheParent)
{
    QWidget parent;
    parent.resize(300, 200);
    TFrameMy f(&parent);
    f.move(10, 10);
    press(&f, QPoint(20, 8));
    move(&f, QPoint(20 + 500, 8 + 20), Qt::LeftButton);
    EXPECT_EQ(f.x(), 300 - f.width());
    EXPECT_EQ(f.y(), 30);
    move(&f, QPoint(-1000, -1000), Qt::LeftButton);
    EXPECT_EQ(f.pos(), QPoint(0, 0));
    release(&f, QPoint(0, 0));
}

TEST(Panels, CloseHidesWhereItWas)
{
    QWidget parent;
    parent.resize(300, 200);
    TFrameMy f(&parent);
    f.move(40, 50);
    parent.show();
    EXPECT_EQ(f.CloseButton()->geometry(), QRect(f.width() - 18, 3, 15, 14));
    EXPECT_FALSE(f.CloseButton()->Glyph().isNull());
    press(f.CloseButton(), QPoint(5, 5));
    release(f.CloseButton(), QPoint(5, 5));
    EXPECT_TRUE(f.isHidden());
    f.show();
    EXPECT_EQ(f.pos(), QPoint(40, 50));
}
