// The start dialog and the About box on their own, then the program started as main
// starts it, answering its start dialog.
#include "PlanShots.h"

#include "app/AboutBox.h"
#include "app/Application.h"
#include "app/LevelPipeline.h"
#include "app/MainForm.h"
#include "app/OutputEngine.h"
#include "app/PlayState.h"
#include "app/RecentFiles.h"
#include "app/ShowFile.h"
#include "app/ShowModel.h"
#include "app/StartDialog.h"
#include "app/StartupState.h"
#include "app/WindowSeams.h"
#include "controls/SpeedButton.h"
#include "fixtures/TDSPform.h"
#include "ui_AboutBox.h"
#include "ui_MainForm.h"
#include "ui_StartDialog.h"

#include "common/ProgramFolder.h"
#include "common/TestFiles.h"
#include "platform/MsgBox.h"
#include "platform/Settings.h"
#include "platform/Url.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>

namespace {

// Five recent-show items as the main window has them.
struct RecentItems {
    RecentItems()
    {
        for (int i = 0; i < 5; ++i) {
            actions[static_cast<std::size_t>(i)] = new QAction(QStringLiteral("%1 /shows/show%1.d1k").arg(i + 1), &owner);
            actions[static_cast<std::size_t>(i)]->setVisible(i != 1);
        }
    }
    QObject owner;
    std::array<QAction *, 5> actions{};
};

class StartDialogTest : public ::testing::Test {
protected:
    void SetUp() override { AccessLevel = 0; }
    void TearDown() override { AccessLevel = 0; }
    RecentItems recent;
};

} // namespace

TEST_F(StartDialogTest, ItIsABorderlessPictureOnTopWithItsCaption)
{
    TStartDialog d(nullptr, recent.actions);
    EXPECT_EQ(d.size(), QSize(560, 414));
    EXPECT_TRUE(d.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(d.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Brantoval version 5.86c"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("Brantoval-1024 Start Dialog"));
    EXPECT_EQ(d.ui->Image1->geometry(), QRect(0, 0, 560, 414));
    EXPECT_FALSE(d.ui->Image1->pixmap().isNull());
    EXPECT_EQ(d.Timer1->interval(), 50);
    EXPECT_FALSE(d.Timer1->isActive());
    for (TSpeedButton *b : {d.ui->SpeedButton1, d.ui->SpeedButton2, d.ui->SpeedButton3, d.ui->SpeedButton4})
        EXPECT_FALSE(b->isHidden()) << b->objectName().toStdString();
    d.show();
    QTest::qWait(10);
    KeepShot(&d, "start-dialog");
}

TEST_F(StartDialogTest, AccessLevelsHideNewShowAndTheProfileEditor)
{
    AccessLevel = 1;
    {
        TStartDialog d(nullptr, recent.actions);
        EXPECT_FALSE(d.ui->SpeedButton1->isHidden());
        EXPECT_TRUE(d.ui->SpeedButton4->isHidden());
    }
    AccessLevel = 2;
    TStartDialog d(nullptr, recent.actions);
    EXPECT_TRUE(d.ui->SpeedButton1->isHidden());
    EXPECT_TRUE(d.ui->SpeedButton4->isHidden());
    EXPECT_FALSE(d.ui->SpeedButton2->isHidden());
}

TEST_F(StartDialogTest, AChoiceClosesOnTheTimersFirstTickWithItsNumber)
{
    struct Case {
        const char *what;
        std::function<void(TStartDialog &)> act;
        int result;
    } cases[] = {
        {"new", [](TStartDialog &d) { QTest::mouseClick(d.ui->SpeedButton1, Qt::LeftButton); }, 1},
        {"open", [](TStartDialog &d) { QTest::mouseClick(d.ui->SpeedButton2, Qt::LeftButton); }, 2},
        {"last", [](TStartDialog &d) { QTest::mouseClick(d.ui->SpeedButton3, Qt::LeftButton); }, 6},
        {"editor", [](TStartDialog &d) { QTest::mouseClick(d.ui->SpeedButton4, Qt::LeftButton); }, 5},
        {"last item", [](TStartDialog &d) { d.LastShow1->trigger(); }, 6},
        {"recent tag 3", [](TStartDialog &d) { d.PopupItems[3]->trigger(); }, 9},
        {"exit", [](TStartDialog &d) { QTest::mouseClick(d.ui->SpeedButton6, Qt::LeftButton); }, 0},
        {"exit item", [](TStartDialog &d) { d.Exit1->trigger(); }, 0},
    };
    for (const Case &c : cases) {
        TStartDialog d(nullptr, recent.actions);
        d.show();
        c.act(d);
        EXPECT_TRUE(d.isVisible()) << c.what;   // the pressed button shows for a moment
        EXPECT_TRUE(d.Timer1->isActive()) << c.what;
        QTRY_VERIFY2(!d.isVisible(), c.what);
        EXPECT_EQ(d.result(), c.result) << c.what;
        EXPECT_EQ(d.StartChoice, c.result) << c.what;
        EXPECT_FALSE(d.Timer1->isActive()) << c.what;
    }
    // "Help" does nothing; closing otherwise gives 0.
    TStartDialog d(nullptr, recent.actions);
    d.show();
    d.Help1->trigger();
    QTest::qWait(80);
    EXPECT_TRUE(d.isVisible());
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), 0);
}

