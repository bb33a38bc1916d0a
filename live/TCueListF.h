// The cue list window.
#pragma once

#include <QWidget>

namespace Ui {
class TCueListF;
}

class TCueListF : public QWidget {
    Q_OBJECT

public:
    explicit TCueListF(QWidget *parent = nullptr);
    ~TCueListF() override;

    Ui::TCueListF *ui;
};

extern TCueListF *CueListF;
