// The start dialog: a borderless picture with the start choices (new show, open a show,
// last show or a recent one from the right button's menu, the fixture-profile editor, a
// hidden exit). A choice is kept in StartChoice and closes the dialog 50 ms later, so the
// pressed button shows; closing it any other way gives 0.
#pragma once

#include <QDialog>
#include <QPoint>

#include <array>
#include <cstdint>

namespace Ui {
class TStartDialog;
}
class QAction;
class QMenu;
class QTimer;

class TStartDialog : public QDialog {
    Q_OBJECT

public:
    // `recent` are the main window's recent-show items File1..File5, whose captions and
    // visibility the recent-show menu copies when it pops up.
    explicit TStartDialog(QWidget *parent = nullptr, const std::array<QAction *, 5> &recent = {});
    ~TStartDialog() override;

    Ui::TStartDialog *ui;
    QMenu *FileMenu = nullptr;        // hidden main menu "File"
    QAction *Exit1 = nullptr, *Help1 = nullptr, *LastShow1 = nullptr;
    QMenu *PopupFile = nullptr;       // recent shows, File1..File5 with Tag 0..4
    std::array<QAction *, 5> PopupItems{};
    QTimer *Timer1 = nullptr;
    std::uint8_t StartChoice = 0;

    void FormCreate();
    // A choice: kept, and the dialog closes on the timer's first tick.
    void Choose(std::uint8_t choice);
    void SpeedButton6Click();
    void PopupFilePopup();
    void Timer1Timer();
    // The dialog's own picture, drawn once.
    static QImage StartPicture();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    std::array<QAction *, 5> recent_;
    QPoint dragOrigin_;
};
