#include "TProgramForm.h"
#include "ui_ProgramForm.h"

#include "MainForm.h"
#include "ui_MainForm.h"

#include "HardwareSettings.h"
#include "InterfaceBinding.h"
#include "MediaNames.h"
#include "OwnedHooks.h"
#include "PlayControl.h"
#include "PlayList.h"
#include "PlayListFile.h"
#include "PlayState.h"
#include "SequenceEditing.h"
#include "ShowModel.h"
#include "TLabelF.h"
#include "TMultiSeq.h"
#include "TTVScreenf.h"
#include "TTimeMaskEdit.h"
#include "TTimePlus.h"
#include "WindowSeams.h"

#include "controls/CellEditors.h"
#include "controls/RegForm.h"
#include "controls/SpeedButton.h"
#include "controls/SpinEdits.h"

#include "platform/Files.h"
#include "platform/MediaPlayer.h"
#include "platform/MsgBox.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <filesystem>

TProgramForm *ProgramForm = nullptr;

namespace {

const char *const Caption = "Brantoval-1024";
const char *const SequenceMime = "application/x-brtv-sequence";
const char *const CueMime = "application/x-brtv-cue";
const char *const NoneItem = "------------";

enum Column { ColNumber, ColStart, ColCue, ColName, ColFade, ColAction, ColMedia, ColMediaStart, ColMediaStop, ColComments };

PlayListEntry *Entry(int line)
{
    if (line < 0 || line >= static_cast<int>(PlayListEntries.size()))
        return nullptr;
    return &PlayListEntries[static_cast<std::size_t>(line)];
}

// A line's fade as the main window's cross-fade: disabled for 0, else its time.
void SetCrossFade(TSpeedButton *disable, TTimeEdit *time, std::int32_t fade)
{
    MainForm->TransportCreate();
    disable->SetDown(fade == 0);
    time->setEnabled(fade != 0);
    if (fade != 0)
        time->SetValue(fade);
}

QString Text(const std::string &s)
{
    return QString::fromStdString(s);
}

} // namespace

TProgramForm::TProgramForm(QWidget *parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), ui(new Ui::TProgramForm)
{
    ui->setupUi(this);
    QTableWidget *grid = ui->ProgrammList;
    grid->setHorizontalHeaderLabels({QStringLiteral("NN"), QStringLiteral("Start Time"), QStringLiteral("MS"),
                                     QStringLiteral("Seq/Cue"), QStringLiteral("Fade"), QStringLiteral("Action"),
                                     QStringLiteral("MCI"), QStringLiteral("Start"), QStringLiteral("Stop"),
                                     QStringLiteral("Comments")});
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(20);
    const int widths[] = {30, 80, 28, 110, 50, 75, 140, 70, 70, 120};
    for (int c = 0; c < 10; ++c)
        grid->setColumnWidth(c, widths[c]);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->viewport()->installEventFilter(this);
    grid->installEventFilter(this);
    grid->viewport()->setAcceptDrops(true);
    grid->setContextMenuPolicy(Qt::NoContextMenu);

    auto combo = [this, grid](const char *name) {
        auto *c = new QComboBox(grid->viewport());
        c->setObjectName(QString::fromLatin1(name));
        c->setMaxVisibleItems(24);
        c->hide();
        connect(c, &QComboBox::activated, this, [this, c](int item) { ComboChosen(c, item); });
        return c;
    };
    SequenceP = combo("SequenceP");
    Cues = combo("Cues");
    AfterEnding = combo("AfterEnding");
    for (const char *name : PlayListActionNames)
        AfterEnding->addItem(QString::fromLatin1(name));

    auto timeEditor = [this, grid](const char *name, const char *mask) {
        auto *e = new TTimeMaskEdit(grid->viewport(), QString::fromLatin1(mask));
        e->setObjectName(QString::fromLatin1(name));
        e->hide();
        e->OnEnter = [this] { CloseEditor(true); };
        e->OnExit = [this] { CloseEditor(true); };
        e->OnEscape = [this] { CloseEditor(false); };
        return e;
    };
    TimeEdit = timeEditor("TimeEdit", "!90:00:00:0>;1;_");
    FadeEdit = timeEditor("FadeEdit", "!90:00>;1;");
    MediaTimeEdit = timeEditor("MediaTimeEdit", "!900:00:0>;1;");
    TextEdit = new QLineEdit(grid->viewport());
    TextEdit->setObjectName(QStringLiteral("TextEdit"));
    TextEdit->setMaxLength(PlayListTextLimit);
    TextEdit->hide();
    TextEdit->installEventFilter(this);
    MediaButton = new QToolButton(grid->viewport());
    MediaButton->setObjectName(QStringLiteral("MediaButton"));
    MediaButton->setText(QStringLiteral("..."));
    MediaButton->setToolTip(QStringLiteral("Open Media Files"));
    MediaButton->hide();
    connect(MediaButton, &QToolButton::clicked, this, [this] { MediaButtonClick(); });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    connect(ui->New, &QToolButton::clicked, this, [this] { NewClick(); });
    connect(ui->Open, &QToolButton::clicked, this, [this] { OpenClick(); });
    connect(ui->Save, &QToolButton::clicked, this, [this] { SaveClick(); });
    connect(ui->Play, &QToolButton::clicked, this, [this] { PlayClick(); });
    connect(ui->StopB, &QToolButton::clicked, this, [this] { StopClick(); });
    connect(ui->GOs, &QToolButton::clicked, this, [this] { GOsClick(); });
    connect(ui->FForward, &QToolButton::clicked, this, [this] { FForwardClick(); });
    connect(ui->FBackward, &QToolButton::clicked, this, [this] { FBackwardClick(); });
    connect(grid, &QTableWidget::cellClicked, this, [this](int row, int col) {
        if (PlayListRunning.load())
            return;
        if (col == ColCue)
            ToggleCueFlag(row);
        else if (col == ColName || col == ColAction || (pressOnCurrent_ && col != ColNumber))
            EditCell(row, col);
    });
    ui->GOs->hide();

    // F12 (Play/Stop) and "GO (Play List)" work while this window has the focus too.
    if (MainForm)
        addActions({MainForm->ui->Play1, MainForm->ui->GO});

    Runner = PlayListRunner(MakeHost());
    RegForm1 = new TRegForm(this);
    RegForm1->Loaded();
    InstallHooks();
    Redraw();
}

