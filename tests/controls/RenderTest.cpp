// Every control painted to a PNG in the test's image folder, with pixel checks at points
// computed from the drawing rules.
#include "ControlsTestSupport.h"
#include "controls/Buttons.h"
#include "controls/ColourMixer.h"
#include "controls/Faders.h"
#include "controls/Knob.h"
#include "controls/PanTiltPad.h"
#include "controls/Panels.h"
#include "controls/SpinEdits.h"
#include "controls/Tracker.h"

#include <gtest/gtest.h>

namespace {

QImage render(QWidget &w, const char *file)
{
    const QImage img = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(img.save(ctest::imageDir() + QLatin1Char('/') + QLatin1String(file)));
    return img;
}

QColor at(const QImage &img, int x, int y)
{
    return QColor(img.pixel(x, y));
}

} // namespace

TEST(Render, Faders)
{
    QWidget parent; // a parent without a colour of its own: the track takes the face colour
    TSliderh h(&parent);
    h.SetPosition(128);
    h.SetColor(clRed);
    QImage img = render(h, "TSliderh.png");
    // k = 133 * 128 / 255 = 66; knob 19 wide.
    EXPECT_EQ(at(img, 66 + 4, 40 / 4), QColor(255, 0, 0));
    EXPECT_EQ(at(img, 152 / 16 + 2, 40 / 2), QColor(0, 0, 0));
    EXPECT_EQ(at(img, 150, 2), toQColor(clBtnFace));

    TSlider v(&parent);
    v.SetPosition(128);
    v.SetColor(clRed);
    img = render(v, "TSlider.png");
    // Edge from the top: 133 * (255 - 128) / 255 = 66.
    EXPECT_EQ(at(img, 40 / 4, 66 + 4), QColor(255, 0, 0));
    EXPECT_EQ(at(img, 40 / 2, 152 / 16 + 2), QColor(0, 0, 0));

    TSliderh fine(&parent);
    fine.Set16bit(true);
    fine.SetPosition(64);
    fine.SetFinePosition(192);
    fine.SetColor(clLime);
    img = render(fine, "TSliderh16bit.png");
    const int k = 133 * 64 / 255;
    EXPECT_EQ(at(img, k + 4, 26 / 4), QColor(0, 255, 0));
    const int fk = 133 * 192 / 255;
    EXPECT_EQ(at(img, fk + 19 / 2, 26 + 13 / 2), QColor(0, 255, 0)) << "fine knob middle";
    EXPECT_EQ(at(img, 12, 13), QColor(0, 0, 0)) << "coarse slot";
    EXPECT_EQ(at(img, 12, 26 + 7), QColor(0, 0, 0)) << "fine slot";

    TSlider vfine(&parent);
    vfine.Set16bit(true);
    vfine.SetFinePosition(50);
    render(vfine, "TSlider16bit.png");
}

TEST(Render, Tracker)
{
    TTracker t;
    t.SetFirstColor(clWhite);
    t.SetSecondColor(clNavy);
    t.SetPosition(200);
    t.SetColor(clRed);
    const QImage img = render(t, "TTracker.png");
    EXPECT_EQ(at(img, 2, 10), QColor(255, 255, 255));
    EXPECT_EQ(at(img, 2, 10 + 172 / 2), QColor(0, 0, 128));
    EXPECT_EQ(at(img, 36, 10 + 172 / 2), QColor(0, 0, 128));
    EXPECT_EQ(at(img, 2, 10 + 2), at(img, 2, 10 + 170)) << "mirrored about the middle";
    EXPECT_EQ(at(img, 19, 3), QColor(0, 0, 0)) << "top step button";
    // Knob top: 10 + 55 * 150 / 255 = 42; its ellipse holds the knob colour.
    EXPECT_EQ(at(img, 19, 42 + 172 / 16 - 2), QColor(255, 0, 0));
    TTracker flat;
    flat.SetFirstColor(clTeal);
    flat.SetSecondColor(clTeal);
    const QImage f = render(flat, "TTrackerFlat.png");
    for (int y = 10; y < 182; y += 7) {
        if (QColor(f.pixel(1, y)) != toQColor(clBtnShadow) && QColor(f.pixel(1, y)) != toQColor(clBtnHighlight)) {
            EXPECT_EQ(at(f, 1, y), toQColor(clTeal)) << y;
        }
    }
}

TEST(Render, Knob)
{
    TKnobL k;
    k.SetPosition(200);
    k.Brush().SetColor(clYellow);
    k.resize(60, 60);
    const QImage img = render(k, "TKnobL.png");
    EXPECT_EQ(at(img, 20, 14), QColor(255, 255, 0));
    EXPECT_EQ(at(img, 0, 0), at(img, 59, 0)) << "background in the corners";
}

