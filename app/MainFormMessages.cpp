// Commands that reach the main window from outside its own controls: engine messages,
// the bump keys of the physical masters, device notices; and the window's own odds and
// ends around them: the recent shows, the access level, the auto-backup, the tool-window
// toggles, the multi-sequence player switch and the right-button popups.
#include "MainForm.h"
#include "ui_MainForm.h"

#include "ApplicationFilters.h"
#include "OwnedHooks.h"

#include "AccessRecordStore.h"
#include "AutoBackup.h"
#include "EngineMessages.h"
#include "LookSwitch.h"
#include "OutputEngine.h"
#include "PlayControl.h"
#include "PlayState.h"
#include "RecentFiles.h"
#include "SceneFixtures.h"
#include "ShowModel.h"
#include "StartupState.h"
#include "ToolWindows.h"
#include "WindowSeams.h"

#include "TAccessF.h"
#include "TAudSynch.h"
#include "TCueListF.h"
#include "TDebugForm.h"
#include "TMasterGroups.h"
#include "TMultiSeq.h"
#include "TMusicPlayer.h"
#include "TPhisMast.h"
#include "TProgramForm.h"
#include "TRecordF.h"
#include "TSequencesList.h"

#include "controls/SpeedButton.h"
#include "controls/TColor.h"

#include "platform/DialogStacking.h"
#include "platform/Files.h"
#include "platform/MsgBox.h"
#include "platform/VirtualKeys.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimer>

namespace {

constexpr unsigned DeviceChangeMessage = 0x219;
constexpr int ToolButtonGroupBase = 20;

// The application's event filter, handed to ApplicationEvents1Message.
class ApplicationKeyHook : public QObject {
public:
    explicit ApplicationKeyHook(TMainForm *form) : QObject(form), form_(form) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (form_->SharedShortcutEvent(watched, event) || form_->ApplicationEvents1Message(event))
            return true;
        return QObject::eventFilter(watched, event);
    }

private:
    TMainForm *form_;
};

} // namespace

// A tool window shown, hidden or asked for its visibility through its registry entry.
bool ToolWindowVisible(const std::string &name)
{
    const ToolWindowEntry *e = ToolWindows().Find(name);
    if (!e)
        return false;
    if (e->visible)
        return e->visible();
    return e->window && e->window->isVisible();
}

void ShowToolWindow(const std::string &name, bool on)
{
    const ToolWindowEntry *e = ToolWindows().Find(name);
    if (!e)
        return;
    if (on) {
        if (e->show)
            e->show();
        else if (e->window) {
            e->window->show();
            e->window->raise();
        }
    } else {
        if (e->hide)
            e->hide();
        else if (e->window)
            e->window->close();
    }
}

namespace {

// Runs a window modally: its own hook, else the registered window as a modal window,
// above the windows that stay on top and closed by Escape.
void RunToolModal(const char *name)
{
    const ToolWindowEntry *e = ToolWindows().Find(name);
    if (!e)
        return;
    if (e->runModal) {
        e->runModal();
    } else if (e->window) {
        platform::ShowModalWindow(*e->window);
    }
}

// One menu item or tool button and the window it stands for.
struct ToolItem {
    const char *action;
    const char *caption;
    const char *shortcut;
    const char *window;        // registry name; null when the item needs none
    const char *button;        // tool button, or null
    const char *buttonCaption;
    void (TMainForm::*handler)();
};

const ToolItem ToolItems[] = {
    {"PhisicalMaster", "Physical Master and Dimmer", nullptr, "PhisMast", "PhisMastButton", "PM",
     &TMainForm::PhisicalMasterClick},
    {"MultiSeqPlayer", "Multi Sequence Player", "F8", "MultiSeq", "MSPlay", "MSP", &TMainForm::MultiSeqPlayerClick},
    {"MusPlay1", "Media Player", "F5", "MusicPlayer", "MusPlay", "MP", &TMainForm::MusPlayClick},
    {"PlayList1", "View Play List", "F6", "ProgramForm", "PlayL", "PL", &TMainForm::PlayList1Click},
    {"CueListM", "Cue List", "F9", "CueListF", "CueListB", "CL", &TMainForm::CueListMClick},
    {"Groups", "Groups", nullptr, "MasterGroups", "GroupsButton", "G", &TMainForm::GroupsClick},
    {"GraphEd", "Values/Time Editor", nullptr, "GraphEdit", "GrEd", "V/T", &TMainForm::GraphEdClick},
    {"TrackEdit", "Track Editor", nullptr, "TrackEdit", "TrEd", "TE", &TMainForm::OnTrackEditClick},
    {"Monitor1", "Monitor", nullptr, nullptr, nullptr, nullptr, &TMainForm::Monitor1Click},
    {"Sliders1", "Sliders", nullptr, nullptr, nullptr, nullptr, &TMainForm::Sliders1Click},
    {"Plan1", "Plan", nullptr, nullptr, nullptr, nullptr, &TMainForm::Plan1Click},
    {"SynchSetup", "Synch and Hardware", nullptr, "AudSynch", nullptr, nullptr, &TMainForm::SynchSetupClick},
    {"HotKeys1", "Hot Keys", nullptr, "HotKeys", nullptr, nullptr, &TMainForm::HotKeys1Click},
    {"Access", "Access", nullptr, "Access", nullptr, nullptr, &TMainForm::AccessClick},
    {"Record1", nullptr, nullptr, "Recorder", nullptr, nullptr, &TMainForm::RecordClick},
    {nullptr, nullptr, nullptr, "DebugForm", "DebugButton", "?", &TMainForm::DebugButtonClick},
};

// Items whose check mark follows their window: a click leaves the mark to the handler.
bool KeepsCheck(const ToolItem &t)
{
    return t.button && t.window && std::string(t.button) != "DebugButton";
}

QString HotCueName(int i)
{
    return QStringLiteral("Cue%1").arg(i + 1);
}

} // namespace

