// The "Sequences" and "Scenes" areas of the main window: creating, deleting, splitting,
// merging and renaming sequences, inserting, deleting, stepping and naming scenes, the
// scene clipboard, the hot sequences and the show name. The table work is done by
// SequenceEditing; these handlers check the guards and keep the controls in step.
#include "MainForm.h"
#include "ui_MainForm.h"

#include "OwnedHooks.h"

#include "EngineHold.h"
#include "OutputEngine.h"
#include "PlayControl.h"
#include "PlayState.h"
#include "SceneFixtures.h"
#include "SequenceEditing.h"
#include "ShowFile.h"
#include "ShowModel.h"
#include "StartupState.h"
#include "WindowSeams.h"

#include "controls/SpeedButton.h"
#include "fixtures/TDesign.h"

#include "platform/MsgBox.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <functional>

namespace {

const char *const AppCaption = "Brantoval-1024";
constexpr std::size_t MaxSequenceName = 255;

// Calls a function with the button of every mouse release (or, with `onPress`, of every
// press) on the watched widget; the event goes on to the widget as usual.
class MouseButtonFilter : public QObject {
public:
    MouseButtonFilter(QObject *parent, QEvent::Type type, std::function<void(Qt::MouseButton)> f)
        : QObject(parent), type_(type), f_(std::move(f))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == type_)
            f_(static_cast<QMouseEvent *>(event)->button());
        return QObject::eventFilter(watched, event);
    }

private:
    QEvent::Type type_;
    std::function<void(Qt::MouseButton)> f_;
};

bool EditingLocked()
{
    return AccessLevel > 1;
}

// The sequence table must not change under a running player; background play goes on
// while the table is edited (the table operations hold the engine and move its indices).
bool EngineRunsSequences()
{
    return Playing.load() || MultiSeqRunning.load();
}

// The name dialog, or the default text and the first choice when there is none yet.
// `choice` comes in as the dialog's preselection (3 offers "Inherited").
bool AskName(const char *label, std::string &text, bool firstSceneChoice, int &choice)
{
    const auto &dialog = WindowSeams().seqNameDialog;
    if (!dialog) {
        choice = 1;
        return true;
    }
    return dialog(label, text, firstSceneChoice, choice);
}

std::string SequenceDefaultName(int number)
{
    return "SEQUENCE " + std::to_string(number);
}

std::string CutSequenceName(const std::string &name)
{
    return name.substr(0, std::min(name.size(), MaxSequenceName));
}

// A fixture channel's default from its type's panel, -1 when there is none.
int PanelDefault(int fixture, int channel)
{
    if (fixture < 0 || fixture >= static_cast<int>(Fixtures.size()))
        return -1;
    const TDesign *panel = Fixtures[static_cast<std::size_t>(fixture)].panel;
    if (!panel || channel < 0 || channel >= DspChannels)
        return -1;
    return panel->DefaultStates[channel];
}

void ReportMemoryError()
{
    if (ShowFileEvents().memoryAllocationError)
        ShowFileEvents().memoryAllocationError();
}

void ShowLimit(const char *text)
{
    platform::ShowMessage(AppCaption, LimitMessage(text, MaxSequences));
}

void TableEdited()
{
    UndoBlockValid = 0;
    ShowModified = 1;
}

} // namespace

