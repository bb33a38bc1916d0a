// The list of sequences (and of cues while the multi-sequence player runs).
#pragma once

#include <QWidget>

namespace Ui {
class TSequencesList;
}

class TSequencesList : public QWidget {
    Q_OBJECT

public:
    explicit TSequencesList(QWidget *parent = nullptr);
    ~TSequencesList() override;

    Ui::TSequencesList *ui;
};

extern TSequencesList *SequencesList;
