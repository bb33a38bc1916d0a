#include "TAudSynch.h"
#include "ui_AudSynch.h"

TAudSynch *AudSynch = nullptr;

TAudSynch::TAudSynch(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::TAudSynch)
{
    ui->setupUi(this);
}

TAudSynch::~TAudSynch()
{
    if (AudSynch == this)
        AudSynch = nullptr;
    delete ui;
}