// ---- creation ---------------------------------------------------------------------------

void TMainForm::MessagesCreate()
{
    if (messagesCreated_)
        return;
    messagesCreated_ = true;

    // Tool-window items under "View", their buttons on the transport bar.
    auto *bar = static_cast<QHBoxLayout *>(ui->TransportControl->layout());
    int buttonAt = bar->indexOf(ui->EnaDMXout);
    ui->ViewMenu->addSeparator();
    int group = ToolButtonGroupBase;
    for (const ToolItem &t : ToolItems) {
        QAction *a = nullptr;
        if (t.action) {
            a = findChild<QAction *>(QString::fromLatin1(t.action));
            if (!a) {
                a = new QAction(QString::fromLatin1(t.caption), this);
                a->setObjectName(QString::fromLatin1(t.action));
                if (t.shortcut)
                    a->setShortcut(QKeySequence(QString::fromLatin1(t.shortcut)));
                a->setCheckable(KeepsCheck(t));
                ui->ViewMenu->addAction(a);
                addAction(a);
            }
            auto handler = t.handler;
            const bool keeps = a->isCheckable();
            connect(a, &QAction::triggered, this, [this, a, handler, keeps] {
                if (keeps)
                    a->setChecked(!a->isChecked());   // the handler sets the mark
                (this->*handler)();
            });
        }
        if (t.button) {
            auto *b = new TSpeedButton(ui->TransportControl);
            b->setObjectName(QString::fromLatin1(t.button));
            b->setFixedSize(28, 28);
            b->SetCaption(QByteArray(t.buttonCaption));
            b->setToolTip(t.caption ? QString::fromLatin1(t.caption) : QStringLiteral("Debug"));
            if (KeepsCheck(t)) {
                b->SetGroupIndex(group++);
                b->SetAllowAllUp(true);
            }
            bar->insertWidget(buttonAt >= 0 ? buttonAt++ : bar->count(), b);
            auto handler = t.handler;
            connect(b, &TSpeedButton::OnClick, this, [this, b, handler] {
                if (b->AllowAllUp())
                    b->SetDown(!b->Down());   // the handler sets the state
                (this->*handler)();
            });
        }
    }

    // "Hot Cues": Cue1..Cue32.
    QMenu *hotCues = ui->ViewMenu->addMenu(QStringLiteral("Hot Cues"));
    hotCues->setObjectName(QStringLiteral("HotCues"));
    for (int i = 0; i < PlayerSlotCount; ++i) {
        QAction *a = hotCues->addAction(HotCueName(i));
        a->setObjectName(HotCueName(i));
        a->setData(i);
        connect(a, &QAction::triggered, this, [this, i] { Cue1Click(i); });
    }
    addActions(hotCues->actions());

    // The hidden bump items; their shortcuts are the masters' hot keys.
    PhysicalMasterControl = ui->MainMenu->addMenu(QStringLiteral("Physical Master Control"));
    PhysicalMasterControl->setObjectName(QStringLiteral("PhysicalMasterControl"));
    PhysicalMasterControl->menuAction()->setVisible(false);
    for (int i = 0; i < PhysicalMasterCount; ++i) {
        QAction *a = PhysicalMasterControl->addAction(QStringLiteral("Physical Master%1 Bump").arg(i + 1));
        a->setObjectName(QStringLiteral("PMst%1").arg(i + 1));
        a->setData(i);
        a->setProperty("Tag", i);
        // The menu is hidden, not the item: a hidden item's shortcut would not fire.
        // A held key bumps once.
        a->setAutoRepeat(false);
        connect(a, &QAction::triggered, this, [this, i] { PMst1Click(i); });
        PhysicalMasterBump[i] = a;
        addAction(a);
    }
    UpdateBumpShortcuts();
    InstallApplicationFilter(this, new ApplicationKeyHook(this));

    // Right-button popups of the show and sequence areas.
    WhatCanShow = new QMenu(this);
    WhatCanShow->setObjectName(QStringLiteral("WhatCanShow"));
    connect(WhatCanShow, &QMenu::aboutToShow, this, [this] { FillPopupFrom(WhatCanShow, QStringLiteral("Show")); });
    WhatCanSeq = new QMenu(this);
    WhatCanSeq->setObjectName(QStringLiteral("WhatCanSeq"));
    connect(WhatCanSeq, &QMenu::aboutToShow, this,
            [this] { FillPopupFrom(WhatCanSeq, QStringLiteral("Sequences")); });

    ui->EmulatorButton->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->EmulatorButton, &QWidget::customContextMenuRequested, this, [this] { EmulatorMouseDown(); });

    BackupTimer = new QTimer(this);
    BackupTimer->setObjectName(QStringLiteral("BackupTimer"));
    BackupTimer->setInterval(DefaultAutoBackupIntervalMs);
    connect(BackupTimer, &QTimer::timeout, this, [this] { BackupTimerTimer(); });
    BackupTimer->start();

    if (!WindowSeams().multiSeqMenuChecked)
        InstallHook(this, WindowSeams().multiSeqMenuChecked, [this] {
            QAction *a = MessagesAction("MultiSeqPlayer");
            return a && a->isChecked();
        });
    // The sequence list is shown on top of the main window and hidden again.
    if (!WindowSeams().sequencesListToggle)
        WindowSeams().sequencesListToggle = [] { ShowToolWindow("SequencesList", !ToolWindowVisible("SequencesList")); };
    InstallHook(this, ToolWindows().changed, [this] { UpdateToolWindowItems(); });
    UpdateToolWindowItems();
}

