#include "TProgramForm.h"
#include "ui_ProgramForm.h"

TProgramForm *ProgramForm = nullptr;

TProgramForm::TProgramForm(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::TProgramForm)
{
    ui->setupUi(this);
}

TProgramForm::~TProgramForm()
{
    if (ProgramForm == this)
        ProgramForm = nullptr;
    delete ui;
}