TEST_F(StartDialogTest, TheRecentMenuCopiesTheMainWindowsItems)
{
    TStartDialog d(nullptr, recent.actions);
    for (QAction *a : d.PopupItems)
        EXPECT_FALSE(a->isVisible());
    d.show();
    QTest::mousePress(d.ui->SpeedButton3, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_TRUE(d.PopupFile->isVisible());
    d.PopupFile->close();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(d.PopupItems[static_cast<std::size_t>(i)]->text(), recent.actions[static_cast<std::size_t>(i)]->text());
        EXPECT_EQ(d.PopupItems[static_cast<std::size_t>(i)]->isVisible(), i != 1) << i;
        EXPECT_EQ(d.PopupItems[static_cast<std::size_t>(i)]->data().toInt(), i);
    }
    EXPECT_EQ(d.StartChoice, 0);
}

TEST_F(StartDialogTest, DraggingThePictureMovesTheWindow)
{
    TStartDialog d(nullptr, recent.actions);
    d.show();
    d.move(100, 100);
    const QPoint before = d.pos();
    QWidget *pic = d.ui->Image1;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(50, 50), pic->mapToGlobal(QPointF(50, 50)), Qt::LeftButton,
                      Qt::LeftButton, {});
    QApplication::sendEvent(pic, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(80, 70), pic->mapToGlobal(QPointF(80, 70)), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(pic, &move);
    EXPECT_EQ(d.pos(), before + QPoint(30, 20));
}

// ---- the About box -----------------------------------------------------------------------

TEST_F(StartDialogTest, AboutBoxTextsRevisionAndOk)
{
    const std::uint8_t none[4] = {0, '.', '2', 0};
    const std::uint8_t rev[4] = {'1', '.', '2', 0};
    EXPECT_EQ(TAboutBox::VersionText(none).find("\r\n"), std::string::npos);
    const std::string two = TAboutBox::VersionText(rev);
    ASSERT_NE(two.find("\r\n"), std::string::npos);
    EXPECT_EQ(two.substr(two.size() - 4), "1.2)");

    std::memcpy(HardwareRevision, rev, 4);
    TAboutBox box;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About"));
    EXPECT_TRUE(box.ui->Version->text().endsWith(QStringLiteral("1.2)")));
    EXPECT_EQ(box.ui->Version->text().count(QLatin1Char('\n')), 1);
    for (QLabel *l : {box.ui->Comments, box.ui->Version, box.ui->Label2, box.ui->Label1})
        EXPECT_FALSE(l->text().isEmpty()) << l->objectName().toStdString();
    box.show();
    QTest::qWait(10);
    KeepShot(&box, "about-box");
    QTest::mouseClick(box.ui->OKButton, Qt::LeftButton);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), 1);
    std::memset(HardwareRevision, 0, 4);
}

TEST_F(StartDialogTest, AboutBoxHintsLinksAndHiddenPictures)
{
    TAboutBox box;
    box.show();
    const QString a = QString::fromLatin1(TAboutBox::CommentHint);
    std::vector<QString> hints;
    for (int i = 0; i < 4; ++i) {
        QTest::mouseClick(box.ui->Comments, Qt::LeftButton);
        hints.push_back(box.ui->Comments->toolTip());
    }
    EXPECT_EQ(hints[0], a);
    EXPECT_EQ(hints[1], a);
    EXPECT_NE(hints[2], a);
    EXPECT_FALSE(hints[2].isEmpty());
    EXPECT_EQ(hints[3], a);

    std::vector<std::string> opened;
    platform::SetUrlOpener([&](const std::string &url) { opened.push_back(url); });
    QTest::mouseClick(box.ui->Label2, Qt::LeftButton);
    QTest::mouseClick(box.ui->Label1, Qt::LeftButton);
    platform::SetUrlOpener(nullptr);
    EXPECT_EQ(opened, (std::vector<std::string>{TAboutBox::WebAddress, TAboutBox::MailAddress}));

    QTest::mousePress(box.ui->Image1, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 5));
    EXPECT_FALSE(box.ui->Image2->isHidden());
    EXPECT_TRUE(box.ui->Image3->isHidden());
    QTest::mouseRelease(box.ui->Image1, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 5));
    EXPECT_TRUE(box.ui->Image2->isHidden());
    QTest::mousePress(box.ui->Image1, Qt::LeftButton, Qt::ControlModifier, QPoint(5, 5));
    EXPECT_FALSE(box.ui->Image3->isHidden());
    QTest::mouseRelease(box.ui->Image1, Qt::LeftButton, Qt::ControlModifier, QPoint(5, 5));
    EXPECT_TRUE(box.ui->Image3->isHidden());
}

