#include "SampleProfiles.h"

#include "fixtures/ProfileFile.h"
#include "fixtures/TProfileStreams.h"
#include "fixtures/TPanelWidgets.h"

#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QRadioButton>
#include <QPushButton>
#include <QCheckBox>
#include "controls/PanTiltPad.h"
#include "controls/SpinEdits.h"

namespace {

// Pictures drawn with plain shapes only, so that they come out the same everywhere.
QImage Picture(int w, int h, QRgb background, const std::function<void(QPainter &)> &draw)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(background);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    draw(p);
    return img;
}

std::string SavePicture(const QImage &img, const std::string &folder, const std::string &name)
{
    const std::string path = folder + "/" + name;
    img.save(QString::fromStdString(path), "BMP");
    return path;
}

void LoadIcon(EditorDriver &d, const std::string &path)
{
    platform::QueueAnswers({path});
    d.ed.DevIconLoadClick();
    platform::QueueAnswers({});
}

void ChooseColour(EditorDriver &d, int kind, unsigned colour)
{
    platform::QueueAnswers({std::to_string(colour)});
    d.Panel(kind).color->click();
    platform::QueueAnswers({});
}

void Fader(EditorDriver &d, int channel1, int x, int y)
{
    d.Insert(ElSlider, x, y);
    EditorDriver::Type(d.Panel(ElSlider).channel[0], QString::number(channel1));
}

void Label(EditorDriver &d, const char *caption, int x, int y, int width = 48)
{
    d.Insert(ElLabel, x, y);
    EditorDriver::Type(d.Panel(ElLabel).caption, QString::fromLatin1(caption));
    d.Geometry(ElLabel, x, y, width, 13);
}

void BuildDimmer(EditorDriver &d, const std::string &)
{
    d.Count(1);
    d.Channel(0, FnDimmer, -1, 0);
    d.Smooth(0, true);
    d.Name(QStringLiteral("Dimmer"));
    d.ed.FixtureKind->setCurrentIndex(KindFixedSpot);
    Fader(d, 1, 16, 24);
}

void BuildRgb(EditorDriver &d, const std::string &folder)
{
    d.Count(4);
    d.Channel(0, FnDimmer, -1, 0);
    for (int ch = 1; ch <= 3; ++ch)
        d.Channel(ch, FnColor);
    for (int ch = 0; ch < 4; ++ch)
        d.Smooth(ch, true);
    d.Name(QStringLiteral("RGB Colour"));
    d.ed.FixtureKind->setCurrentIndex(KindFixedSpot);
    LoadIcon(d, SavePicture(Picture(32, 32, qRgb(0, 0, 0),
                                    [](QPainter &p) {
                                        p.setPen(Qt::NoPen);
                                        p.setBrush(QColor(255, 0, 0));
                                        p.drawEllipse(3, 3, 16, 16);
                                        p.setBrush(QColor(0, 255, 0));
                                        p.drawEllipse(13, 3, 16, 16);
                                        p.setBrush(QColor(0, 0, 255));
                                        p.drawEllipse(8, 13, 16, 16);
                                    }),
                            folder, "rgb.bmp"));
    Fader(d, 1, 16, 24);
    d.Insert(ElCMY, 72, 24);
    auto &mixer = d.Panel(ElCMY);
    EditorDriver::Type(mixer.channel[0], QStringLiteral("2"));
    EditorDriver::Type(mixer.channel[1], QStringLiteral("3"));
    EditorDriver::Type(mixer.channel[2], QStringLiteral("4"));
    mixer.rgb->click();
}

