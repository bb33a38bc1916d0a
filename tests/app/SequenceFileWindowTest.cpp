// The Sequences and Scenes file items of the main window and the show-open dialog's
// preview, driven in the program's own window.
#include "transport/ProgramWindowTest.h"

#include "PlanShots.h"

#include "app/PatchLoader.h"
#include "app/SceneFixtures.h"
#include "app/SequenceEditing.h"
#include "app/SequenceFile.h"
#include "app/ShowFile.h"
#include "controls/OpenPreviewDialog.h"
#include "ui_MainForm.h"

#include <QAction>
#include <QComboBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QTest>
#include <QTextEdit>

#include <cstring>
#include <fstream>

using namespace transport_test;

namespace {

class SequenceFileWindowTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        savedWriter = FileWriter();
        SequenceFromFile = 0;
        // A new show's first sequence: "SEQUENCE 1" with one scene.
        ShowFileEvents().createFirstSequence();
        form->FillSequenceBox();
    }
    void TearDown() override
    {
        FileWriter() = savedWriter;
        ProgramWindowTest::TearDown();
    }
    // How often `text` stands in the box log.
    std::size_t Boxes(const std::string &text) const
    {
        const std::string all = BoxLog();
        std::size_t n = 0;
        for (std::size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + 1))
            ++n;
        return n;
    }
    std::string Path(const std::string &name) const { return (root / name).string(); }
    std::string Bytes(const std::string &name) const { return testfiles::Read(root / name); }
    void Trigger(QAction *item, std::vector<std::string> answers = {})
    {
        platform::QueueAnswers(answers);
        item->trigger();
    }
    void WriteBytes(const std::string &name, const std::string &bytes) const
    {
        std::ofstream(root / name, std::ios::binary) << bytes;
    }
    AtomicFileWriter savedWriter;
};

} // namespace

TEST_F(SequenceFileWindowTest, SavedSequenceLoadsIntoAnotherShowAndPlays)
{
    AddFixtureWith(0, {0, 0, 0, 0});
    BuildChannelMaps();
    Fixtures[0].values[0] = 200;
    FixturesToScene();
    ASSERT_EQ(Sequences[0]->scenes[0]->levels[0], 200);

    // Saved with a two-point name: the file is cut at the first point.
    Trigger(ui->SaveSeq, {Path("a.b.sqn")});
    const std::string saved = Bytes("a.sqn");
    ASSERT_EQ(saved.size(), 23u + std::strlen("SEQUENCE 1") + 1052u);
    EXPECT_NE(BoxLog().find("Save Sequence As...|(file dialog)|"), std::string::npos) << BoxLog();

    ShowModified = 0;
    Trigger(ui->NewShow);
    ASSERT_EQ(SequenceCount, 1);
    Fixtures[0].values[0] = 0;
    FixturesToScene();
    Trigger(ui->LoadSeq, {Path("a.sqn")});
    ASSERT_EQ(SequenceCount, 2);
    EXPECT_EQ(CurSequence, 1);
    EXPECT_EQ(CurScene, 0);
    EXPECT_EQ(ui->Sequence->itemText(1), QStringLiteral("SEQUENCE 1"));
    EXPECT_EQ(ui->Sequence->currentIndex(), 1);
    EXPECT_EQ(ShowModified, 1);

    // Saved again from this show, the file is the same byte for byte.
    Trigger(ui->SaveSeq, {Path("again.sqn")});
    EXPECT_EQ(Bytes("again.sqn"), saved);

    form->PlayClick();
    Tick(2);
    EXPECT_EQ(DmxOutLevels[0], 200);
    form->StopClick();

    // Copy and Insert add the same sequence once more.
    Trigger(ui->CopySequence);
    EXPECT_TRUE(platform::FileExists(platform::ProgramFolder() + "copysq$$.tmp"));
    Trigger(ui->InsertSequence);
    ASSERT_EQ(SequenceCount, 3);
    EXPECT_EQ(CurSequence, 2);
    MemoryStream a, b;
    WriteSequenceFile(a, *Sequences[1]);
    WriteSequenceFile(b, *Sequences[2]);
    EXPECT_EQ(a.Data(), b.Data());
}

