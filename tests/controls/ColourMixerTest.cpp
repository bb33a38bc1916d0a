#include "ControlsTestSupport.h"
#include "controls/ColourMixer.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace ctest;

// 168 x 144: margin 4, disc 136 at (4, 4), centre (72, 72), A = 66, bar 16 wide at x 144.
TEST(ColourMixer, Layout)
{
    TCMY m;
    EXPECT_EQ(m.margin(), 4);
    EXPECT_EQ(m.discSide(), 136);
    EXPECT_EQ(m.barWidth(), 16);
    EXPECT_EQ(m.discRadius(), 66);
    EXPECT_EQ(m.discCentre(), QPoint(72, 72));
}

TEST(ColourMixer, BytesPlaceTheMarkers)
{
    TCMY m;
    m.SetCyan(200);
    m.SetMagenta(10);
    m.SetCyan(0);
    m.SetMagenta(0);
    m.SetYellow(0);
    EXPECT_EQ(m.ballPoint(), QPoint(72, 72));
    EXPECT_EQ(m.darkness(), 0);
    EXPECT_EQ(m.sampleColor(), clWhite);
    m.SetCyan(255);
    m.SetMagenta(255);
    EXPECT_EQ(m.hue(), 0);
    EXPECT_EQ(m.radius(), 66);
    EXPECT_EQ(m.ballPoint(), QPoint(72, 72 + 66));
    // Equal amounts are grey: no hue, the darkness is the amount.
    m.SetYellow(255);
    EXPECT_EQ(m.radius(), 0);
    EXPECT_EQ(m.darkness(), 255);
}

TEST(ColourMixer, HueTable)
{
    EXPECT_EQ(TCMY::hueAmounts(0), (std::array<int, 3>{255, 255, 0}));
    EXPECT_EQ(TCMY::hueAmounts(60), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(TCMY::hueAmounts(120), (std::array<int, 3>{255, 0, 255}));
    EXPECT_EQ(TCMY::hueAmounts(180), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(TCMY::hueAmounts(240), (std::array<int, 3>{0, 255, 255}));
    EXPECT_EQ(TCMY::hueAmounts(300), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(TCMY::hueAmounts(359)[0], 251);
}

TEST(ColourMixer, PressAtTheCentreGivesWhite)
{
    TCMY m;
    m.SetCyan(40);
    QSignalSpy spy(&m, &TCMY::OnChange);
    press(&m, QPoint(72, 72));
    release(&m, QPoint(72, 72));
    EXPECT_EQ(m.GetCyan(), 0);
    EXPECT_EQ(m.GetMagenta(), 0);
    EXPECT_EQ(m.GetYellow(), 0);
    EXPECT_EQ(spy.count(), 1);
}

TEST(ColourMixer, ResetThenCentreWithRgb)
{
    TCMY m;
    m.SetRGB(true);
    EXPECT_EQ(m.darkness(), 255) << "bytes 0 read as red, green, blue are black";
    QSignalSpy spy(&m, &TCMY::OnChange);
    press(&m, QPoint(8, 135)); // reset button
    EXPECT_TRUE(m.resetPressed());
    release(&m, QPoint(8, 135));
    EXPECT_EQ(m.GetCyan(), 255);
    EXPECT_EQ(m.darkness(), 0);
    EXPECT_EQ(spy.count(), 1);
    press(&m, QPoint(8, 135));
    release(&m, QPoint(8, 135));
    EXPECT_EQ(spy.count(), 2) << "raised even when white already";
    press(&m, QPoint(72, 72));
    release(&m, QPoint(72, 72));
    EXPECT_EQ(m.GetCyan(), 255);
    EXPECT_EQ(m.GetMagenta(), 255);
    EXPECT_EQ(m.GetYellow(), 255);
}

TEST(ColourMixer, BallAndDarknessDrags)
{
    TCMY m;
    QSignalSpy spy(&m, &TCMY::OnChange);
    press(&m, QPoint(72, 138)); // straight down at full radius: hue 0
    EXPECT_EQ(m.hue(), 0);
    EXPECT_EQ(m.radius(), 66);
    EXPECT_EQ(m.GetCyan(), 255);
    EXPECT_EQ(m.GetMagenta(), 255);
    EXPECT_EQ(m.GetYellow(), 0);
    move(&m, QPoint(72 - 200, 72), Qt::LeftButton); // far left: hue 90, radius limited
    EXPECT_EQ(m.hue(), 90);
    EXPECT_EQ(m.radius(), 66);
    const int before = spy.count();
    release(&m, QPoint(72, 72)); // the release position still applies and is reported
    EXPECT_EQ(m.GetCyan(), 0);
    EXPECT_EQ(spy.count(), before + 1);
    press(&m, QPoint(150, 4 + 134)); // bottom of the bar: darkest
    EXPECT_EQ(m.darkness(), 255);
    EXPECT_EQ(m.GetCyan(), 255);
    release(&m, QPoint(150, 4 + 2));
    EXPECT_EQ(m.darkness(), 0);
    // Outside disc and bar nothing happens.
    const int n = spy.count();
    press(&m, QPoint(142, 2));
    release(&m, QPoint(142, 2));
    EXPECT_EQ(spy.count(), n);
}

TEST(ColourMixer, TogglingRgbKeepsTheBytes)
{
    TCMY m;
    m.SetCyan(255);
    m.SetMagenta(255);
    m.SetRGB(true);
    EXPECT_EQ(m.GetCyan(), 255);
    EXPECT_EQ(m.GetMagenta(), 255);
    EXPECT_EQ(m.GetYellow(), 0);
    // Now read as red 255, green 255, blue 0: complementary amounts (0, 0, 255), hue 180.
    EXPECT_EQ(m.hue(), 180);
    EXPECT_EQ(m.ballPoint(), QPoint(72, 72 - 66));
}

TEST(ColourMixer, TooSmallMixerOnlyPaintsItsBackground)
{
    TCMY m;
    m.resize(8, 6);
    QSignalSpy spy(&m, &TCMY::OnChange);
    press(&m, QPoint(3, 3));
    release(&m, QPoint(3, 3));
    EXPECT_EQ(spy.count(), 0);
    m.SetCyan(10);
    EXPECT_EQ(m.grab().size(), QSize(8, 6));
}
