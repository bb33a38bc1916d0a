// The "Go to" dialog: the line a jump goes to, kept within the list.
#pragma once

#include <QDialog>

namespace Ui {
class TLabelF;
}

class TLabelF : public QDialog {
    Q_OBJECT

public:
    explicit TLabelF(QWidget *parent = nullptr);
    ~TLabelF() override;
    // OK: a number outside 1..PlayListCount is corrected in the edit and the dialog stays;
    // otherwise GotoTarget takes it and the dialog closes.
    void OKClick();

    Ui::TLabelF *ui;
};
