// The hardware and synchronisation window through the real main window: its pages at the
// screen sizes it must fit, the interface test without hardware, the beat source choice,
// the close rule, the refusals of "Programming", the "Full Control" hook and the download
// window.
#include "transport/ProgramWindowTest.h"

#include "app/EngineHold.h"
#include "app/InterfaceBinding.h"
#include "app/PatchLoader.h"
#include "app/SequenceEditing.h"
#include "platform/Settings.h"
#include "live/HardwareSettings.h"
#include "live/StandAloneImage.h"
#include "live/TAudSynch.h"
#include "live/TDOWNLOAD.h"
#include "ui_AudSynch.h"
#include "ui_MainForm.h"
#include "ui_DOWNLOAD.h"

#include "tests/lptlib/SimServerThread.h"

#include <QAbstractButton>
#include <QAction>
#include <QKeyEvent>
#include <QTest>

#include <cstdlib>

namespace {

using transport_test::AddSequence;

class HardwareWindowTest : public ProgramWindowTest {
protected:
    void TearDown() override
    {
        DmxInMode = 0;
        HardwareBeatInput = 0;
        ProgramWindowTest::TearDown();
    }
    Ui::TAudSynch *hw() const { return AudSynch->ui; }
    void Grab(QWidget *w, const std::string &name)
    {
        const char *bin = std::getenv("BRTV_BIN_DIR");
        const std::filesystem::path dir = std::filesystem::path(bin ? bin : ".") / "grabs";
        std::filesystem::create_directories(dir);
        EXPECT_TRUE(w->grab().save(QString::fromStdString((dir / name).string()), "PNG"));
    }
};

TEST_F(HardwareWindowTest, EveryPageAndTheDownloadWindowFit1024x768)
{
    form->findChild<QAction *>(QStringLiteral("SynchSetup"))->trigger();
    ASSERT_TRUE(AudSynch->isVisible());
    // Every panel of every page shown at once, as with a device and a compile report.
    hw()->ProgPanel->show();
    hw()->NoProgramming->show();
    hw()->Memo->show();
    hw()->Confirm->show();
    hw()->Cancel->show();
    hw()->Through->show();
    hw()->Correct->show();
    for (int i = 0; i < hw()->PageControl->count(); ++i) {
        hw()->PageControl->setCurrentIndex(i);
        AudSynch->adjustSize();
        QApplication::processEvents();
        const QSize size = AudSynch->frameGeometry().size();
        EXPECT_LE(size.width(), 1024) << i;
        EXPECT_LE(size.height(), 728) << i;
        Grab(AudSynch, "hardware-" + hw()->PageControl->currentWidget()->objectName().toStdString() + ".png");
    }
    hw()->Memo->hide();
    hw()->Confirm->hide();
    hw()->Cancel->hide();

    TDOWNLOAD download(AudSynch);
    download.show();
    QApplication::processEvents();
    EXPECT_LE(download.frameGeometry().width(), 1024);
    EXPECT_LE(download.frameGeometry().height(), 728);
    Grab(&download, "download.png");
}

TEST_F(HardwareWindowTest, WithoutHardwareTheTestBeatSourceCloseAndProgrammingAnswerAsTheOperatorExpects)
{
    form->findChild<QAction *>(QStringLiteral("SynchSetup"))->trigger();
    ASSERT_TRUE(AudSynch->isVisible());
    EXPECT_EQ(hw()->Revision->text(), "Hardware is inaccessible");

    // "TEST" with nothing attached: the demo question (Yes), then no revision.
    std::memcpy(HardwareRevision, "5.5", 4);
    platform::QueueAnswers({"Yes"});
    hw()->TEST->click();
    EXPECT_EQ(hw()->Revision->text(), "Hardware is inaccessible");
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(HardwareRevision), 4), std::string(4, '\0'));
    EXPECT_EQ(DeviceState, -1);
    EXPECT_EQ(EngineBusy, 0);
    EXPECT_NE(BoxLog().find("DMX hardware is inaccessible"), std::string::npos);

    // The beat comes from the interface or from the sound card, never both.
    hw()->PageControl->setCurrentWidget(hw()->Hardware);
    hw()->DorvIICheck->click();
    EXPECT_EQ(HardwareBeatInput, 1);
    hw()->BeatDetector->setChecked(false);
    hw()->BeatDetector->click();
    EXPECT_EQ(HardwareBeatInput, 0);
    EXPECT_FALSE(hw()->DorvIICheck->isChecked());
    hw()->DorvIICheck->click();
    EXPECT_FALSE(hw()->BeatDetector->isChecked());

    // The input mode: "Through" only with input on in mode 0.
    DmxInEnabled = 1;
    hw()->InMode0->click();
    EXPECT_FALSE(hw()->Through->isHidden());
    hw()->Through->click();
    EXPECT_EQ(DmxInThrough, 1);
    hw()->InMode1->click();
    EXPECT_EQ(DmxInMode, 1);
    EXPECT_TRUE(hw()->Through->isHidden());
    EXPECT_EQ(DmxInThrough, 0);
    DmxInEnabled = 0;

    // "Programming" refuses while a play runs, and in the remote-control input mode.
    AddSequence(2);
    Playing = 1;
    AudSynch->ProgrammingClick();
    Playing = 0;
    hw()->InMode4->click();
    AudSynch->ProgrammingClick();
    EXPECT_NE(BoxLog().find("Controller doesn't support current DMX input mode"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(root / "bin" / StandAloneImageName));
    EXPECT_EQ(EngineBusy, 0);
    EXPECT_TRUE(hw()->Memo->isHidden());

    // A compile that finds no flash: reported, engine released, only "Cancel" offered; the
    // window stays while the report is shown.
    hw()->InMode0->click();
    FlashCapacity = 0;
    AudSynch->CalculateShow();
    EXPECT_FALSE(hw()->Memo->isHidden());
    EXPECT_EQ(hw()->Memo->toPlainText().split('\n').last(), "Programming is impossible, scenes counter > 0");
    EXPECT_TRUE(hw()->Confirm->isHidden());
    EXPECT_FALSE(hw()->Cancel->isHidden());
    EXPECT_FALSE(AudSynch->close());
    EXPECT_TRUE(AudSynch->isVisible());
    hw()->Cancel->click();
    EXPECT_FALSE(std::filesystem::exists(root / "bin" / StandAloneImageName));
    EXPECT_TRUE(AudSynch->close());
    EXPECT_FALSE(AudSynch->isVisible());

    // The multi-sequence player (F8) takes "Full Control" away and gives it back.
    QAction *multi = form->findChild<QAction *>(QStringLiteral("MultiSeqPlayer"));
    EXPECT_EQ(multi->shortcut(), QKeySequence(Qt::Key_F8));
    hw()->FullControl->setChecked(true);
    multi->trigger();
    EXPECT_FALSE(hw()->FullControl->isEnabled());
    EXPECT_TRUE(hw()->SequencesMode->isChecked());
    EXPECT_EQ(MidiSettingsBytes[3], 1);
    multi->trigger();
    EXPECT_TRUE(hw()->FullControl->isEnabled());
}

