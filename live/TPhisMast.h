// The window of the 16 physical masters and the main master: faders, bump buttons,
// follow boxes, the "Ignore" button and the 32 x 32 assignment grid. It answers the
// engine's master-input messages through a hidden message window.
#pragma once

#include "platform/Messages.h"

#include <QWidget>

#include <array>
#include <cstdint>

namespace Ui {
class TPhisMast;
}
class QCheckBox;
class QLabel;
class QMenu;
class QScrollArea;
class QTimer;
class TCBT;
class TRegForm;
class TTracker;

class TPhisMast : public QWidget {
    Q_OBJECT

public:
    static constexpr int Masters = 17;   // 16 masters and the main master (index 16)

    explicit TPhisMast(QWidget *parent = nullptr);
    ~TPhisMast() override;

    Ui::TPhisMast *ui;

    // Handlers.
    void ScrollBar1Change(int master);
    void CheckBox1Click(int master);
    void Label1Click(int master);
    void Bump1MouseDown(int master);
    void Bump1MouseUp(int master);
    void IgnoreClick();
    void ViewTableClick();
    void ClearAllClick();
    void AsDimmerClick();
    void AsPhysicalMasterClick();
    void SearchFreeDimmerClick();
    void TimerMastTimer();
    void GridMouseDown(int x, int y, Qt::MouseButton button);
    void GridMouseMove(int x, int y);
    // Faders, boxes, states and grid from the records (nothing is applied).
    void FormActivate();
    // Boxes and faders from the records, then every fader's change once. False when the
    // window does not exist.
    static bool RefreshPhysicalMasters();
    std::intptr_t AppMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);
    // The control states of the input mode.
    void ApplyControlStates();
    // Prepares the popup for master 0..16 (selects it, offers the items that apply).
    void PopupFor(int master);

    std::array<TTracker *, Masters> Faders{};
    std::array<TCBT *, Masters> Bumps{};
    std::array<QCheckBox *, Masters - 1> Follows{};
    std::array<QLabel *, Masters> Names{};
    std::array<QLabel *, Masters> Values{};
    TCBT *Ignore = nullptr;
    QWidget *Grid = nullptr;
    QScrollArea *GridScroll = nullptr;   // holds Grid
    QMenu *Popup = nullptr;
    QTimer *TimerMast = nullptr;
    TRegForm *RegForm1 = nullptr;
    bool TableShown() const;

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void BuildMasterColumns();
    void InstallHooks();
    void ShowPopup(int master, const QPoint &global);
    void SelectMaster(int master);
    // Fader positions, colours and value labels from the records.
    void ShowFaders();
    void ShowFollowBoxes();
    void ShowValue(int master);
    void ShowTable(bool shown);
    // The screen's available area less a margin: the room the opened table may take.
    QRect TableRoom() const;
    // Fits the opened table's window again when the window manager's frame, known late,
    // has left the room.
    void FitFrameIntoRoom();

    platform::WindowHandle messageWindow_ = 0;
    bool handlingMessage_ = false;
    bool statesQueued_ = false;
    std::array<bool, Masters> bumped_{};
};

extern TPhisMast *PhisMast;
