#include "ControlsTestSupport.h"
#include "controls/Tracker.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace ctest;

// 39 x 192: e = 10, track 10..182, D = 172.
TEST(Tracker, LayoutOfTheDefaultSize)
{
    TTracker t;
    EXPECT_EQ(t.trackTop(), 10);
    EXPECT_EQ(t.trackBottom(), 182);
    EXPECT_EQ(t.trackLength(), 172);
    EXPECT_EQ(t.knobTop(), 10 + 150); // (14 * 172) / 16 = 150 at Min
}

TEST(Tracker, StepButtonsAndTheirRepeat)
{
    TTracker t;
    QSignalSpy spy(&t, &TTracker::OnChange);
    press(&t, QPoint(19, 3));
    EXPECT_EQ(t.Position(), 1);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(t.repeatInterval(), 500);
    t.OnTimer();
    EXPECT_EQ(t.repeatInterval(), 100);
    EXPECT_EQ(t.Position(), 2);
    release(&t, QPoint(19, 3));
    EXPECT_FALSE(t.topHeld());
    t.OnTimer(); // the timer keeps running; a released button no longer steps
    EXPECT_EQ(t.Position(), 2);
    press(&t, QPoint(19, 185));
    EXPECT_EQ(t.Position(), 1);
    t.OnTimer();
    EXPECT_EQ(t.Position(), 0);
    t.OnTimer();
    EXPECT_EQ(t.Position(), 0) << "stops at Min";
    release(&t, QPoint(19, 185));
}

TEST(Tracker, TopButtonAtMaxDoesNothing)
{
    TTracker t;
    t.SetPosition(255);
    QSignalSpy spy(&t, &TTracker::OnChange);
    press(&t, QPoint(19, 3));
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(t.repeatInterval(), -1);
    release(&t, QPoint(19, 3));
}

TEST(Tracker, PressAndDragOnTheTrack)
{
    TTracker t;
    QSignalSpy spy(&t, &TTracker::OnChange);
    // y = top + D/16 gives Max; t = 10 + 86 gives 255 - (86 - 10) * 256 / 150 = 126.
    press(&t, QPoint(19, 20));
    EXPECT_EQ(t.Position(), 255);
    move(&t, QPoint(19, 96), Qt::LeftButton);
    EXPECT_EQ(t.Position(), 126);
    move(&t, QPoint(19, 500), Qt::LeftButton);
    EXPECT_EQ(t.Position(), 0);
    release(&t, QPoint(19, 500));
    EXPECT_EQ(spy.count(), 3);
    move(&t, QPoint(19, 20), Qt::LeftButton);
    EXPECT_EQ(t.Position(), 0);
}

TEST(Tracker, TooShortTrackerIgnoresSettersAndMouse)
{
    TTracker t;
    t.resize(39, 40);
    t.SetPosition(100);
    EXPECT_EQ(t.Position(), 0);
    t.SetColor(clRed);
    EXPECT_EQ(t.Color(), clBtnFace);
    QSignalSpy spy(&t, &TTracker::OnChange);
    press(&t, QPoint(19, 2));
    EXPECT_EQ(spy.count(), 0);
}

TEST(Tracker, DegenerateSizesPaint)
{
    for (QSize s : {QSize(3, 3), QSize(1, 1), QSize(0, 50), QSize(3, 14), QSize(40, 20)}) {
        TTracker t;
        t.resize(s);
        const QImage img = t.grab().toImage();
        if (!s.isEmpty()) {
            EXPECT_EQ(img.size(), s);
        }
        press(&t, QPoint(0, 0));
        release(&t, QPoint(0, 0));
    }
}
