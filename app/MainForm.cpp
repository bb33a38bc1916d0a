// The main window's creation: the start-up steps in their order.
#include "MainForm.h"
#include "ui_MainForm.h"

#include "AccessRecordStore.h"
#include "Application.h"
#include "ApplicationFilters.h"
#include "InterfaceBinding.h"
#include "LevelPipeline.h"
#include "OutputEngine.h"
#include "PatchLoader.h"
#include "PlayState.h"
#include "RecentFiles.h"
#include "ShowModel.h"
#include "StartDialog.h"
#include "StartupState.h"
#include "WindowSeams.h"

#include "platform/Files.h"
#include "platform/Instance.h"
#include "platform/Joystick.h"
#include "platform/MsgBox.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include "controls/RegForm.h"
#include <QScreen>
#include <QVBoxLayout>

#include <cstdio>
#include <cstdlib>
#include <ctime>

TMainForm *MainForm = nullptr;

namespace {
const char *const AppTitle = "Brantoval-1024";
// True while the start chooses the first show (the window is not on screen yet).
bool ChoosingFirstShow = false;

void SetAppTitle(const char *title, bool onCaptions = false)
{
    SetApplicationTitle(QString::fromLatin1(title), onCaptions);
}
} // namespace

TMainForm::TMainForm(const std::vector<std::string> &args, QWidget *parent)
    : QMainWindow(parent), ui(new Ui::TMainForm), args_(args)
{
    MainForm = this;
    ui->setupUi(this);
    setObjectName(QStringLiteral("MainForm"));
    // Hidden items keep their shortcuts working.
    addActions(ui->MainMenu->actions());
    LayoutCreate();

    connect(ui->NewShow, &QAction::triggered, this, [this] { FileNew(); });
    connect(ui->LoadShow, &QAction::triggered, this, [this] {
        StartChoice = 2;
        FileOpen();
    });
    connect(ui->SaveShow, &QAction::triggered, this, [this] { FileSave(); });
    connect(ui->SaveShowAs, &QAction::triggered, this, [this] { FileSaveAs(); });
    QAction *recent[RecentFileCount] = {ui->File1, ui->File2, ui->File3, ui->File4, ui->File5};
    for (int i = 0; i < RecentFileCount; ++i)
        connect(recent[i], &QAction::triggered, this, [this, i] { File1Click(i); });
    connect(ui->Exit1, &QAction::triggered, this, [this] { FileExit(); });
    connect(ui->FullScreen, &QAction::triggered, this, [this] { FullScreenClick(); });
    // The menu item and its button toggle themselves; the other one follows.
    connect(ui->Emulator, &QAction::triggered, this, [this] {
        ui->EmulatorButton->setChecked(ui->Emulator->isChecked());
        EmulatorClick();
    });
    connect(ui->EmulatorButton, &QToolButton::clicked, this, [this] {
        ui->Emulator->setChecked(ui->EmulatorButton->isChecked());
        EmulatorClick();
    });
    connect(ui->OnTop, &QAction::triggered, this, [this] { SetTransportOnBottom(false); });
    connect(ui->OnBottom, &QAction::triggered, this, [this] { SetTransportOnBottom(true); });
    connect(ui->EnaDMXout, &QToolButton::clicked, this, [this] { EnaDMXoutClick(); });
    connect(ui->EnaDMXin, &QToolButton::clicked, this, [this] { EnaDMXinClick(); });
    connect(ui->HelpContents1, &QAction::triggered, this, [this] { HelpContents(); });
    connect(ui->HelpSearch1, &QAction::triggered, this, [this] { HelpSearch(); });
    connect(ui->HelpHowToUse1, &QAction::triggered, this, [this] { HelpHowToUse(); });
    connect(ui->HelpAbout1, &QAction::triggered, this, [this] { HelpAbout(); });
    ui->OnTop->setChecked(true);
    ui->EnaDMXout->setChecked(!DmxOutEnabled);
    ui->EnaDMXin->setChecked(!DmxInEnabled);

    InstallShowFileHooks();
    // The place of the last run, before FormCreate's own size rules.
    RegForm1 = new TRegForm(this, [this](QObject *, bool &canClose) { canClose = FormClose(); });
    RegForm1->Loaded();
    TransportCreate();
    EditingCreate();
    SequenceFilesCreate();
    MessagesCreate();
    FormCreate();
    ShareShortcuts();
}