QAction *TMainForm::MessagesAction(const char *name) const
{
    return findChild<QAction *>(QString::fromLatin1(name));
}

QWidget *TMainForm::MessagesWidget(const char *name) const
{
    return findChild<QWidget *>(QString::fromLatin1(name));
}

void TMainForm::UpdateToolWindowItems()
{
    for (const ToolItem &t : ToolItems) {
        if (!t.window)
            continue;
        bool exists = ToolWindows().Has(t.window);
        if (std::string(t.window) == "AudSynch")
            exists = exists || AudSynch;
        if (t.action)
            if (QAction *a = MessagesAction(t.action))
                a->setEnabled(exists);
        if (t.button)
            if (QWidget *b = MessagesWidget(t.button))
                b->setEnabled(exists);
    }
    const bool cues = ToolWindows().Has("CueListF");
    if (QMenu *hot = findChild<QMenu *>(QStringLiteral("HotCues")))
        hot->setEnabled(cues);
    // The popups sit on the show and sequence areas once those exist.
    const std::pair<const char *, QMenu *> areas[] = {{"Show", WhatCanShow}, {"Sequence", WhatCanSeq}};
    for (const auto &[name, popup] : areas) {
        QWidget *w = MessagesWidget(name);
        if (!w || !popup || w->property("brtvPopup").toBool())
            continue;
        w->setProperty("brtvPopup", true);
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        QMenu *menu = popup;
        connect(w, &QWidget::customContextMenuRequested, this,
                [w, menu](const QPoint &pos) { menu->popup(w->mapToGlobal(pos)); });
    }
}

