// The play list window: the grid of timed lines and its editors, the *.pgl file, and the
// runner's buttons, clocks and 100 ms step timer.
#pragma once

#include "PlayListRunner.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>

namespace Ui {
class TProgramForm;
}
namespace platform {
class MediaPlayer;
}
class QComboBox;
class QLineEdit;
class QMimeData;
class QTimer;
class QToolButton;
class TRegForm;
class TTimeMaskEdit;
class TTVScreenf;

class TProgramForm : public QWidget {
    Q_OBJECT

public:
    explicit TProgramForm(QWidget *parent = nullptr);
    ~TProgramForm() override;

    Ui::TProgramForm *ui;

    // Choice lists, line indices and rows brought up to date with the show.
    void FormActivate();
    void FormDeactivate();
    void FullBuild();

    // Runner.
    void PlayClick();
    void StopClick();
    void GOsClick();
    void FForwardClick();
    void FBackwardClick();
    void Timer1Timer();

    // File.
    void NewClick();
    void OpenClick();
    void SaveClick();

    // Editing of line `line` (0-based) in column `col`.
    void InsertLine();
    void DeleteLine();
    void ToggleCueFlag(int line);
    void EditCell(int line, int col);
    void CloseEditor(bool commit);
    void TimeShift(bool minus, const QPoint &at);
    void MediaButtonClick();
    // A dragged sequence or cue dropped on grid row `row` (-1 below the rows).
    bool DropOn(int row, const QMimeData &data);

    int CurrentLine() const;
    void ShowLine(int line);
    void Redraw();

    PlayListRunner Runner;
    std::string SaveName = "PlayList.pgl";
    QTimer *Timer1 = nullptr;
    QComboBox *SequenceP = nullptr;
    QComboBox *Cues = nullptr;
    QComboBox *AfterEnding = nullptr;
    TTimeMaskEdit *TimeEdit = nullptr;     // start time
    TTimeMaskEdit *FadeEdit = nullptr;     // fade
    TTimeMaskEdit *MediaTimeEdit = nullptr;   // media start and stop
    QLineEdit *TextEdit = nullptr;         // media path and comments
    QToolButton *MediaButton = nullptr;    // media dialog at the path cell's right edge
    TRegForm *RegForm1 = nullptr;

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void changeEvent(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void InstallHooks();
    PlayListHost MakeHost();
    void FillRow(int line);
    void FillChoices(bool force);
    void ShowCombo(QComboBox *combo, int line, int col);
    void ComboChosen(QComboBox *combo, int item);
    void PlaceEditor(QWidget *editor, int line, int col);
    bool KeyOnGrid(int key);
    // "Play List modified, save?" when the list came from a file and was changed: false
    // when cancelled.
    bool AskSave();
    platform::MediaPlayer *RunnerPlayer(bool cd);
    void RunnerMediaStopped(platform::MediaPlayer &player);
    void MarkModified();

    std::unique_ptr<platform::MediaPlayer> player_;   // the window's own, made on use
    QPointer<TTVScreenf> oldScreen_;   // a closed video screen not yet deleted
    int editLine_ = -1;
    int editCol_ = -1;
    QString editStart_;
    bool pressOnCurrent_ = false;
};

extern TProgramForm *ProgramForm;