TMainForm::~TMainForm()
{
    // Nothing may call into this window once its destruction has begun: the base widget's
    // destructor still hides it, which moves the focus (a line edit then finishes its
    // editing) and passes through every application-wide filter. So the filters go first,
    // then every connection from the window's parts to its handlers, then what it owns.
    RemoveApplicationFilters(this);
    for (QObject *part : findChildren<QObject *>())
        QObject::disconnect(part, nullptr, this, nullptr);
    FormDestroy();
    if (MainForm == this)
        MainForm = nullptr;
    delete ui;
}

void TMainForm::FormCreate()
{
    TraceStep("FormCreate");
    if (!StartEngineTimer())
        return;
    if (!CheckSingleInstance())
        return;
    CheckScreenSize();
    ResetMasterTables();
    CreateChannelFaders();
    SetDialogFilters();
    // A settings file that lost the access record must not be rewritten by the steps
    // before the record is read.
    HoldSettingsWithLostAccessRecord();
    ReadLayoutSettings();
    LoadAccessLevel();
    LoadDeviceProfiles();
    ReadConfiguration();
    OpenInterfaceAtStart();
    if (TerminateRequested)
        return;
    PickJoystick();
    LoadStagePlan();
    ChoosingFirstShow = true;
    OpenFirstShow();
    ChoosingFirstShow = false;
    if (TerminateRequested)
        return;
    FinishStart();
    ApplyLayoutSettings();
    // Master-linked channels keep the levels the first show's scene gave them: zeroing them
    // here would store zeros into that scene as soon as it is left or the show is saved.
    CreateMessageWindow();
    TraceStep("LoadHotKeys");
    LoadHotKeys();
    FitToScreen();
}

// Step 1: the engine timer. Without it the program cannot run.
bool TMainForm::StartEngineTimer()
{
    if (StartOutputTimer())
        return true;
    std::fprintf(stderr, "brantoval: the engine timer cannot be started\n");
    CloseInterface();
    TerminateRequested = true;
    StartupExitCode = 1;
    return false;
}

// Step 2: a second start brings the first instance in front and ends.
bool TMainForm::CheckSingleInstance()
{
    if (!platform::RaiseOtherInstance())
        return true;
    TraceStep("OtherInstance");
    TerminateRequested = true;
    return false;
}

void TMainForm::CheckScreenSize()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (screen && (screen->size().width() < 800 || screen->size().height() < 600))
        platform::MessageBox(AppTitle, "Programm work with sceeen size not lower 800x600", platform::Buttons::Ok);
}

// Step 5: the channel faders of the slider page belong to the fixture area.
void TMainForm::CreateChannelFaders()
{
    FixtureAreaCreate();
}

void TMainForm::SetDialogFilters()
{
    OpenDialogFilter = std::string(AppTitle) + "(*.d1k)|*.d1k|Halvenor files|*.dmx";
    SaveDialogFilter = std::string(AppTitle) + "(*.d1k)|*.d1k";
}

// Step 7: the layout values and the recent shows, created on the first start.
void TMainForm::ReadLayoutSettings()
{
    platform::Settings reg;
    if (reg.KeyExists(MainWindowKey)) {
        if (reg.ReadInteger(MainWindowKey, "TemplatePosition") == 0)
            reg.WriteInteger(MainWindowKey, "TemplatePosition", MasterPanelWidth());
        if (reg.ReadInteger(MainWindowKey, "SlidersPosition") == 0)
            reg.WriteInteger(MainWindowKey, "SlidersPosition", SliderPanelWidth());
        if (!reg.ValueExists(MainWindowKey, "CrossPos"))
            reg.WriteInteger(MainWindowKey, "CrossPos", SceneGroupWidth());
        // A store that lost its history gets it back, or no recent show would be kept.
        CreateRecentFileKey();
        ShowRecentFiles();
    } else {
        reg.CreateKey(MainWindowKey);
        reg.WriteInteger(MainWindowKey, "Size", 0);
        reg.WriteInteger(MainWindowKey, "TemplatePosition", MasterPanelWidth());
        reg.WriteInteger(MainWindowKey, "SlidersPosition", SliderPanelWidth());
        reg.WriteInteger(MainWindowKey, "Transport", 0);
        reg.WriteInteger(MainWindowKey, "CrossPos", SceneGroupWidth());
        reg.Flush();
        CreateRecentFileKey();
        ShowRecentFiles();
    }
    reg.Flush();
}