void TMainForm::RegisterStartupToolWindows()
{
    // The recorder is made, run modally and freed on each use.
    ToolWindows().Register("Recorder", ToolWindowEntry{nullptr, {}, {}, {}, [] {
                               TRecordF recorder(MainForm);
                               platform::RunModalDialog(recorder);
                           }});
    const std::pair<const char *, QWidget *> windows[] = {
        {"PhisMast", PhisMast},         {"MultiSeq", MultiSeq},         {"MusicPlayer", MusicPlayer},
        {"ProgramForm", ProgramForm},   {"SequencesList", SequencesList}, {"CueListF", CueListF},
        {"MasterGroups", MasterGroups}, {"AudSynch", AudSynch},         {"DebugForm", DebugForm}};
    for (const auto &[name, w] : windows)
        if (w)
            ToolWindows().Register(name, ToolWindowEntry{w, {}, {}, {}, {}});
    // The access dialog is made, run and freed on each use.
    ToolWindows().Register("Access", ToolWindowEntry{nullptr, {}, {}, {}, [] {
                               TAccessF dialog(MainForm);
                               platform::RunModalDialog(dialog);
                           }});
    ToolWindows().Register("HotKeys", ToolWindowEntry{nullptr, {}, {}, {}, [] {
                                                          if (MainForm)
                                                              MainForm->RunHotKeyForm();
                                                      }});
}

// ---- engine messages --------------------------------------------------------------------

std::intptr_t TMainForm::AppMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    return HandleEngineMessage(msg, wParam, lParam, EngineMessageHandlers());
}

EngineMessageActions TMainForm::EngineMessageHandlers()
{
    EngineMessageActions a;
    a.blackOut = [this] { BlackOutClick(); };
    a.tempoChanged = [this] {
        if (const SequenceRecord *seq = CurrentSequenceRecord()) {
            const QSignalBlocker block(ui->UpDownTempo);
            ui->UpDownTempo->setValue(static_cast<int>(UsableTempo(seq->tempo)));
        }
    };
    a.favourite = [this] { FavourClick(); };
    a.goToPlayScene = [this] {
        ui->SceneNum->setText(QString::number(PlayScene + 1));
        SceneNumKeyPress(Qt::Key_Return);
        CallSeam(WindowSeams().graphEditMarker);
    };
    a.multiSeqSlot = [](std::intptr_t slot, bool on) {
        if (slot >= 0 && slot < PlayerSlotCount && WindowSeams().setMultiSeqSlotOn)
            WindowSeams().setMultiSeqSlotOn(static_cast<int>(slot), on);
    };
    a.playStop = [this] { Play1Click(); };
    a.slowTick = [this] {
        ++ErrorCountZ;
        EmulatorOff();
        if (!UsbCorrecting) {
            UsbCorrecting = 1;
            USBCorrect();
            UsbCorrecting = 0;
        }
        ui->TabHeader->setText(QStringLiteral("Z %1").arg(ErrorCountZ));
    };
    a.select = [this] {
        LookSwitch change;
        if (MultiSeqRunning.load()) {
            if (PlaySequence >= 0 && PlaySequence < CueCount && WindowSeams().selectCue)
                WindowSeams().selectCue(PlaySequence);
            return;
        }
        if (PlaySequence < 0 || PlaySequence >= SequenceCount)
            return;
        FixturesToScene();
        SelectSequence(PlaySequence);
    };
    return a;
}

void TMainForm::USBCorrect()
{
    CorrectUsbInterface();
}

void TMainForm::Dispatch(unsigned msg, unsigned wParam)
{
    if (msg == DeviceChangeMessage)
        DeviceChange(wParam);
}

// ---- recent shows -----------------------------------------------------------------------

void TMainForm::ShowRecentFiles()
{
    const RecentFileList files = ReadRecentFiles();
    QAction *items[RecentFileCount] = {ui->File1, ui->File2, ui->File3, ui->File4, ui->File5};
    for (int i = 0; i < RecentFileCount; ++i) {
        const std::string &path = files[static_cast<std::size_t>(i)];
        items[i]->setText(platform::FromBytes(EscapedMenuCaption(path)));
        items[i]->setData(QByteArray::fromStdString(path));
        items[i]->setVisible(!path.empty());
    }
}

void TMainForm::AddRecentFile(const std::string &path)
{
    ShowFileName = AbsoluteShowPath(path);
    StoreRecentFile(ShowFileName);
    ShowRecentFiles();
}

