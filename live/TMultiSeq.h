// The multi-sequence player window with its 32 slots.
#pragma once

#include <QWidget>

namespace Ui {
class TMultiSeq;
}

class TMultiSeq : public QWidget {
    Q_OBJECT

public:
    explicit TMultiSeq(QWidget *parent = nullptr);
    ~TMultiSeq() override;

    Ui::TMultiSeq *ui;
};

extern TMultiSeq *MultiSeq;