TEST(Render, Buttons)
{
    TCBTC c;
    c.SetColor(clBlue);
    QImage img = render(c, "TCBTC.png");
    EXPECT_EQ(at(img, 15, 15), QColor(0, 0, 255));
    EXPECT_EQ(at(img, 0, 0), QColor(255, 255, 255)) << "raised bevel";
    c.SetDown(true);
    img = render(c, "TCBTCDown.png");
    EXPECT_EQ(at(img, 0, 0), QColor(0, 0, 0)) << "sunken bevel";

    TCBT t;
    t.SetColor(clAqua);
    t.SetCaption("Go");
    img = render(t, "TCBT.png");
    EXPECT_EQ(at(img, 4, 4), QColor(0, 255, 255));

    TBlinkButton b;
    b.SetCaption("B/O");
    b.SetColor(clRed);
    b.SetDown(true);
    b.OnTimer();
    img = render(b, "TBlinkButton.png");
    EXPECT_EQ(at(img, 4, 4), toQColor(clBtnHighlight));

    TMultiButton m;
    m.resize(31, 31);
    m.SetColor(clLime);
    m.SetCaption("M");
    img = render(m, "TMultiButton.png");
    EXPECT_EQ(at(img, 8, 15), QColor(0, 255, 0));

    TColobut cb;
    cb.SetColor(clFuchsia);
    img = render(cb, "TColobut.png");
    EXPECT_EQ(at(img, 5, 5), QColor(255, 0, 255));
}

TEST(Render, ColourMixer)
{
    TCMY m;
    m.SetCyan(255);
    m.SetMagenta(100);
    const QImage img = render(m, "TCMY.png");
    EXPECT_EQ(at(img, 72, 72), QColor(255, 255, 255)) << "disc centre";
    // Straight below the centre the hue is 0 (cyan and magenta): the red and green fall.
    const QColor below = at(img, 72, 72 + 60);
    EXPECT_LT(below.red(), 40);
    EXPECT_LT(below.green(), 40);
    EXPECT_GT(below.blue(), 240);
    EXPECT_EQ(at(img, 2, 2), toQColor(clBtnFace));
    EXPECT_EQ(at(img, 0, 5), toQColor(clBtnShadow)) << "sunken border";
    // Sample swatch: red 0, green 155 * ... of the picked colour, at (m, m).
    EXPECT_EQ(fromQColor(at(img, 4 + 8, 4 + 8)), m.sampleColor());
}

TEST(Render, PanTiltPad)
{
    TFieldXY f;
    f.SetX(100);
    f.SetY(40);
    f.SetColor(clRed);
    QImage img = render(f, "TFieldXY.png");
    EXPECT_EQ(at(img, 110, 50), QColor(255, 0, 0));
    EXPECT_EQ(at(img, 200, 200), QColor(255, 255, 255)) << "field";
    EXPECT_EQ(at(img, 26, 200), toQColor(clInactiveCaption)) << "grid line";
    EXPECT_EQ(at(img, 138, 200), QColor(0, 0, 0)) << "centre cross";
    EXPECT_EQ(at(img, 4, 100), toQColor(clBtnShadow)) << "frame";

    TFieldXY wide;
    wide.Set16bit(true);
    wide.SetDelta(16);
    wide.SetX(200);
    wide.SetY(200);
    img = render(wide, "TFieldXY16bit.png");
    EXPECT_EQ(img.size(), QSize(276, 288));
    EXPECT_EQ(at(img, 210, 210), toQColor(clBtnFace));
    EXPECT_EQ(at(img, 10 + 4 * 25 + 5, 276 + 5), QColor(255, 255, 255)) << "cell of Delta 16";
    EXPECT_EQ(at(img, 10 + 25 + 5, 276 + 5), QColor(0, 0, 0));

    TFieldXY half;
    half.SetTwoSize(true);
    half.Set16bit(true);
    half.SetX(128);
    half.SetY(128);
    half.SetColor(clBlue);
    img = render(half, "TFieldXYHalf.png");
    EXPECT_EQ(at(img, (128 + 10) / 2, (128 + 10) / 2), QColor(0, 0, 255));
}

TEST(Render, SpinEdits)
{
    TTimeEdit t;
    t.SetValue(12345);
    t.resize(60, 24);
    render(t, "TTimeEdit.png");
    TFloatEdit f;
    f.SetValue(2.0f);
    f.resize(60, 24);
    render(f, "TFloatEdit.png");
}

TEST(Render, Panels)
{
    TPlayPanel p;
    p.resize(120, 80);
    p.SetColorSecond(clNavy);
    p.SetDivision(2);
    QImage img = render(p, "TPlayPanel.png");
    // h = 80, two band pairs of 20 rows each way: Color at 0 and 40, ColorSecond near 20 and 60.
    auto near = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) < 30 && std::abs(a.green() - b.green()) < 30 && std::abs(a.blue() - b.blue()) < 30;
    };
    EXPECT_TRUE(near(at(img, 60, 1), QColor(255, 255, 255)));
    EXPECT_TRUE(near(at(img, 60, 41), QColor(255, 255, 255)));
    EXPECT_TRUE(near(at(img, 60, 20), QColor(0, 0, 128)));
    EXPECT_TRUE(near(at(img, 60, 59), QColor(0, 0, 128)));

    QWidget parent;
    parent.resize(300, 120);
    TFrameMy f(&parent);
    f.SetCaption("Tempo");
    f.resize(150, 60);
    img = render(f, "TFrameMy.png");
    EXPECT_EQ(at(img, 150 - 25, 10), toQColor(clActiveCaption)) << "title bar";
    EXPECT_EQ(at(img, 10, 40), toQColor(clBtnFace));
}