void TMainForm::EditingCreate()
{
    if (editingCreated_)
        return;
    editingCreated_ = true;
    TransportCreate();

    connect(ui->NewSeq, &QPushButton::clicked, this, [this] { NewSeqClick(); });
    connect(ui->NewSeq1, &QAction::triggered, this, [this] { NewSeqClick(); });
    connect(ui->DelSeq, &QPushButton::clicked, this, [this] { DelSeqClick(); });
    connect(ui->DelSeq1, &QAction::triggered, this, [this] { DelSeqClick(); });
    connect(ui->SplitSequence1, &QAction::triggered, this, [this] { SplitSequence1Click(); });
    connect(ui->MergeSequences1, &QAction::triggered, this, [this] { MergeSequences1Click(); });
    connect(ui->RenameSeq, &QAction::triggered, this, [this] { RenameSeqClick(); });
    connect(ui->Sequence, &QComboBox::activated, this, [this] { SequenceChangeFrom(ChangeSource::Box); });
    ui->SeqNum->installEventFilter(new MouseButtonFilter(ui->SeqNum, QEvent::MouseButtonRelease,
                                                         [this](Qt::MouseButton b) { SeqNumMouseUp(b); }));
    connect(ui->SeqL, &QPushButton::clicked, this, [this] { SeqListClick(); });
    connect(ui->SeqList1, &QAction::triggered, this, [this] { SeqListClick(); });

    connect(ui->NewScene, &QPushButton::clicked, this, [this] { NewSceneClick(); });
    connect(ui->NewScene1, &QAction::triggered, this, [this] { NewSceneClick(); });
    ui->NewScene->installEventFilter(new MouseButtonFilter(ui->NewScene, QEvent::MouseButtonPress,
                                                           [this](Qt::MouseButton b) {
                                                               if (b == Qt::RightButton)
                                                                   NewSceneMouseDown();
                                                           }));
    connect(ui->DeleteButton, &QPushButton::clicked, this, [this] { DeleteButtonClick(); });
    connect(ui->DeleteScene1, &QAction::triggered, this, [this] { DeleteButtonClick(); });
    connect(ui->NextScene, &QPushButton::clicked, this, [this] { NextClick(); });
    connect(ui->PrevScene, &QPushButton::clicked, this, [this] { PrevClick(); });
    connect(ui->NextScene1, &QAction::triggered, this, [this] { NextSceneClick(); });
    connect(ui->PrevScene1, &QAction::triggered, this, [this] { PrevSceneClick(); });
    connect(ui->SceneNum, &QLineEdit::returnPressed, this, [this] { SceneNumKeyPress(Qt::Key_Return); });
    connect(ui->SliderScene, &QSlider::valueChanged, this, [this] { SliderSceneChange(); });
    connect(ui->Scene, &QLineEdit::textEdited, this, [this] { SceneChange(); });
    connect(ui->RenameScene2, &QAction::triggered, this, [this] { RenameScene2Click(); });
    connect(ui->CopyButton, &QPushButton::clicked, this, [this] { CopyButtonClick(); });
    connect(ui->CopyScene1, &QAction::triggered, this, [this] { CopyButtonClick(); });
    connect(ui->InsertButton, &QPushButton::clicked, this, [this] { InsertButtonClick(); });
    connect(ui->InsertScene1, &QAction::triggered, this, [this] { InsertButtonClick(); });
    connect(ui->ReplaceButton, &QPushButton::clicked, this, [this] { ReplaceButtonClick(); });
    connect(ui->ReplaceScene1, &QAction::triggered, this, [this] { ReplaceButtonClick(); });
    connect(ui->SpeedButton5, &QToolButton::clicked, this, [this] { RefreshClick(); });
    connect(ui->Refresh1, &QAction::triggered, this, [this] { RefreshClick(); });
    connect(ui->Show, &QLineEdit::textEdited, this, [this] { ShowChange(); });

    for (int n = 0; n < PlayerSlotCount; ++n) {
        QAction *item = ui->HotSequences->addAction(QStringLiteral("S%1").arg(n));
        item->setObjectName(QStringLiteral("S%1").arg(n));
        item->setData(n);
        connect(item, &QAction::triggered, this, [this, n] { S0Click(n); });
    }
    addActions(ui->SequencesMenu->actions());
    addActions(ui->ScenesMenu->actions());

    // Insert and Replace appear with the first copy.
    ui->InsertButton->hide();
    ui->ReplaceButton->hide();
    ui->SliderScene->setRange(0, 0);

    // The display timer makes the box follow the played sequence.
    if (!WindowSeams().sequenceChange)
        InstallHook(this, WindowSeams().sequenceChange, [this](int index) { SelectSequence(index); });
}

