// The position-scene chooser: the number of the position scene for the current scene,
// with that position scene's name beside it.
#pragma once

#include <QDialog>

namespace Ui {
class TPMScene;
}

class TPMScene : public QDialog {
    Q_OBJECT

public:
    // `initial` is held inside 1..PositionSceneCount.
    explicit TPMScene(int initial, QWidget *parent = nullptr);
    ~TPMScene() override;

    int Number() const;

    Ui::TPMScene *ui;

private:
    void ShowName(int number);
};