TProgramForm::~TProgramForm()
{
    ReleaseOwnedHooks(this);
    Timer1->stop();
    AskSave();
    delete TVScreenf;
    delete oldScreen_.data();
    player_.reset();
    if (ProgramForm == this)
        ProgramForm = nullptr;
    delete ui;
}

void TProgramForm::InstallHooks()
{
    WindowSeamTable &s = WindowSeams();
    InstallHook(this, s.playListVisible, [this] { return isVisible(); });
    InstallHook(this, s.playListPlay, [this] { PlayClick(); });
    InstallHook(this, s.playListStop, [this] { StopClick(); });
    InstallHook(this, s.playListGo, [this] { GOsClick(); });
    InstallHook(this, s.programFormFullBuild, [this] { FullBuild(); });
}

// ---- the runner's calls into the program --------------------------------------------------

PlayListHost TProgramForm::MakeHost()
{
    PlayListHost h;
    auto mainAction = [](const char *name) -> QAction * {
        return MainForm ? MainForm->findChild<QAction *>(QString::fromLatin1(name)) : nullptr;
    };
    h.mainStop = [] {
        if (MainForm)
            MainForm->StopClick();
    };
    h.mainPlay = [] {
        if (MainForm)
            MainForm->PlayClick();
    };
    h.sequenceChange = [](int index) {
        if (MainForm)
            MainForm->SelectSequence(index);
    };
    h.cueListChecked = [mainAction] {
        QAction *a = mainAction("CueListM");
        return a && a->isChecked();
    };
    h.cueListClick = [] {
        if (MainForm)
            MainForm->CueListMClick();
    };
    h.multiSeqChecked = [] { return AskSeam(WindowSeams().multiSeqMenuChecked); };
    h.multiSeqClick = [] {
        if (MainForm)
            MainForm->MultiSeqPlayerClick();
    };
    h.multiPlay = [] { CallSeam(WindowSeams().multiSeqPlay); };
    h.selectCue = [](int cue) { CallSeam(WindowSeams().selectCue, cue); };
    h.blackOut = [](bool down) {
        if (!MainForm)
            return;
        MainForm->TransportCreate();
        MainForm->ui->BlackOut1->SetDown(down);
        MainForm->BlackOut1Click();
    };
    h.favourite = [](std::int32_t fade) {
        if (!MainForm)
            return;
        SetCrossFade(MainForm->ui->DisaFavorite, MainForm->ui->CrossFadeFavorite, fade);
        MainForm->ui->Favourite->SetDown(true);
        MainForm->FavouriteClick();
    };
    h.sequenceCrossFade = [](std::int32_t fade) {
        if (MainForm)
            SetCrossFade(MainForm->ui->DisaSequence, MainForm->ui->CrossFadeSeq, fade);
    };
    h.playButtonsEnabled = [](bool enabled) {
        if (MainForm) {
            MainForm->ui->Play->setEnabled(enabled);
            MainForm->ui->Stop->setEnabled(enabled);
        }
        if (MultiSeq) {
            MultiSeq->Play->setEnabled(enabled);
            MultiSeq->Stop->setEnabled(enabled);
        }
    };
    h.terminate = [] {
        if (PostMainWindowClose)
            PostMainWindowClose();
    };
    h.showLine = [this](int line) { ShowLine(line); };
    h.runningChanged = [this](bool running) { ui->Play->setVisible(!running); };
    h.waitingChanged = [this](bool waiting) {
        ui->GOs->setVisible(waiting);
        ui->FForward->setVisible(!waiting);
        ui->FBackward->setVisible(!waiting);
    };
    h.timer = [this](bool on) {
        if (on)
            Timer1->start();
        else
            Timer1->stop();
    };
    h.clockText = [this](const std::string &s) { ui->StaticText1->setText(Text(s)); };
    h.mediaText = [this](const std::string &s) { ui->StaticText2->setText(platform::FromBytes(s)); };
    h.repaint = [this] { Redraw(); };
    h.mediaPlayer = [this](bool cd) { return RunnerPlayer(cd); };
    h.mediaStarted = [](bool hasVideo) {
        if (TVScreenf && TVScreenf->HasPlayer())
            TVScreenf->ShowPlayer(hasVideo);
    };
    h.mediaStopped = [this](platform::MediaPlayer &player) { RunnerMediaStopped(player); };
    return h;
}

