// The application: creates the windows in their order and runs the event loop.
#pragma once

#include <QApplication>

// An application whose event handlers' exceptions are shown in a box; the loop goes on.
class TApplication : public QApplication {
public:
    TApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// Creates TMainForm (whose creation runs FormCreate) and the nine other windows.
// Returns false when start-up asked to end the program.
bool CreateProgramWindows(int argc, char **argv);
// Deletes the windows, the main window last (its destruction runs FormDestroy).
void DestroyProgramWindows();
// Closes the main window on SIGTERM and SIGINT through its normal close.
void InstallTerminationSignals();
// What a termination signal does: while the program starts, the open question or the start
// dialog is answered as cancelled ("Exit") and the start ends; once it runs, every modal
// window is closed first and then the main window through its own close (save question).
void CloseProgramOnSignal();

// The application's title. Qt adds its display name to every window caption that does not
// end with it; the main window's caption begins with the title already, so the title goes
// onto the captions only while the start dialog stands alone on the screen.
void SetApplicationTitle(const QString &title, bool onCaptions = false);
QString ApplicationTitle();

int RunProgram(int argc, char **argv);
