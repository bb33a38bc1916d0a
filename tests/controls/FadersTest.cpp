#include "ControlsTestSupport.h"
#include "controls/Faders.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace ctest;

// TSliderh 152 x 40: margin 9, span 133; value = (x - 9) * 256 / 133.
TEST(Faders, LeftPressMapsPointerToValue)
{
    TSliderh f;
    ASSERT_EQ(f.size(), QSize(152, 40));
    struct { int x; int expected; } cases[] = {{76, 128}, {141, 254}, {142, 255}, {152, 255}, {0, 0}};
    for (const auto &c : cases) {
        f.SetPosition(c.expected == 0 ? 50 : 0);
        press(&f, QPoint(c.x, 20));
        release(&f, QPoint(c.x, 20));
        EXPECT_EQ(f.Position(), c.expected) << "x = " << c.x;
    }
    f.SetInverted(true);
    press(&f, QPoint(76, 20));
    release(&f, QPoint(76, 20));
    EXPECT_EQ(f.Position(), 127);
    press(&f, QPoint(0, 20));
    release(&f, QPoint(0, 20));
    EXPECT_EQ(f.Position(), 255);
}

TEST(Faders, VerticalFaderHasItsMaximumAtTheTop)
{
    TSlider f;
    ASSERT_EQ(f.size(), QSize(40, 152));
    press(&f, QPoint(20, 76));
    EXPECT_EQ(f.Position(), 127);
    release(&f, QPoint(20, 76));
    press(&f, QPoint(20, 0));
    EXPECT_EQ(f.Position(), 255);
    release(&f, QPoint(20, 0));
}

TEST(Faders, LeftPressOnCurrentValueRaisesNothing)
{
    TSliderh f;
    f.SetPosition(128);
    QSignalSpy spy(&f, &TSliderBase::OnChange);
    press(&f, QPoint(76, 20));
    release(&f, QPoint(76, 20));
    EXPECT_EQ(spy.count(), 0);
    // Dragging on along the track changes the value and reports each change.
    press(&f, QPoint(76, 20));
    move(&f, QPoint(141, 20), Qt::LeftButton);
    EXPECT_EQ(f.Position(), 254);
    move(&f, QPoint(200, 20), Qt::LeftButton);
    EXPECT_EQ(f.Position(), 255);
    EXPECT_EQ(spy.count(), 2);
    release(&f, QPoint(200, 20));
    move(&f, QPoint(76, 20), Qt::LeftButton);
    EXPECT_EQ(f.Position(), 255) << "a released fader no longer drags";
}

TEST(Faders, MiddleDragEndsOnMiddleOrLeftRelease)
{
    TSliderh f;
    press(&f, QPoint(76, 20), Qt::MiddleButton);
    EXPECT_EQ(f.Position(), 128);
    release(&f, QPoint(76, 20), Qt::MiddleButton);
    move(&f, QPoint(141, 20), Qt::LeftButton);
    EXPECT_EQ(f.Position(), 128);
}

TEST(Faders, RightPressStepsTowardThePointer)
{
    TSliderh f;
    f.SetPosition(128);
    QSignalSpy spy(&f, &TSliderBase::OnChange);
    press(&f, QPoint(30, 20), Qt::RightButton);
    release(&f, QPoint(30, 20), Qt::RightButton);
    EXPECT_EQ(f.Position(), 127);
    EXPECT_EQ(spy.count(), 1);
    // On the knob itself the value steps up.
    press(&f, QPoint(76, 20), Qt::RightButton);
    release(&f, QPoint(76, 20), Qt::RightButton);
    EXPECT_EQ(f.Position(), 128);
    // At Max the value stays, the change is still reported.
    f.SetPosition(255);
    spy.clear();
    press(&f, QPoint(150, 20), Qt::RightButton);
    release(&f, QPoint(150, 20), Qt::RightButton);
    EXPECT_EQ(f.Position(), 255);
    EXPECT_EQ(spy.count(), 1);
}

