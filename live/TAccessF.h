// The "Access" dialog: the password that lifts the lock, and in change mode a new
// password with its level, stored in the access record.
#pragma once

#include <QDialog>

namespace Ui {
class TAccessF;
}
class TSpeedButton;

class TAccessF : public QDialog {
    Q_OBJECT

public:
    // The dialog's width in change mode, in logical pixels.
    static constexpr int ChangeModeWidth = 227;

    explicit TAccessF(QWidget *parent = nullptr);
    ~TAccessF() override;

    Ui::TAccessF *ui;
    TSpeedButton *SpeedButton1 = nullptr;

    // Handlers.
    void FormCreate();
    void Edit1Change();
    void Button3Click();
    void SpeedButton1Click();
    void Button1Click();

    bool ChangeMode() const { return changeMode_; }
    // The chosen level item, 0..2.
    int ChosenLevelIndex() const;

private:
    bool changeMode_ = false;
};