// ---- the program's own start -------------------------------------------------------------

namespace {

class ProgramStartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = testfiles::FreshFolder("brtv-start");
        log = testfiles::UseProgramFolder(root);
        ShowModified = 0;
        EngineBusy = 0;
        WindowSeams() = WindowSeamTable{};
    }
    void TearDown() override
    {
        WindowSeams() = WindowSeamTable{};
        if (MainForm)
            DestroyProgramWindows();
        unsetenv("BRTV_BOX_LOG");
        platform::ResetAnswers();
        platform::SetProgramFolder("");
        std::filesystem::remove_all(root);
    }
    bool Start(const std::vector<std::string> &answers)
    {
        platform::QueueAnswers(answers);
        char arg0[] = "brantoval";
        char *argv[] = {arg0, nullptr};
        const bool made = CreateProgramWindows(1, argv);
        if (made)
            StopOutputTimer();
        return made;
    }
    std::string BoxLog() const { return testfiles::Read(log); }
    std::filesystem::path root;
    std::string log;
};

} // namespace

TEST_F(ProgramStartTest, TheRealStartDialogIsShownAndItsChoiceTaken)
{
    platform::ActOnNextDialog("StartDialog", [](QDialog &dialog) {
        auto *d = dynamic_cast<TStartDialog *>(&dialog);
        ASSERT_NE(d, nullptr);
        QTest::mouseClick(d->ui->SpeedButton1, Qt::LeftButton);
    });
    ASSERT_TRUE(Start({"Yes"}));
    ASSERT_NE(MainForm, nullptr);
    EXPECT_FALSE(TerminateRequested);
    EXPECT_EQ(SequenceCount, 1);
    EXPECT_EQ(ApplicationTitle(), QStringLiteral("Brantoval-1024"));

    // Help "About..." opens the About box.
    platform::QueueAnswers({"1"});
    MainForm->ui->HelpAbout1->trigger();
    EXPECT_NE(BoxLog().find("About|(dialog)|1"), std::string::npos) << BoxLog();
}

TEST_F(ProgramStartTest, LastShowOpensTheFirstRecentShow)
{
    // A show written by a first run, named as the newest recent show.
    ASSERT_TRUE(Start({"Yes", "1"}));
    Sequences[0]->name = "FROM HISTORY";
    const std::string show = (root / "history.d1k").string();
    ASSERT_TRUE(WriteShowFile(show));
    DestroyProgramWindows();
    WindowSeams() = WindowSeamTable{};   // the first window's hooks went with it
    {
        platform::Settings reg;
        reg.WriteString(HistoryKey, "File1", show);
        reg.Flush();
    }
    ASSERT_TRUE(Start({"Yes", "6"}));
    EXPECT_EQ(ShowFileName, show);
    ASSERT_EQ(SequenceCount, 1);
    EXPECT_EQ(Sequences[0]->name, "FROM HISTORY");
}

TEST_F(ProgramStartTest, TheProfileEditorChoiceShowsTheDialogAgain)
{
    int editorRuns = 0;
    std::string editorName = "unset";
    // The program's own seam opens the editor: note what it opened and close it.
    TDSPform::ActOnNextShow([&](TDSPform &editor) {
        ++editorRuns;
        editorName = editor.windowTitle().toStdString();
        editor.close();
    });
    ASSERT_TRUE(Start({"Yes", "5", "1"}));
    EXPECT_EQ(editorRuns, 1);
    EXPECT_EQ(editorName, "Device Service Panels Designer ");   // its starting state
    std::size_t dialogs = 0;
    for (std::size_t at = BoxLog().find("Brantoval version 5.86c|(dialog)|"); at != std::string::npos;
         at = BoxLog().find("Brantoval version 5.86c|(dialog)|", at + 1))
        ++dialogs;
    EXPECT_EQ(dialogs, 2u) << BoxLog();
    EXPECT_EQ(SequenceCount, 1);
}

TEST_F(ProgramStartTest, NoChoiceEndsTheStart)
{
    EXPECT_FALSE(Start({"Yes", "0"}));
    EXPECT_TRUE(TerminateRequested);
    EXPECT_NE(BoxLog().find("Brantoval version 5.86c|(dialog)|0"), std::string::npos) << BoxLog();
}