platform::MediaPlayer *TProgramForm::RunnerPlayer(bool cd)
{
    if (!cd && TVScreenf)
        return &TVScreenf->Player();
    if (!player_)
        player_ = platform::CreateMediaPlayer(false);
    return player_.get();
}

// The video screen's player keeps its media when it does not stop in time.
void TProgramForm::RunnerMediaStopped(platform::MediaPlayer &player)
{
    // The screen's wait handles events: the list window may close meanwhile and let it go.
    if (TTVScreenf *tv = TVScreenf; tv && tv->HasPlayer() && &tv->Player() == &player) {
        tv->StopClick();
        tv->ShowPlayer(false);
        return;
    }
    player.Stop();
    player.Close();
}

// ---- the grid ---------------------------------------------------------------------------

int TProgramForm::CurrentLine() const
{
    const int row = ui->ProgrammList->currentRow();
    if (PlayListCount <= 0)
        return -1;
    return std::clamp(row, 0, PlayListCount - 1);
}

void TProgramForm::ShowLine(int line)
{
    if (line < 0 || line >= ui->ProgrammList->rowCount())
        return;
    ui->ProgrammList->setCurrentCell(line, std::max(0, ui->ProgrammList->currentColumn()));
    ui->ProgrammList->scrollToItem(ui->ProgrammList->item(line, 0));
}

