// "DMX Record": records what arrives on the DMX input with a counter, a clock and a live
// view of the input, and stores the recording as scenes of a new or the current sequence.
#pragma once

#include <QDialog>

#include "platform/Messages.h"

#include <cstdint>
#include <memory>

namespace Ui {
class TRecordF;
}
class DmxRecordWriter;
class QTimer;
class TRegForm;

// Where "Store" puts the input: 1 levels 0-511 ("DMX OUT1"), 0 levels 512-1023.
extern std::uint8_t PlaceIntoLow;

class TRecordF : public QDialog {
    Q_OBJECT

public:
    explicit TRecordF(QWidget *parent = nullptr);
    ~TRecordF() override;

    Ui::TRecordF *ui;
    QTimer *TimerRec = nullptr;
    TRegForm *RegForm1 = nullptr;

    void StartRecordClick();
    void StopRecordClick();
    void UpdClick();
    void PlaceClick();
    void LabelButton1Click();
    void FormActivate();
    void TimerRecTimer();
    std::intptr_t AppMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

    bool Recording() const { return writer_ != nullptr; }
    // Changes written so far; after a stop the number of (state, end time) pairs.
    int RecordCount = 0;
    bool InputViewOn = false;

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void PaintView();
    int ShownViewRows() const;
    void FitViewRows();
    // The counter and the clock of the recording.
    void ShowCounters();
    void SetViewShown(bool on);
    void KeepOnScreen();
    std::string RecordPath() const;

    std::unique_ptr<DmxRecordWriter> writer_;
    platform::WindowHandle window_ = 0;
    std::uint32_t lastSerial_ = 0;   // the last input snapshot written
};

extern TRecordF *RecordF;
