#include "TMusicPlayer.h"
#include "ui_MusicPlayer.h"

TMusicPlayer *MusicPlayer = nullptr;

TMusicPlayer::TMusicPlayer(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::TMusicPlayer)
{
    ui->setupUi(this);
}

TMusicPlayer::~TMusicPlayer()
{
    if (MusicPlayer == this)
        MusicPlayer = nullptr;
    delete ui;
}