TEST_F(HardwareWindowTest, StoredSettingsComeBackWithTheWindowAndDamagedOnesTakeTheDefaults)
{
    hw()->PageControl->setCurrentWidget(hw()->Other);
    hw()->EAbak->click();
    hw()->BackupMinutes->setValue(7);
    EXPECT_TRUE(form->BackupTimer->isActive());
    EXPECT_EQ(form->BackupTimer->interval(), 7 * 60000);
    hw()->DelCue->click();
    EXPECT_EQ(ConfirmOptions, 2 | 4);
    hw()->PluginPlayer->click();
    hw()->InMode3->click();
    {
        // A broken "MIDI" and an input setting that asks for the interface's beat, which
        // demo mode cannot give.
        delete AudSynch;
        platform::Settings s;
        s.WriteBinary(MainWindowKey, "MIDI", {1, 2, 3});
    }
    DmxInSettingsBytes[2] = 1;
    {
        platform::Settings s;
        std::vector<std::uint8_t> in(DmxInSettingsBytes.begin(), DmxInSettingsBytes.end());
        s.WriteBinary(MainWindowKey, "DMXIN", in);
    }
    ConfirmOptions = 0x1F;
    AudSynch = new TAudSynch;
    EXPECT_EQ(DmxInMode, 3);
    EXPECT_TRUE(hw()->InMode3->isChecked());
    EXPECT_EQ(ConfirmOptions, 2 | 4);
    EXPECT_TRUE(hw()->DelCue->isChecked());
    EXPECT_EQ(MediaPlayerOption, 1);
    EXPECT_TRUE(hw()->EAbak->isChecked());
    EXPECT_EQ(hw()->BackupMinutes->value(), 7);
    EXPECT_EQ(MidiSettingsBytes, DefaultMidiSettings);
    EXPECT_EQ(HardwareBeatInput, 0);
    EXPECT_FALSE(hw()->DorvIICheck->isChecked());
}