void TProgramForm::FillRow(int line)
{
    QTableWidget *grid = ui->ProgrammList;
    const PlayListEntry *e = Entry(line);
    QStringList cells;
    if (e) {
        QString name;
        if (e->index >= 0) {
            if (e->cueFlag && e->index < static_cast<int>(::Cues.size()))
                name = platform::FromBytes(::Cues[static_cast<std::size_t>(e->index)].name);
            else if (!e->cueFlag && MainForm && e->index < MainForm->ui->Sequence->count())
                name = MainForm->ui->Sequence->itemText(e->index);
        }
        QString media = platform::FromBytes(e->mediaFile);
        const int room = grid->columnWidth(ColMedia) - 6;
        if (grid->fontMetrics().horizontalAdvance(media) > room)
            media = platform::FromBytes(MediaBaseName(e->mediaFile));
        const bool hasMedia = !e->mediaFile.empty();
        cells = {QString::number(line + 1),
                 Text(FormatPlayListTime(e->startTime)),
                 e->cueFlag ? QStringLiteral("\u25CF") : QString(),
                 name,
                 Text(FormatFadeTime(e->fade)),
                 Text(PlayListActionName(*e)),
                 media,
                 hasMedia ? Text(FormatMediaTime(e->mediaStart)) : QString(),
                 hasMedia ? Text(FormatMediaTime(e->mediaStop)) : QString(),
                 platform::FromBytes(e->comments)};
    }
    for (int c = 0; c < 10; ++c) {
        QTableWidgetItem *item = grid->item(line, c);
        if (!item) {
            item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            if (c == ColCue || c == ColNumber)
                item->setTextAlignment(Qt::AlignCenter);
            grid->setItem(line, c, item);
        }
        item->setText(cells.value(c));
        if (c == ColMedia && e)
            item->setToolTip(platform::FromBytes(e->mediaFile));
    }
}

void TProgramForm::Redraw()
{
    QTableWidget *grid = ui->ProgrammList;
    grid->setRowCount(std::max(1, PlayListCount));
    for (int r = 0; r < grid->rowCount(); ++r)
        FillRow(r);
}

void TProgramForm::MarkModified()
{
    PlayListModified = 1;
}

void TProgramForm::FillChoices(bool force)
{
    // A renamed sequence or cue is taken over too, not only a changed count.
    QStringList sequences;
    if (MainForm)
        for (int i = 0; i < MainForm->ui->Sequence->count(); ++i)
            sequences.append(MainForm->ui->Sequence->itemText(i));
    QStringList cues;
    for (int i = 0; i < CueCount && i < static_cast<int>(::Cues.size()); ++i)
        cues.append(platform::FromBytes(::Cues[static_cast<std::size_t>(i)].name));
    auto differs = [](const QComboBox *combo, const QStringList &names) {
        if (combo->count() != 1 + names.size())
            return true;
        for (int i = 0; i < names.size(); ++i)
            if (combo->itemText(i + 1) != names[i])
                return true;
        return false;
    };
    if (force || SequenceP->count() != 1 + SequenceCount || differs(SequenceP, sequences)) {
        SequenceP->clear();
        SequenceP->addItem(QString::fromLatin1(NoneItem));
        SequenceP->addItems(sequences);
    }
    if (force || Cues->count() != 1 + CueCount || differs(Cues, cues)) {
        Cues->clear();
        Cues->addItem(QString::fromLatin1(NoneItem));
        Cues->addItems(cues);
    }
}

void TProgramForm::FormActivate()
{
    FillChoices(false);
    if (ClearMissingPlayListIndices())
        MarkModified();
    Redraw();
}

void TProgramForm::FormDeactivate()
{
    if (PlayListModified)
        ShowModified = 1;
}

void TProgramForm::FullBuild()
{
    // The choices and lines are made anew: an editor left open would stand over them.
    CloseEditor(false);
    FillChoices(true);
    FormActivate();
}

// ---- editing ----------------------------------------------------------------------------

void TProgramForm::InsertLine()
{
    if (PlayListRunning.load())
        return;
    CloseEditor(true);
    const int line = InsertPlayListLine(CurrentLine());
    Redraw();
    ShowLine(line);
}

void TProgramForm::DeleteLine()
{
    const int line = CurrentLine();
    if (PlayListRunning.load() || line < 0)
        return;
    CloseEditor(false);
    if ((ConfirmOptions & ConfirmPlayListLineDelete) &&
        platform::MessageBox(Caption, "Delete Line, are you sure?", platform::Buttons::YesNo) != platform::Answer::Yes)
        return;
    DeletePlayListLine(line);
    Redraw();
    ShowLine(std::min(line, PlayListCount - 1));
}

void TProgramForm::ToggleCueFlag(int line)
{
    PlayListEntry *e = Entry(line);
    if (!e || PlayListRunning.load())
        return;
    e->cueFlag = e->cueFlag ? 0 : 1;
    MarkModified();
    FillRow(line);
}

