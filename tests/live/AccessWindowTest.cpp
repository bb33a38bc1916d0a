// The access dialog through the real main window: setting a password with its level,
// lifting the lock, the session choice, the stored record across a restart, the demo-mode
// question at "Play (H)", its fit; then every level gate of the commands that exist,
// each forbidden silently from its level and working one level lower.
#include "transport/ProgramWindowTest.h"

#include "app/AccessRecordStore.h"
#include "app/FixtureArea.h"
#include "app/SceneFixtures.h"
#include "app/InterfaceBinding.h"
#include "app/LevelPipeline.h"
#include "app/SequenceEditing.h"
#include "app/StartDialog.h"
#include "app/ToolWindows.h"
#include "editors/TSequencesList.h"
#include "live/AccessLock.h"
#include "live/TAccessF.h"
#include "live/TCueListF.h"
#include "ui_AccessF.h"
#include "ui_StartDialog.h"
#include "ui_MainForm.h"

#include "platform/Settings.h"

#include "controls/SpinEdits.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <iterator>
#include <vector>

namespace {

const std::vector<std::uint8_t> PasswordAtEdit = {2, 81, 95, 219, 233, 198, 180, 144, 112, 0};

class AccessWindowTest : public ProgramWindowTest {
protected:
    void TearDown() override
    {
        std::fill(std::begin(AccessRecord), std::end(AccessRecord), std::uint8_t{0});
        AccessRecordDamaged = false;
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
    EXPECT_EQ(ui->Protlevel->toolTip(),
              QStringLiteral("Access lock: blank at level 0, L, M or H when locked; View > Access changes the level"));
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

    std::fill(std::begin(AccessRecord), std::end(AccessRecord), std::uint8_t{0});
    platform::QueueAnswers({"Yes", "1"});
    ASSERT_TRUE(Restart({}));
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

// A damaged record keeps the program locked at the next start and no password, the
// empty one included, lifts it; the value stays as it was.
TEST_F(AccessWindowTest, DamagedRecordLocksAndNoTypedPasswordLiftsIt)
{
    {
        platform::Settings reg;
        reg.WriteString(MainWindowKey, AccessRecordValue, "hex:");
        reg.Flush();
    }
    std::fill(std::begin(AccessRecord), std::end(AccessRecord), std::uint8_t{0});
    platform::QueueAnswers({"Yes", "1"});
    ASSERT_TRUE(Restart({}));
    EXPECT_EQ(AccessLevel, 2);
    EXPECT_EQ(ui->Protlevel->text(), QStringLiteral("M"));
    const std::string told = "Brantoval-1024|The access record is damaged: the program stays locked.\r\n";
    EXPECT_NE(BoxLog().find(told), std::string::npos) << BoxLog();
    WithDialog([&](TAccessF &f) {
        EXPECT_FALSE(f.ui->Edit1->isHidden());
        for (const char *typed : {"x", "", "password"}) {
            Type(f.ui->Edit1, "y");
            Type(f.ui->Edit1, typed);
            EXPECT_FALSE(f.ui->Button3->isEnabled()) << typed;
            EXPECT_FALSE(f.ui->Edit2->isEnabled()) << typed;
        }
        QTest::mouseClick(f.ui->Button1, Qt::LeftButton);
    });
    EXPECT_EQ(AccessLevel, 2);
    platform::Settings reg;
    EXPECT_EQ(reg.ReadString(MainWindowKey, AccessRecordValue), "hex:");
    EXPECT_EQ(BoxLog().find(told), BoxLog().rfind(told)) << "said once";
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

// ---- the level gates ----------------------------------------------------------------------

// One command: the level from which it is forbidden, what it needs beforehand (run
// unlocked), the answers its questions take, and the command itself.
struct Gate {
    const char *name;
    int from;
    std::function<void()> prepare;
    std::vector<std::string> answers;
    std::function<void()> run;
    // What shows its effect; empty: everything (the fingerprint below).
    std::function<std::string()> probe;
};

class AccessGateTest : public AccessWindowTest {
protected:
    void SetUp() override
    {
        AccessWindowTest::SetUp();
        savedConfirm = ConfirmOptions;
        ConfirmOptions = 0;
        // Stand-ins for the windows that other parts of the program provide.
        for (const char *name : {"HotKeys", "Recorder"})
            ToolWindows().Register(name, ToolWindowEntry{nullptr, {}, {}, {}, [this] { ++standIns; }});
        ToolWindows().Register("GraphEdit", ToolWindowEntry{nullptr, [this] { ++standIns; }, {}, [] { return false; }, {}});
        WindowSeams().seqNameDialog = [](const std::string &, std::string &text, bool, int &choice) {
            text = "RENAMED";
            choice = 1;
            return true;
        };
    }
    void TearDown() override
    {
        for (const char *name : {"HotKeys", "Recorder", "GraphEdit"})
            ToolWindows().Unregister(name);
        ConfirmOptions = savedConfirm;
        AccessWindowTest::TearDown();
    }
    static void ClearAnswers()
    {
        platform::ResetAnswers();
        platform::QueueAnswers({});
    }
    // Two sequences of three scenes, a fixture of four channels at 0 with values off its
    // scene, nothing modified, the second scene current.
    void FreshShow()
    {
        transport_test::ResetPlayState();
        for (PlayerSlot &slot : PlayerSlots)
            slot = PlayerSlot{};
        transport_test::AddSequence(3, SeqFlagCycle);
        transport_test::AddSequence(3, SeqFlagCycle);
        transport_test::AddFixtureWith(0, {0, 0, 0, 0});
        form->SelectFirstFixture();
        form->FillSequenceBox();
        form->SelectSequence(0);
        ui->SceneNum->setText(QStringLiteral("2"));
        form->SceneNumKeyPress(Qt::Key_Return);
        for (int j = 0; j < 4; ++j)
            Fixtures[0].values[j] = 3;
        SceneClipboard = SceneRecord{};
        FixtureSceneClipboard = FixtureSceneClip{};
        ShowFileName = (root / "gate.d1k").string();
        ShowFileState = 2;
        ShowModified = 0;
        standIns = 0;
    }
    // Everything a command may change: the tables, the clipboards, the show's name and
    // mark, the files on disk, the boxes and dialogs asked, the stand-ins called.
    std::string Fingerprint() const
    {
        std::ostringstream o;
        o << SequenceCount << '/' << CurSequence << '/' << CurScene << '\n';
        for (int i = 0; i < SequenceCount; ++i) {
            const SequenceRecord *q = Sequences[static_cast<std::size_t>(i)];
            o << q->name << ' ' << q->tempo << ' ' << int(q->flags) << ' ' << int(q->modes) << ' ' << q->sceneCount;
            for (int k = 0; k < q->sceneCount; ++k) {
                const SceneRecord *c = q->scenes[k];
                o << " [" << std::string(c->name.data(), 16).c_str() << ' ' << c->sceneTime << ' ' << c->fadeTime;
                for (int ch = 0; ch < 4; ++ch)
                    o << ' ' << int(c->levels[ch]);
                o << ']';
            }
            o << '\n';
        }
        for (int c = 0; c < CueCount; ++c)
            o << Cues[static_cast<std::size_t>(c)].name << ' ' << int(Cues[static_cast<std::size_t>(c)].on[0]) << ' ';
        o << FixtureCount;
        for (int f = 0; f < FixtureCount; ++f)
            for (int j = 0; j < 4; ++j)
                o << ' ' << int(Fixtures[static_cast<std::size_t>(f)].values[j]);
        for (int f = 0; f < FixtureCount; ++f)
            o << " p" << int(Fixtures[static_cast<std::size_t>(f)].planPage);
        o << '\n' << SceneClipboard.name.data() << ' ' << int(SceneClipboard.levels[0]) << ' '
          << FixtureSceneClipboard.type << '\n';
        o << ShowFileName << ' ' << int(ShowModified) << ' ' << standIns << '\n';
        for (const auto &e : std::filesystem::recursive_directory_iterator(root))
            if (e.path().string() != log)
                o << e.path().filename().string() << ' ';
        o << '\n' << BoxLog();
        return o.str();
    }

    std::uint8_t savedConfirm = 0;
    int standIns = 0;
};

TEST_F(AccessGateTest, EveryCommandIsSilentFromItsLevelAndWorksBelowIt)
{
    TMainForm *f = form;
    auto act = [this](const char *name) {
        return [this, name] {
            QAction *a = Action(name);
            ASSERT_TRUE(a) << name;
            a->setEnabled(true);
            a->trigger();
        };
    };
    auto openList = [this] {
        if (!SequencesList->isVisible())
            ui->SeqList1->trigger();
    };
    const std::string saveAs = (root / "as.d1k").string();
    const std::string seqFile = (root / "one.sqn").string();
    const std::string sceneFile = (root / "one.scn").string();
    const std::vector<Gate> gates = {
        // Setup (L) and above.
        {"DMX channels", 1, {}, {"1"}, act("DMXChannels")},
        {"patch button", 1, {}, {"1"}, [f] { f->SpeedButton10Click(); }},
        {"Fixture OFF", 1, {}, {"Yes"}, act("DeviceOff")},
        {"Change Plan Image", 1, {}, {}, act("EditPlan1")},
        {"Hot Keys", 1, {}, {}, act("HotKeys1")},
        // Edit (M) and above: the show.
        {"New show", 2, {}, {"1"}, act("NewShow")},
        {"Save show", 2, {}, {}, act("SaveShow")},
        {"Save show as", 2, {}, {saveAs}, act("SaveShowAs")},
        // Forbidden, the question is skipped and the show counts as handled: only the
        // box tells.
        {"save question", 2, [] { ShowModified = 1; }, {"No"}, [f] { f->AskSaveModifiedShow(); },
         [this] { return BoxLog(); }},
        // Sequences and scenes.
        {"New sequence", 2, {}, {}, act("NewSeq1")},
        {"Delete sequence", 2, {}, {}, act("DelSeq1")},
        {"Split sequence", 2, {}, {}, act("SplitSequence1")},
        {"Merge sequences", 2, [f] { f->SelectSequence(1); }, {}, act("MergeSequences1")},
        {"Rename sequence", 2, {}, {}, act("RenameSeq")},
        {"Copy sequence", 2, {}, {}, act("CopySequence")},
        {"Insert sequence", 2, [f] { f->CopySequenceClick(); }, {}, act("InsertSequence")},
        {"Save sequence", 2, {}, {seqFile}, act("SaveSeq")},
        {"Load sequence", 2, [f, seqFile] {
             platform::QueueAnswers({seqFile});
             f->SaveSeqClick();
         }, {seqFile}, act("LoadSeq")},
        {"New scene", 2, {}, {}, act("NewScene1")},
        {"Delete scene", 2, {}, {}, act("DeleteScene1")},
        {"Copy scene", 2, {}, {}, act("CopyScene1")},
        {"Insert scene", 2, [f] { f->CopyButtonClick(); }, {}, act("InsertScene1")},
        {"Replace scene", 2, [f] {
             f->CopyButtonClick();
             SceneClipboard.levels[0] = 99;
         }, {}, act("ReplaceScene1")},
        {"Rename scene", 2, {}, {}, act("RenameScene2")},
        {"Save scene", 2, {}, {sceneFile}, act("SaveScene")},
        {"Load scene", 2, [f, sceneFile] {
             platform::QueueAnswers({sceneFile});
             f->SaveSceneClick();
             CurScene = 0;
         }, {sceneFile}, act("LoadScene")},
        {"Refresh", 2, {}, {}, act("Refresh1")},
        {"fixtures into the scene", 2, {}, {}, [] { FixturesToScene(); }},
        // Fixtures and scenes.
        {"Copy Fixture Scene", 2, {}, {}, act("CopyStSc")},
        {"Paste Fixture Scene", 2, [] {
             CopyFixtureScene(0);
             FixtureSceneClipboard.values[0] = 77;
         }, {}, act("PasteStSc")},
        {"Copy (Save) Fixture Sequence", 2, {}, {}, act("CopyStSeq")},
        {"Paste (Load) Fixture Sequence", 2, [f] {
             f->CopyStSeqClick();
             Sequences[0]->scenes[2]->levels[1] = 1;
         }, {}, act("PasteStSeq")},
        // Transport.
        {"tempo", 2, {}, {}, [this] { ui->UpDownTempo->setValue(190); }},
        {"step kind", 2, {}, {}, [this] { ui->SynchButton->Click(); }},
        {"cycle", 2, {}, {}, [this] { ui->CycleButton->Click(); }},
        {"use fade", 2, {}, {}, [this] { ui->UseFade->Click(); }},
        {"fade kind", 2, {}, {}, [this] { ui->FadeButton->Click(); }},
        {"scene time", 2, {}, {}, [this, f] {
             ui->TimeEditSc->SetValue(4321);
             f->TimeEditScChange();
         }},
        // Editors and the recorder.
        {"Values/Time Editor", 2, {}, {}, act("GraphEd")},
        // The sequence list: renaming in place and moving by a drop.
        {"rename in the sequence list", 2, openList, {}, [] {
             QTableWidget *grid = SequencesList->GridSeq;
             grid->edit(grid->model()->index(1, 1));
             if (auto *edit = grid->findChild<QLineEdit *>(QStringLiteral("InplaceEdit")))
                 edit->setText(QStringLiteral("LISTED"));
             SequencesList->CheckEditing();
         }},
        {"move in the sequence list", 2, openList, {}, [] {
             SequencesList->DragSource = 0;
             SequencesList->GridSeqDragDrop(SequencesList->GridSeq, 2, 0);
         }},
        {"Record", 2, {}, {}, act("Record1")},
        // Cues.
        {"Add cue", 2, {}, {}, [] { CueListF->CuePlusClick(); }},
        {"Delete cue", 2, [] { CueListF->CuePlusClick(); }, {}, [] { CueListF->CueMinusClick(); }},
        {"Rename cue", 2, [] { CueListF->CuePlusClick(); }, {}, [] { CueListF->Rename1Click(); }},
        {"Update cue", 2, [] {
             CueListF->CuePlusClick();
             PlayerSlots[0].active = 1;
         }, {}, [] { CueListF->UpdateLClick(); }},
        {"stage-plan page", 2, [f] {
             f->SetPlanPages(2);
             f->PlacingOnPage = 1;
         }, {}, [f] { f->MultiPlansSelectCell(1); }},
    };

    for (const Gate &g : gates) {
        for (int level = 0; level <= 3; ++level) {
            SCOPED_TRACE(std::string(g.name) + " at level " + std::to_string(level));
            AccessLevel = 0;
            FreshShow();
            if (g.prepare)
                g.prepare();
            ClearAnswers();
            platform::QueueAnswers(g.answers);
            auto probe = [&] { return g.probe ? g.probe() : Fingerprint(); };
            const std::string before = probe();
            AccessLevel = static_cast<std::uint8_t>(level);
            g.run();
            AccessLevel = 0;
            const std::string after = probe();
            ClearAnswers();
            if (level >= g.from)
                EXPECT_EQ(after, before) << "forbidden, yet it acted";
            else
                EXPECT_NE(after, before) << "allowed, yet nothing happened";
        }
    }

    // The start dialog hides the profile editor from level 1 and the new show from 2.
    for (int level = 0; level <= 3; ++level) {
        AccessLevel = static_cast<std::uint8_t>(level);
        TStartDialog start(form);
        EXPECT_EQ(start.ui->SpeedButton4->isHidden(), level >= 1) << level;
        EXPECT_EQ(start.ui->SpeedButton1->isHidden(), level >= 2) << level;
    }
    AccessLevel = 0;
}

} // namespace
