// The "Multi Sequence Player" window: the slot panel of the first 16 player slots with
// their on/off buttons, sequence names, step-kind numbers and fade and cycle pictures,
// and the player's own Play and Stop. The panel docks into the main window's transport.
#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <array>

namespace Ui {
class TMultiSeq;
}
class QComboBox;
class QLabel;
class QTimer;
class TCBTC;
class TSpeedButton;

class TMultiSeq : public QWidget {
    Q_OBJECT

public:
    static constexpr int ShownSlots = 16;

    explicit TMultiSeq(QWidget *parent = nullptr);
    ~TMultiSeq() override;

    Ui::TMultiSeq *ui;

    // Handlers.
    void OnOff1Click(int slot);
    void SName1Click(int slot);
    void ComboSeqChange(int index);
    void PlayClick();
    void StopClick();
    void MultiTimerTimer();
    // Refill: ComboSeq from the main window's sequences, every slot's scene 0, the panel
    // from the slots. Only while the player's item is checked.
    void MSPanelResize();
    // Dock the slot panel into the main window's transport, or give it back.
    void ToTransportClick();
    void Undock();
    bool Docked() const;
    // The number label and the two pictures of a shown slot.
    void ShowMultiAttributes(int slot);
    // Button, name panel and attributes of a shown slot from its fields.
    void ShowSlot(int slot);

    QWidget *MSPanel = nullptr;
    TSpeedButton *Play = nullptr;
    TSpeedButton *Stop = nullptr;
    QComboBox *ComboSeq = nullptr;
    QTimer *MultiTimer = nullptr;
    std::array<TCBTC *, ShownSlots> OnOff{};
    std::array<QLabel *, ShownSlots> SName{};
    std::array<QLabel *, ShownSlots> Number{};
    std::array<QLabel *, ShownSlots> Image{};
    std::array<QLabel *, ShownSlots> Cycle{};
    // Fade pictures: no fade, fade kinds 0, 1, other; cycle pictures.
    std::array<QImage, 4> FadeL;
    QImage Cyc, UnCyc;
    int EditedSlot = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void BuildSlots();
    void InstallHooks();
    void SetFileMenuEnabled(bool enabled);

    QPointer<QWidget> panel_;   // survives the main window taking the panel
};

extern TMultiSeq *MultiSeq;
