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

int RunProgram(int argc, char **argv);
