// The hardware and synchronisation window through the real main window: its pages at the
// screen sizes it must fit, the interface test without hardware, the beat source choice,
// the close rule, the refusals of "Programming", the "Full Control" hook and the download
// window.
#include "transport/ProgramWindowTest.h"

#include "app/EngineHold.h"
#include "app/InterfaceBinding.h"
#include "live/HardwareSettings.h"
#include "live/StandAloneImage.h"
#include "live/TAudSynch.h"
#include "live/TDOWNLOAD.h"
#include "ui_AudSynch.h"
#include "ui_MainForm.h"
#include "ui_DOWNLOAD.h"

#include <QAction>
#include <QKeyEvent>
#include <QTest>

#include <cstdlib>

namespace {

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

} // namespace
