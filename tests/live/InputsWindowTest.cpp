// Remote inputs through the real main window: the Audio page's capture from a WAV file
// stepping a beat sequence, the MIDI page with a stand-in device, the DMX IN assignment
// reached by "Assign >>" and kept in the show, and the windows' size.
#include "live/BeatDetector.h"
#include "live/HardwareSettings.h"
#include "live/InputFunctionNames.h"
#include "live/MidiInput.h"
#include "live/TAudSynch.h"
#include "live/TDMXINf.h"
#include "ui_AudSynch.h"
#include "ui_MainForm.h"
#include "ui_DMXINf.h"

#include "app/StartupState.h"
#include "platform/MidiIn.h"
#include "platform/Settings.h"
#include "platform/WaveIn.h"

#include "fixtures/ShowFileTestSupport.h"
#include "live/WaveFiles.h"
#include "transport/ProgramWindowTest.h"

#include <alsa/asoundlib.h>

#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstring>
#include <thread>

namespace {

QColor LampColour(QWidget *lamp)
{
    return lamp ? lamp->palette().color(QPalette::Window) : QColor();
}

QWidget *MainLamp()
{
    return MainForm->findChild<QWidget *>(QStringLiteral("BeatLamp"));
}

void Grab(QWidget &w, const char *name)
{
    if (const char *dir = std::getenv("BRTV_GRAB_DIR"))
        w.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QString::fromLatin1(name)));
}

snd_seq_event_t NoteOn(int channel, int note, int velocity)
{
    snd_seq_event_t ev{};
    snd_seq_ev_set_noteon(&ev, channel, note, velocity);
    return ev;
}

class InputsProgramTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        platform::SetFakeWaveInDevices({{"Line In", {{44100, 16}, {11025, 8}}}, {"Old card", {{11025, 8}}}});
        platform::SetFakeMidiDevices({"Keyboard:Port 1", "Sequencer:Out"}, {1});
        ProgramWindowTest::SetUp();
        ASSERT_NE(AudSynch, nullptr);
        a = AudSynch->ui;
    }
    void TearDown() override
    {
        ProgramWindowTest::TearDown();
        platform::SetWaveInFile("", false);
        platform::UseSystemWaveInDevices();
        platform::UseSystemMidiDevices();
    }
    // Creates the program's windows again, as a new start does, with `between` run
    // while none exists.
    void Restart(const std::function<void()> &between)
    {
        DestroyProgramWindows();
        between();
        platform::QueueAnswers({"Yes", "1"});
        ASSERT_TRUE(StartProgram({}));
        a = AudSynch->ui;
    }
    Ui::TAudSynch *a = nullptr;
};

} // namespace

TEST_F(InputsProgramTest, StartsAndStopsWithInputsOnAndNoDevices)
{
    Restart([] {
        platform::SetFakeWaveInDevices({});
        platform::SetFakeMidiDevices({});
        platform::Settings s;
        s.WriteBinary(MainWindowKey, "AUDIO", {1, 0, 1, 32, 50, 5, 65, 1});
        s.WriteBinary(MainWindowKey, "MIDI", {1, 0, 15, 0, 1, 0, 32, 0});
    });
    EXPECT_FALSE(a->MidiEnabled->isChecked());
    EXPECT_EQ(MidiInputOn, 0);
    EXPECT_TRUE(a->BeatDetector->isChecked());   // kept for a machine that has a card
    EXPECT_EQ(BoxLog().find("This device"), std::string::npos);
    Tick(3);
    DestroyProgramWindows();
    platform::Settings s;
    EXPECT_EQ(s.ReadBinary(MainWindowKey, "MIDI"), (std::vector<std::uint8_t>{0, 0, 15, 0, 1, 0, 32, 0}));
    EXPECT_EQ(s.ReadBinary(MainWindowKey, "AUDIO"), (std::vector<std::uint8_t>{1, 0, 1, 32, 50, 5, 65, 1}));
}