// ---- showing the current sequence and scene ---------------------------------------------

void TMainForm::SetSequenceControlsVisible(bool visible)
{
    for (QWidget *w : {static_cast<QWidget *>(ui->Sequence), static_cast<QWidget *>(ui->SeqNum),
                       static_cast<QWidget *>(ui->DelSeq), static_cast<QWidget *>(ui->NewScene)})
        w->setVisible(visible);
}

void TMainForm::SetSceneControlsVisible(bool visible)
{
    const SequenceRecord *seq = CurrentSequenceRecord();
    for (QWidget *w : {static_cast<QWidget *>(ui->SceneNum), static_cast<QWidget *>(ui->Scene),
                       static_cast<QWidget *>(ui->DeleteButton), static_cast<QWidget *>(ui->NextScene),
                       static_cast<QWidget *>(ui->PrevScene), static_cast<QWidget *>(ui->CopyButton),
                       static_cast<QWidget *>(ui->SpeedButton5)})
        w->setVisible(visible);
    ui->SliderScene->setVisible(visible && seq && seq->sceneCount > 1);
    ui->ReplaceButton->setVisible(visible && !ui->InsertButton->isHidden());
}

void TMainForm::ShowSequenceSettings()
{
    SequenceRecord *seq = CurrentSequenceRecord();
    if (!seq)
        return;
    ExtSynchSet(StepModeOf(seq->modes));
    const bool fades = seq->flags & SeqFlagFade;
    ui->UseFade->SetDown(fades);
    for (QWidget *w : {static_cast<QWidget *>(ui->FadeTime), static_cast<QWidget *>(ui->FadeButton),
                       static_cast<QWidget *>(ui->FadeTimeLabel), static_cast<QWidget *>(ui->ButtonNonSmooth)})
        w->setVisible(fades);
    if (fades)
        ExtFadeSet(FadeModeOf(seq->modes));
    ui->CycleButton->SetDown(seq->flags & SeqFlagCycle);
    ui->ButtonNonSmooth->SetDown(seq->jumpTiming != 0);
    ui->SeqNum->setText(QString::number(CurSequence + 1));
}

void TMainForm::ShowCurrentScene()
{
    const SequenceRecord *seq = CurrentSequenceRecord();
    const SceneRecord *scene = CurrentSceneRecord();
    if (!seq || !scene) {
        ui->PMLabel->clear();
        return;
    }
    {
        const QSignalBlocker block(ui->SliderScene);
        ui->SliderScene->setRange(0, std::max(seq->sceneCount - 1, 0));
    }
    ui->SliderScene->setVisible(!ui->SceneNum->isHidden() && seq->sceneCount > 1);
    ShowSceneOnDisplay(CurScene);
    ShowPositionLabel();
}

void TMainForm::FillSequenceBox()
{
    EditingCreate();
    {
        const std::uint8_t saved = ShowLoading.load();
        ShowLoading.store(1);
        const QSignalBlocker block(ui->Sequence);
        ui->Sequence->clear();
        for (int i = 0; i < SequenceCount; ++i) {
            const SequenceRecord *seq = SequenceAt(i);
            ui->Sequence->addItem(platform::FromBytes(seq ? seq->name : std::string()));
        }
        ShowLoading.store(saved);
    }
    ui->Show->setText(platform::FromBytes(ShowNameBytes()));
    if (SequenceCount > 0) {
        SelectSequence(0);
    } else {
        CurSequence = CurScene = -1;
        SetSequenceControlsVisible(false);
        SetSceneControlsVisible(false);
    }
}

void TMainForm::SelectSequence(int index)
{
    EditingCreate();
    if (index < 0 || index >= ui->Sequence->count())
        return;
    {
        const QSignalBlocker block(ui->Sequence);
        ui->Sequence->setCurrentIndex(index);
    }
    SequenceChange();
}

