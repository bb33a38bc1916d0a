#include "TDebugForm.h"
#include "ui_DebugForm.h"

#include "live/CueList.h"
#include "platform/MsgBox.h"

TDebugForm *DebugForm = nullptr;

TDebugForm::TDebugForm(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::TDebugForm)
{
    ui->setupUi(this);
}

TDebugForm::~TDebugForm()
{
    if (DebugForm == this)
        DebugForm = nullptr;
    delete ui;
}

void TDebugForm::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    ui->Memo1->setPlainText(platform::FromBytes(CueDebugListing()));
}
