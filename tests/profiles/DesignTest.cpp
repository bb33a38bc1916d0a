// The fixture control panel: building from a profile, channel roles and colour values,
// mirroring without feedback, the element and header handlers, fade tables, lazy panels,
// paging and the joystick ball.
#include "ProfileBuilder.h"

#include "LevelPipeline.h"
#include "PatchLoader.h"
#include "controls/Buttons.h"
#include "controls/ColourMixer.h"
#include "controls/Faders.h"
#include "controls/Knob.h"
#include "controls/PanTiltPad.h"
#include "fixtures/TDesign.h"

#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

namespace {

using Calls = std::vector<std::pair<int, int>>;

class DesignTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TDesign::ChannelSink() = [this](int c, int v) { calls.emplace_back(c, v); };
        DesignCount = 1;
        std::fill(std::begin(FadeKind), std::end(FadeKind), FadeJump);
        std::fill(std::begin(FineChannel), std::end(FineChannel), std::int16_t(0));
    }
    void TearDown() override { TDesign::ChannelSink() = nullptr; }

    // Loads the builder's profile into a new panel (elements kept).
    std::unique_ptr<TDesign> Panel(ProfileBuilder &b, int start = -1, bool rebuild = true)
    {
        auto d = std::make_unique<TDesign>();
        d->LoadForm(b.Save(), start, rebuild);
        return d;
    }

    template <class C>
    static C *El(TDesign &d, std::size_t i)
    {
        return static_cast<C *>(d.Elements.at(i).control.data());
    }

    Calls calls;
};