// ---- sequence change --------------------------------------------------------------------

void TMainForm::SequenceChange()
{
    SequenceChangeFrom(ChangeSource::Program);
}

void TMainForm::SequenceChangeFrom(ChangeSource source)
{
    EditingCreate();
    if (ShowLoading.load())
        return;
    const int index = ui->Sequence->currentIndex();
    SequenceRecord *seq = SequenceAt(index);
    if (!seq)
        return;
    if (Playing.load()) {
        SequenceChangeWhilePlaying(index);
        return;
    }
    if (source == ChangeSource::Box)
        FixturesToScene();
    CurSequence = index;
    SetSequenceControlsVisible(true);
    if (seq->sceneCount > 0) {
        CurScene = 0;
        SceneToFixtures();
        SetDevices();
        SetSceneControlsVisible(true);
    } else {
        CurScene = -1;
        SetSceneControlsVisible(false);
    }
    ShowSequenceSettings();
    ShowCurrentScene();
    if (source != ChangeSource::SequenceList)
        CallSeam(WindowSeams().sequencesListRefresh);
    CallSeam(WindowSeams().editorsSequenceChanged);
}

// The play goes on in the new sequence: a cross-fade to its first scene, after which the
// next step plays scene 0. A sequence without scenes gets neither the cross-fade nor the
// first scene.
void TMainForm::SequenceChangeWhilePlaying(int index)
{
    const bool timerWasOn = TimerFonPlay->isActive();
    TimerFonPlay->stop();
    SequenceRecord *seq = Sequences[static_cast<std::size_t>(index)];
    const bool hasScenes = seq->sceneCount > 0 && seq->scenes[0];
    if (hasScenes)
        MakeCrossFadeSequence(index, 0);
    {
        HoldEngine hold;   // the player's levels change below
        CurScene = PlayScene = 0;
        CurSequence = PlaySequence = index;
        SetSequenceControlsVisible(true);
        SetSceneControlsVisible(hasScenes);
        ShowSequenceSettings();
        ShowCurrentScene();
        CallSeam(WindowSeams().sequencesListRefresh);
        CallSeam(WindowSeams().editorsSequenceChanged);
        const int step = StepModeOf(seq->modes);
        if (hasScenes && (step == 2 || step == 3))
            PlaceSceneOnOutput(*seq->scenes[0]);
        NextStepTime = FadeEnd = PlayClock + TickMs;
        CurScene = PlayScene = -1;
    }
    if (timerWasOn || Playing.load())
        TimerFonPlay->start();
}

// ---- sequence commands ------------------------------------------------------------------

void TMainForm::NewSeqClick()
{
    NewSequence(true);
}

void TMainForm::NewSequence(bool offerFirstScene)
{
    EditingCreate();
    if (EditingLocked() || EngineRunsSequences())
        return;
    CallSeam(WindowSeams().sequencesListCheckEditing);
    FixturesToScene();
    const SceneRecord *before = CurrentSceneRecord();
    if (SequenceTableFull()) {
        ShowLimit(SequenceLimitText);
        return;
    }
    const int at = CurrentSequenceRecord() ? CurSequence + 1 : 0;
    // The record is in the table before the name is asked: whether a sequence existed is
    // decided here, and the dialog offers "Inherited" then.
    const bool hadSequence = SequenceCount > 0;
    SequenceRecord *seq = InsertNewSequence(at);
    if (!seq) {
        ReportMemoryError();
        return;
    }
    std::string name = SequenceDefaultName(SequenceCount);
    int choice = hadSequence ? 3 : 1;
    if (!SequenceFromFile)
        AskName("Sequence Name", name, offerFirstScene, choice);
    seq->name = CutSequenceName(name);
    {
        const QSignalBlocker block(ui->Sequence);
        ui->Sequence->insertItem(at, platform::FromBytes(seq->name));
        ui->Sequence->setCurrentIndex(at);
    }
    CurSequence = at;
    CurScene = -1;
    if (!SequenceFromFile) {
        SetSequenceControlsVisible(true);
        const bool made = AddSceneAfterCurrent(NewSceneLimitText, [choice, before](SceneRecord &scene) {
            FillFirstScene(scene, choice, before, PanelDefault);
        });
        if (made)
            SequenceChange();
        CallSeam(WindowSeams().sequencesListRefresh);
    }
    CallSeam(WindowSeams().cueListSequenceInserted, CurSequence);
    TableEdited();
}

