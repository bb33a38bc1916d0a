#include "Application.h"

#include "InterfaceBinding.h"
#include "MainForm.h"
#include "PlayState.h"
#include "StartupState.h"
#include "ToolWindows.h"

#include "TAudSynch.h"
#include "TCueListF.h"
#include "TDebugForm.h"
#include "TMasterGroups.h"
#include "TMultiSeq.h"
#include "TMusicPlayer.h"
#include "TPhisMast.h"
#include "TProgramForm.h"
#include "TSequencesList.h"
#include "TGraphEdit.h"
#include "TTrackEdit.h"
#include "TSeqName.h"

#include "platform/MsgBox.h"

#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <new>
#include <unistd.h>

namespace {
bool windowsCreated = false;   // all ten windows exist: the program runs
QString applicationTitle;

} // namespace

void SetApplicationTitle(const QString &title, bool onCaptions)
{
    applicationTitle = title;
    // An empty display name adds nothing to the captions.
    QGuiApplication::setApplicationDisplayName(onCaptions ? title : QStringLiteral(""));
}

QString ApplicationTitle()
{
    return applicationTitle;
}

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Brantoval"));
    SetApplicationTitle(QStringLiteral("Brantoval"));
    setQuitOnLastWindowClosed(false);
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc &) {
        platform::MessageBox("Brantoval-1024", "Memory allocation error", platform::Buttons::Ok);
        CloseInterface();
        std::_Exit(1);
    } catch (const std::exception &e) {
        platform::MessageBox("Brantoval-1024", e.what(), platform::Buttons::Ok);
    } catch (...) {
        platform::MessageBox("Brantoval-1024", "Unknown error", platform::Buttons::Ok);
    }
    return false;
}

bool CreateProgramWindows(int argc, char **argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    new TMainForm(args);
    if (TerminateRequested)
        return false;
    AudSynch = new TAudSynch;
    TraceStep("TAudSynch");
    PhisMast = new TPhisMast;
    TraceStep("TPhisMast");
    ProgramForm = new TProgramForm;
    TraceStep("TProgramForm");
    SequencesList = new TSequencesList;
    TraceStep("TSequencesList");
    MusicPlayer = new TMusicPlayer;
    TraceStep("TMusicPlayer");
    MultiSeq = new TMultiSeq;
    TraceStep("TMultiSeq");
    CueListF = new TCueListF;
    TraceStep("TCueListF");
    MasterGroups = new TMasterGroups;
    TraceStep("TMasterGroups");
    DebugForm = new TDebugForm;
    TraceStep("TDebugForm");
    InstallSequenceDialogHooks(MainForm);
    TMainForm::RegisterStartupToolWindows();
    InstallSequenceEditorHooks(MainForm);
    windowsCreated = true;
    return true;
}

void DestroyProgramWindows()
{
    windowsCreated = false;
    ToolWindows().changed = nullptr;
    ToolWindows().Clear();
    delete DebugForm;
    delete MasterGroups;
    delete CueListF;
    delete MultiSeq;
    delete MusicPlayer;
    delete SequencesList;
    delete ProgramForm;
    delete PhisMast;
    delete AudSynch;
    delete TrackEdit;
    delete GraphEdit;
    delete MainForm;
}

namespace {
int signalPipe[2] = {-1, -1};
bool mainClosing = false;   // the main window's close (with its save question) runs

// Closes the modal windows one after the other (closing one may end a question whose code
// opens the next), then the main window. Bounded, in case a window refuses to close.
void CloseModalsThenMain(int round)
{
    constexpr int MaxRounds = 50;
    if (!windowsCreated || !MainForm)
        return;
    if (QWidget *modal = QApplication::activeModalWidget()) {
        modal->close();
        if (round < MaxRounds)
            QTimer::singleShot(0, qApp, [round] { CloseModalsThenMain(round + 1); });
        return;
    }
    mainClosing = true;
    MainForm->close();
    mainClosing = false;
}

void OnSignal(int)
{
    char c = 1;
    [[maybe_unused]] auto n = write(signalPipe[1], &c, 1);
}
} // namespace

void CloseProgramOnSignal()
{
    // A signal during the main window's own close answers its question as cancelled.
    if (mainClosing) {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
        return;
    }
    if (windowsCreated) {
        CloseModalsThenMain(0);
        return;
    }
    // Still starting: a modal question is answered as cancelled; the start dialog as "Exit".
    if (QWidget *modal = QApplication::activeModalWidget()) {
        TerminateRequested = true;
        modal->close();
        return;
    }
    if (MainForm)
        MainForm->close();
    else
        QApplication::quit();
}

void InstallTerminationSignals()
{
    if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char buf[16];
        while (read(signalPipe[0], buf, sizeof buf) > 0) {
        }
        CloseProgramOnSignal();
    });
    struct sigaction sa = {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
}

namespace {
// BRTV_TRACE names a file that gets one line per start-up and shut-down step (tests).
void TraceToFile(const char *step)
{
    if (const char *path = std::getenv("BRTV_TRACE"))
        if (std::FILE *f = std::fopen(path, "a")) {
            std::fprintf(f, "%s\n", step);
            std::fclose(f);
        }
}
} // namespace

int RunProgram(int argc, char **argv)
{
    TApplication app(argc, argv);
    if (std::getenv("BRTV_TRACE"))
        LifecycleTrace = TraceToFile;
    InstallTerminationSignals();
    // BRTV_SHOW_MODIFIED=1 marks the show as modified once started (tests of the close).
    const char *modified = std::getenv("BRTV_SHOW_MODIFIED");
    bool started = CreateProgramWindows(argc, argv);
    if (!started) {
        DestroyProgramWindows();
        return StartupExitCode;
    }
    if (modified && *modified == '1')
        ShowModified = 1;
    StartupActionsPending = 1;
    MainForm->show();
    // Without a window manager a window may never be activated: apply the start mode
    // once the loop runs in any case.
    QTimer::singleShot(0, [] {
        if (MainForm && StartupActionsPending)
            MainForm->FormActivate();
    });
    int rc = app.exec();
    DestroyProgramWindows();
    return rc;
}