TEST(Faders, HoldingTheRightButtonRepeats)
{
    FakePointer pointer;
    TSliderh f;
    f.grab(); // records the screen position
    f.SetPosition(128);
    pointer.pos = f.mapToGlobal(QPoint(30, 20));
    QSignalSpy spy(&f, &TSliderBase::OnChange);
    press(&f, QPoint(30, 20), Qt::RightButton);
    EXPECT_EQ(f.repeatInterval(), 500);
    f.OnTimer();
    EXPECT_EQ(f.repeatInterval(), 100);
    f.OnTimer();
    EXPECT_EQ(f.Position(), 125);
    EXPECT_EQ(spy.count(), 3);
    release(&f, QPoint(30, 20), Qt::RightButton);
    EXPECT_EQ(f.repeatInterval(), -1);
    // Entering or leaving stops a repeat as well.
    press(&f, QPoint(30, 20), Qt::RightButton);
    leave(&f);
    EXPECT_EQ(f.repeatInterval(), -1);
}

TEST(Faders, FineLaneIn16BitMode)
{
    TSliderh f;
    f.SetFinePosition(40);
    EXPECT_EQ(f.FinePosition(), 0) << "ignored while M16bit is off";
    f.Set16bit(true);
    QSignalSpy spy(&f, &TSliderBase::OnChange);
    press(&f, QPoint(76, 30)); // 30 >= 2*40/3: the fine lane
    release(&f, QPoint(76, 30));
    EXPECT_EQ(f.FinePosition(), 128);
    EXPECT_EQ(f.Position(), 0);
    EXPECT_EQ(spy.count(), 1);
    press(&f, QPoint(76, 10)); // the coarse lane
    release(&f, QPoint(76, 10));
    EXPECT_EQ(f.Position(), 128);
    EXPECT_EQ(f.FinePosition(), 128);
}

TEST(Faders, BoundSettersKeepMinBelowMax)
{
    TSliderh f;
    f.SetMax(0);
    EXPECT_EQ(f.Min(), -1);
    EXPECT_EQ(f.Max(), 0);
    f.SetMin(10);
    EXPECT_EQ(f.Max(), 11);
    EXPECT_EQ(f.Position(), 10);
    f.SetMin(0);
    f.SetMax(255);
    f.SetPosition(300);
    EXPECT_EQ(f.Position(), 255);
    f.SetPosition(-7);
    EXPECT_EQ(f.Position(), 0);
}

TEST(Faders, WideRangesDoNotOverflow)
{
    TSliderh f;
    f.SetMin(-2000000000);
    f.SetMax(2000000000);
    press(&f, QPoint(152, 20));
    release(&f, QPoint(152, 20));
    EXPECT_EQ(f.Position(), 2000000000);
    press(&f, QPoint(0, 20));
    release(&f, QPoint(0, 20));
    EXPECT_EQ(f.Position(), -2000000000);
    f.grab(); // knob placement with the full range
}

TEST(Faders, TinyFaderIgnoresTheMouse)
{
    TSliderh f;
    f.resize(1, 40);
    QSignalSpy spy(&f, &TSliderBase::OnChange);
    press(&f, QPoint(0, 20));
    press(&f, QPoint(0, 20), Qt::RightButton);
    EXPECT_EQ(spy.count(), 0);
    f.grab();
}

TEST(Faders, HintShowsValuePlusAdd)
{
    FakePointer pointer;
    TSliderh f;
    f.SetAdd(1);
    pointer.pos = QPoint(300, 300);
    move(&f, QPoint(5, 20));
    EXPECT_FALSE(f.hintVisible()) << "no hint before the pointer entered";
    enter(&f);
    move(&f, QPoint(5, 20)); // left of the margin: value 0
    EXPECT_TRUE(f.hintVisible());
    EXPECT_EQ(f.hintText(), QStringLiteral("1"));
    leave(&f);
    EXPECT_FALSE(f.hintVisible());
}
