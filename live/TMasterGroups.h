// The fixture groups window.
#pragma once

#include <QWidget>

namespace Ui {
class TMasterGroups;
}

class TMasterGroups : public QWidget {
    Q_OBJECT

public:
    explicit TMasterGroups(QWidget *parent = nullptr);
    ~TMasterGroups() override;

    Ui::TMasterGroups *ui;
};

extern TMasterGroups *MasterGroups;