void TProgramForm::PlaceEditor(QWidget *editor, int line, int col)
{
    QTableWidget *grid = ui->ProgrammList;
    QRect r = grid->visualItemRect(grid->item(line, col));
    if (col == ColMedia) {
        const int bw = r.height();
        MediaButton->setGeometry(r.right() - bw + 1, r.top(), bw, r.height());
        MediaButton->show();
        MediaButton->raise();
        r.setWidth(r.width() - bw);
    }
    editor->setGeometry(r.adjusted(0, 0, 0, 0));
    editor->show();
    editor->raise();
    editor->setFocus();
}

void TProgramForm::ShowCombo(QComboBox *combo, int line, int col)
{
    const PlayListEntry *e = Entry(line);
    if (!e)
        return;
    editLine_ = line;
    editCol_ = col;
    if (combo == AfterEnding)
        combo->setCurrentIndex(e->action < PlayListActionCount ? e->action : 0);
    else
        combo->setCurrentIndex(e->index + 1 < combo->count() ? e->index + 1 : 0);
    QTableWidget *grid = ui->ProgrammList;
    const QRect r = grid->visualItemRect(grid->item(line, col));
    combo->setGeometry(r.left(), r.top(), std::max(r.width(), 120), r.height() + 2);
    combo->show();
    combo->raise();
    combo->setFocus();
    if (!platform::ScriptedMode())
        combo->showPopup();
}

void TProgramForm::ComboChosen(QComboBox *combo, int item)
{
    combo->hide();
    PlayListEntry *e = Entry(editLine_);
    const int line = editLine_;
    editLine_ = editCol_ = -1;
    if (!e || item < 0)
        return;
    if (combo == AfterEnding) {
        if (item == ActGoto) {
            GotoTarget = e->action == ActGoto ? e->gotoRow : 0;
            TLabelF dialog(this);
            dialog.setObjectName(QStringLiteral("LabelF"));
            if (platform::RunModalDialog(dialog) == 0)
                return;
            e = Entry(line);
            if (!e)
                return;
            e->gotoRow = static_cast<std::int16_t>(GotoTarget);
        }
        e->action = static_cast<std::uint8_t>(item);
    } else {
        e->index = static_cast<std::int16_t>(item - 1);
        e->cueFlag = combo == Cues ? 1 : 0;
    }
    MarkModified();
    FillRow(line);
}

void TProgramForm::EditCell(int line, int col)
{
    PlayListEntry *e = Entry(line);
    if (PlayListRunning.load())
        return;
    if (col == ColNumber) {
        InsertLine();
        return;
    }
    if (!e)
        return;
    CloseEditor(true);
    auto openTime = [&](TTimeMaskEdit *editor, const std::string &text) {
        editStart_ = Text(text);
        editor->SetTimeText(editStart_);
        editLine_ = line;
        editCol_ = col;
        PlaceEditor(editor, line, col);
    };
    switch (col) {
    case ColStart:
        openTime(TimeEdit, FormatPlayListTime(e->startTime));
        break;
    case ColCue:
        ToggleCueFlag(line);
        break;
    case ColName:
        FillChoices(false);
        ShowCombo(e->cueFlag ? Cues : SequenceP, line, col);
        break;
    case ColFade:
        openTime(FadeEdit, FormatFadeTime(e->fade));
        break;
    case ColAction:
        ShowCombo(AfterEnding, line, col);
        break;
    case ColMediaStart:
    case ColMediaStop:
        if (!e->mediaFile.empty())
            openTime(MediaTimeEdit, FormatMediaTime(std::max(0, col == ColMediaStart ? e->mediaStart : e->mediaStop)));
        break;
    case ColMedia:
    case ColComments:
        editStart_ = platform::FromBytes(col == ColMedia ? e->mediaFile : e->comments);
        TextEdit->setText(editStart_);
        editLine_ = line;
        editCol_ = col;
        PlaceEditor(TextEdit, line, col);
        break;
    default:
        break;
    }
}

