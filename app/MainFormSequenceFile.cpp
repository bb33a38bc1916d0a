// The file items of the Sequences and Scenes menus: one sequence or one scene saved to
// and loaded from its own file, the sequence clipboard file, and the preview of the
// show-open dialog.
#include "MainForm.h"
#include "ui_MainForm.h"

#include "PatchLoader.h"
#include "PlayState.h"
#include "SceneFixtures.h"
#include "SequenceEditing.h"
#include "SequenceFile.h"
#include "ShowFile.h"
#include "ShowModel.h"
#include "ShowPreview.h"
#include "StagePlan.h"
#include "StartupState.h"
#include "WindowSeams.h"

#include "controls/OpenPreviewDialog.h"

#include "platform/Files.h"
#include "platform/MsgBox.h"

#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMenu>
#include <QTextEdit>

#include <memory>

namespace {

const char *const AppCaption = "Brantoval-1024";
const char *const SequenceFilter = "DMX Sequence(*.sqn)|*.SQN";
const char *const SceneFilter = "DMX Scene(*.scn)|*.SCN";
const char *const StartFolder = ".";

bool FileCommandsLocked()
{
    return AccessLevel > 1 || Playing.load();
}

std::string ClipboardPath()
{
    return platform::ProgramFolder() + SequenceClipboardFile;
}

// Writes `path` through the atomic writer; "Error writing file" when that fails, and
// the file that was there stays.
void WriteThroughWriter(const std::string &path, const std::function<void(BinaryStream &)> &write)
{
    if (!WriteStreamFile(path, write))
        platform::ShowMessage(AppCaption, "Error writing file");
}

void ReadError()
{
    platform::ShowMessage(AppCaption, "Error reading file");
}

// The save dialog, then `write` into the chosen name cut at its first point + `extension`.
void SaveChosen(const char *title, const char *filter, const char *extension,
                const std::function<void(BinaryStream &)> &write)
{
    auto chosen = platform::SaveFileDialog(title, filter, StartFolder);
    if (chosen)
        WriteThroughWriter(NameCutAtFirstPoint(*chosen, extension), write);
}

// The file opened for reading, or "Error reading file" and nothing.
std::unique_ptr<FileStream> OpenForReading(const std::string &path)
{
    try {
        return std::make_unique<FileStream>(path, FileStream::ReadOnly);
    } catch (const StreamError &) {
        ReadError();
        return nullptr;
    }
}

} // namespace

void TMainForm::SequenceFilesCreate()
{
    if (sequenceFilesCreated_)
        return;
    sequenceFilesCreated_ = true;
    struct Item {
        QAction *action;
        void (TMainForm::*handler)();
    } items[] = {{ui->LoadSeq, &TMainForm::LoadSeqClick},         {ui->SaveSeq, &TMainForm::SaveSeqClick},
                 {ui->LoadScene, &TMainForm::LoadSceneClick},     {ui->SaveScene, &TMainForm::SaveSceneClick},
                 {ui->CopySequence, &TMainForm::CopySequenceClick}, {ui->InsertSequence, &TMainForm::InsertSequenceClick}};
    for (const Item &it : items)
        connect(it.action, &QAction::triggered, this, [this, h = it.handler] { (this->*h)(); });
    connect(ui->ScenesMenu, &QMenu::aboutToShow, this, [this] { UpdateSceneFileItems(); });
}

// Scenes "Load" needs a sequence to load into and the single-sequence player.
void TMainForm::UpdateSceneFileItems()
{
    ui->LoadScene->setEnabled(SequenceCount > 0 && !MultiSeqRunning.load());
}

void TMainForm::LoadSeqClick()
{
    if (FileCommandsLocked())
        return;
    FixturesToScene();
    auto chosen = platform::OpenFileDialog("Load Sequence File", SequenceFilter, StartFolder);
    if (!chosen)
        return;
    LoadSequenceFrom(NameCutAtFirstPoint(*chosen, ".sqn"));
}

// Reads the whole file into a staging record first; only a complete read becomes a new
// sequence after the current one.
void TMainForm::LoadSequenceFrom(const std::string &path)
{
    std::unique_ptr<FileStream> file = OpenForReading(path);
    if (!file || SequenceCount >= MaxSequences)
        return;
    StagedSequence staged;
    switch (ReadSequenceFile(*file, staged)) {
    case SequenceReadResult::Ok:
        break;
    case SequenceReadResult::Bad:
        ReadError();
        return;
    case SequenceReadResult::NoMemory:
        ShowFileEvents().memoryAllocationError();
        return;
    }
    file.reset();
    const int before = SequenceCount;
    SequenceFromFile = 1;
    NewSeqClick();
    SequenceFromFile = 0;
    SequenceRecord *seq = SequenceCount > before ? SequenceAt(CurSequence) : nullptr;
    if (!seq)
        return;   // refused (background play): the staging record goes
    staged.MoveInto(*seq);
    ui->Sequence->setItemText(CurSequence, platform::FromBytes(seq->name));
    ui->Sequence->setEditText(platform::FromBytes(seq->name));
    CurScene = -1;
    SequenceChange();
    ShowModified = 1;
}

