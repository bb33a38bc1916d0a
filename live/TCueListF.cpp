#include "TCueListF.h"
#include "ui_CueListF.h"

TCueListF *CueListF = nullptr;

TCueListF::TCueListF(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::TCueListF)
{
    ui->setupUi(this);
}

TCueListF::~TCueListF()
{
    if (CueListF == this)
        CueListF = nullptr;
    delete ui;
}
