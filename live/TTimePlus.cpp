#include "TTimePlus.h"
#include "ui_TimePlus.h"

#include "PlayList.h"
#include "TTimeMaskEdit.h"

#include "platform/MsgBox.h"

TTimePlus::TTimePlus(QWidget *parent) : QDialog(parent), ui(new Ui::TTimePlus)
{
    ui->setupUi(this);
    MaskEdit1 = new TTimeMaskEdit(this, QStringLiteral("!90:00:00:0>;1;_"));
    MaskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
    MaskEdit1->SetTimeText(QStringLiteral("00:00:00:0"));
    MaskEdit1->setMinimumWidth(100);
    ui->Layout->insertWidget(0, MaskEdit1);
    MaskEdit1->OnEnter = [this] { OKClick(); };
    // OK is also the Escape button.
    MaskEdit1->OnEscape = [this] { OKClick(); };
    connect(ui->OK, &QPushButton::clicked, this, [this] { OKClick(); });
}

TTimePlus::~TTimePlus()
{
    delete ui;
}

void TTimePlus::OKClick()
{
    if (const auto ms = ParsePlayListTime(platform::ToBytes(MaskEdit1->valueText())))
        TimeShiftValue = *ms;
    accept();
}
