#include "TDebugForm.h"
#include "ui_DebugForm.h"

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
