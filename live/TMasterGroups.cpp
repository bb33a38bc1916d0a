#include "TMasterGroups.h"
#include "ui_MasterGroups.h"

TMasterGroups *MasterGroups = nullptr;

TMasterGroups::TMasterGroups(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::TMasterGroups)
{
    ui->setupUi(this);
}

TMasterGroups::~TMasterGroups()
{
    if (MasterGroups == this)
        MasterGroups = nullptr;
    delete ui;
}