// Step 8: the access record (MainFormMessages.cpp) and the profiles of "Devices".
void TMainForm::LoadDeviceProfiles()
{
    ::LoadDeviceProfiles();
}

// Step 9: the configuration file of the program folder, found without regard to case.
void TMainForm::ReadConfiguration()
{
    LoadConfigurationFile();
}

// Step 10.
void TMainForm::OpenInterfaceAtStart()
{
    if (InterfaceKind == 0)
        InterfaceKind = 888;
    // A later "No" to the demo-mode question, or "Exit" from the patch window, closes this
    // window through its normal close; while the first show is chosen it ends the start.
    PostMainWindowClose = [] {
        if (ChoosingFirstShow)
            TerminateRequested = true;
        else if (MainForm)
            QMetaObject::invokeMethod(MainForm, "close", Qt::QueuedConnection);
    };
    OpenInterface(InterfaceKind, true);
    ReadHardwareRevision(HardwareRevision);
}

// Step 11: the first joystick whose capabilities can be read.
void TMainForm::PickJoystick()
{
    JoystickId = -1;
    if (platform::JoystickDeviceCount() > 0) {
        platform::JoystickCaps caps;
        for (int id = 0; id < 16; ++id)
            if (platform::ReadJoystickCaps(id, caps)) {
                JoystickId = id;
                break;
            }
    }
    ui->Joystick->setVisible(JoystickId >= 0);
}

// Step 12: the stage-plan bitmap, made black 480 x 500 when there is none. A file that
// cannot be read is left alone and a black bitmap is used in its place. The new file is
// written whole through a temporary file, so a start cut short leaves no part of one.
void TMainForm::LoadStagePlan()
{
    planAreaWidth_ = ui->ScrollPlan->width();
    planAreaHeight_ = ui->ScrollPlan->height();
    std::string folder = platform::ProgramFolder();
    auto found = platform::FindFileNoCase(folder, "PlanImg.bmp");
    if (found) {
        QImage img;
        if (img.load(QString::fromStdString(folder + *found), "BMP"))
            planBitmap_ = img;
    }
    if (planBitmap_.isNull()) {
        planBitmap_ = QImage(480, 500, QImage::Format_RGB888);
        planBitmap_.fill(Qt::black);
        if (!found)
            FileWriter()(folder + "PlanImg.bmp", [this](const std::string &temp) {
                return planBitmap_.save(QString::fromStdString(temp), "BMP");
            });
    }
    ui->WallImage->resize(planBitmap_.size());
    ui->WallImage->update();
}

// Step 13: the first show, from the command line or the start dialog.
void TMainForm::OpenFirstShow()
{
    bool opened = false;
    if (!args_.empty()) {
        for (const std::string &arg : args_) {
            if (IsCommandSwitch(arg)) {
                ApplyCommandSwitch(arg);
                continue;
            }
            std::string file = ShowFileFromArgument(arg);
            if (file.empty())
                continue;
            // A file that cannot be read counts as none: the start dialog follows.
            if (platform::FileExists(file) && OpenNamedShow(file))
                opened = true;
        }
        if (opened)
            return;
        // Nothing was opened: the parameters are dropped.
        ResetStartMode();
    }
    while (!RunStartDialog()) {
    }
}