void TMainForm::DelSeqClick()
{
    EditingCreate();
    if (EditingLocked() || EngineRunsSequences())
        return;
    const SequenceRecord *seq = CurrentSequenceRecord();
    if (!seq)
        return;
    if (seq->sceneCount > 0 && (ConfirmOptions & ConfirmSequenceDelete) &&
        platform::MessageBox(AppCaption, "SEQUENCE not empty, remove all SCENES ?", platform::Buttons::YesNo) !=
            platform::Answer::Yes)
        return;
    const int deleted = CurSequence;
    // A background play of this very sequence ends with it.
    if (PlayInBackground.load() && PlaySequence == deleted)
        StopClick();
    DeleteSequence(deleted);
    {
        const QSignalBlocker block(ui->Sequence);
        if (deleted < ui->Sequence->count())
            ui->Sequence->removeItem(deleted);
    }
    if (deleted >= SequenceCount)
        CurSequence = deleted - 1;
    if (SequenceCount > 0) {
        SelectSequence(CurSequence);
    } else {
        SetSequenceControlsVisible(false);
        SetSceneControlsVisible(false);
        CurSequence = CurScene = -1;
        CallSeam(WindowSeams().closeSequenceEditors);
    }
    CallSeam(WindowSeams().sequencesListRefresh);
    CallSeam(WindowSeams().cueListSequenceDeleted, deleted);
    TableEdited();
}

void TMainForm::SplitSequence1Click()
{
    EditingCreate();
    if (EditingLocked() || EngineRunsSequences() || !CurrentSequenceRecord() || CurScene < 1 ||
        !CurrentSceneRecord())
        return;
    if (SequenceTableFull()) {
        ShowLimit(SequenceLimitText);
        return;
    }
    // The edit of the scene that moves goes with it.
    FixturesToScene();
    std::string name = SequenceDefaultName(SequenceCount + 1);
    int choice = 1;
    AskName("Sequence Name", name, false, choice);
    const EditResult result = SplitSequence(CurSequence, CurScene);
    if (result == EditResult::NoMemory)
        ReportMemoryError();
    if (result != EditResult::Done)
        return;
    const int at = CurSequence + 1;
    Sequences[static_cast<std::size_t>(at)]->name = CutSequenceName(name);
    {
        const QSignalBlocker block(ui->Sequence);
        ui->Sequence->insertItem(at, platform::FromBytes(Sequences[static_cast<std::size_t>(at)]->name));
    }
    CurSequence = at;
    CurScene = -1;
    SelectSequence(at);
    CallSeam(WindowSeams().sequencesListRefresh);
    CallSeam(WindowSeams().cueListSequenceInserted, at);
    TableEdited();
}

void TMainForm::MergeSequences1Click()
{
    EditingCreate();
    if (EditingLocked() || EngineRunsSequences() || !CurrentSequenceRecord() || CurSequence < 1)
        return;
    const SequenceRecord *prev = SequenceAt(CurSequence - 1);
    const SequenceRecord *seq = CurrentSequenceRecord();
    if (prev->sceneCount + seq->sceneCount >= MaxScenes) {
        ShowLimit(MergeSceneLimitText);
        return;
    }
    FixturesToScene();
    const int old = CurSequence;
    const int target = prev->sceneCount + std::max(CurScene, 0);
    if (MergeWithPrevious(old) != EditResult::Done)
        return;
    {
        const QSignalBlocker block(ui->Sequence);
        if (old < ui->Sequence->count())
            ui->Sequence->removeItem(old);
    }
    CurSequence = old - 1;
    SelectSequence(CurSequence);
    const SequenceRecord *merged = CurrentSequenceRecord();
    if (merged && merged->sceneCount > 0) {
        {
            const QSignalBlocker block(ui->SliderScene);
            ui->SliderScene->setValue(std::min(target, merged->sceneCount - 1));
        }
        SliderSceneChange();
    }
    CallSeam(WindowSeams().cueListSequenceDeleted, old);
    TableEdited();
}

