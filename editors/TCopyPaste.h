// The block dialog of the values editor: the range a copy or clear takes (editable) or
// a paste or fill writes (shown), with "Ask me every time".
#pragma once

#include <QDialog>

namespace Ui {
class TCopyPaste;
}

enum class BlockOperation { Copy, Paste, Clear, Fill };

class TCopyPaste : public QDialog {
    Q_OBJECT

public:
    explicit TCopyPaste(QWidget *parent = nullptr);
    ~TCopyPaste() override;

    Ui::TCopyPaste *ui;

    // Caption, fixture name and ranges for `op` on `fixture`.
    void Prepare(BlockOperation op, int fixture);
    // OK for Copy and Clear: the four values minus 1 become the selection.
    void TakeRanges();

private:
    void FromChanged();
    void ToChanged();
    BlockOperation op_ = BlockOperation::Copy;
};

// Runs the dialog; true on OK.
bool RunCopyPaste(BlockOperation op, int fixture);
