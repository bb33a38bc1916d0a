// "Make new scenes": how many scenes to insert, 1..256.
#pragma once

#include <QDialog>

namespace Ui {
class TMakeScenes;
}

class TMakeScenes : public QDialog {
    Q_OBJECT

public:
    explicit TMakeScenes(QWidget *parent = nullptr);
    ~TMakeScenes() override;

    int SceneCount() const;

    Ui::TMakeScenes *ui;
};