void TMainForm::RenameSeqClick()
{
    EditingCreate();
    SequenceRecord *seq = CurrentSequenceRecord();
    if (EditingLocked() || !seq)
        return;
    std::string name = platform::ToBytes(ui->Sequence->currentText());
    int choice = 1;
    if (!AskName("Sequence Name", name, false, choice))
        return;
    seq->name = CutSequenceName(name);
    ui->Sequence->setItemText(CurSequence, platform::FromBytes(seq->name));
    ShowModified = 1;
    CallSeam(WindowSeams().sequencesListRefresh);
    if (AskSeam(WindowSeams().playListVisible))
        CallSeam(WindowSeams().programFormFullBuild);
}

void TMainForm::SeqNumMouseUp(Qt::MouseButton button)
{
    EditingCreate();
    if (SequenceCount <= 0)
        return;
    const int index = button == Qt::RightButton ? PreviousWrapped(CurSequence, SequenceCount)
                                                : NextWrapped(CurSequence, SequenceCount);
    FixturesToScene();
    SelectSequence(index);
}

void TMainForm::S0Click(int tag)
{
    EditingCreate();
    if (tag < 0 || tag >= PlayerSlotCount)
        return;
    if (MultiSeqRunning.load()) {
        const PlayerSlot &slot = PlayerSlots[static_cast<std::size_t>(tag)];
        if (slot.active) {
            CallSeam(WindowSeams().setMultiSeqSlotOn, tag, false);
        } else {
            CallSeam(WindowSeams().setMultiSeqSlotSequence, tag, static_cast<int>(slot.sequence));
            CallSeam(WindowSeams().setMultiSeqSlotOn, tag, true);
        }
        const int sequence = PlayerSlots[static_cast<std::size_t>(tag)].sequence;
        CallSeam(WindowSeams().refreshMultiSeqCell, tag, sequence, sequence);
        return;
    }
    if (tag >= SequenceCount)
        return;
    FixturesToScene();
    SelectSequence(tag);
}

void TMainForm::SelectSequenceFromList(int index)
{
    EditingCreate();
    if (index < 0 || index >= ui->Sequence->count())
        return;
    FixturesToScene();
    {
        const QSignalBlocker block(ui->Sequence);
        ui->Sequence->setCurrentIndex(index);
    }
    SequenceChangeFrom(ChangeSource::SequenceList);
}

void TMainForm::SeqListClick()
{
    EditingCreate();
    CallSeam(WindowSeams().sequencesListToggle);
}

// ---- scene commands ---------------------------------------------------------------------

bool TMainForm::AddSceneAfterCurrent(const char *limitText, const std::function<void(SceneRecord &)> &fill)
{
    SequenceRecord *seq = CurrentSequenceRecord();
    if (!seq)
        return false;
    if (SceneTableFull(*seq)) {
        ShowLimit(limitText);
        return false;
    }
    const int at = CurrentSceneRecord() ? CurScene + 1 : 0;
    SceneRecord *scene = InsertNewScene(*seq, CurScene);
    if (!scene) {
        ReportMemoryError();
        return false;
    }
    if (fill)
        fill(*scene);
    CurScene = at;
    SetSceneControlsVisible(true);
    SceneToAllFixtureChannels(*scene);
    SetDevices();
    ShowCurrentScene();
    CallSeam(WindowSeams().editorsSceneChanged);
    TableEdited();
    return true;
}

