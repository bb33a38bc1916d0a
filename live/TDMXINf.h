// "DMX IN assignment": drag the control functions onto DMX-input channels. Edits a copy
// of the show's table; OK takes it over. DMX input is off while the window is open.
#pragma once

#include "InputFunctionNames.h"

#include <QDialog>

#include <cstdint>

class QMenu;

namespace Ui {
class TDMXINf;
}

class TDMXINf : public QDialog {
    Q_OBJECT

public:
    explicit TDMXINf(QWidget *parent = nullptr);
    ~TDMXINf() override;

    // A function of the list dropped on channel row `row`; a function already assigned
    // is refused with a box naming its channel.
    void DropFromFunctions(int function, int row);
    // An assigned channel row dragged onto another row.
    void DropFromChannel(int from, int to);
    void OKClick();
    void CancelClick();
    void ClearAllClick();
    // The popup's "Clear" on the selected row.
    void ClearClick();

    const InputFunctionEdit &Edit() const { return edit_; }

    Ui::TDMXINf *ui;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    void ShowRow(int row);
    // The form's close: the count follows the table, DMX input is switched back. Once.
    void Finish();

    InputFunctionEdit edit_;
    std::uint8_t savedDmxIn_ = 0;
    bool finished_ = false;
    QMenu *popup_ = nullptr;
};

// "Assign >>": runs the window modally and frees it.
void RunDmxInAssignment(QWidget *parent);
