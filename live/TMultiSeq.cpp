#include "TMultiSeq.h"
#include "ui_MultiSeq.h"

TMultiSeq *MultiSeq = nullptr;

TMultiSeq::TMultiSeq(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::TMultiSeq)
{
    ui->setupUi(this);
}

TMultiSeq::~TMultiSeq()
{
    if (MultiSeq == this)
        MultiSeq = nullptr;
    delete ui;
}