void TMainForm::SaveSeqClick()
{
    if (FileCommandsLocked() || !CurrentSequenceRecord())
        return;
    FixturesToScene();
    const SequenceRecord *seq = CurrentSequenceRecord();
    SaveChosen("Save Sequence As...", SequenceFilter, ".sqn", [seq](BinaryStream &s) { WriteSequenceFile(s, *seq); });
}

void TMainForm::LoadSceneClick()
{
    if (FileCommandsLocked() || MultiSeqRunning.load() || !CurrentSequenceRecord())
        return;
    FixturesToScene();
    auto chosen = platform::OpenFileDialog("Load Scene File", SceneFilter, StartFolder);
    if (!chosen)
        return;
    std::unique_ptr<FileStream> file = OpenForReading(NameCutAtFirstPoint(*chosen, ".scn"));
    SequenceRecord *seq = CurrentSequenceRecord();
    if (!file || !seq || SceneTableFull(*seq))
        return;
    auto staged = std::make_unique<SceneRecord>();
    if (!ReadSceneFile(*file, *staged)) {
        ReadError();
        return;
    }
    const int before = seq->sceneCount;
    NewSceneClick();
    SceneRecord *scene = CurrentSceneRecord();
    if (seq->sceneCount == before || !scene)
        return;
    *scene = *staged;
    ui->Scene->setText(platform::FromBytes(SceneNameBytes(*scene)));
    SceneToAllFixtureChannels(*scene);
    SetDevices();
    ShowCurrentScene();
    CallSeam(WindowSeams().editorsSceneChanged);
    ShowModified = 1;
}

void TMainForm::SaveSceneClick()
{
    if (FileCommandsLocked() || !CurrentSceneRecord())
        return;
    FixturesToScene();
    const SceneRecord *scene = CurrentSceneRecord();
    SaveChosen("Save Scene As...", SceneFilter, ".scn", [scene](BinaryStream &s) { WriteSceneFile(s, *scene); });
}

void TMainForm::CopySequenceClick()
{
    if (FileCommandsLocked() || !CurrentSequenceRecord())
        return;
    FixturesToScene();
    const SequenceRecord *seq = CurrentSequenceRecord();
    WriteThroughWriter(ClipboardPath(), [seq](BinaryStream &s) { WriteSequenceFile(s, *seq); });
}

void TMainForm::InsertSequenceClick()
{
    if (FileCommandsLocked())
        return;
    const std::string path = ClipboardPath();
    if (!platform::FileExists(path))
        return;
    FixturesToScene();
    LoadSequenceFrom(path);
}

// ---- the show-open dialog ----------------------------------------------------------------

void TMainForm::OpenDialogPreview(TKpOpenPreviewDialog *dialog, const std::string &extension)
{
    dialog->SetCaption(ShowPreviewCaption(extension));
    if (!ShowPreviewable(extension))
        return;
    QTextEdit *text = dialog->FPreviewText;
    QFont font(QStringLiteral("Courier New"), 8);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(8);
    }
    text->setFont(font);
    text->setLineWrapMode(QTextEdit::NoWrap);
    std::vector<std::string> lines;
    try {
        FileStream file(platform::ToBytes(dialog->SelectedPath()), FileStream::ReadOnly);
        lines = ShowPreviewLines(file);
    } catch (const StreamError &) {
    }
    QStringList shown;
    for (const std::string &line : lines)
        shown << platform::FromBytes(line);
    text->setPlainText(shown.join(QLatin1Char('\n')));
}

void TMainForm::OpenDialogClose() {}

// A show was made or opened: the file items work again and the plan takes the pages its
// fixtures are on.
void TMainForm::ShowFileChanged(bool opened)
{
    for (QAction *a : {ui->LoadSeq, ui->SaveSeq, ui->LoadScene, ui->SaveScene})
        a->setEnabled(true);
    const int highest = opened ? HighestPlanPage() : 0;
    SetPlanPages(highest > 0 ? highest + 1 : 0);
    CallSeam(WindowSeams().cueListRefill);
}

void TMainForm::SetUpShowOpenDialog(TKpOpenPreviewDialog &dialog)
{
    dialog.setObjectName(QStringLiteral("OpenDialog"));
    dialog.setWindowTitle(QString::fromLatin1(ShowOpenTitle));
    dialog.setNameFilters(platform::FileDialogFilters(ShowOpenFilter));
    dialog.SetCustomPreviewExt({QStringLiteral("d1k"), QStringLiteral("dmx")});
    dialog.OnPreview = [this](TKpOpenPreviewDialog *sender, const std::string &extension) {
        OpenDialogPreview(sender, extension);
    };
    connect(&dialog, &QDialog::finished, this, [this] { OpenDialogClose(); });
}

std::optional<std::string> TMainForm::ChooseShowToOpen()
{
    TKpOpenPreviewDialog dialog(this);
    SetUpShowOpenDialog(dialog);
    return dialog.Execute();
}
