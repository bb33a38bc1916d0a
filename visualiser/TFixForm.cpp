#include "TFixForm.h"
#include "ui_FixForm.h"

#include <QFrame>

TFixForm *FixForm = nullptr;

TFixForm::TFixForm(QWidget *owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint), ui(new Ui::TFixForm)
{
    ui->setupUi(this);
    MainPanel = ui->MainPanel;
    setFixedSize(332, 513);
    MainPanel->setGeometry(0, 0, 332, 513);
}

TFixForm::~TFixForm()
{
    if (FixForm == this)
        FixForm = nullptr;
    delete ui;
}

QImage TFixForm::Grab()
{
    // Shown only to the painting machinery: the children lay out and paint as in a shown
    // window, and nothing reaches the screen.
    const bool wasDontShow = testAttribute(Qt::WA_DontShowOnScreen);
    const bool wasHidden = isHidden();
    setAttribute(Qt::WA_DontShowOnScreen, true);
    if (wasHidden)
        show();
    QImage picture = grab().toImage();
    if (wasHidden)
        hide();
    setAttribute(Qt::WA_DontShowOnScreen, wasDontShow);
    return picture;
}

TFixForm *EnsureFixForm()
{
    if (!FixForm)
        FixForm = new TFixForm();
    return FixForm;
}

void FreeFixForm(std::vector<PanelElement> &elements)
{
    if (FixForm)
        FixForm->hide();
    for (auto &e : elements)
        if (e.kind != ElGroupBox)
            delete e.control.data();
    for (auto &e : elements)
        delete e.control.data();
    elements.clear();
    delete FixForm;
    FixForm = nullptr;
}