TEST_F(SequenceFileWindowTest, BrokenFilesGiveAReadErrorAndInsertNothing)
{
    AddSequence(3);   // a second sequence of three scenes
    form->FillSequenceBox();
    form->SelectSequence(1);
    Sequences[1]->name = "SEQUENCE 1";
    Trigger(ui->SaveSeq, {Path("three.sqn")});
    const std::string whole = Bytes("three.sqn");
    ASSERT_EQ(whole.size(), 3189u);
    const int before = SequenceCount;
    for (std::size_t cut : {std::size_t(5), std::size_t(1000), whole.size() - 1}) {
        WriteBytes("cut.sqn", whole.substr(0, cut));
        Trigger(ui->LoadSeq, {Path("cut.sqn")});
        EXPECT_EQ(SequenceCount, before) << cut;
        EXPECT_EQ(ui->Sequence->count(), before) << cut;
    }
    Trigger(ui->LoadSeq, {Path("missing.sqn")});
    EXPECT_EQ(Boxes("Brantoval-1024|Error reading file|"), 4u) << BoxLog();

    // A scene file that ends early: the same message, no new scene.
    const int scenes = Sequences[1]->sceneCount;
    WriteBytes("short.scn", std::string(100, '\0'));
    Trigger(ui->LoadScene, {Path("short.scn")});
    EXPECT_EQ(Sequences[1]->sceneCount, scenes);
    EXPECT_EQ(Boxes("Brantoval-1024|Error reading file|"), 5u) << BoxLog();
}

TEST_F(SequenceFileWindowTest, LoadedSceneReplacesTheNewSceneWhole)
{
    SequenceRecord *seq = Sequences[0];
    seq->scenes[0]->levels[600] = 77;
    // 540 bytes: level count 0 means 512 levels; scene time 0 and fade 30 are repaired.
    std::string record(540, '\0');
    std::memcpy(record.data(), "FROM FILE", 9);
    record[24] = 30;
    for (int c = 0; c < 512; ++c)
        record[28 + static_cast<std::size_t>(c)] = 9;
    WriteBytes("s.scn", record);   // chosen as "s.x.scn": the name is cut at its first point
    Trigger(ui->LoadScene, {Path("s.x.scn")});
    ASSERT_EQ(seq->sceneCount, 2);
    EXPECT_EQ(CurScene, 1);
    const SceneRecord &loaded = *seq->scenes[1];
    EXPECT_EQ(loaded.levels[0], 9);
    EXPECT_EQ(loaded.levels[511], 9);
    EXPECT_EQ(loaded.levels[600], 0);
    EXPECT_EQ(loaded.sceneTime, 500u);
    EXPECT_EQ(loaded.fadeTime, 50u);
    EXPECT_EQ(SceneNameBytes(loaded), "FROM FILE");
    EXPECT_EQ(ui->Scene->text(), QStringLiteral("FROM FILE"));

    // Saved back as a scene file: one record, time 500.
    Trigger(ui->SaveScene, {Path("back.scn")});
    const std::string back = Bytes("back.scn");
    ASSERT_EQ(back.size(), 1052u);
    EXPECT_EQ(std::memcmp(back.data(), "FROM FILE", 9), 0);
    EXPECT_EQ(static_cast<unsigned char>(back[16]) | (static_cast<unsigned char>(back[17]) << 8), 500);
}

TEST_F(SequenceFileWindowTest, FullTablesLoadNothingWithoutABox)
{
    Trigger(ui->SaveSeq, {Path("one.sqn")});
    Trigger(ui->SaveScene, {Path("one.scn")});
    const std::string boxes = BoxLog();

    // A sequence table full of one shared record.
    std::array<SequenceRecord *, MaxSequences> kept = Sequences;
    const int keptCount = SequenceCount;
    static SequenceRecord shared;
    for (auto &slot : Sequences)
        slot = &shared;
    SequenceCount = MaxSequences;
    Trigger(ui->LoadSeq, {Path("one.sqn")});
    Trigger(ui->InsertSequence);
    EXPECT_EQ(SequenceCount, MaxSequences);
    Sequences = kept;
    SequenceCount = keptCount;

    // A sequence of 16384 scenes, all one shared record.
    SequenceRecord *seq = Sequences[0];
    SceneRecord *first = seq->scenes[0];
    static SceneRecord sharedScene;
    for (int i = 0; i < MaxScenes; ++i)
        seq->scenes[i] = &sharedScene;
    seq->sceneCount = MaxScenes;
    Trigger(ui->LoadScene, {Path("one.scn")});
    EXPECT_EQ(seq->sceneCount, MaxScenes);
    seq->scenes.Clear();
    seq->scenes[0] = first;
    seq->sceneCount = 1;

    // Only the two file dialogs were logged: no limit box, no error.
    const std::string after = BoxLog().substr(boxes.size());
    EXPECT_EQ(after.find("You can't"), std::string::npos) << after;
    EXPECT_EQ(after.find("Error"), std::string::npos) << after;
}

