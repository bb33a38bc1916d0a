// The name dialog of sequences, scenes, cues and groups, with the "First Scene" choice of
// a new sequence; and the installation of every sequence dialog into the program's hooks.
#pragma once

#include <QDialog>

#include <string>

namespace Ui {
class TSeqName;
}

class TSeqName : public QDialog {
    Q_OBJECT

public:
    // `choice` 3 offers and selects "Inherited"; otherwise "Default" is selected.
    TSeqName(const std::string &label, const std::string &text, bool firstSceneChoice, int choice,
             QWidget *parent = nullptr);
    ~TSeqName() override;

    // The name as bytes, at most 253.
    std::string NameBytes() const;
    // 1 "Default", 2 "Zero ", 3 "Inherited".
    int Choice() const;

    Ui::TSeqName *ui;

private:
    bool inherited_ = false;
};

// Fills the sequence-dialog hooks (name, scene count, device-sequence range, position
// memory editor and chooser) for `owner`, then lets the position menu follow.
void InstallSequenceDialogHooks(const void *owner);
