#include "ControlsTestSupport.h"
#include "controls/Buttons.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace ctest;

TEST(Buttons, ColourButtonIsMomentaryAndClicksOnAnyRelease)
{
    TCBTC b;
    EXPECT_EQ(b.size(), QSize(31, 31));
    EXPECT_EQ(b.Color(), clRed);
    QSignalSpy clicks(&b, &TPaintedButton::OnClick);
    press(&b, QPoint(15, 15));
    EXPECT_TRUE(b.Down());
    release(&b, QPoint(15, 15));
    EXPECT_FALSE(b.Down());
    EXPECT_EQ(clicks.count(), 1);
    release(&b, QPoint(15, 15), Qt::RightButton);
    EXPECT_EQ(clicks.count(), 2);
}

TEST(Buttons, CaptionButtonClicksOnLeftReleaseOnly)
{
    TCBT b;
    QSignalSpy clicks(&b, &TPaintedButton::OnClick);
    press(&b, QPoint(15, 15), Qt::RightButton);
    EXPECT_FALSE(b.Down());
    release(&b, QPoint(15, 15), Qt::RightButton);
    EXPECT_EQ(clicks.count(), 0);
    press(&b, QPoint(15, 15));
    EXPECT_TRUE(b.Down());
    release(&b, QPoint(15, 15));
    EXPECT_FALSE(b.Down());
    EXPECT_EQ(clicks.count(), 1);
}

TEST(Buttons, DisabledButtonsIgnorePresses)
{
    TCBTC c;
    TCBT t;
    TBlinkButton k;
    for (TPaintedButton *b : std::initializer_list<TPaintedButton *>{&c, &t, &k}) {
        b->setEnabled(false);
        press(b, QPoint(15, 15));
        EXPECT_FALSE(b->Down());
    }
    EXPECT_FALSE(k.blinking());
}

TEST(Buttons, BlinkButtonLatchesAndBlinks)
{
    TBlinkButton b;
    b.SetColor(clRed);
    b.AlterColor = clYellow;
    QSignalSpy clicks(&b, &TPaintedButton::OnClick);
    press(&b, QPoint(15, 15));
    release(&b, QPoint(15, 15));
    EXPECT_TRUE(b.Down());
    EXPECT_EQ(b.blinkInterval(), 500);
    EXPECT_EQ(clicks.count(), 1);
    b.OnTimer();
    EXPECT_EQ(b.FaceColor(), clYellow);
    b.OnTimer();
    EXPECT_EQ(b.FaceColor(), clRed);
    b.OnTimer();
    press(&b, QPoint(15, 15));
    release(&b, QPoint(15, 15));
    EXPECT_FALSE(b.Down());
    EXPECT_FALSE(b.blinking());
    EXPECT_EQ(b.FaceColor(), clRed);
    EXPECT_EQ(clicks.count(), 2);
}

TEST(Buttons, MultiButtonChannels)
{
    TMultiButton b;
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(b.GetChannels(i), -1);
    b.SetChannels(3, 200);
    b.SetChannels(-1, 5);
    b.SetChannels(32, 5);
    EXPECT_EQ(b.GetChannels(3), 200);
    EXPECT_EQ(b.GetChannels(32), -1);
    EXPECT_EQ(b.GetChannels(-1), -1);
}

TEST(Buttons, SpeedButtonGroupHasOneDown)
{
    QWidget parent;
    TSpeedButton a(&parent), b(&parent), other(&parent);
    a.SetGroupIndex(1);
    b.SetGroupIndex(1);
    other.SetGroupIndex(2);
    other.SetDown(true);
    QSignalSpy clicks(&a, &TSpeedButton::OnClick);
    press(&a, QPoint(5, 5));
    release(&a, QPoint(5, 5));
    EXPECT_TRUE(a.Down());
    EXPECT_EQ(clicks.count(), 1);
    press(&b, QPoint(5, 5));
    release(&b, QPoint(5, 5));
    EXPECT_TRUE(b.Down());
    EXPECT_FALSE(a.Down());
    EXPECT_TRUE(other.Down());
    // Without AllowAllUp the down button stays down; with it a click lets it up.
    press(&b, QPoint(5, 5));
    release(&b, QPoint(5, 5));
    EXPECT_TRUE(b.Down());
    b.SetAllowAllUp(true);
    press(&b, QPoint(5, 5));
    release(&b, QPoint(5, 5));
    EXPECT_FALSE(b.Down());
    // A release outside is no click.
    press(&a, QPoint(5, 5));
    release(&a, QPoint(100, 100));
    EXPECT_EQ(clicks.count(), 1);
}