TEST_F(SequenceFileWindowTest, SaveTakesTheCurrentSequenceAndNothingWithoutOne)
{
    AddSequence(2);
    Sequences[1]->name = "SECOND";
    form->FillSequenceBox();
    form->SelectSequence(1);
    Trigger(ui->SaveSeq, {Path("cur.sqn")});
    const std::string cur = Bytes("cur.sqn");
    ASSERT_GT(cur.size(), 15u);
    EXPECT_EQ(cur.substr(8, 7), std::string("\x06SECOND"));

    // Insert before any Copy does nothing.
    const int count = SequenceCount;
    Trigger(ui->InsertSequence);
    EXPECT_EQ(SequenceCount, count);

    // No sequence: Save, Copy and scene Save neither ask nor write.
    FreeShowTables();
    form->FillSequenceBox();
    const std::string boxes = BoxLog();
    Trigger(ui->SaveSeq, {Path("none.sqn")});
    Trigger(ui->CopySequence);
    Trigger(ui->SaveScene, {Path("none.scn")});
    EXPECT_FALSE(platform::FileExists(Path("none.sqn")));
    EXPECT_FALSE(platform::FileExists(Path("none.scn")));
    EXPECT_FALSE(platform::FileExists(platform::ProgramFolder() + "copysq$$.tmp"));
    EXPECT_EQ(BoxLog(), boxes);
}

TEST_F(SequenceFileWindowTest, FailedWritesSayErrorWritingAndKeepTheOldFile)
{
    Trigger(ui->SaveSeq, {Path("keep.sqn")});
    const std::string old = Bytes("keep.sqn");
    FileWriter() = [](const std::string &, const std::function<bool(const std::string &)> &) { return false; };
    Sequences[0]->name = "CHANGED";
    Trigger(ui->SaveSeq, {Path("keep.sqn")});
    Trigger(ui->SaveScene, {Path("keep.scn")});
    Trigger(ui->CopySequence);
    EXPECT_EQ(Bytes("keep.sqn"), old);
    EXPECT_FALSE(platform::FileExists(Path("keep.scn")));
    EXPECT_EQ(Boxes("Brantoval-1024|Error writing file|"), 3u) << BoxLog();
}

TEST_F(SequenceFileWindowTest, ItemsRefuseWhilePlayingOrLocked)
{
    Trigger(ui->SaveSeq, {Path("g.sqn")});
    const int count = SequenceCount;
    AccessLevel = 2;
    Trigger(ui->LoadSeq, {Path("g.sqn")});
    AccessLevel = 0;
    Playing.store(1);
    Trigger(ui->LoadSeq, {Path("g.sqn")});
    Playing.store(0);
    EXPECT_EQ(SequenceCount, count);
    // Scenes "Load" is offered only with a sequence and without the multi-sequence player.
    emit ui->ScenesMenu->aboutToShow();
    EXPECT_TRUE(ui->LoadScene->isEnabled());
    MultiSeqRunning.store(1);
    emit ui->ScenesMenu->aboutToShow();
    EXPECT_FALSE(ui->LoadScene->isEnabled());
    MultiSeqRunning.store(0);
}

TEST_F(SequenceFileWindowTest, OpenDialogPreviewsShowsAndRefusesOlderOnes)
{
    AddFixtureWith(0, {0, 0, 0, 0, 0, 0, 0, 0});
    Fixtures[0].userHeader = "Spot";
    static const std::string spotProfile = "spot.dsp";
    Fixtures[0].profileFileName = &spotProfile;
    ASSERT_TRUE(WriteShowFile(Path("show.d1k")));
    WriteBytes("old.dmx", "x");
    const int fixtures = FixtureCount;

    TKpOpenPreviewDialog dialog;
    form->SetUpShowOpenDialog(dialog);
    dialog.setDirectory(QString::fromStdString(root.string()));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Open File Show"));
    emit dialog.currentChanged(QString::fromStdString(Path("show.d1k")));
    EXPECT_EQ(dialog.GetCaption(), "Preview");
    const QStringList lines = dialog.FPreviewText->toPlainText().split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[0], QStringLiteral(" ST NN User Header"));
    EXPECT_EQ(lines[2], QStringLiteral("  0  8 Spot"));
    EXPECT_EQ(lines[3], QStringLiteral("**** Show V51 ****"));
    EXPECT_EQ(lines[4], QStringLiteral("SEQUENCE 1 = 1"));
    EXPECT_TRUE(QFontInfo(dialog.FPreviewText->font()).fixedPitch());
    EXPECT_EQ(dialog.FPreviewText->lineWrapMode(), QTextEdit::NoWrap);
    EXPECT_EQ(FixtureCount, fixtures);
    dialog.resize(900, 420);
    KeepShot(&dialog, "show-preview");

    emit dialog.currentChanged(QString::fromStdString(Path("old.dmx")));
    EXPECT_EQ(dialog.GetCaption(), "Can't preview");
    EXPECT_TRUE(dialog.FPreviewText->toPlainText().isEmpty());
    Fixtures[0].profileFileName = nullptr;

    // "Load SHOW" scripted takes the next answer as the path, like any file dialog.
    ShowModified = 0;
    Trigger(ui->LoadShow, {"Cancel"});
    EXPECT_NE(BoxLog().find("Open File Show|(file dialog)|Cancel"), std::string::npos) << BoxLog();
}