void TMainForm::File1Click(int index)
{
    QAction *items[RecentFileCount] = {ui->File1, ui->File2, ui->File3, ui->File4, ui->File5};
    if (index < 0 || index >= RecentFileCount)
        return;
    const std::string path = items[index]->data().toByteArray().toStdString();
    if (path.empty() || !platform::FileExists(path))
        return;
    OpenNamedShow(path);
}

// ---- access level -----------------------------------------------------------------------

void TMainForm::LoadAccessLevel()
{
    // A damaged record keeps the program locked; the operator is told once, here.
    const AccessRecordReading::State read = LoadAccessRecord();
    if (read == AccessRecordReading::State::Damaged || read == AccessRecordReading::State::Lost)
        platform::ShowMessage("Brantoval-1024", DamagedAccessRecordText(read));
    ShowAccessLevel();
}

void TMainForm::ShowAccessLevel()
{
    struct Look {
        const char *caption;
        TColor colour;
    };
    // A level beyond 3 forbids as much as 3 and shows as such.
    static const Look looks[] = {{"", clBtnFace}, {"L", clLime}, {"M", clYellow}, {"H", clRed}};
    const Look &look = looks[AccessLevel > 3 ? 3 : AccessLevel];
    ui->Protlevel->setText(QString::fromLatin1(look.caption));
    if (AccessLevel == 0)
        ui->Protlevel->setStyleSheet(QString());
    else
        ui->Protlevel->setStyleSheet(QStringLiteral("background-color: %1;").arg(toQColor(look.colour).name()));
}

void TMainForm::AccessClick()
{
    RunToolModal("Access");
    ShowAccessLevel();
    // A lock that forbids editing ends the editors already open, not only their opening.
    if (AccessLevel >= 2)
        CallSeam(WindowSeams().closeSequenceEditors);
}

// ---- auto-backup ------------------------------------------------------------------------

void TMainForm::BackupTimerTimer()
{
    RunAutoBackup();
}

// ---- bump keys --------------------------------------------------------------------------

void TMainForm::UpdateBumpShortcuts()
{
    for (int i = 0; i < PhysicalMasterCount; ++i) {
        if (!PhysicalMasterBump[i])
            continue;
        const std::uint8_t vk = PhysicalMasters[static_cast<std::size_t>(i)].hotKey;
        const QKeyCombination key = platform::QtKeyFromVirtualKey(vk);
        PhysicalMasterBump[i]->setShortcut(vk && key.key() != Qt::Key_unknown ? QKeySequence(key) : QKeySequence());
    }
}

bool TMainForm::ApplicationEvents1Message(QEvent *event)
{
    if (event->type() != QEvent::KeyRelease)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    // Auto-repeat sends a release before every repeated press: the key is still held.
    if (key->isAutoRepeat())
        return false;
    const std::uint8_t vk = platform::VirtualKeyFromQt(key->key(), key->modifiers());
    if (vk == 0)
        return false;
    // A modal window keeps its keys; a bump held since before it opened is still released.
    bool handled = false;
    const bool modal = QApplication::activeModalWidget() != nullptr;
    for (int i = 0; i < PhysicalMasterCount; ++i) {
        PhysicalMasterRecord &m = PhysicalMasters[static_cast<std::size_t>(i)];
        if (m.hotKey != vk)
            continue;
        handled = true;
        if (!m.keyHeld)
            continue;
        m.keyHeld = 0;
        if (PhisMast && WindowSeams().bumpUp)
            WindowSeams().bumpUp(i);
        break;
    }
    return handled && !modal;
}

void TMainForm::PMst1Click(int tag)
{
    if (tag < 0 || tag >= PhysicalMasterCount)
        return;
    PhysicalMasterRecord &m = PhysicalMasters[static_cast<std::size_t>(tag)];
    if (m.keyHeld)
        return;
    m.keyHeld = 1;
    if (PhisMast && WindowSeams().bumpDown)
        WindowSeams().bumpDown(tag);
}

// ---- window toggles ---------------------------------------------------------------------

void TMainForm::SetToolState(const char *action, const char *button, bool on)
{
    if (QAction *a = MessagesAction(action))
        a->setChecked(on);
    if (auto *b = qobject_cast<TSpeedButton *>(MessagesWidget(button)))
        b->SetDown(on);
}