void TMainForm::NewSceneClick()
{
    EditingCreate();
    if (EditingLocked() || Playing.load() || MultiSeqRunning.load() || !CurrentSequenceRecord())
        return;
    FixturesToScene();
    AddSceneAfterCurrent(NewSceneLimitText, {});
}

void TMainForm::NewSceneMouseDown()
{
    EditingCreate();
    const auto &dialog = WindowSeams().makeScenesDialog;
    if (!dialog || EditingLocked() || Playing.load() || MultiSeqRunning.load() || !CurrentSequenceRecord())
        return;
    int count = 0;
    if (!dialog(count) || count <= 0)
        return;
    CallSeam(WindowSeams().editorsHooked, false);
    for (int i = 0; i < count; ++i) {
        if (i == count - 1)
            CallSeam(WindowSeams().editorsHooked, true);
        const SequenceRecord *seq = CurrentSequenceRecord();
        const int before = seq ? seq->sceneCount : 0;
        NewSceneClick();
        seq = CurrentSequenceRecord();
        if (!seq || seq->sceneCount == before) {
            CallSeam(WindowSeams().editorsHooked, true);
            break;
        }
    }
}

void TMainForm::DeleteButtonClick()
{
    EditingCreate();
    SequenceRecord *seq = CurrentSequenceRecord();
    if (EditingLocked() || Playing.load() || MultiSeqRunning.load() || !seq || !CurrentSceneRecord())
        return;
    if ((ConfirmOptions & ConfirmSceneDelete) &&
        platform::MessageBox(AppCaption, "Delete SCENE, are you sure?", platform::Buttons::YesNo) !=
            platform::Answer::Yes)
        return;
    DeleteScene(*seq, CurScene);
    if (CurScene >= seq->sceneCount)
        --CurScene;
    if (seq->sceneCount > 0) {
        SceneToAllFixtureChannels(*seq->scenes[CurScene]);
        SetDevices();
        SetSceneControlsVisible(true);
        ShowCurrentScene();
    } else {
        SetSceneControlsVisible(false);
        DelSeqClick();
    }
    CallSeam(WindowSeams().editorsSceneChanged);
    TableEdited();
}

void TMainForm::StepToScene(int scene, bool setDevices)
{
    CurScene = scene;
    if (const SceneRecord *record = CurrentSceneRecord())
        SceneToAllFixtureChannels(*record);
    ShowCurrentScene();
    if (setDevices)
        SetDevices();
}

// One scene on (or back), wrapping around; the buttons also refuse while the
// multi-sequence player runs and send the fixtures' values after.
void TMainForm::StepSceneWrapped(bool forward, bool fromButton)
{
    EditingCreate();
    if (Playing.load() || (fromButton && MultiSeqRunning.load()))
        return;
    const SequenceRecord *seq = CurrentSequenceRecord();
    if (!seq || seq->sceneCount == 0)
        return;
    FixturesToScene();
    StepToScene(forward ? NextWrapped(CurScene, seq->sceneCount) : PreviousWrapped(CurScene, seq->sceneCount), false);
    if (fromButton)
        SetDevices();
}

void TMainForm::NextSceneClick() { StepSceneWrapped(true, false); }
void TMainForm::PrevSceneClick() { StepSceneWrapped(false, false); }
void TMainForm::NextClick() { StepSceneWrapped(true, true); }
void TMainForm::PrevClick() { StepSceneWrapped(false, true); }

void TMainForm::SceneNumKeyPress(int key)
{
    EditingCreate();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return;
    const SequenceRecord *seq = CurrentSequenceRecord();
    if (!seq || seq->sceneCount <= 0)
        return;
    const int typed = ui->SceneNum->text().left(5).trimmed().toInt();
    const int number = std::clamp(typed, 1, static_cast<int>(seq->sceneCount));
    if (!ui->SliderScene->isHidden()) {
        {
            const QSignalBlocker block(ui->SliderScene);
            ui->SliderScene->setValue(number - 1);
        }
        SliderSceneChange();
    } else {
        ui->SceneNum->setText(QString::number(number));
    }
}