// The program bound to the interface simulator through lptbrtv.so, as main makes it.
class HardwareRoadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lptsim::DeviceConfig config;
        config.revision = 74;
        config.flashId = 0x28;
        Configure(config);
        sim = std::make_unique<lpttest::SimServerThread>(config);
        ASSERT_TRUE(sim->Listening());
        root = testfiles::FreshFolder("brtv-hwroad");
        log = testfiles::UseProgramFolder(root);
        const char *bin = std::getenv("BRTV_BIN_DIR");
        ASSERT_NE(bin, nullptr);
        std::filesystem::copy_file(std::filesystem::path(bin) / "lptbrtv.so", root / "bin" / "lptbrtv.so");
        setenv("BRTV_LPT_SIM", sim->SocketPath().c_str(), 1);
        ShowModified = 0;
        EngineBusy = 0;
        AccessLevel = 0;
        InterfaceKind = 0;
        WindowSeams() = WindowSeamTable{};
        Start();
    }
    void Start()
    {
        platform::QueueAnswers({"1"});   // the start dialog: New Show
        char arg0[] = "brantoval";
        char *argv[] = {arg0, nullptr};
        ASSERT_TRUE(CreateProgramWindows(1, argv));
        StopOutputTimer();
        ASSERT_EQ(DeviceState, 0);
    }
    void TearDown() override
    {
        if (MainForm)
            DestroyProgramWindows();
        CloseInterface();
        transport_test::ResetPlayState();
        unsetenv("BRTV_LPT_SIM");
        unsetenv("BRTV_BOX_LOG");
        platform::ResetAnswers();
        platform::SetProgramFolder("");
        std::filesystem::remove_all(root);
        sim.reset();
    }
    Ui::TAudSynch *hw() const { return AudSynch->ui; }
    virtual void Configure(lptsim::DeviceConfig &) {}

    std::unique_ptr<lpttest::SimServerThread> sim;
    std::filesystem::path root;
    std::string log;
};

