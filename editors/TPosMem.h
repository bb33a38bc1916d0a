// The position memory editor: one tab per stored position scene, its name, the fixtures
// with pan and tilt, a pad and a focus fader that edit the selected fixture's stored
// position, and the commands that copy positions into the scenes referring to them.
#pragma once

#include <QDialog>

#include "PositionMemory.h"

namespace Ui {
class TPosMem;
}

class TPosMem : public QDialog {
    Q_OBJECT

public:
    explicit TPosMem(QWidget *parent = nullptr);
    ~TPosMem() override;

    // The current position scene, 1-based.
    int Current() const;
    void TabControlChange();
    void EditNameChange();
    void DevListClick(int row);
    void FieldXYChange();
    void FocusSliderChange();
    void GetPositionsClick();
    void UpdateThisClick();
    void UpdateAllClick();
    void AddPositionClick();
    void RemovePositionClick();

    Ui::TPosMem *ui;

private:
    void FillTabs(int current);
    void FillDevList();
    // The selected fixture's stored values on the pad and fader, and on the output.
    void ShowPosition();
    void Write(int channel, int value);
    int fixture_ = -1;
    PositionChannels channels_;
};