// Shows or hides a registered window; the item's check mark (or, with `byVisibility`,
// the window's own visibility) says which, and the item and button follow.
void TMainForm::ToggleToolWindow(const char *window, const char *action, const char *button, bool byVisibility)
{
    if (!ToolWindows().Has(window))
        return;
    QAction *a = MessagesAction(action);
    const bool on = byVisibility ? !ToolWindowVisible(window) : !(a && a->isChecked());
    ShowToolWindow(window, on);
    SetToolState(action, button, on);
}

void TMainForm::PhisicalMasterClick() { ToggleToolWindow("PhisMast", "PhisicalMaster", "PhisMastButton", false); }
void TMainForm::MusPlayClick() { ToggleToolWindow("MusicPlayer", "MusPlay1", "MusPlay", true); }
void TMainForm::PlayList1Click() { ToggleToolWindow("ProgramForm", "PlayList1", "PlayL", true); }

void TMainForm::ShowCueList(bool on)
{
    ShowToolWindow("CueListF", on);
    SetToolState("CueListM", "CueListB", on);
}

void TMainForm::CueListMClick()
{
    if (SequenceCount < 1 || !ToolWindows().Has("CueListF"))
        return;
    LookSwitch change;   // the player switched on reaches the stage as one step
    QAction *a = MessagesAction("CueListM");
    const bool on = !(a && a->isChecked());
    if (on && !MultiSeqRunning.load())
        MultiSeqPlayerClick();
    ShowCueList(on);
}

void TMainForm::Cue1Click(int tag)
{
    if (tag < 0 || tag >= PlayerSlotCount || !ToolWindows().Has("CueListF"))
        return;
    // The player switched on and the cue applied reach the stage as one step.
    LookSwitch change;
    QAction *a = MessagesAction("CueListM");
    if (!(a && a->isChecked()))
        CueListMClick();
    if (WindowSeams().selectCue)
        WindowSeams().selectCue(tag);
}

void TMainForm::GroupsClick() { ToggleToolWindow("MasterGroups", "Groups", "GroupsButton", false); }

void TMainForm::RecordClick()
{
    if (AccessLevel <= 1)
        RunToolModal("Recorder");
}

void TMainForm::HotKeys1Click()
{
    if (AccessLevel != 0)
        return;
    RunToolModal("HotKeys");
}

void TMainForm::DebugButtonClick()
{
    RunToolModal("DebugForm");
}

void TMainForm::GraphEdClick()
{
    if (AccessLevel >= 2 || FixtureCount < 1 || SequenceCount < 1 || MultiSeqRunning.load() ||
        !ToolWindows().Has("GraphEdit"))
        return;
    // The editor's entry hides the work area and docks the editor in its place.
    ShowToolWindow("GraphEdit", true);
}

namespace {
// Presses a page button of the fixture area; without it the page is shown directly.
void PressPage(QWidget *form, QStackedWidget *pages, const char *button, int page)
{
    QWidget *w = form->findChild<QWidget *>(QString::fromLatin1(button));
    if (auto *sb = qobject_cast<TSpeedButton *>(w))
        sb->Click();
    else if (auto *ab = qobject_cast<QAbstractButton *>(w))
        ab->click();
    else
        pages->setCurrentIndex(page);
}
} // namespace

void TMainForm::Monitor1Click() { PressPage(this, ui->LeftPages, "SpeedButton3", 0); }
void TMainForm::Sliders1Click() { PressPage(this, ui->LeftPages, "SpeedButton4", 1); }
void TMainForm::Plan1Click() { PressPage(this, ui->LeftPages, "SpeedButton6", 2); }

void TMainForm::EmulatorMouseDown()
{
    const ToolWindowEntry *e = ToolWindows().Find("Visualiser");
    if (!e || !e->window)
        return;
    const QRect frame = e->window->frameGeometry();
    for (QScreen *s : QGuiApplication::screens())
        if (s->geometry().intersects(frame))
            return;
    e->window->move(0, 0);
}

// ---- multi-sequence player --------------------------------------------------------------

