// The access dialog through the real main window: setting a password with its level,
// lifting the lock, the session choice, the stored record across a restart, the demo-mode
// question at "Play (H)", its fit; then every level gate of the commands that exist,
// each forbidden silently from its level and working one level lower.
#include "transport/ProgramWindowTest.h"

#include "app/AccessRecordStore.h"
#include "app/InterfaceBinding.h"
#include "app/LevelPipeline.h"
#include "app/SequenceEditing.h"
#include "app/StartDialog.h"
#include "app/ToolWindows.h"
#include "live/AccessLock.h"
#include "live/TAccessF.h"
#include "ui_AccessF.h"
#include "ui_MainForm.h"

#include "platform/Settings.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <vector>

namespace {

const std::vector<std::uint8_t> PasswordAtEdit = {2, 81, 95, 219, 233, 198, 180, 144, 112, 0};

class AccessWindowTest : public ProgramWindowTest {
protected:
    void TearDown() override
    {
        std::fill(std::begin(AccessRecord), std::end(AccessRecord), std::uint8_t{0});
        ProgramWindowTest::TearDown();
    }
    QAction *Action(const char *name) const { return form->findChild<QAction *>(QString::fromLatin1(name)); }
    static std::vector<std::uint8_t> Stored()
    {
        platform::Settings reg;
        return reg.ReadBinary(MainWindowKey, AccessRecordValue);
    }
    static void Lock(int level, const std::string &password)
    {
        const AccessRecordBytes r = MakeAccessRecord(level, password);
        platform::Settings reg;
        reg.WriteBinary(MainWindowKey, AccessRecordValue, std::vector<std::uint8_t>(r.begin(), r.end()));
        reg.Flush();
        std::copy(r.begin(), r.end(), std::begin(AccessRecord));
    }
    // Opens the dialog from the View menu and lets `drive` work it while it is shown.
    void WithDialog(std::function<void(TAccessF &)> drive)
    {
        bool ran = false;
        platform::ActOnNextDialog("AccessF", [&](QDialog &d) {
            ran = true;
            drive(static_cast<TAccessF &>(d));
            if (d.isVisible())
                d.reject();
        });
        Action("Access")->trigger();
        EXPECT_TRUE(ran);
    }
    static void Type(QLineEdit *edit, const char *text)
    {
        edit->clear();
        QTest::keyClicks(edit, QString::fromLatin1(text));
    }
    // A new password at level item `levelItem`, with or without the session box.
    void SetPassword(const char *password, int levelItem, bool session)
    {
        WithDialog([&](TAccessF &f) {
            Type(f.ui->Edit2, password);
            QRadioButton *items[] = {f.ui->Level1, f.ui->Level2, f.ui->Level3};
            items[levelItem]->setChecked(true);
            f.ui->Session->setChecked(session);
            QTest::mouseClick(f.ui->Button1, Qt::LeftButton);
        });
    }
};

TEST_F(AccessWindowTest, NoLockSetsAPasswordInLowerCaseAndAppliesItForTheSession)
{
    EXPECT_TRUE(Action("Access")->isEnabled());
    platform::QueueAnswers({"Yes"});   // no device: the hardware question of OK
    WithDialog([&](TAccessF &f) {
        EXPECT_TRUE(f.ui->Edit1->isHidden());
        EXPECT_TRUE(f.ui->Label1->isHidden());
        EXPECT_TRUE(f.ui->Button3->isHidden());
        EXPECT_TRUE(f.ui->Edit2->isEnabled());
        EXPECT_TRUE(f.ui->RadioGroup1->isEnabled());
        EXPECT_TRUE(f.ui->Level2->isChecked());
        EXPECT_EQ(f.width(), TAccessF::ChangeModeWidth);
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Access"));
        EXPECT_EQ(f.property("HelpContext").toInt(), 1501);
        EXPECT_EQ(f.ui->Edit2->echoMode(), QLineEdit::Password);
        QTest::mouseClick(f.SpeedButton1, Qt::LeftButton);
        EXPECT_EQ(f.ui->Edit2->echoMode(), QLineEdit::Normal);
        Type(f.ui->Edit2, "PassWord");
        EXPECT_EQ(f.ui->Edit2->text(), QStringLiteral("password"));
        QTest::keyClicks(f.ui->Edit2, QStringLiteral("xyz"));
        EXPECT_EQ(f.ui->Edit2->text(), QStringLiteral("password")) << "8 characters at most";
        f.ui->Session->setChecked(true);
        QTest::mouseClick(f.ui->Button1, Qt::LeftButton);
        EXPECT_FALSE(f.isVisible());
    });
    EXPECT_EQ(Stored(), PasswordAtEdit);
    EXPECT_EQ(AccessLevel, 2);
    EXPECT_EQ(ui->Protlevel->text(), QStringLiteral("M"));
    EXPECT_TRUE(ui->Protlevel->styleSheet().contains(QStringLiteral("#ffff00"))) << ui->Protlevel->styleSheet().toStdString();
    EXPECT_NE(BoxLog().find("DMX hardware is inaccessible"), std::string::npos);
}

TEST_F(AccessWindowTest, RightPasswordLiftsTheLockForTheRunOnlyAndCancelChangesNothing)
{
    Lock(2, "password");
    form->ShowAccessLevel();
    WithDialog([&](TAccessF &f) {
        EXPECT_FALSE(f.ui->Edit1->isHidden());
        EXPECT_FALSE(f.ui->Edit2->isEnabled());
        EXPECT_FALSE(f.ui->RadioGroup1->isEnabled());
        EXPECT_FALSE(f.ui->Button3->isEnabled());
        EXPECT_LT(f.width(), TAccessF::ChangeModeWidth);
        Type(f.ui->Edit1, "PASSWORD");   // typed in capitals, compared in lower case
        EXPECT_TRUE(f.ui->Edit2->isEnabled());
        EXPECT_FALSE(f.ui->Edit1->isEnabled());
        QTest::mouseClick(f.ui->Button2, Qt::LeftButton);
    });
    EXPECT_EQ(AccessLevel, 2) << "cancelled";
    EXPECT_EQ(Stored(), PasswordAtEdit);

    platform::QueueAnswers({"Yes"});
    WithDialog([&](TAccessF &f) {
        Type(f.ui->Edit1, "wrong");
        EXPECT_FALSE(f.ui->Edit2->isEnabled());
        EXPECT_FALSE(f.ui->RadioGroup1->isEnabled());
        EXPECT_FALSE(f.ui->Button3->isEnabled());
        Type(f.ui->Edit1, "password");
        EXPECT_TRUE(f.ui->Button3->isEnabled());
        EXPECT_TRUE(f.ui->RadioGroup1->isEnabled());
        EXPECT_FALSE(f.ui->Edit1->isEnabled());
        QTest::mouseClick(f.ui->Button1, Qt::LeftButton);
    });
    EXPECT_EQ(AccessLevel, 0);
    EXPECT_EQ(Stored(), PasswordAtEdit) << "the stored lock stays for the next start";
    EXPECT_TRUE(ui->Protlevel->text().isEmpty());
    EXPECT_NE(BoxLog().find("DMX hardware is inaccessible\r\nContinue in demo mode ?|Yes"), std::string::npos) << BoxLog();
}

TEST_F(AccessWindowTest, WithoutTheSessionTheLevelWaitsForTheNextStartAndAnEmptyPasswordUnlocks)
{
    platform::QueueAnswers({"Yes"});
    SetPassword("password", 1, false);
    EXPECT_EQ(Stored(), PasswordAtEdit);
    EXPECT_EQ(AccessLevel, 0);
    EXPECT_TRUE(ui->Protlevel->text().isEmpty());

    DestroyProgramWindows();
    transport_test::ResetPlayState();
    std::fill(std::begin(AccessRecord), std::end(AccessRecord), std::uint8_t{0});
    platform::QueueAnswers({"Yes", "1"});
    char arg0[] = "brantoval";
    char *argv[] = {arg0, nullptr};
    ASSERT_TRUE(CreateProgramWindows(1, argv));
    StopOutputTimer();
    form = MainForm;
    ui = form->ui;
    EXPECT_EQ(AccessLevel, 2);
    EXPECT_EQ(ui->Protlevel->text(), QStringLiteral("M"));

    // Unlocked by the password, an empty new password removes the lock.
    platform::QueueAnswers({"Yes"});
    WithDialog([&](TAccessF &f) {
        Type(f.ui->Edit1, "password");
        QTest::mouseClick(f.ui->Button3, Qt::LeftButton);
        EXPECT_EQ(f.width(), TAccessF::ChangeModeWidth);
        f.ui->Session->setChecked(true);
        QTest::mouseClick(f.ui->Button1, Qt::LeftButton);
    });
    EXPECT_EQ(Stored(), std::vector<std::uint8_t>(10, 0));
    EXPECT_EQ(AccessLevel, 0);
    WithDialog([&](TAccessF &f) { EXPECT_TRUE(f.ui->Edit1->isHidden()) << "opens unlocked"; });
}

TEST_F(AccessWindowTest, PlayLevelForbidsTheHardwareAndTheDialogFitsTheScreen)
{
    platform::QueueAnswers({"Yes"});
    SetPassword("stage", 2, true);
    EXPECT_EQ(AccessLevel, 3);
    EXPECT_EQ(ui->Protlevel->text(), QStringLiteral("H"));
    platform::QueueAnswers({"Yes"});
    OpenInterface(InterfaceKind, false);
    EXPECT_NE(BoxLog().find("Access to DMX hardware is forbidden\r\nContinue in demo mode ?|Yes"), std::string::npos)
        << BoxLog();

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    WithDialog([&](TAccessF &f) {
        if (const char *dir = std::getenv("BRTV_GRAB_DIR"))
            f.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/access-locked.png"));
        Type(f.ui->Edit1, "stage");
        QTest::mouseClick(f.ui->Button3, Qt::LeftButton);
        QCoreApplication::processEvents();
        EXPECT_LE(f.frameGeometry().width(), std::min(screen.width(), 1024));
        EXPECT_LE(f.frameGeometry().height(), std::min(screen.height(), 768));
        std::vector<QWidget *> shown;
        for (QObject *o : f.children())
            if (auto *w = qobject_cast<QWidget *>(o); w && !w->isHidden())
                shown.push_back(w);
        for (QWidget *w : shown) {
            EXPECT_TRUE(f.rect().contains(w->geometry())) << w->objectName().toStdString();
            for (QWidget *other : shown)
                if (other != w)
                    EXPECT_FALSE(w->geometry().intersects(other->geometry()))
                        << w->objectName().toStdString() << " / " << other->objectName().toStdString();
        }
        if (const char *dir = std::getenv("BRTV_GRAB_DIR"))
            f.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/access-change.png"));
    });
}

} // namespace