void TProgramForm::CloseEditor(bool commit)
{
    if (editLine_ < 0 || editCol_ < 0)
        return;
    const int line = editLine_;
    const int col = editCol_;
    editLine_ = editCol_ = -1;
    CloseCellEditors({TimeEdit, FadeEdit, MediaTimeEdit, TextEdit, MediaButton, SequenceP, Cues, AfterEnding});
    PlayListEntry *e = Entry(line);
    if (!commit || !e)
        return;
    switch (col) {
    case ColStart:
        if (const auto ms = ParsePlayListTime(platform::ToBytes(TimeEdit->valueText()))) {
            e->startTime = *ms;
            MarkModified();
            if (PlayListLineOutOfOrder(line)) {
                const int at = SortPlayList(line);
                Redraw();
                ShowLine(at);
                return;
            }
        }
        break;
    case ColFade:
        // An untouched entry keeps the value, so fades over 99 s survive a look.
        if (FadeEdit->text() != editStart_) {
            if (const auto ms = ParseFadeTime(platform::ToBytes(FadeEdit->valueText()))) {
                e->fade = *ms;
                MarkModified();
            }
        }
        break;
    case ColMediaStart:
    case ColMediaStop:
        if (MediaTimeEdit->text() != editStart_) {
            if (const auto ms = ParseMediaTime(platform::ToBytes(MediaTimeEdit->valueText()))) {
                (col == ColMediaStart ? e->mediaStart : e->mediaStop) = *ms;
                MarkModified();
            }
        }
        break;
    case ColMedia: {
        if (TextEdit->text() == editStart_)
            break;
        const std::string path = platform::ToBytes(TextEdit->text());
        if (path.empty()) {
            e->mediaFile.clear();
            e->mediaStart = e->mediaStop = -1;
        } else {
            e->mediaFile = path;
        }
        MarkModified();
        break;
    }
    case ColComments:
        if (TextEdit->text() != editStart_) {
            e->comments = platform::ToBytes(TextEdit->text()).substr(0, PlayListTextLimit);
            MarkModified();
        }
        break;
    default:
        break;
    }
    FillRow(line);
}

void TProgramForm::TimeShift(bool minus, const QPoint &at)
{
    const int line = CurrentLine();
    if (PlayListRunning.load() || line < 0)
        return;
    CloseEditor(true);
    TimeShiftValue = 0;
    TTimePlus dialog(this);
    dialog.setObjectName(QStringLiteral("TimePlus"));
    dialog.move(at);
    if (platform::RunModalDialog(dialog) == 0 || TimeShiftValue == 0)
        return;
    const std::int32_t delta = minus ? -TimeShiftValue : TimeShiftValue;
    const int moved = ShiftPlayListTimes(line, delta);
    if (moved < 0) {
        platform::MessageBox(Caption, "Negative result Time", platform::Buttons::Ok);
        return;
    }
    Redraw();
    ShowLine(moved);
}

void TProgramForm::MediaButtonClick()
{
    const int line = editLine_ >= 0 ? editLine_ : CurrentLine();
    CloseEditor(false);
    if (!Entry(line) || PlayListRunning.load())
        return;
    const auto path = platform::OpenFileDialog("Open Media Files", MediaFileFilter());
    if (!path || std::filesystem::path(*path).extension().empty())
        return;
    if (path->size() > static_cast<std::size_t>(PlayListTextLimit)) {
        platform::MessageBox(Caption, "The media file name is longer than 255 characters", platform::Buttons::Ok);
        return;
    }
    PlayListEntry *e = Entry(line);
    e->mediaFile = *path;
    MarkModified();
    auto player = platform::CreateMediaPlayer(false);
    if (IsCdTrackName(*path)) {
        const auto track = CdTrackNumber(*path);
        if (!track || !platform::OpenAndWait(*player, CdTrackUrl(*track))) {
            platform::MessageBox(Caption, "Bad CD Audio", platform::Buttons::Ok);
        } else {
            e->mediaStart = 0;
            e->mediaStop = static_cast<std::int32_t>(std::clamp<std::int64_t>(player->DurationMs(), 0, 0x7FFFFFFF));
        }
    } else if (!platform::OpenAndWait(*player, *path)) {
        platform::MessageBox(Caption, platform::MediaErrorText(*player), platform::Buttons::Ok);
    } else {
        e->mediaStart = 0;
        e->mediaStop = static_cast<std::int32_t>(std::clamp<std::int64_t>(player->DurationMs(), 0, 0x7FFFFFFF));
    }
    player->Close();
    FillRow(line);
}