void BuildMovingHead(EditorDriver &d, const std::string &folder)
{
    d.Count(8);
    const int functions[8] = {FnPan, FnPanFine, FnTilt, FnTiltFine, FnColor, FnGobo, FnDimmer, FnFocus};
    for (int ch = 0; ch < 8; ++ch)
        d.Channel(ch, functions[ch], ch == 0 || ch == 2 ? 128 : -1, ch == 6 ? 0 : -1);
    for (int ch = 0; ch < 8; ++ch)
        d.Smooth(ch, ch != 4 && ch != 5);
    d.Name(QStringLiteral("Moving Head"));
    d.ed.Beam->SetValue(15.0f);
    d.ed.PanAng->SetValue(540.0f);
    d.ed.TiltAng->SetValue(270.0f);
    d.ed.FixtureKind->setCurrentIndex(KindMovingHead);
    LoadIcon(d, SavePicture(Picture(32, 32, qRgb(192, 192, 192),
                                    [](QPainter &p) {
                                        p.setPen(Qt::black);
                                        p.setBrush(QColor(64, 64, 64));
                                        p.drawRect(6, 24, 20, 6);
                                        p.drawRect(8, 8, 3, 16);
                                        p.drawRect(21, 8, 3, 16);
                                        p.setBrush(QColor(128, 128, 128));
                                        p.drawEllipse(10, 4, 12, 14);
                                        p.setBrush(QColor(255, 255, 255));
                                        p.drawEllipse(13, 8, 6, 6);
                                    }),
                            folder, "head.bmp"));

    // The 16-bit pan/tilt pad. The sample's file names the ball colour silver, which the
    // editor keeps as read; the designer offers no colour for a pad, so it is set here.
    static_cast<TFieldXY *>(d.Insert(ElFieldXY, 8, 24))->SetColor(clSilver);
    auto &pad = d.Panel(ElFieldXY);
    pad.halfSize->click();
    pad.bit16->click();
    EditorDriver::Type(pad.channel[0], QStringLiteral("1"));
    EditorDriver::Type(pad.channel[1], QStringLiteral("3"));
    EditorDriver::Type(pad.channel[2], QStringLiteral("2"));
    EditorDriver::Type(pad.channel[3], QStringLiteral("4"));

    // Colour wheel.
    d.Insert(ElGroupBox, 8, 200);
    EditorDriver::Type(d.Panel(ElGroupBox).caption, QStringLiteral("Colour"));
    const unsigned colours[4] = {0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000};
    for (int i = 0; i < 4; ++i) {
        d.Insert(ElColorButton, 16 + 40 * i, 224);
        EditorDriver::Type(d.Panel(ElColorButton).channel[0], QStringLiteral("5"));
        EditorDriver::Type(d.Panel(ElColorButton).value, QString::number(32 * i));
        ChooseColour(d, ElColorButton, colours[i]);
    }

    // Gobo wheel: an open beam, a dot and a ring.
    d.Click(4, 400);   // empty space: the next box goes onto the surface
    d.Insert(ElGroupBox, 8, 312);
    EditorDriver::Type(d.Panel(ElGroupBox).caption, QStringLiteral("Gobo"));
    const std::function<void(QPainter &)> gobos[3] = {
        [](QPainter &p) { p.setBrush(Qt::white); p.drawEllipse(2, 2, 19, 19); },
        [](QPainter &p) { p.setBrush(Qt::white); p.drawEllipse(8, 8, 7, 7); },
        [](QPainter &p) {
            p.setPen(QPen(Qt::white, 3));
            p.drawEllipse(4, 4, 15, 15);
        }};
    for (int i = 0; i < 3; ++i) {
        d.Insert(ElImageButton, 16 + 48 * i, 336);
        auto &b = d.Panel(ElImageButton);
        EditorDriver::Type(b.channel[0], QStringLiteral("6"));
        EditorDriver::Type(b.value, QString::number(64 * i));
        d.Geometry(ElImageButton, 8 + 48 * i, 20, 40, 40);
        platform::QueueAnswers({SavePicture(Picture(24, 24, qRgb(0, 0, 0), gobos[i]), folder,
                                            "gobo" + std::to_string(i) + ".bmp")});
        b.image->click();
        platform::QueueAnswers({});
    }

    // Dimmer and focus faders with their labels, beside the pad: the panel fits the
    // main window's fixture column.
    d.Click(4, 400);
    Label(d, "Dimmer", 148, 24);
    Fader(d, 7, 152, 40);
    Label(d, "Focus", 200, 24, 36);
    Fader(d, 8, 196, 40);
}

} // namespace

const std::vector<SampleProfile> &SampleProfiles()
{
    static const std::vector<SampleProfile> samples = {
        {"Dimmer.dsp", "Dimmer"}, {"MovingHead.dsp", "Moving Head"}, {"RGBColour.dsp", "RGB Colour"}};
    return samples;
}

void BuildSample(EditorDriver &d, const std::string &file, const std::string &folder)
{
    d.ed.New1Click();
    if (file == "Dimmer.dsp")
        BuildDimmer(d, folder);
    else if (file == "RGBColour.dsp")
        BuildRgb(d, folder);
    else
        BuildMovingHead(d, folder);
}

QByteArray MakeSample(const std::string &file, const std::string &folder)
{
    EditorDriver d;
    BuildSample(d, file, folder);
    const std::string first = folder + "/first-" + file;
    d.Save(first);
    // Loading starts with New, which asks about the elements just made.
    platform::QueueAnswers({"No"});
    d.Load(first);
    const std::string path = folder + "/" + file;
    d.Save(path);
    QByteArray bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}
