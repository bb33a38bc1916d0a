#include "TLabelF.h"
#include "ui_LabelF.h"

#include "PlayList.h"

#include <QIntValidator>

TLabelF::TLabelF(QWidget *parent) : QDialog(parent), ui(new Ui::TLabelF)
{
    ui->setupUi(this);
    ui->Edit1->setValidator(new QIntValidator(0, 999, ui->Edit1));
    ui->Edit1->setText(QString::number(GotoTarget + 1));
    connect(ui->OK, &QPushButton::clicked, this, [this] { OKClick(); });
}

TLabelF::~TLabelF()
{
    delete ui;
}

void TLabelF::OKClick()
{
    const int number = ui->Edit1->text().toInt();
    const int clamped = ClampGotoNumber(number);
    if (clamped != number) {
        ui->Edit1->setText(QString::number(clamped));
        return;
    }
    GotoTarget = number - 1;
    accept();
}
