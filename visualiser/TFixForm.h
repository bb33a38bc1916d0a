// The fixture preview form: a hidden, borderless window ("Preview", client 332 x 513)
// whose one raised panel, MainPanel, gives the controls read from a fixture profile's
// element streams a parent without showing anything. One instance at a time, reached
// through FixForm (null between uses).
#pragma once

#include "fixtures/TProfileStreams.h"

#include <QImage>
#include <QWidget>
#include <vector>

class QFrame;

namespace Ui {
class TFixForm;
}

class TFixForm : public QWidget {
    Q_OBJECT

public:
    explicit TFixForm(QWidget *owner = nullptr);
    ~TFixForm() override;

    // The whole form's picture, rendered without the form ever appearing on screen.
    QImage Grab();

    QFrame *MainPanel = nullptr;

private:
    Ui::TFixForm *ui;
};

extern TFixForm *FixForm;

// The form, made when FixForm is null.
TFixForm *EnsureFixForm();
// Hides the form, frees the elements read onto it (the controls first, the group boxes
// that hold them last), frees the form and sets FixForm to null. `elements` is emptied.
void FreeFixForm(std::vector<PanelElement> &elements);