bool TProgramForm::DropOn(int row, const QMimeData &data)
{
    if (PlayListRunning.load())
        return false;
    const bool cue = data.hasFormat(QString::fromLatin1(CueMime));
    if (!cue && !data.hasFormat(QString::fromLatin1(SequenceMime)))
        return false;
    bool ok = false;
    const int index = QString::fromLatin1(data.data(QString::fromLatin1(cue ? CueMime : SequenceMime)).trimmed()).toInt(&ok);
    if (!ok || index < 0 || index > 0x7FFF)
        return false;
    CloseEditor(true);
    int line = row;
    if (row < 0 || row >= PlayListCount)
        line = InsertPlayListLine(PlayListCount - 1);
    PlayListEntry *e = Entry(line);
    e->index = static_cast<std::int16_t>(index);
    e->cueFlag = cue ? 1 : 0;
    MarkModified();
    Redraw();
    ShowLine(line);
    return true;
}

bool TProgramForm::KeyOnGrid(int key)
{
    const int col = ui->ProgrammList->currentColumn();
    const int line = CurrentLine();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (col <= ColNumber)
            InsertLine();
        else
            EditCell(line, col);
        return true;
    case Qt::Key_Delete:
        if (col == ColNumber) {
            DeleteLine();
            return true;
        }
        return false;
    case Qt::Key_Space:
        if (col == ColCue) {
            ToggleCueFlag(line);
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool TProgramForm::eventFilter(QObject *watched, QEvent *e)
{
    QTableWidget *grid = ui->ProgrammList;
    if (watched == TextEdit && e->type() == QEvent::FocusOut && !MediaButton->underMouse()) {
        CloseEditor(true);
        return false;
    }
    if (watched == TextEdit && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(e)->key();
        if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
            CloseEditor(key != Qt::Key_Escape);
            return true;
        }
    }
    if (watched == grid && e->type() == QEvent::KeyPress) {
        if (PlayListRunning.load())
            return true;
        return KeyOnGrid(static_cast<QKeyEvent *>(e)->key());
    }
    if (watched != grid->viewport())
        return QWidget::eventFilter(watched, e);
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // Nothing can be edited or selected while the list runs.
        if (PlayListRunning.load())
            return true;
        auto *m = static_cast<QMouseEvent *>(e);
        const QModelIndex at = grid->indexAt(m->position().toPoint());
        if (e->type() == QEvent::MouseButtonDblClick && m->button() == Qt::LeftButton && at.isValid() &&
            at.column() == ColNumber) {
            grid->setCurrentCell(at.row(), at.column());
            InsertLine();
            return true;
        }
        pressOnCurrent_ = at.isValid() && at == grid->currentIndex();
        if (m->button() == Qt::RightButton && at.isValid() && at.column() == ColStart) {
            grid->setCurrentCell(at.row(), at.column());
            QMenu menu(this);
            QAction *plus = menu.addAction(QStringLiteral("+Time"));
            QAction *minus = menu.addAction(QStringLiteral("-Time"));
            const QPoint global = m->globalPosition().toPoint();
            QAction *chosen = menu.exec(global);
            if (chosen == plus || chosen == minus)
                TimeShift(chosen == minus, global);
            return true;
        }
        return false;
    }
    case QEvent::MouseButtonRelease:
        return PlayListRunning.load();
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *d = static_cast<QDropEvent *>(e);
        const QMimeData *m = d->mimeData();
        const bool ok = !PlayListRunning.load() && m &&
                        (m->hasFormat(QString::fromLatin1(SequenceMime)) || m->hasFormat(QString::fromLatin1(CueMime)));
        if (ok)
            d->acceptProposedAction();
        else
            d->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto *d = static_cast<QDropEvent *>(e);
        const int row = PlayListCount > 0 ? grid->rowAt(d->position().toPoint().y()) : -1;
        if (d->mimeData() && DropOn(row, *d->mimeData()))
            d->acceptProposedAction();
        else
            d->ignore();
        return true;
    }
    default:
        return QWidget::eventFilter(watched, e);
    }
}

