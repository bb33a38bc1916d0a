#include "ControlsTestSupport.h"
#include "controls/Knob.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace ctest;

TEST(Knob, PressMapsAngleToValue)
{
    struct { QPoint p; int expected; } cases[] = {
        {{8, 14}, 64}, {{30, 6}, 163}, {{12, 4}, 101}, {{5, 35}, 0}, {{35, 35}, 255}};
    for (const auto &c : cases) {
        TKnobL k;
        k.SetPosition(c.expected == 0 ? 7 : 0);
        press(&k, c.p);
        release(&k, c.p);
        EXPECT_EQ(k.Position(), c.expected) << c.p.x() << "," << c.p.y();
    }
}

TEST(Knob, PressOnTheCentreLinesChangesNothing)
{
    TKnobL k;
    k.SetPosition(77);
    for (QPoint p : {QPoint(20, 5), QPoint(20, 35), QPoint(5, 20), QPoint(35, 20)}) {
        press(&k, p);
        release(&k, p);
        EXPECT_EQ(k.Position(), 77);
    }
}

TEST(Knob, PressAndMoveAlwaysReportReleaseOnlyOnChange)
{
    TKnobL k;
    QSignalSpy spy(&k, &TKnobL::OnChange);
    press(&k, QPoint(20, 5)); // on a centre line: no change, still reported
    EXPECT_EQ(spy.count(), 1);
    move(&k, QPoint(20, 5), Qt::LeftButton);
    EXPECT_EQ(spy.count(), 2);
    release(&k, QPoint(20, 5));
    EXPECT_EQ(spy.count(), 2);
    press(&k, QPoint(8, 14));
    EXPECT_EQ(spy.count(), 3);
    release(&k, QPoint(30, 6)); // the release moves the value: the owner hears it
    EXPECT_EQ(k.Position(), 163);
    EXPECT_EQ(spy.count(), 4);
    press(&k, QPoint(8, 14), Qt::RightButton);
    EXPECT_EQ(spy.count(), 4) << "other buttons do nothing";
}

TEST(Knob, ParamsKeepMaxAboveMin)
{
    TKnobL k;
    k.SetMin(20);
    k.SetMax(10);
    EXPECT_EQ(k.Max(), 21);
    EXPECT_EQ(k.Position(), 20);
    TKnobL j;
    j.SetPosition(-5);
    EXPECT_EQ(j.Position(), 0);
    j.SetParams(500, 0, 0);
    EXPECT_EQ(j.Max(), 1);
    EXPECT_EQ(j.Position(), 1);
}

TEST(Knob, PointerSweep)
{
    TKnobL k;
    const QPointF c = k.knobCentre();
    k.SetPosition(0); // down-left
    EXPECT_LT(k.pointerEnd().x(), c.x());
    EXPECT_GT(k.pointerEnd().y(), c.y());
    k.SetPosition(255); // down-right
    EXPECT_GT(k.pointerEnd().x(), c.x());
    EXPECT_GT(k.pointerEnd().y(), c.y());
    k.SetPosition(128); // about straight up
    EXPECT_NEAR(k.pointerEnd().x(), c.x(), 1.0);
    EXPECT_LT(k.pointerEnd().y(), c.y());
}