TEST_F(InputsProgramTest, BeatsFromTheCaptureStepABeatSequenceAndLightBothLamps)
{
    // A device without 44.1 kHz 16-bit refuses format 0.
    a->AudioDevices->setCurrentIndex(1);
    a->Edit5->setValue(0);
    a->BeatDetector->click();
    EXPECT_NE(BoxLog().find("Brantoval-1024|This device can't support necessary mode"), std::string::npos);
    a->BeatDetector->click();

    const std::string wav = (root / "clicks.wav").string();
    wave_test::Write(wav, 44100, 16, wave_test::Clicks(44100, 16, 4, 8, 120, 100, 16000));
    platform::SetWaveInFile(wav, false);
    a->AGC->click();                 // off: the level follows the file alone
    EXPECT_FALSE(a->DepthBox->isVisible() && a->DepthBox->isVisibleTo(AudSynch));
    a->AudioDevices->setCurrentIndex(0);
    a->BeatDetector->click();
    EXPECT_EQ(Audio.enabled.load(), 1);

    const int seq = transport_test::AddSequence(3, SeqFlagCycle, 2);
    form->SelectSequence(seq);
    form->Play1Click();
    ASSERT_TRUE(Playing.load());
    Tick();
    AudSynch->show();
    int steps = 0, greenBoth = 0, scene = PlayScene, buffers = 0;
    while (platform::StepWaveIn()) {
        platform::DeliverPostedMessages();
        if (++buffers == 2) {   // inside the first click: the waveform, then the history again
            a->Detector->click();
            Grab(*a->AudioForm, "audsynch-waveform.png");
            a->Detector->click();
        }
        if (LampColour(a->BeatLamp) == QColor(0, 255, 0) && LampColour(MainLamp()) == QColor(0, 255, 0))
            ++greenBoth;
        Tick();
        if (PlayScene != scene) {
            ++steps;
            scene = PlayScene;
        }
    }
    EXPECT_EQ(steps, 8);
    EXPECT_EQ(greenBoth, 8);
    EXPECT_EQ(LampColour(a->BeatLamp), QColor(0, 0, 0));
    a->PageControl->setCurrentWidget(a->Audio);
    Grab(*AudSynch, "audsynch-audio.png");

    // Stopped, a level update takes the beat off again.
    form->Play1Click();
    ASSERT_FALSE(Playing.load());
    BeatTrigger = 1;
    AudSynch->AudioAppMessage(AudioMessage, PackLevel(3, 90), AudioCodeLevel);
    EXPECT_EQ(BeatTrigger.load(), 0);
    EXPECT_EQ(LampColour(MainLamp()), QColor(0, 255, 0));
    // Stop: no buffer reaches the detector any more.
    a->Stop->click();
    EXPECT_FALSE(platform::StepWaveIn());
}