TEST_F(HardwareRoadTest, TestCompileAndDownloadIntoTheFlashFromTheMainWindow)
{
    FreeShowTables();
    ClearFixtures();
    transport_test::AddFixtureWith(0, {0});
    FadeKind[0] = Fade8Bit;
    transport_test::AddSequence(3, 0);
    DmxOutEnabled = 1;
    DmxInEnabled = 0;

    MainForm->findChild<QAction *>(QStringLiteral("SynchSetup"))->trigger();
    ASSERT_TRUE(AudSynch->isVisible());
    hw()->PageControl->setCurrentWidget(hw()->Hardware);
    hw()->TEST->click();
    EXPECT_NE(testfiles::Read(log).find("Brantoval-1024|Test Passed\r\nHardware revision 7.4\r\nDMX Out channels: 512"),
              std::string::npos)
        << testfiles::Read(log);
    EXPECT_EQ(DeviceState, 0);
    EXPECT_EQ(EngineBusy, 0);

    hw()->PageControl->setCurrentWidget(hw()->Autonom);
    EXPECT_FALSE(hw()->ProgPanel->isHidden());
    EXPECT_EQ(hw()->FlashID->text(), "Flash ID = 28, FlashSize = 4080");
    EXPECT_FALSE(hw()->AudioStart->isHidden());
    EXPECT_EQ(FlashCapacity, 4080);

    // "Programming" holds the engine until the download: no frame goes out meanwhile.
    OutputTick();
    const std::size_t frames = sim->Frames().size();
    hw()->Programming->click();
    EXPECT_EQ(EngineBusy, 1);
    EXPECT_FALSE(hw()->Confirm->isHidden());
    EXPECT_NE(hw()->Memo->toPlainText().indexOf("Programming is possible"), -1);
    DmxOutLevels[0] = 200;
    OutputTick();
    EXPECT_EQ(sim->Frames().size(), frames);
    AudSynch->adjustSize();
    const std::string grabs = std::string(std::getenv("BRTV_BIN_DIR")) + "/grabs";
    std::filesystem::create_directories(grabs);
    AudSynch->grab().save(QString::fromStdString(grabs + "/hardware-Autonom-report.png"), "PNG");

    const std::string image = testfiles::Read(root / "bin" / StandAloneImageName);
    ASSERT_EQ(image.size(), 11u * ImageBlockSize);
    bool shown = false;
    platform::ActOnNextDialog("DOWNLOAD", [&](QDialog &d) {
        shown = true;
        EXPECT_EQ(d.windowTitle(), "PROGRAMMING");
    });
    hw()->Confirm->click();
    EXPECT_TRUE(shown);
    const auto pages = sim->FlashPages();
    ASSERT_EQ(pages.size(), 11u);
    for (std::size_t p = 0; p < pages.size(); ++p)
        EXPECT_EQ(std::string(pages[p].begin(), pages[p].end()), image.substr(p * ImageBlockSize, ImageBlockSize)) << p;
    EXPECT_NE(testfiles::Read(log).find("Programming ended successfully"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(root / "bin" / StandAloneImageName));
    EXPECT_EQ(DeviceState, 0);
    EXPECT_EQ(EngineBusy, 0);
    OutputTick();
    EXPECT_GT(sim->Frames().size(), frames);
    EXPECT_TRUE(hw()->Memo->isHidden());

    // The input mode is kept across a restart of the windows.
    hw()->PageControl->setCurrentWidget(hw()->Hardware);
    hw()->InMode2->click();
    DestroyProgramWindows();
    DmxInMode = 0;
    Start();
    EXPECT_EQ(DmxInMode, 2);
    EXPECT_TRUE(AudSynch->ui->InMode2->isChecked());
}

// A desk on the interface's input whose faders stand still.
class StillInputTest : public HardwareRoadTest {
protected:
    void Configure(lptsim::DeviceConfig &config) override
    {
        config.input[0] = 11;
        config.input[5] = 66;
        config.input[7] = 77;
    }
    int LastSent(std::size_t channel)
    {
        const auto frames = sim->Frames();
        for (auto f = frames.rbegin(); f != frames.rend(); ++f)
            if (f->size() > channel)
                return (*f)[channel];
        return 0;
    }
};

TEST_F(StillInputTest, ChoosingAnInputModeLaysDownAnInputThatHoldsStill)
{
    FreeShowTables();
    ClearFixtures();
    transport_test::AddFixtureWith(0, {0});
    BuildChannelMaps();
    DmxOutEnabled = 1;

    MainForm->findChild<QAction *>(QStringLiteral("SynchSetup"))->trigger();
    hw()->PageControl->setCurrentWidget(hw()->Hardware);
    hw()->InMode0->click();
    auto *in = MainForm->findChild<QAbstractButton *>(QStringLiteral("EnaDMXin"));
    ASSERT_NE(in, nullptr);
    in->click();
    ASSERT_EQ(DmxInEnabled, 1);
    EXPECT_EQ(hw()->DmxInState->text(), "DMX IN: Enabled");
    OutputTick();
    OutputTick();
    EXPECT_EQ(DmxInPrev[5], 66);        // taken over for the recorder
    EXPECT_EQ(DmxOutLevels[5], 0);      // and nothing on the output in this mode

    // The input has been taken over once already; choosing "DMX OUT1" still lays it onto
    // the channels no fixture uses, without the desk moving a fader.
    hw()->InMode1->click();
    OutputTick();
    EXPECT_EQ(LastSent(5), 66);
    EXPECT_EQ(LastSent(7), 77);
    EXPECT_EQ(LastSent(0), 0);          // the fixture's channel stays with the players

    // Input off, the channel cleared, input on again: the input is laid down anew.
    in->click();
    ASSERT_EQ(DmxInEnabled, 0);
    {
        HoldEngine hold;
        DmxOutLevels[5] = 0;
    }
    OutputTick();
    EXPECT_EQ(LastSent(5), 0);
    in->click();
    OutputTick();
    EXPECT_EQ(LastSent(5), 66);
    EXPECT_EQ(LastSent(0), 0);
}

} // namespace