void TMainForm::SliderSceneChange()
{
    EditingCreate();
    const SequenceRecord *seq = CurrentSequenceRecord();
    const int position = ui->SliderScene->value();
    if (!seq || position < 0 || position >= seq->sceneCount)
        return;
    FixturesToScene();
    CurScene = position;
    SceneToFixtures();
    ShowCurrentScene();
    SetDevices();
}

void TMainForm::SceneChange()
{
    EditingCreate();
    SceneRecord *scene = CurrentSceneRecord();
    if (EditingLocked() || Playing.load() || !scene)
        return;
    SetSceneName(*scene, platform::ToBytes(ui->Scene->text()));
    ShowModified = 1;
    if (PositionMemoryPresent) {
        ShowPositionLabel();
        CallSeam(WindowSeams().positionMenuUpdate);
    }
}

void TMainForm::RenameScene2Click()
{
    EditingCreate();
    SceneRecord *scene = CurrentSceneRecord();
    if (EditingLocked() || !scene)
        return;
    std::string name = SceneNameBytes(*scene);
    int choice = 1;
    if (!AskName("Scene Name", name, false, choice))
        return;
    // The dialog may outlive the scene: only a scene still in the table is renamed.
    const SequenceRecord *seq = CurrentSequenceRecord();
    bool held = false;
    for (int i = 0; seq && i < seq->sceneCount && !held; ++i)
        held = seq->scenes[i] == scene;
    if (!held)
        return;
    SetSceneName(*scene, name);
    ShowModified = 1;
    if (CurrentSceneRecord() == scene)
        ui->Scene->setText(platform::FromBytes(SceneNameBytes(*scene)));
}

void TMainForm::CopyButtonClick()
{
    EditingCreate();
    const SceneRecord *scene = CurrentSceneRecord();
    if (EditingLocked() || MultiSeqRunning.load() || !scene)
        return;
    SceneClipboard = *scene;
    ui->InsertButton->show();
    ui->ReplaceButton->show();
}

void TMainForm::ReplaceButtonClick()
{
    EditingCreate();
    SceneRecord *scene = CurrentSceneRecord();
    if (EditingLocked() || MultiSeqRunning.load() || !scene)
        return;
    *scene = SceneClipboard;
    SceneToAllFixtureChannels(*scene);
    SetDevices();
    ShowCurrentScene();
    CallSeam(WindowSeams().editorsSceneChanged);
    TableEdited();
}

void TMainForm::InsertButtonClick()
{
    EditingCreate();
    if (EditingLocked() || MultiSeqRunning.load())
        return;
    const SequenceRecord *seq = CurrentSequenceRecord();
    if (seq && SceneTableFull(*seq)) {
        ShowLimit(InsertSceneLimitText);
        return;
    }
    // Replace only a scene that was made here, never the one that was current.
    const int sequencesBefore = SequenceCount;
    const int scenesBefore = seq ? seq->sceneCount : 0;
    if (seq)
        NewSceneClick();
    else
        NewSeqClick();
    seq = CurrentSequenceRecord();
    const bool made = seq && (SequenceCount != sequencesBefore || seq->sceneCount != scenesBefore);
    if (made)
        ReplaceButtonClick();
}

void TMainForm::RefreshClick()
{
    EditingCreate();
    if (EditingLocked() || Playing.load() || MultiSeqRunning.load())
        return;
    if (AskSeam(WindowSeams().graphEditOpen))
        CallSeam(WindowSeams().graphEditRestoreUndo);
    SceneToFixtures();
    SetDevices();
}

void TMainForm::ShowChange()
{
    EditingCreate();
    if (EditingLocked())
        return;
    SetShowName(platform::ToBytes(ui->Show->text()));
    ShowModified = 1;
}
