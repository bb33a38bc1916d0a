#include "TPMScene.h"
#include "ui_PMScene.h"

#include "PositionMemory.h"

#include "platform/MsgBox.h"

#include <algorithm>

TPMScene::TPMScene(int initial, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), ui(new Ui::TPMScene)
{
    ui->setupUi(this);
    setFixedSize(size());
    const int count = std::max(1, static_cast<int>(PositionSceneCount));
    ui->Label1->setText(QStringLiteral("Select Number of Position Memory Scene 1-%1").arg(PositionSceneCount));
    ui->UpDown1->SetRange(1, count);
    ui->UpDown1->SetPosition(std::clamp(initial, 1, count));
    ShowName(ui->UpDown1->Position());
    connect(ui->UpDown1, &TUpDownEdit::Changed, this, [this](int n) { ShowName(n); });
    connect(ui->OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TPMScene::~TPMScene()
{
    delete ui;
}

int TPMScene::Number() const
{
    return ui->UpDown1->Position();
}

void TPMScene::ShowName(int number)
{
    const PositionScene *pos = PositionSceneAt(number);
    ui->NameLabel->setText(pos ? platform::FromBytes(pos->name) : QString());
}
