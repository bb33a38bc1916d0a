// The device-sequence dialog: the scene range of one fixture's levels to copy (mode 0,
// with "Save file") or to insert (mode 1, with "Load file").
#pragma once

#include <QDialog>

#include "DeviceSequenceFile.h"

namespace Ui {
class TSeqStCopF;
}

class TSeqStCopF : public QDialog {
    Q_OBJECT

public:
    TSeqStCopF(int mode, QWidget *parent = nullptr);
    ~TSeqStCopF() override;

    // The chosen range, 0-based.
    int First() const;
    int Last() const;
    void FileButtonClick();

    Ui::TSeqStCopF *ui;

private:
    void ShowRange();
    void FromChanged(int from);
    void OKClick();
    int SceneCount() const;
    int mode_;
    SceneRangeChoice range_;
};