TEST_F(DesignTest, NewPanelHasNoChannels)
{
    TDesign d;
    int pan = 0, tilt = 0, pf = 0, tf = 0;
    EXPECT_EQ(d.GetPanTilt(pan, tilt), -1);
    EXPECT_EQ(pan, -1);
    EXPECT_FALSE(d.GetFinePanTilt(pf, tf));
    EXPECT_EQ(d.ColorChannel, -1);
    EXPECT_EQ(d.GoboChannel, -1);
    for (int v : d.ColorValues)
        EXPECT_EQ(v, -1);
    EXPECT_TRUE(d.MainPanel->isHidden());
    EXPECT_TRUE(d.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(d.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(DesignTest, WrongMagicBuildsNothing)
{
    ProfileBuilder b;
    b.Channel(0, FnPan, true);
    b.Add<TKnobL>(ElKnob, 0, 0, 0);
    QByteArray bytes = b.Bytes();
    bytes[2] = 'X';
    BoxCapture boxes;
    TDesign d;
    FadeKind[100] = 9;
    d.LoadForm(b.Save(bytes, "bad.dsp"), 100, false);
    EXPECT_EQ(boxes.Lines(), (std::vector<std::string>{"DSP|Not DSP Format !!!"}));
    EXPECT_TRUE(d.Elements.empty());
    EXPECT_EQ(d.PanChannel, -1);
    EXPECT_EQ(d.ChannelCount, 0);
    EXPECT_EQ(FadeKind[100], 9);
}

TEST_F(DesignTest, CutHeaderAndMissingFileBuildNothing)
{
    ProfileBuilder b;
    b.Channel(0, FnPan, true);
    BoxCapture boxes;
    TDesign d;
    d.LoadForm(b.Save(b.Bytes().left(120), "cut.dsp"), 0, true);
    d.LoadForm("/nonexistent/none.dsp", 0, true);
    const auto lines = boxes.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "DSP|Format ERROR!!!");
    EXPECT_EQ(lines[1], "DSP|Cannot open file \"/nonexistent/none.dsp\"");
    EXPECT_EQ(d.PanChannel, -1);
    EXPECT_EQ(d.ChannelCount, 0);
}

TEST_F(DesignTest, FormatErrorKeepsEarlierElementsAndThePanelSize)
{
    ProfileBuilder b;
    b.Channel(0, FnPan);
    b.Channel(1, FnTilt);
    b.Add<TKnobL>(ElKnob, 10, 10, MakeTag(0));
    b.Add<TKnobL>(ElKnob, 500, 10, MakeTag(1));
    QByteArray bytes = b.Bytes() + "XXXX1234";
    BoxCapture boxes;
    TDesign d;
    d.MainPanel->resize(123, 45);
    d.LoadForm(b.Save(bytes, "err.dsp"), -1, true);
    EXPECT_EQ(boxes.Lines(), (std::vector<std::string>{"DSP|Format ERROR!!!"}));
    EXPECT_EQ(d.Elements.size(), 2u);
    EXPECT_EQ(d.MainPanel->size(), QSize(123, 45));
    // The channel roles are still derived.
    EXPECT_EQ(d.PanChannel, 0);
    EXPECT_EQ(d.TiltChannel, 1);
}

TEST_F(DesignTest, ChannelRolesLastUsedWinsAndBitsAboveTheCountDrop)
{
    ProfileBuilder b;
    b.header.count = 6;
    b.Channel(0, FnPan);
    b.Channel(2, FnPan);
    b.header.functions[3] = FnPan; // not used
    b.Channel(1, FnTilt);
    b.Channel(4, FnGobo);
    b.Channel(5, FnPanFine);       // a pan fine without a tilt fine
    b.Channel(7, FnPan);           // at or above the count
    auto d = Panel(b);
    EXPECT_EQ(d->ChannelCount, 6);
    EXPECT_EQ(d->UsedMask, 0x37u);
    int pan, tilt, pf, tf;
    EXPECT_EQ(d->GetPanTilt(pan, tilt), 1);
    EXPECT_EQ(pan, 2);
    EXPECT_EQ(d->GoboChannel, 4);
    EXPECT_FALSE(d->GetFinePanTilt(pf, tf));
    EXPECT_EQ(pf, -1);
    EXPECT_EQ(tf, -1);
    EXPECT_EQ(d->DeviceName, "Test Fixture");
    EXPECT_EQ(d->ProfilePath.substr(d->ProfilePath.size() - 8), "test.dsp");
}

TEST_F(DesignTest, ColourValuesFromColourAndImageButtons)
{
    ProfileBuilder b;
    b.Channel(3, FnColor);
    b.Add<TCBTC>(ElColorButton, 0, 0, MakeTag(3, 255))->SetColor(0xFFFFFF);
    b.Add<TCBTC>(ElColorButton, 40, 0, MakeTag(3, 77))->SetColor(0x808080);
    b.Add<TCBTC>(ElColorButton, 80, 0, MakeTag(2, 66))->SetColor(0x0000FF); // another channel
    b.Add<TSpeedButton>(ElImageButton, 120, 0, MakeTag(3, 90, 8));
    b.Add<TSpeedButton>(ElImageButton, 160, 0, MakeTag(3, 91, 0));
    b.Add<TCBTC>(ElColorButton, 200, 0, MakeTag(3, 12))->SetColor(0x0000FF);
    auto d = Panel(b);
    EXPECT_EQ(d->ColorChannel, 3);
    EXPECT_EQ(d->ColorValues, (std::array<int, 8>{-1, 255, 12, -1, -1, -1, -1, 90}));
    // One marker for the colour channel, under its first button.
    ASSERT_TRUE(d->Markers[3]);
    EXPECT_FALSE(d->Markers[2]); // channel 2 is not used
    EXPECT_EQ(d->Markers[3]->geometry(), QRect(31 / 2 - 5, 31 - 12, 10, 12));
    EXPECT_TRUE(d->Markers[3]->isHidden());
    EXPECT_FALSE(d->Markers[3]->isEnabled());
}

TEST_F(DesignTest, SetParamMovesElementsWithoutRaisingActions)
{
    ProfileBuilder b;
    b.Channel(0, FnPan);
    b.Channel(1, FnTilt);
    b.Channel(2, FnColor);
    b.Channel(3, FnDimmer);
    b.Channel(4, FnFocus);
    b.Channel(5, FnGobo);
    b.Add<TFieldXY>(ElFieldXY, 0, 0, MakeTag(0, 1));
    b.Add<TCBTC>(ElColorButton, 300, 0, MakeTag(0, 10));     // on the pad's channel
    b.Add<TCBTC>(ElColorButton, 340, 0, MakeTag(2, 200))->SetColor(clWhite);
    b.Add<TCBTC>(ElColorButton, 380, 0, MakeTag(2, 100))->SetColor(clRed);
    auto *knob = b.Add<TKnobL>(ElKnob, 300, 50, MakeTag(3));
    (void)knob;
    auto *fader = b.Add<TSliderh>(ElSliderh, 300, 120, MakeTag(4, 5));
    fader->resize(150, 40);
    fader->Set16bit(true);
    b.Add<TCMY>(ElCMY, 300, 200, MakeTag(5, 6, 7));
    auto d = Panel(b);

    d->SetParam(0, 10);
    EXPECT_EQ(El<TFieldXY>(*d, 0)->GetX(), 10);
    EXPECT_TRUE(d->Markers[0]->isHidden()); // the pad returned before the buttons
    d->SetParam(1, 44);
    EXPECT_EQ(El<TFieldXY>(*d, 0)->GetY(), 44);

    d->SetParam(2, 100);
    const QWidget *red = d->Elements[3].control;
    EXPECT_FALSE(d->Markers[2]->isHidden());
    EXPECT_EQ(d->Markers[2]->pos(), QPoint(red->x() + red->width() / 2 - 5, red->y() + red->height() - 12));
    d->SetParam(2, 17);
    EXPECT_TRUE(d->Markers[2]->isHidden());

    d->SetParam(3, 130);
    EXPECT_EQ(El<TKnobL>(*d, 4)->Position(), 130);
    d->SetParam(4, 66);
    EXPECT_EQ(El<TSliderh>(*d, 5)->Position(), 66);
    // Channel 5 is the fader's fine channel and the mixer's cyan: both follow.
    d->SetParam(5, 33);
    EXPECT_EQ(El<TSliderh>(*d, 5)->FinePosition(), 33);
    EXPECT_EQ(El<TCMY>(*d, 6)->GetCyan(), 33);
    // Channels outside the fixture move nothing.
    d->SetParam(40, 1);
    d->SetParam(-1, 1);
    EXPECT_TRUE(calls.empty());
}

TEST_F(DesignTest, ElementActionsReachTheChannelSink)
{
    ProfileBuilder b;
    b.header.count = 6;
    for (int i = 0; i < 5; ++i)
        b.Channel(i, FnDimmer, false, i == 1 ? -1 : 10 + i, i == 2 ? -1 : 100 + i);
    b.header.usedMask &= ~(1u << 3); // channel 3 not used
    auto *cbtc = b.Add<TCBTC>(ElColorButton, 0, 0, MakeTag(2, 40));
    (void)cbtc;
    auto *fader = b.Add<TSlider>(ElSlider, 40, 0, MakeTag(0, 1));
    fader->resize(40, 200);
    fader->Set16bit(true);
    auto *multi = b.Add<TMultiButton>(ElMultiButton, 100, 0, 0);
    multi->SetChannels(0, 5);
    multi->SetChannels(1, -1);
    multi->SetChannels(2, 255);
    multi->SetChannels(3, 9);   // channel not used
    multi->SetChannels(4, 300); // no level
    multi->SetChannels(6, 7);   // above the count
    b.Add<TCBTC>(ElColorButton, 200, 0, MakeTag(200, 1)); // a channel byte beyond the fixture
    b.Add<TCMY>(ElCMY, 200, 50, MakeTag(0, 1, 2));
    b.Add<TFieldXY>(ElFieldXY, 0, 220, MakeTag(0, 1, 2, 4))->Set16bit(true);
    auto d = Panel(b);
    d->show();
    d->ShowMainPanel();

    QTest::mouseClick(d->Elements[0].control, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(calls, (Calls{{2, 40}}));

    calls.clear();
    auto *f = El<TSlider>(*d, 1);
    f->SetPosition(120);
    f->SetFinePosition(9);
    emit f->OnChange(f);
    EXPECT_EQ(calls, (Calls{{0, 120}, {1, 9}}));

    calls.clear();
    emit El<TMultiButton>(*d, 2)->OnClick(d->Elements[2].control);
    EXPECT_EQ(calls, (Calls{{0, 5}, {2, 255}}));

    calls.clear();
    emit El<TCBTC>(*d, 3)->OnClick(d->Elements[3].control);
    EXPECT_TRUE(calls.empty());

    auto *m = El<TCMY>(*d, 4);
    m->SetCyan(1);
    m->SetMagenta(2);
    m->SetYellow(3);
    emit m->OnChange(m);
    EXPECT_EQ(calls, (Calls{{0, 1}, {1, 2}, {2, 3}}));

    calls.clear();
    auto *pad = El<TFieldXY>(*d, 5);
    pad->SetX(50);
    pad->SetY(60);
    pad->SetFineX(70);
    pad->SetFineY(80);
    emit pad->OnChange(pad);
    EXPECT_EQ(calls, (Calls{{0, 50}, {1, 60}, {2, 70}, {4, 80}}));

    calls.clear();
    QTest::mouseClick(d->BlackOut, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(calls, (Calls{{0, 100}, {1, 101}, {4, 104}}));
    calls.clear();
    QTest::mouseClick(d->Default, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(calls, (Calls{{0, 10}, {2, 12}, {4, 14}}));
    calls.clear();
    QTest::mouseClick(d->Zero, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(calls, (Calls{{0, 0}, {1, 0}, {2, 0}, {4, 0}}));
}

TEST_F(DesignTest, DraggingASixteenBitFaderSendsCoarseAndFine)
{
    ProfileBuilder b;
    b.Channel(0, FnDimmer);
    b.Channel(1, FnDimmer);
    auto *fader = b.Add<TSliderh>(ElSliderh, 0, 0, MakeTag(0, 1));
    fader->resize(200, 40);
    fader->Set16bit(true);
    auto d = Panel(b);
    d->show();
    d->ShowMainPanel();
    QWidget *w = d->Elements[0].control;
    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(5, 12));
    QTest::mouseMove(w, QPoint(100, 12));
    QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(100, 12));
    ASSERT_FALSE(calls.empty());
    // Every change sends the coarse channel, then the fine one.
    ASSERT_EQ(calls.size() % 2, 0u);
    for (std::size_t i = 0; i < calls.size(); i += 2) {
        EXPECT_EQ(calls[i].first, 0);
        EXPECT_EQ(calls[i + 1].first, 1);
    }
    EXPECT_EQ(calls[calls.size() - 2].second, El<TSliderh>(*d, 0)->Position());
}

TEST_F(DesignTest, FirstLoadFillsTheFadeTables)
{
    ProfileBuilder b;
    b.header.count = 10;
    b.Channel(0, FnPan, true);
    b.Channel(1, FnPanFine, true);
    b.Channel(2, FnTilt, true);
    b.Channel(3, FnTiltFine, false); // not smooth: tilt fades 8-bit
    b.Channel(4, FnDimmer, true);
    b.Channel(5, FnDimmer, false);
    b.Channel(6, FnDimmer, true);
    b.Channel(7, FnFocus, true);
    b.Channel(8, FnDimmer, true);
    b.Channel(9, FnDimmer, true);
    auto *off = b.Add<TSlider>(ElSlider, 0, 0, MakeTag(4, 5)); // 16-bit off, fine not smooth
    off->resize(30, 100);
    auto *same = b.Add<TSlider>(ElSlider, 40, 0, MakeTag(6, 6)); // fine = coarse
    same->resize(30, 100);
    same->Set16bit(true);
    auto *pairFader = b.Add<TSliderh>(ElSliderh, 80, 0, MakeTag(8, 9));
    pairFader->resize(100, 40);
    pairFader->Set16bit(true);
    b.Add<TSliderh>(ElSliderh, 80, 50, MakeTag(200, 201))->Set16bit(true); // outside the fixture
    b.Channel(3, FnTiltFine, false);
    b.Add<TCBTC>(ElColorButton, 200, 0, MakeTag(4, 1));

    TDesign d;
    d.LoadForm(b.Save(), 100, false);
    EXPECT_EQ(FadeKind[100], Fade16Coarse);
    EXPECT_EQ(FadeKind[101], Fade16Fine);
    EXPECT_EQ(FineChannel[100], 101);
    EXPECT_EQ(FadeKind[102], Fade8Bit);
    EXPECT_EQ(FadeKind[103], FadeJump);
    EXPECT_EQ(FadeKind[104], Fade8Bit);
    EXPECT_EQ(FadeKind[105], FadeJump);
    EXPECT_EQ(FadeKind[106], Fade8Bit);
    EXPECT_EQ(FadeKind[107], Fade8Bit);
    EXPECT_EQ(FadeKind[108], Fade16Coarse);
    EXPECT_EQ(FadeKind[109], Fade16Fine);
    EXPECT_EQ(FineChannel[108], 109);
    EXPECT_EQ(FadeKind[300], FadeJump);
    EXPECT_EQ(FadeKind[99], FadeJump);
    EXPECT_EQ(FadeKind[110], FadeJump);
    // The elements are freed again, markers with them; the roles stay.
    EXPECT_TRUE(d.Elements.empty());
    for (const auto &m : d.Markers)
        EXPECT_FALSE(m);
    EXPECT_EQ(d.MainPanel->findChildren<QWidget *>().size(), 1); // the ball
    EXPECT_EQ(d.PanChannel, 0);

    // With the rebuild flag the tables stay as they are.
    std::fill(std::begin(FadeKind), std::end(FadeKind), FadeJump);
    d.LoadForm(d.ProfilePath, 100, true);
    EXPECT_EQ(FadeKind[100], FadeJump);
    EXPECT_EQ(d.Elements.size(), 5u);

    // A fixture at the end of the channels never writes past channel 1023.
    TDesign e;
    e.LoadForm(d.ProfilePath, 1020, false);
    EXPECT_EQ(FadeKind[1020], Fade16Coarse);
    EXPECT_EQ(FadeKind[1021], Fade16Fine);
    EXPECT_EQ(FadeKind[1022], Fade8Bit);
}

TEST_F(DesignTest, LazyPanelsFreeOnHideAndRebuildOnShow)
{
    ProfileBuilder b;
    b.Channel(0, FnPan);
    b.Channel(1, FnTilt);
    b.Channel(2, FnColor);
    auto *group = b.Add<TGroupBox>(ElGroupBox, 0, 0, 0);
    group->resize(300, 300);
    b.Add<TFieldXY>(ElFieldXY, 10, 15, MakeTag(0, 1), group)->SetTwoSize(true);
    b.Add<TCBTC>(ElColorButton, 200, 15, MakeTag(2, 5), group);
    const std::string path = b.Save();

    DesignCount = 2;
    QWidget host;
    host.resize(600, 400);
    TDesign d;
    d.LoadForm(path, 0, false);
    d.MainPanel->setParent(&host);
    d.PanelHead->setParent(&host);
    host.show();
    EXPECT_TRUE(d.Elements.empty());

    d.ShowMainPanel();
    ASSERT_EQ(d.Elements.size(), 3u);
    EXPECT_FALSE(d.MainPanel->isHidden());
    EXPECT_FALSE(d.PanelHead->isHidden());
    EXPECT_TRUE(d.Markers[2]);
    // The ball sits on the pad's parent.
    EXPECT_EQ(d.Ball->parentWidget(), d.Elements[0].control.data());
    EXPECT_FALSE(d.Ball->isHidden());
    QPointer<TGroupBox> shownGroup = El<TGroupBox>(d, 0);

    d.HideMainPanel();
    EXPECT_TRUE(d.Elements.empty());
    EXPECT_FALSE(shownGroup);
    for (const auto &m : d.Markers)
        EXPECT_FALSE(m);
    EXPECT_TRUE(d.MainPanel->isHidden());
    ASSERT_NE(d.Ball, nullptr);
    EXPECT_EQ(d.Ball->parentWidget(), d.MainPanel.data());

    d.ShowMainPanel();
    EXPECT_EQ(d.Elements.size(), 3u);
    d.SetParam(2, 5);
    EXPECT_FALSE(d.Markers[2]->isHidden());

    // With one panel, hiding keeps the elements.
    DesignCount = 1;
    d.HideMainPanel();
    EXPECT_EQ(d.Elements.size(), 3u);
    d.ShowMainPanel();
    EXPECT_EQ(d.Elements.size(), 3u);
}

TEST_F(DesignTest, PagingMovesTheSurfaceByHostWidths)
{
    ProfileBuilder b;
    b.Channel(0, FnDimmer);
    QWidget host;
    host.resize(300, 200);
    TDesign d;
    d.LoadForm(b.Save(), -1, true);
    d.MainPanel->setParent(&host);
    auto run = [&](int width, int clicks) {
        d.MainPanel->setGeometry(0, 0, width, 100);
        d.PanelRL->setText(QStringLiteral("<<"));
        std::vector<std::pair<int, QString>> out;
        for (int i = 0; i < clicks; ++i) {
            d.PanelRLMouseUp();
            out.emplace_back(d.MainPanel->x(), d.PanelRL->text());
        }
        return out;
    };
    using Steps = std::vector<std::pair<int, QString>>;
    const QString left = QStringLiteral("<<"), right = QStringLiteral(">>");
    EXPECT_EQ(run(250, 1), (Steps{{0, left}}));
    EXPECT_EQ(run(900, 3), (Steps{{-300, left}, {-600, left}, {-600, right}}));
    Steps back;
    for (int i = 0; i < 3; ++i) {
        d.PanelRLMouseUp();
        back.emplace_back(d.MainPanel->x(), d.PanelRL->text());
    }
    EXPECT_EQ(back, (Steps{{-300, right}, {0, right}, {0, left}}));
    EXPECT_EQ(run(750, 2), (Steps{{-300, left}, {-450, right}}));

    // A release on the caption panel pages too.
    d.MainPanel->setGeometry(0, 0, 900, 100);
    d.PanelRL->setText(left);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(d.PanelRL, &release);
    EXPECT_EQ(d.MainPanel->x(), -300);
}

TEST_F(DesignTest, BallFollowsTheJoystickOnThePanTiltPad)
{
    ProfileBuilder b;
    b.Channel(0, FnPan);
    b.Channel(1, FnTilt);
    b.Add<TFieldXY>(ElFieldXY, 300, 10, MakeTag(1, 0)); // wrong way round: not the pad
    b.Add<TFieldXY>(ElFieldXY, 7, 9, MakeTag(0, 1))->SetTwoSize(true);
    auto d = Panel(b);
    ASSERT_EQ(d->Elements[1].control->width(), 138);
    d->SetBall(50, 40);
    EXPECT_EQ(d->Ball->pos(), QPoint(7 + 26, 9 + 21));
    d->SetBall(-3, 5);
    EXPECT_EQ(d->Ball->pos(), QPoint(7 - 1 + 1, 9 + 2 + 1)); // -3 / 2 truncates to -1
    El<TFieldXY>(*d, 1)->SetTwoSize(false);
    d->SetBall(50, 40);
    EXPECT_EQ(d->Ball->pos(), QPoint(7 + 56, 9 + 46));

    // Without a tilt channel nothing moves.
    ProfileBuilder c;
    c.Channel(0, FnPan);
    c.Add<TFieldXY>(ElFieldXY, 7, 9, MakeTag(0, 1));
    auto e = Panel(c);
    const QPoint before = e->Ball->pos();
    e->SetBall(50, 40);
    EXPECT_EQ(e->Ball->pos(), before);
}

TEST_F(DesignTest, PanelIsSizedToItsElementsAndDrawsThem)
{
    ProfileBuilder b;
    b.header.name = "Grab";
    b.Channel(0, FnPan, true);
    b.Channel(1, FnTilt, true);
    b.Channel(2, FnColor);
    b.Channel(3, FnDimmer, true);
    b.Channel(4, FnGobo);
    b.Channel(5, FnDimmer);
    b.Channel(6, FnDimmer);
    b.Channel(7, FnDimmer);
    b.Add<TFieldXY>(ElFieldXY, 4, 4, MakeTag(0, 1))->SetTwoSize(true);
    auto *label = b.Add<TLabel>(ElLabel, 150, 4, 0);
    label->SetCaption("Dimmer");
    label->resize(60, 14);
    auto *fader = b.Add<TSlider>(ElSlider, 150, 20, MakeTag(3));
    fader->resize(30, 150);
    b.Add<TKnobL>(ElKnob, 190, 20, MakeTag(4))->resize(50, 50);
    auto *cmy = b.Add<TCMY>(ElCMY, 250, 20, MakeTag(5, 6, 7));
    cmy->resize(84, 72);
    auto *group = b.Add<TGroupBox>(ElGroupBox, 4, 180, 0);
    group->resize(330, 60);
    group->SetCaption("Colour");
    const TColor colours[] = {clWhite, clRed, clLime, clBlue, clYellow};
    for (int i = 0; i < 5; ++i)
        b.Add<TCBTC>(ElColorButton, 8 + 36 * i, 18, MakeTag(2, 20 * (i + 1)), group)->SetColor(colours[i]);
    auto *image = b.Add<TSpeedButton>(ElImageButton, 190, 18, MakeTag(2, 120, 8), group);
    image->resize(60, 31);
    image->SetCaption("Gobo");
    auto *multi = b.Add<TMultiButton>(ElMultiButton, 260, 18, 0, group);
    multi->SetCaption("Home");

    auto d = Panel(b);
    EXPECT_EQ(d->PanelWidth, 334 + 4);
    EXPECT_EQ(d->PanelHeight, 240 + 4);
    EXPECT_EQ(d->MainPanel->size(), QSize(338, 244));
    d->resize(340, 262);
    d->PanelHead->setGeometry(0, 0, 340, 17);
    d->MainPanel->move(0, 17);
    d->show();
    d->ShowMainPanel();
    d->SetParam(2, 60);
    d->SetParam(0, 128);
    d->SetParam(1, 200);
    d->SetParam(3, 180);
    d->SetBall(60, 60);
    EXPECT_FALSE(d->Markers[2]->isHidden());
    EXPECT_EQ(d->PanelRL->geometry().right(), 340 - 2);
    const QImage shot = d->grab().toImage();
    EXPECT_EQ(shot.size(), QSize(340, 262));
    if (const char *out = std::getenv("BRTV_DESIGN_PNG"))
        shot.save(QString::fromLocal8Bit(out));
    if (const char *out = std::getenv("BRTV_DESIGN_DSP"))
        QFile::copy(QString::fromStdString(d->ProfilePath), QString::fromLocal8Bit(out));
    EXPECT_TRUE(calls.empty());
}

} // namespace
