#include "TPhisMast.h"
#include "ui_PhisMast.h"

TPhisMast *PhisMast = nullptr;

TPhisMast::TPhisMast(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::TPhisMast)
{
    ui->setupUi(this);
}

TPhisMast::~TPhisMast()
{
    if (PhisMast == this)
        PhisMast = nullptr;
    delete ui;
}
