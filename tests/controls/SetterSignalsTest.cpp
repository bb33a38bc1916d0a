// Property setters never raise a change event, so a panel mirroring levels back onto its
// controls cannot start a feedback loop.
#include "controls/Buttons.h"
#include "controls/ColourMixer.h"
#include "controls/Faders.h"
#include "controls/Knob.h"
#include "controls/PanTiltPad.h"
#include "controls/Tracker.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(SetterSignals, NoSetterEmits)
{
    int emitted = 0;
    auto count = [&emitted](QObject *) { ++emitted; };

    TSliderh h;
    TSlider v;
    for (TSliderBase *f : std::initializer_list<TSliderBase *>{&h, &v}) {
        QObject::connect(f, &TSliderBase::OnChange, count);
        f->SetMin(-5);
        f->SetMax(300);
        f->SetPosition(100);
        f->Set16bit(true);
        f->SetFinePosition(50);
        f->SetColor(clRed);
        f->SetInverted(true);
        f->SetMax(10);
        f->SetMin(20);
        f->SetAdd(3);
    }
    TTracker t;
    QObject::connect(&t, &TTracker::OnChange, count);
    t.SetMin(10);
    t.SetMax(100);
    t.SetPosition(50);
    t.SetColor(clBlue);
    t.SetFirstColor(clRed);
    t.SetSecondColor(clGreen);
    t.SetMax(5);

    TKnobL k;
    QObject::connect(&k, &TKnobL::OnChange, count);
    k.SetParams(50, 10, 60);
    k.SetMin(0);
    k.SetMax(20);
    k.SetPosition(7);
    k.Pen().SetWidth(2);
    k.Brush().SetColor(clRed);

    TCBTC c;
    TCBT b;
    TBlinkButton bl;
    for (TPaintedButton *p : std::initializer_list<TPaintedButton *>{&c, &b, &bl}) {
        QObject::connect(p, &TPaintedButton::OnClick, count);
        p->SetColor(clAqua);
        p->SetDown(true);
        p->SetDown(false);
    }
    TMultiButton m;
    QObject::connect(&m, &TSpeedButton::OnClick, count);
    m.SetColor(clRed);
    m.SetChannels(0, 4);
    m.SetGroupIndex(1);
    m.SetDown(true);

    TCMY cmy;
    QObject::connect(&cmy, &TCMY::OnChange, count);
    cmy.SetCyan(10);
    cmy.SetMagenta(20);
    cmy.SetYellow(30);
    cmy.SetRGB(true);
    cmy.SetPosition();

    TFieldXY pad;
    QObject::connect(&pad, &TFieldXY::OnChange, count);
    pad.SetX(10);
    pad.SetY(20);
    pad.SetFineX(30);
    pad.SetFineY(40);
    pad.SetPosition(1, 2);
    pad.Set16bit(true);
    pad.SetDelta(4);
    pad.SetTwoSize(true);
    pad.SetColor(clRed);
    pad.SetInverted(true);
    pad.DrawDir(2);

    EXPECT_EQ(emitted, 0);
}
