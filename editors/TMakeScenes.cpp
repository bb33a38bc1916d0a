#include "TMakeScenes.h"
#include "ui_MakeScenes.h"

#include <QLineEdit>

TMakeScenes::TMakeScenes(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), ui(new Ui::TMakeScenes)
{
    ui->setupUi(this);
    setFixedSize(size());
    ui->UpDown1->SetRange(1, 256);
    ui->UpDown1->SetPosition(1);
    ui->UpDown1->Edit()->selectAll();
    connect(ui->OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TMakeScenes::~TMakeScenes()
{
    delete ui;
}

int TMakeScenes::SceneCount() const
{
    return ui->UpDown1->Position();
}
