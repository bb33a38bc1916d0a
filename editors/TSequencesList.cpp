#include "TSequencesList.h"
#include "ui_SequencesList.h"

TSequencesList *SequencesList = nullptr;

TSequencesList::TSequencesList(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::TSequencesList)
{
    ui->setupUi(this);
}

TSequencesList::~TSequencesList()
{
    if (SequencesList == this)
        SequencesList = nullptr;
    delete ui;
}
