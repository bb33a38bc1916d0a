// The media player window.
#pragma once

#include <QWidget>

namespace Ui {
class TMusicPlayer;
}

class TMusicPlayer : public QWidget {
    Q_OBJECT

public:
    explicit TMusicPlayer(QWidget *parent = nullptr);
    ~TMusicPlayer() override;

    Ui::TMusicPlayer *ui;
};

extern TMusicPlayer *MusicPlayer;
