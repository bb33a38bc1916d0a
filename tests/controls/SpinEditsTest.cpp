#include "ControlsTestSupport.h"
#include "controls/SpinEdits.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace ctest;

TEST(SpinEdits, MaskTranslation)
{
    EXPECT_EQ(TSpinMaskEdit::translateMask(QStringLiteral("!90:00;1;")), QStringLiteral("09:99;_"));
    EXPECT_EQ(TSpinMaskEdit::translateMask(QStringLiteral("!900.0;1; ")), QStringLiteral("009.9; "));
    EXPECT_EQ(TSpinMaskEdit::translateMask(QStringLiteral("900;1;")), QStringLiteral("099;_"));
}

TEST(SpinEdits, TimeEditShowsSecondsAndHundredths)
{
    TTimeEdit e;
    EXPECT_EQ(e.shownText(), QStringLiteral("00:05"));
    EXPECT_EQ(e.GetValue(), 50);
    e.SetValue(20);
    EXPECT_EQ(e.shownText(), QStringLiteral("00:05"));
    e.SetValue(12345);
    EXPECT_EQ(e.shownText(), QStringLiteral("12:34"));
    e.setText(QStringLiteral("03:00"));
    EXPECT_EQ(e.GetValue(), 3000);
    e.SetValue(50000);
    EXPECT_EQ(e.GetValue(), 30000);
    // Without bounds the value is not clamped, only limited to what the mask can show.
    e.MinValue = e.MaxValue = 0;
    e.SetValue(45670);
    EXPECT_EQ(e.GetValue(), 45670);
    e.SetValue(200000);
    EXPECT_EQ(e.shownText(), QStringLiteral("99:99"));
}

TEST(SpinEdits, FloatEditReadsBlanksAndRejectsJunk)
{
    TFloatEdit e;
    EXPECT_NEAR(e.GetValue(), 1.0f, 1e-6);
    e.SetValue(2.0f);
    EXPECT_EQ(e.shownText(), QStringLiteral("  2.0"));
    EXPECT_NEAR(e.GetValue(), 2.0f, 1e-6);
    e.SetValue(123.5f);
    EXPECT_EQ(e.shownText(), QStringLiteral("123.5"));
    EXPECT_NEAR(e.GetValue(), 123.5f, 1e-4);
    e.setText(QString());
    EXPECT_EQ(e.GetValue(), 0.0f);
    e.SetValue(5000.0f);
    EXPECT_NEAR(e.GetValue(), 999.0f, 1e-4);
}

// A digit deleted by the operator leaves the mask's blank in its place; the value reads
// past it instead of giving up.
TEST(SpinEdits, DeletedDigitsReadAsBlanks)
{
    TTimeEdit t;
    t.SetValue(3000);
    t.setCursorPosition(0);
    QTest::keyClick(&t, Qt::Key_Delete);
    EXPECT_NE(t.shownText(), QStringLiteral("03:00"));
    EXPECT_EQ(t.GetValue(), 3000);
    t.SetValue(12340);
    t.setCursorPosition(3);
    QTest::keyClick(&t, Qt::Key_Delete);   // the first digit of the hundredths
    EXPECT_EQ(t.GetValue(), 12040);

    TFloatEdit f;
    f.SetValue(123.5f);
    f.setCursorPosition(0);
    QTest::keyClick(&f, Qt::Key_Delete);
    EXPECT_NEAR(f.GetValue(), 23.5f, 1e-4);
}

TEST(SpinEdits, KeysAndSpinButtons)
{
    TTimeEdit e;
    QSignalSpy changes(&e, &TSpinMaskEdit::OnChange);
    QTest::keyClick(&e, Qt::Key_Up);
    EXPECT_EQ(e.GetValue(), 100);
    QTest::keyClick(&e, Qt::Key_PageUp);
    EXPECT_EQ(e.GetValue(), 1100);
    QTest::keyClick(&e, Qt::Key_Down);
    EXPECT_EQ(e.GetValue(), 1050);
    QTest::keyClick(&e, Qt::Key_PageDown);
    EXPECT_EQ(e.GetValue(), 50);
    EXPECT_GE(changes.count(), 4);
    e.setReadOnly(true);
    QTest::keyClick(&e, Qt::Key_Up);
    EXPECT_EQ(e.GetValue(), 50);

    TFloatEdit f;
    TTimerSpeedButton *up = f.Button()->UpButton();
    press(up, QPoint(3, 3));
    EXPECT_NEAR(f.GetValue(), 1.5f, 1e-6) << "steps on the press";
    EXPECT_EQ(up->repeatInterval(), 500);
    up->TimerExpired();
    EXPECT_EQ(up->repeatInterval(), 250);
    EXPECT_NEAR(f.GetValue(), 2.0f, 1e-6);
    release(up, QPoint(3, 3));
    EXPECT_NEAR(f.GetValue(), 2.0f, 1e-6) << "the release does not step again";
    up->TimerExpired();
    EXPECT_NEAR(f.GetValue(), 2.0f, 1e-6);
    press(f.Button()->DownButton(), QPoint(3, 3));
    release(f.Button()->DownButton(), QPoint(3, 3));
    EXPECT_NEAR(f.GetValue(), 1.5f, 1e-6);
}

TEST(SpinEdits, PasteAndCutDoNothing)
{
    TTimeEdit e;
    e.selectAll();
    QTest::keySequence(&e, QKeySequence::Cut);
    EXPECT_EQ(e.shownText(), QStringLiteral("00:05"));
}

TEST(SpinEdits, SpinPairLayout)
{
    TTimeEdit e;
    e.show();
    e.resize(48, 30);
    TTimeButton *b = e.Button();
    EXPECT_EQ(b->width(), 13);
    EXPECT_EQ(b->geometry().right(), 48 - 3);
    const int h = b->height();
    EXPECT_EQ(b->UpButton()->height(), h / 2 + 1);
    EXPECT_EQ(b->DownButton()->y(), h / 2);
    EXPECT_EQ(b->DownButton()->geometry().bottom(), h - 1);
    e.resize(48, 2);
    EXPECT_GT(e.height(), 2) << "never below the font's minimum";
}