// One round of the start dialog; false when it has to be shown again.
bool TMainForm::RunStartDialog()
{
    StartChoice = 0;
    // The title carries "Start Dialog" only while the dialog is shown.
    SetAppTitle("Brantoval-1024 Start Dialog", true);
    {
        TStartDialog dialog(this, {ui->File1, ui->File2, ui->File3, ui->File4, ui->File5});
        int r = platform::RunModalDialog(dialog);
        StartChoice = static_cast<std::uint8_t>(r < 0 || r > 10 ? 0 : r);
    }
    SetAppTitle(AppTitle);
    if (TerminateRequested)
        StartChoice = 0;
    switch (StartChoice) {
    case 0:
        CloseInterface();
        setGeometry(x(), -40, 20, 20);
        TerminateRequested = true;
        return true;
    case 5:
        CallSeam(WindowSeams().runProfileEditor, std::string());
        LoadDeviceProfiles();
        ReadConfiguration();
        return false;
    case 1:
        FileNew();
        if (TerminateRequested)
            CloseInterface();
        return true;
    case 3:
    case 4:
        return true;
    default:
        break;
    }
    if (StartChoice >= 6 && StartChoice <= 10) {
        platform::Settings reg;
        std::string path = reg.ReadString(HistoryKey, "File" + std::to_string(StartChoice - 5));
        // A show that cannot be read brings the start dialog back.
        if (!path.empty() && platform::FileExists(path))
            return OpenNamedShow(path);
        StartChoice = 2;
    }
    FileOpen();
    if (StartChoice == 4 || !showRead_) {
        StartChoice = 0;
        return false;
    }
    return true;
}

// Step 14: select the first fixture, take the final title, and answer later starts.
void TMainForm::FinishStart()
{
    SelectFirstFixture();
    SetAppTitle(AppTitle);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    platform::StartInstanceServer([this] { RaiseFromOtherInstance(); });
}

void TMainForm::RaiseFromOtherInstance()
{
    TraceStep("RaiseRequest");
    QWidget *w = QApplication::activeModalWidget();
    if (!w)
        w = QApplication::activeWindow();
    if (!w)
        w = this;
    if (w->isMinimized())
        w->showNormal();
    else {
        w->raise();
        w->activateWindow();
    }
}

// Step 15: full screen, transport position and panel widths as stored.
void TMainForm::ApplyLayoutSettings()
{
    platform::Settings reg;
    if (reg.ReadInteger(MainWindowKey, "Size") != 0) {
        normalSize_ = size();
        ui->FullScreen->setChecked(true);
        setWindowState(Qt::WindowMaximized);
        setWindowFlag(Qt::FramelessWindowHint, true);
    }
    if (reg.ReadInteger(MainWindowKey, "Transport") != 0)
        SetTransportOnBottom(true);
    SetMasterPanelWidth(reg.ReadInteger(MainWindowKey, "TemplatePosition"));
    SetSliderPanelWidth(reg.ReadInteger(MainWindowKey, "SlidersPosition"));
    SetSceneGroupWidth(reg.ReadInteger(MainWindowKey, "CrossPos"));
}

// Step 17: the message window for engine messages.
void TMainForm::CreateMessageWindow()
{
    MessageWindow = platform::AllocateMessageWindow(
        [this](std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) { return AppMessage(msg, wParam, lParam); });
}

int TMainForm::MasterPanelWidth() const { return SplitWidth(ui->MasterPanel); }
int TMainForm::SliderPanelWidth() const { return SplitWidth(ui->SliderPanel); }
int TMainForm::SceneGroupWidth() const { return SplitWidth(ui->SceneGroupBox); }

void TMainForm::SetMasterPanelWidth(int w) { SetSplitWidth(ui->MasterPanel, w); }
void TMainForm::SetSliderPanelWidth(int w) { SetSplitWidth(ui->SliderPanel, w); }
void TMainForm::SetSceneGroupWidth(int w) { SetSplitWidth(ui->SceneGroupBox, w); }

void TMainForm::SetTransportOnBottom(bool bottom)
{
    if (bottom != transportOnBottom_)
        CallSeam(WindowSeams().closeSequenceEditors);
    auto *layout = static_cast<QVBoxLayout *>(ui->CentralPanel->layout());
    layout->removeWidget(ui->TransportControl);
    layout->insertWidget(bottom ? layout->count() : 0, ui->TransportControl);
    transportOnBottom_ = bottom;
    ui->OnTop->setChecked(!bottom);
    ui->OnBottom->setChecked(bottom);
}

bool TMainForm::IsFullScreenMode() const
{
    return ui->FullScreen->isChecked();
}
