#include "ControlsTestSupport.h"
#include "controls/PanTiltPad.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace ctest;

// Scale 1: a value v puts the ball's centre at v + 10; a pointer p maps to p - 10.
TEST(PanTiltPad, LeftPressMovesTheBallAndClearsFineBytes)
{
    FakePointer pointer;
    TFieldXY f;
    EXPECT_EQ(f.size(), QSize(276, 276));
    f.Set16bit(true);
    f.SetFineX(77);
    f.SetFineY(9);
    QSignalSpy spy(&f, &TFieldXY::OnChange);
    press(&f, QPoint(100, 50));
    EXPECT_EQ(f.GetX(), 90);
    EXPECT_EQ(f.GetY(), 40);
    EXPECT_EQ(f.GetFineX(), 0);
    EXPECT_EQ(f.GetFineY(), 0);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(f.cursor().shape(), Qt::BlankCursor);
    release(&f, QPoint(100, 50));
    EXPECT_EQ(f.cursor().shape(), Qt::CrossCursor);

    TFieldXY mirrored;
    mirrored.SetInverted(true);
    press(&mirrored, QPoint(100, 50));
    EXPECT_EQ(mirrored.GetFineX(), 255);
    EXPECT_EQ(mirrored.GetX(), 255 - 90);
    release(&mirrored, QPoint(100, 50));
}

