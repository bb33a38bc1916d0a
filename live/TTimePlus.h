// The "Time Shift" dialog: a time to add to (or take from) the lines from the current one.
#pragma once

#include <QDialog>

namespace Ui {
class TTimePlus;
}
class TTimeMaskEdit;

class TTimePlus : public QDialog {
    Q_OBJECT

public:
    explicit TTimePlus(QWidget *parent = nullptr);
    ~TTimePlus() override;
    // Reads the entry into TimeShiftValue and closes with OK.
    void OKClick();

    Ui::TTimePlus *ui;
    TTimeMaskEdit *MaskEdit1 = nullptr;
};
