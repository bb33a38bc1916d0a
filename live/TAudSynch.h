// Hardware and synchronisation window: interface choice, DMX input modes, beat and MIDI input, LAN link.
#pragma once

#include <QWidget>

namespace Ui {
class TAudSynch;
}

class TAudSynch : public QWidget {
    Q_OBJECT

public:
    explicit TAudSynch(QWidget *parent = nullptr);
    ~TAudSynch() override;

    Ui::TAudSynch *ui;
};

extern TAudSynch *AudSynch;