TEST(PanTiltPad, ModifiersPinThePointer)
{
    FakePointer pointer;
    TFieldXY f;
    f.SetX(50);
    f.SetY(60);
    press(&f, QPoint(200, 200), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(f.GetX(), 50) << "Shift keeps X";
    EXPECT_EQ(f.GetY(), 190);
    EXPECT_EQ(pointer.pos, f.mapToGlobal(QPoint(61, 200)));
    release(&f, QPoint(200, 200));
    QSignalSpy spy(&f, &TFieldXY::OnChange);
    press(&f, QPoint(30, 30), Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(pointer.pos, f.mapToGlobal(f.ballCentre()));
    release(&f, QPoint(30, 30));
}

TEST(PanTiltPad, DragAtTheEndsStops)
{
    FakePointer pointer;
    TFieldXY f;
    f.Set16bit(true);
    press(&f, QPoint(265, 100));
    ASSERT_EQ(f.GetX(), 255);
    move(&f, f.ballCentre() + QPoint(5, 0), Qt::LeftButton);
    EXPECT_EQ(f.GetX(), 255);
    EXPECT_EQ(f.GetFineX(), 255);
    EXPECT_EQ(pointer.pos, f.mapToGlobal(f.ballCentre()));
    release(&f, QPoint(265, 100));
    press(&f, QPoint(10, 100));
    move(&f, f.ballCentre() - QPoint(5, 0), Qt::LeftButton);
    EXPECT_EQ(f.GetX(), 0);
    EXPECT_EQ(f.GetFineX(), 0);
    release(&f, QPoint(10, 100));
}

TEST(PanTiltPad, OnePixelIsDeltaFineUnits)
{
    FakePointer pointer;
    TFieldXY f;
    f.Set16bit(true);
    f.SetDelta(1);
    press(&f, QPoint(110, 110));
    ASSERT_EQ(f.GetX(), 100);
    for (int i = 0; i < 255; ++i)
        move(&f, f.ballCentre() + QPoint(1, 0), Qt::LeftButton);
    EXPECT_EQ(f.GetX(), 100);
    EXPECT_EQ(f.GetFineX(), 255);
    move(&f, f.ballCentre() + QPoint(1, 0), Qt::LeftButton);
    EXPECT_EQ(f.GetX(), 101);
    EXPECT_EQ(f.GetFineX(), 0);
    EXPECT_EQ(f.GetY(), 100);
    // Moving back borrows from the coarse byte.
    move(&f, f.ballCentre() - QPoint(1, 0), Qt::LeftButton);
    EXPECT_EQ(f.GetX(), 100);
    EXPECT_EQ(f.GetFineX(), 255);
    EXPECT_EQ(f.readoutX(), QStringLiteral("100,255  "));
    release(&f, QPoint(110, 110));
}

TEST(PanTiltPad, LargeMovesSaturateAtTheTop)
{
    FakePointer pointer;
    TFieldXY f;
    f.Set16bit(true);
    press(&f, QPoint(260, 100)); // X 250
    move(&f, f.ballCentre() + QPoint(40, 0), Qt::LeftButton);
    EXPECT_EQ(f.GetX(), 255);
    EXPECT_EQ(f.GetFineX(), 255);
    release(&f, QPoint(260, 100));
}

TEST(PanTiltPad, StepStripChoosesDelta)
{
    TFieldXY f;
    f.Set16bit(true);
    EXPECT_EQ(f.size(), QSize(276, 288));
    f.SetDelta(16);
    QSignalSpy spy(&f, &TFieldXY::OnChange);
    press(&f, QPoint(266, 280));
    EXPECT_EQ(f.Delta(), 256);
    f.SetDelta(1);
    press(&f, QPoint(115, 280));
    EXPECT_EQ(f.Delta(), 16);
    press(&f, QPoint(5, 280));
    EXPECT_EQ(f.Delta(), 16) << "left of the cells";
    EXPECT_EQ(spy.count(), 0);
    f.Set16bit(false);
    EXPECT_EQ(f.Delta(), 256);
    f.SetDelta(16);
    EXPECT_EQ(f.Delta(), 256);
}

TEST(PanTiltPad, HalfSize)
{
    TFieldXY f;
    f.SetTwoSize(true);
    EXPECT_EQ(f.size(), QSize(138, 138));
    f.Set16bit(true);
    EXPECT_EQ(f.size(), QSize(138, 150));
    press(&f, QPoint(69, 69));
    EXPECT_EQ(f.GetX(), 2 * (69 - 5));
    release(&f, QPoint(69, 69));
}

TEST(PanTiltPad, RightPressSteps)
{
    FakePointer pointer;
    TFieldXY f;
    f.grab();
    QSignalSpy spy(&f, &TFieldXY::OnChange);
    f.SetX(100);
    f.SetY(100);
    press(&f, QPoint(200, 115), Qt::RightButton); // farther along X, to the right
    EXPECT_EQ(f.GetX(), 101);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(f.repeatInterval(), 500);
    pointer.pos = f.mapToGlobal(QPoint(111, 20)); // now above the ball
    f.OnTimer();
    EXPECT_EQ(f.repeatInterval(), 100);
    EXPECT_EQ(f.GetY(), 99);
    release(&f, QPoint(111, 20), Qt::RightButton);
    EXPECT_EQ(f.repeatInterval(), -1);

    f.Set16bit(true);
    f.SetX(255);
    f.SetFineX(255);
    press(&f, QPoint(275, 110), Qt::RightButton);
    release(&f, QPoint(275, 110), Qt::RightButton);
    EXPECT_EQ(f.GetX(), 255);
    EXPECT_EQ(f.GetFineX(), 255);
    f.SetX(10);
    f.SetFineX(0);
    press(&f, QPoint(0, f.ballCentre().y()), Qt::RightButton); // left: one Delta down
    release(&f, QPoint(0, f.ballCentre().y()), Qt::RightButton);
    EXPECT_EQ(f.GetX(), 9);
    EXPECT_EQ(f.GetFineX(), 0);
}

TEST(PanTiltPad, HoverShowsValueAndDirection)
{
    TFieldXY f;
    f.SetX(128);
    f.SetY(128);
    move(&f, QPoint(250, 140));
    EXPECT_EQ(f.direction(), 1);
    EXPECT_EQ(f.readoutX(), QStringLiteral("240 "));
    move(&f, QPoint(140, 20));
    EXPECT_EQ(f.direction(), 4);
    release(&f, QPoint(140, 20), Qt::RightButton);
    EXPECT_EQ(f.direction(), 0);
}

TEST(PanTiltPad, MirroringOfSetters)
{
    TFieldXY f;
    f.SetInverted(true);
    f.SetX(10);
    f.SetFineY(300);
    EXPECT_EQ(f.GetX(), 10);
    EXPECT_EQ(f.GetFineY(), 255);
    EXPECT_EQ(f.ballCentre(), QPoint(245 + 10, 0 + 10)) << "stored values are not converted";
}
