// Physical masters and dimmers.
#pragma once

#include <QWidget>

namespace Ui {
class TPhisMast;
}

class TPhisMast : public QWidget {
    Q_OBJECT

public:
    explicit TPhisMast(QWidget *parent = nullptr);
    ~TPhisMast() override;

    Ui::TPhisMast *ui;
};

extern TPhisMast *PhisMast;