void TMainForm::SetSingleSequenceAreaShown(bool shown)
{
    for (const char *name : {"CrossSplitter", "SequenceGroupBox", "SceneGroupBox", "SPlayer", "GrEd", "TrEd"})
        if (QWidget *w = MessagesWidget(name))
            w->setVisible(shown);
    for (const char *name : {"GraphEd", "TrackEdit"})
        if (QAction *a = MessagesAction(name))
            a->setVisible(shown);
    for (const char *name : {"LoadSeq", "SaveSeq", "LoadScene", "SaveScene"})
        if (QAction *a = MessagesAction(name))
            a->setEnabled(shown);
    for (QAction *a : ui->MainMenu->actions()) {
        if (!a->menu())
            continue;
        const QString title = a->text().remove(QLatin1Char('&'));
        if (title == QLatin1String("Sequences") || title == QLatin1String("Scenes"))
            a->setEnabled(shown);
    }
}

void TMainForm::MultiSeqPlayerClick()
{
    if (SequenceCount < 1)
        return;
    // Stopping one player, restoring the remembered sequence and starting the other
    // reach the stage as one step: the levels of the sequence restored on the way never
    // reach the output.
    LookSwitch change;
    QAction *item = MessagesAction("MultiSeqPlayer");
    const bool wasPlaying = Playing.load() != 0;
    if (!MultiSeqRunning.load()) {
        multiSeqSavedSequence_ = CurSequence;
        CallSeam(WindowSeams().closeSequenceEditors);
        FixturesToScene();
        if (wasPlaying || PlayInBackground.load())
            StopClick();
        if (item)
            item->setChecked(true);
        SetSingleSequenceAreaShown(false);
        if (WindowSeams().audSynchFullControl)
            WindowSeams().audSynchFullControl(false);
        CallSeam(WindowSeams().sequencesListRefresh);
        if (WindowSeams().multiSeqDock)
            WindowSeams().multiSeqDock(true);
        MultiSeqRunning.store(1);
        SetToolState("MultiSeqPlayer", "MSPlay", true);
        if (wasPlaying)
            CallSeam(WindowSeams().multiSeqPlay);
        return;
    }
    DUpDownTempo->hide();
    DTempoButton->hide();
    if (wasPlaying)
        CallSeam(WindowSeams().multiSeqStop);
    Playing.store(0);
    if (multiSeqSavedSequence_ >= 0 && multiSeqSavedSequence_ < SequenceCount) {
        CurSequence = multiSeqSavedSequence_;
        const QSignalBlocker block(ui->Sequence);
        ui->Sequence->setCurrentIndex(CurSequence);
    }
    if (item)
        item->setChecked(false);
    if (WindowSeams().multiSeqDock)
        WindowSeams().multiSeqDock(false);
    ui->TransportControl->setMinimumHeight(74 * logicalDpiY() / 96);
    SetSingleSequenceAreaShown(true);
    if (WindowSeams().audSynchFullControl)
        WindowSeams().audSynchFullControl(true);
    MultiSeqRunning.store(0);
    RefreshClick();
    CallSeam(WindowSeams().sequencesListRefresh);
    SetToolState("MultiSeqPlayer", "MSPlay", false);
    QAction *cues = MessagesAction("CueListM");
    if (cues && cues->isChecked())
        ShowCueList(false);
    if (wasPlaying)
        PlayClick();
}

// ---- popups and hints -------------------------------------------------------------------

void TMainForm::FillPopupFrom(QMenu *popup, const QString &menuTitle)
{
    popup->clear();
    QMenu *source = nullptr;
    for (QAction *a : ui->MainMenu->actions())
        if (a->menu() && a->text().remove(QLatin1Char('&')) == menuTitle)
            source = a->menu();
    if (!source)
        return;
    std::map<QActionGroup *, QActionGroup *> groups;
    for (QAction *from : source->actions()) {
        if (from->isSeparator()) {
            popup->addSeparator()->setVisible(from->isVisible());
            continue;
        }
        QAction *copy = popup->addAction(from->text());
        copy->setCheckable(from->isCheckable());
        copy->setChecked(from->isChecked());
        copy->setEnabled(from->isEnabled());
        copy->setVisible(from->isVisible());
        copy->setData(from->data());
        if (QActionGroup *g = from->actionGroup()) {
            QActionGroup *&mine = groups[g];
            if (!mine) {
                mine = new QActionGroup(popup);
                mine->setExclusionPolicy(g->exclusionPolicy());
            }
            mine->addAction(copy);
        }
        connect(copy, &QAction::triggered, from, [from] { from->trigger(); });
    }
}

void TMainForm::ShHint(const QString &hint)
{
    ui->BlackOut1->SetCaption(platform::ToBytes(hint).c_str());
}