TEST_F(InputsProgramTest, MidiNoteGoesToItsSceneAndClosingNeverWaitsOnTheWindow)
{
    const int seq = transport_test::AddSequence(5);
    form->SelectSequence(seq);
    a->FullControl->click();
    a->MidiChannel->setValue(1);
    a->MidiEnabled->click();
    ASSERT_EQ(MidiInputOn, 1);
    EXPECT_EQ(a->MidiDevices->count(), 2);

    ASSERT_TRUE(platform::InjectMidiEvent(NoteOn(0, 2, 100)));
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (CurScene != 2 && std::chrono::steady_clock::now() < until) {
        platform::DeliverPostedMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(CurScene, 2);

    // The reader blocks in its send while the GUI thread closes the device.
    ASSERT_TRUE(platform::InjectMidiEvent(NoteOn(0, 4, 100)));
    while (platform::PendingMessages() == 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto start = std::chrono::steady_clock::now();
    a->MidiEnabled->click();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(MidiInputOn, 0);
    platform::DeliverPostedMessages();
    EXPECT_EQ(CurScene, 2);   // the withdrawn note did nothing

    // A busy device is refused, both when switching to it and when enabling on it.
    a->MidiEnabled->click();
    ASSERT_EQ(MidiInputOn, 1);
    a->MidiDevices->setCurrentIndex(1);
    AudSynch->MidiDevicesChange(1);
    EXPECT_NE(BoxLog().find("MIDI In Busy,\r\nSelect Another MIDI Device"), std::string::npos);
    EXPECT_FALSE(a->MidiEnabled->isChecked());
    a->MidiEnabled->click();
    EXPECT_NE(BoxLog().find("MIDI In is Busy,\r\nSelect Another MIDI Device"), std::string::npos);
    EXPECT_EQ(MidiInputOn, 0);
    // The multi-sequence player takes "Full Control" away: "Sequences" is the mode then.
    WindowSeams().audSynchFullControl(false);
    EXPECT_EQ(Midi.mode, MidiModeSequences);
    a->PageControl->setCurrentWidget(a->MIDI);
    AudSynch->show();
    Grab(*AudSynch, "audsynch-midi.png");
}

TEST_F(InputsProgramTest, AssignedPlayStopRunsFromDmxInputAndIsSavedWithTheShow)
{
    transport_test::AddSequence(2);
    form->SelectSequence(0);
    DmxInEnabled = 1;
    ASSERT_TRUE(a->Assign->isEnabled());
    platform::ActOnNextDialog("DMXINf", [&](QDialog &d) {
        auto &f = static_cast<TDMXINf &>(d);
        EXPECT_EQ(DmxInEnabled, 0);   // no input while the window is open
        EXPECT_EQ(f.ui->ListView1->topLevelItemCount(), 69);
        EXPECT_EQ(f.ui->ListView2->topLevelItemCount(), 512);
        f.DropFromFunctions(19, 0);   // "Play/Stop" onto channel 1
        f.DropFromFunctions(19, 5);
        EXPECT_EQ(f.ui->ListView2->topLevelItem(0)->text(1), QStringLiteral("Play/Stop"));
        Grab(f, "dmxinf.png");
        EXPECT_LE(f.frameGeometry().width(), 1024);
        EXPECT_LE(f.frameGeometry().height(), 728);
        QTest::mouseClick(f.ui->OK, Qt::LeftButton);
    });
    a->Assign->click();
    EXPECT_NE(BoxLog().find("Item already assigned on channel 1\r\nDrag from assigned channel"), std::string::npos);
    EXPECT_EQ(DmxInEnabled, 1);
    ASSERT_EQ(InputFunctionCount, 1);
    EXPECT_EQ(InputFunctions[0].kind, 2);

    // Cancel drops the edits.
    platform::ActOnNextDialog("DMXINf", [](QDialog &d) {
        auto &f = static_cast<TDMXINf &>(d);
        f.ClearAllClick();
        QTest::mouseClick(f.ui->Cancel, Qt::LeftButton);
    });
    a->Assign->click();
    EXPECT_EQ(InputFunctionCount, 1);
    EXPECT_EQ(InputFunctions[0].kind, 2);

    // Input mode 4: channel 1 going high starts the play.
    a->InMode4->click();
    ASSERT_EQ(DmxInMode, 4);
    DmxInLevels[0] = 200;
    Tick();
    platform::DeliverPostedMessages();
    EXPECT_TRUE(Playing.load());
    form->Play1Click();

    const std::string path = (root / "remote.d1k").string();
    platform::QueueAnswers({path});
    form->FileSaveAs();
    const Bytes bytes = ReadFileBytes(path);
    std::size_t at = 0;
    for (std::size_t i = 0; i + 8 <= bytes.size(); ++i)
        if (std::memcmp(&bytes[i], "INFN", 4) == 0)
            at = i;
    ASSERT_GT(at, 0u);
    EXPECT_EQ(bytes[at + 8], 2);
    EXPECT_EQ(bytes[at + 9], 2);
    DmxInLevels[0] = 0;
}

TEST_F(InputsProgramTest, AudioAndMidiPagesFit1024x768)
{
    for (QWidget *page : {a->Audio, a->MIDI}) {
        a->PageControl->setCurrentWidget(page);
        AudSynch->show();
        AudSynch->adjustSize();
        EXPECT_LE(AudSynch->frameGeometry().width(), 1024);
        EXPECT_LE(AudSynch->frameGeometry().height(), 728);
        const QPoint corner = page->mapTo(AudSynch, QPoint(page->width(), page->height()));
        EXPECT_LE(corner.x(), AudSynch->width());
        EXPECT_LE(corner.y(), AudSynch->height());
    }
}

// A real drag with the mouse: a function dragged from the list onto a channel row, and
// that row dragged onto another; the function list keeps its rows. The offscreen
// platform has no drag and drop: run it under a display (QT_QPA_PLATFORM=xcb).
TEST_F(InputsProgramTest, DraggingWithTheMouseAssignsAndMoves)
{
    if (QGuiApplication::platformName() == QStringLiteral("offscreen"))
        GTEST_SKIP() << "no drag and drop on the offscreen platform";
    TDMXINf f(form);
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    auto drag = [&](QTreeWidget *from, int fromRow, int toRow) {
        QWidget *src = from->viewport();
        QWidget *dst = f.ui->ListView2->viewport();
        const QPoint start = from->visualItemRect(from->topLevelItem(fromRow)).center();
        const QPoint end = f.ui->ListView2->visualItemRect(f.ui->ListView2->topLevelItem(toRow)).center();
        QWindow *win = f.windowHandle();
        const QPoint endInWindow = dst->mapTo(&f, end);
        QTimer::singleShot(30, [&] {
            QTest::mouseMove(win, endInWindow);
            QTimer::singleShot(30, [&] { QTest::mouseRelease(win, Qt::LeftButton, {}, endInWindow); });
        });
        const QPoint startInWindow = src->mapTo(&f, start);
        QTest::mousePress(win, Qt::LeftButton, {}, startInWindow);
        QTest::mouseMove(win, startInWindow + QPoint(5, 5));
        QTest::mouseMove(win, startInWindow + QPoint(30, 10));
        QTest::qWait(120);
    };
    drag(f.ui->ListView1, 17, 3);   // "BlackOut" onto channel 4
    EXPECT_EQ(f.ui->ListView2->topLevelItem(3)->text(1), QStringLiteral("BlackOut"));
    drag(f.ui->ListView2, 3, 6);    // channel 4 onto channel 7
    EXPECT_EQ(f.ui->ListView2->topLevelItem(6)->text(1), QStringLiteral("BlackOut"));
    EXPECT_EQ(f.ui->ListView2->topLevelItem(3)->text(1), QStringLiteral(" "));
    EXPECT_EQ(f.ui->ListView1->topLevelItemCount(), 69);
    EXPECT_EQ(f.ui->ListView2->topLevelItemCount(), 512);
    f.CancelClick();
}
