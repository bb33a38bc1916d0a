// The play list window.
#pragma once

#include <QWidget>

namespace Ui {
class TProgramForm;
}

class TProgramForm : public QWidget {
    Q_OBJECT

public:
    explicit TProgramForm(QWidget *parent = nullptr);
    ~TProgramForm() override;

    Ui::TProgramForm *ui;
};

extern TProgramForm *ProgramForm;