// ---- runner -----------------------------------------------------------------------------

void TProgramForm::PlayClick()
{
    CloseEditor(true);
    if (PlayListRunning.load())
        return;
    Runner.Start(std::max(0, CurrentLine()));
}

void TProgramForm::StopClick()
{
    Runner.Stop();
    if (player_)
        player_->Close();
}

void TProgramForm::GOsClick()
{
    Runner.Go();
}

void TProgramForm::FForwardClick()
{
    Runner.FastForward();
}

void TProgramForm::FBackwardClick()
{
    Runner.FastBackward();
}

void TProgramForm::Timer1Timer()
{
    Runner.Step();
}

// ---- file -------------------------------------------------------------------------------

bool TProgramForm::AskSave()
{
    if (!(PlayListModified && PlayListFromFile))
        return true;
    switch (platform::MessageBox(Caption, "Play List modified, save?", platform::Buttons::YesNoCancel)) {
    case platform::Answer::Yes:
        SaveClick();
        return true;
    case platform::Answer::Cancel:
        return false;
    default:
        return true;
    }
}

void TProgramForm::NewClick()
{
    if (PlayListRunning.load() || !AskSave())
        return;
    CloseEditor(false);
    PlayListEntries.clear();
    PlayListCount = 0;
    SaveName = "PlayList.pgl";
    Redraw();
    ShowLine(0);
}

void TProgramForm::OpenClick()
{
    if (PlayListRunning.load() || !AskSave())
        return;
    CloseEditor(false);
    const auto path = platform::OpenFileDialog("Open File", "*.pgl|*.pgl", platform::ProgramFolder());
    if (!path)
        return;
    if (!LoadPlayListFile(*path))
        return;
    PlayListModified = 0;
    SaveName = *path;
    PlayListFromFile = 1;
    FormActivate();
    ShowLine(0);
}

void TProgramForm::SaveClick()
{
    if (PlayListRunning.load())
        return;
    CloseEditor(true);
    std::string name = SaveName;
    if (std::filesystem::path(name).is_relative())
        name = (std::filesystem::path(platform::ProgramFolder()) / name).string();
    const auto path = platform::SaveFileDialog("Save File", "*.pgl|*.pgl", name);
    if (!path)
        return;
    if (!SavePlayListFile(*path)) {
        platform::MessageBox(Caption, "Can't write " + *path, platform::Buttons::Ok);
        return;
    }
    SaveName = *path;
    PlayListModified = 0;
}

// ---- window -----------------------------------------------------------------------------

void TProgramForm::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (PlayListRunning.load())
        StopClick();
    FormActivate();
    if (MediaPlayerOption == 1 && !TVScreenf) {
        TVScreenf = new TTVScreenf;
        TVScreenf->show();
        // Both stay on top. The screen, shown first, is placed under the list (kept inside
        // the screen) and raised over it, so the operator sees it to drag it onto the
        // projector without it hiding the list's buttons.
        QTimer::singleShot(0, TVScreenf, [this, tv = TVScreenf] {
            const QRect area = screen()->availableGeometry();
            const QRect list = frameGeometry();
            const int x = std::clamp(list.left(), area.left(), std::max(area.left(), area.right() - tv->width()));
            const int y = std::clamp(list.bottom() + 1, area.top(), std::max(area.top(), area.bottom() - tv->height()));
            tv->move(x, y);
            tv->raise();
        });
    }
}

void TProgramForm::closeEvent(QCloseEvent *e)
{
    bool canClose = true;
    RegForm1->CloseQuery(this, canClose);
    CloseEditor(true);
    if (PlayListRunning.load())
        StopClick();
    if (TVScreenf) {
        // A media wait under way (the list's or the screen's own) may still hold the
        // screen's player: it goes once no wait is left.
        oldScreen_ = TVScreenf;
        TVScreenf = nullptr;
        oldScreen_->hide();
        platform::DeleteAfterWaits(oldScreen_);
        platform::WaitProcessing([] { return false; }, 100);
    }
    if (MainForm)
        MainForm->SetToolState("PlayList1", "PlayL", false);
    FormDeactivate();
    e->accept();
}

void TProgramForm::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow())
        FormActivate();
    else
        FormDeactivate();
}
