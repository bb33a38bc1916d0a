#include "TMultiSeq.h"
#include "ui_MultiSeq.h"

#include "MainForm.h"
#include "ui_MainForm.h"

#include "LookSwitch.h"
#include "MultiSeqSlots.h"
#include "OwnedHooks.h"

#include "PlayControl.h"
#include "PlayState.h"
#include "SceneFixtures.h"
#include "ShowModel.h"
#include "WindowSeams.h"

#include "controls/Buttons.h"
#include "controls/SpeedButton.h"
#include "controls/TColor.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>

#include <algorithm>

TMultiSeq *MultiSeq = nullptr;

namespace {

// Four columns of four slots, the player's Play and Stop on the left.
constexpr int SlotColumns = 4;
constexpr int SlotRowHeight = 16;
constexpr int ButtonsWidth = 26;
constexpr int PictureSide = 11;

void SetBackground(QWidget *w, TColor colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, toQColor(colour));
    w->setPalette(pal);
}

// The small pictures of the fade and cycle states.
QImage Picture(const std::function<void(QPainter &)> &draw)
{
    QImage img(PictureSide, PictureSide, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.5));
    draw(p);
    return img;
}

QImage PlayGlyph()
{
    return Picture([](QPainter &p) {
        p.setBrush(toQColor(clGreen));
        p.drawPolygon(QPolygonF({QPointF(2, 1), QPointF(11, 6), QPointF(2, 11)}));
    });
}

QImage StopGlyph()
{
    return Picture([](QPainter &p) {
        p.setBrush(toQColor(clMaroon));
        p.drawRect(QRectF(2, 2, 8, 8));
    });
}

QAction *ShowMenuAction()
{
    if (!MainForm)
        return nullptr;
    for (QAction *a : MainForm->ui->MainMenu->actions())
        if (a->menu() && a->text().remove(QLatin1Char('&')) == QLatin1String("Show"))
            return a;
    return nullptr;
}

QWidget *MainWidget(const char *name)
{
    return MainForm ? MainForm->findChild<QWidget *>(QString::fromLatin1(name)) : nullptr;
}

} // namespace

TMultiSeq::TMultiSeq(QWidget *parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), ui(new Ui::TMultiSeq)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowMinimizeButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    MSPanel = ui->MSPanel;
    panel_ = MSPanel;

    FadeL[0] = Picture([](QPainter &p) { p.drawLine(1, 6, 11, 6); });
    FadeL[1] = Picture([](QPainter &p) { p.drawLine(1, 11, 11, 1); });
    FadeL[2] = Picture([](QPainter &p) { p.drawPolyline(QPolygonF({QPointF(1, 11), QPointF(6, 1), QPointF(11, 11)})); });
    FadeL[3] = Picture([](QPainter &p) {
        QPainterPath path(QPointF(1, 11));
        path.cubicTo(QPointF(8, 11), QPointF(4, 1), QPointF(11, 1));
        p.drawPath(path);
    });
    Cyc = Picture([](QPainter &p) {
        p.drawArc(QRectF(2, 2, 8, 8), 90 * 16, 300 * 16);
        p.drawLine(QPointF(6, 2), QPointF(9, 0.5));
    });
    UnCyc = Picture([](QPainter &p) {
        p.drawLine(1, 6, 10, 6);
        p.drawLine(10, 6, 7, 3);
        p.drawLine(10, 6, 7, 9);
    });

    BuildSlots();
    setFixedSize(MSPanel->size());

    ComboSeq = new QComboBox(MSPanel);
    ComboSeq->setObjectName(QStringLiteral("ComboSeq"));
    ComboSeq->setMaxVisibleItems(32);
    ComboSeq->hide();
    connect(ComboSeq, &QComboBox::currentIndexChanged, this, [this](int index) { ComboSeqChange(index); });
    connect(ComboSeq, &QComboBox::activated, ComboSeq, &QWidget::hide);

    MultiTimer = new QTimer(this);
    MultiTimer->setObjectName(QStringLiteral("MultiTimer"));
    MultiTimer->setInterval(50);
    connect(MultiTimer, &QTimer::timeout, this, [this] { MultiTimerTimer(); });

    InstallHooks();
}

TMultiSeq::~TMultiSeq()
{
    ReleaseOwnedHooks(this);
    // A docked panel comes home, so that it goes with this window.
    if (panel_ && Docked())
        Undock();
    if (MultiSeq == this)
        MultiSeq = nullptr;
    delete ui;
}

void TMultiSeq::BuildSlots()
{
    QFont small = MSPanel->font();
    small.setPixelSize(10);
    MSPanel->setFont(small);
    // Each slot's name shows a default sequence name whole, number included.
    const int nameWidth = std::max(41, QFontMetrics(small).horizontalAdvance(QStringLiteral("SEQUENCE 10")) + 6);
    const int slotWidth = 32 + nameWidth + 2 * PictureSide + 5;
    MSPanel->setFixedSize(ButtonsWidth + SlotColumns * slotWidth, SlotColumns * SlotRowHeight + 4);
    Play = new TSpeedButton(MSPanel);
    Play->setObjectName(QStringLiteral("Play"));
    Stop = new TSpeedButton(MSPanel);
    Stop->setObjectName(QStringLiteral("Stop"));
    const std::pair<TSpeedButton *, const char *> buttons[] = {{Play, "Play MultiSequence"},
                                                               {Stop, "Stop MultiSequence"}};
    int y = 2;
    for (const auto &[b, hint] : buttons) {
        b->SetGroupIndex(1);
        b->setGeometry(1, y, ButtonsWidth - 3, 30);
        b->SetHintText(QByteArray(hint));
        b->setToolTip(QString::fromLatin1(hint));
        y += 34;
    }
    Play->SetGlyph(PlayGlyph());
    Stop->SetGlyph(StopGlyph());
    Stop->SetDown(true);
    connect(Play, &TSpeedButton::OnClick, this, [this] { PlayClick(); });
    connect(Stop, &TSpeedButton::OnClick, this, [this] { StopClick(); });

    for (int s = 0; s < ShownSlots; ++s) {
        const int x = ButtonsWidth + (s / SlotColumns) * slotWidth;
        const int top = 2 + (s % SlotColumns) * SlotRowHeight;
        auto *onOff = new TCBTC(MSPanel);
        onOff->setObjectName(QStringLiteral("OnOff%1").arg(s + 1));
        onOff->setToolTip(QStringLiteral("On/Off Playing"));
        onOff->setGeometry(x, top, 14, 15);
        onOff->SetColor(clBlack);
        onOff->setProperty("Tag", s);
        connect(onOff, &TCBTC::OnClick, this, [this, onOff] { OnOff1Click(onOff->property("Tag").toInt()); });
        OnOff[s] = onOff;

        auto *number = new QLabel(QString::number(s + 1), MSPanel);
        number->setObjectName(QStringLiteral("Label%1").arg(s + 1));
        number->setToolTip(QStringLiteral("Number Group"));
        number->setAlignment(Qt::AlignCenter);
        number->setAutoFillBackground(true);
        number->setGeometry(x + 15, top, 16, 15);
        number->setProperty("Tag", s);
        Number[s] = number;

        auto *name = new QLabel(QStringLiteral("Sequence 1"), MSPanel);
        name->setObjectName(QStringLiteral("SName%1").arg(s + 1));
        name->setAutoFillBackground(true);
        name->setFrameShape(QFrame::Panel);
        name->setFrameShadow(QFrame::Sunken);
        name->setGeometry(x + 32, top, nameWidth, 15);
        name->setProperty("Tag", s);
        name->installEventFilter(this);
        SetBackground(name, clWhite);
        SName[s] = name;

        auto *image = new QLabel(MSPanel);
        image->setObjectName(QStringLiteral("Image%1").arg(s + 1));
        image->setGeometry(x + slotWidth - 2 * PictureSide - 3, top + 2, PictureSide, PictureSide);
        image->hide();
        Image[s] = image;
        auto *cycle = new QLabel(MSPanel);
        cycle->setObjectName(QStringLiteral("Cycle%1").arg(s + 1));
        cycle->setGeometry(x + slotWidth - PictureSide - 2, top + 2, PictureSide, PictureSide);
        cycle->hide();
        Cycle[s] = cycle;
        ShowMultiAttributes(s);
    }
}

void TMultiSeq::InstallHooks()
{
    WindowSeamTable &seams = WindowSeams();
    InstallHook(this, seams.setMultiSeqSlotOn, [this](int slot, bool on) {
        if (SetMultiSeqSlotOn(slot, on ? 1 : 0))
            ShowSlot(slot);
    });
    InstallHook(this, seams.setMultiSeqSlotSequence, [this](int slot, int sequence) {
        SetMultiSeqSlotSequence(slot, sequence);
        ShowSlot(slot);
    });
    InstallHook(this, seams.multiSeqPlay, [this] { PlayClick(); });
    InstallHook(this, seams.multiSeqStop, [this] { StopClick(); });
    InstallHook(this, seams.multiSeqDock, [this](bool docked) {
        if (docked)
            ToTransportClick();
        else
            Undock();
    });
}

bool TMultiSeq::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::MouseButtonPress)
        if (auto *name = qobject_cast<QLabel *>(watched); name && name->objectName().startsWith(QLatin1String("SName")))
            SName1Click(name->property("Tag").toInt());
    return QWidget::eventFilter(watched, e);
}

// ---- slot display -----------------------------------------------------------------------

void TMultiSeq::ShowMultiAttributes(int slot)
{
    if (slot < 0 || slot >= ShownSlots)
        return;
    const SlotLook look = SlotLookOf(slot);
    SetBackground(Number[slot], look.numberColour);
    Image[slot]->setPixmap(QPixmap::fromImage(FadeL[static_cast<std::size_t>(look.fadeImage)]));
    Cycle[slot]->setPixmap(QPixmap::fromImage(look.cycles ? Cyc : UnCyc));
    Image[slot]->setVisible(look.imagesShown);
    Cycle[slot]->setVisible(look.imagesShown);
}

void TMultiSeq::ShowSlot(int slot)
{
    if (slot < 0 || slot >= ShownSlots)
        return;
    const PlayerSlot &s = PlayerSlots[static_cast<std::size_t>(slot)];
    if (s.sequence >= 0 && s.sequence < ComboSeq->count())
        SName[slot]->setText(ComboSeq->itemText(s.sequence));
    OnOff[slot]->SetColor(s.active ? SlotOnColour : SlotOffColour);
    SetBackground(SName[slot], s.active ? SlotOnColour : clBtnFace);
    ShowMultiAttributes(slot);
}

void TMultiSeq::MSPanelResize()
{
    if (!AskSeam(WindowSeams().multiSeqMenuChecked))
        return;
    {
        const QSignalBlocker block(ComboSeq);
        ComboSeq->clear();
        if (MainForm)
            for (int i = 0; i < MainForm->ui->Sequence->count(); ++i)
                ComboSeq->addItem(MainForm->ui->Sequence->itemText(i));
    }
    for (PlayerSlot &s : PlayerSlots)
        s.scene = 0;
    for (int slot = 0; slot < ShownSlots; ++slot)
        ShowSlot(slot);
}

// ---- handlers ---------------------------------------------------------------------------

void TMultiSeq::OnOff1Click(int slot)
{
    if (slot < 0 || slot >= ShownSlots)
        return;
    const bool lit = OnOff[slot]->Color() != clBlack;
    SwitchMultiSeqSlot(slot, !lit);
    const int sequence = PlayerSlots[static_cast<std::size_t>(slot)].sequence;
    CallSeam(WindowSeams().refreshMultiSeqCell, slot, sequence, sequence);
    ShowSlot(slot);
}

void TMultiSeq::SName1Click(int slot)
{
    if (slot < 0 || slot >= ShownSlots)
        return;
    EditedSlot = slot;
    QLabel *name = SName[slot];
    ComboSeq->setParent(name->parentWidget());
    ComboSeq->setGeometry(name->x(), name->y(), name->width(), ComboSeq->sizeHint().height());
    {
        const QSignalBlocker block(ComboSeq);
        ComboSeq->setCurrentIndex(PlayerSlots[static_cast<std::size_t>(slot)].sequence);
    }
    ComboSeq->show();
    ComboSeq->raise();
    ComboSeq->setFocus();
    if (ComboSeq->isVisible() && ComboSeq->window()->isVisible())
        ComboSeq->showPopup();
}

void TMultiSeq::ComboSeqChange(int index)
{
    const int slot = EditedSlot;
    if (slot < 0 || slot >= ShownSlots)
        return;
    const int old = PlayerSlots[static_cast<std::size_t>(slot)].sequence;
    SetMultiSeqSlotSequence(slot, index);
    ComboSeq->hide();
    CallSeam(WindowSeams().refreshMultiSeqCell, slot, PlayerSlots[static_cast<std::size_t>(slot)].sequence, old);
    ShowSlot(slot);
}

void TMultiSeq::SetFileMenuEnabled(bool enabled)
{
    if (QAction *show = ShowMenuAction())
        show->setEnabled(enabled);
}

void TMultiSeq::PlayClick()
{
    if (Playing.load())
        return;
    // The favourite's end (a cross-fade to the current cue) and the start are one step.
    LookSwitch change;
    if (FavouriteOn.load()) {
        FavouriteOn.store(0);
        if (MainForm)
            MainForm->ui->Favourite->SetDown(false);
        CallSeam(WindowSeams().applyInputToMasters);
        CallSeam(WindowSeams().crossFadeToCurrentCue);
    }
    Play->SetDown(true);
    if (QWidget *show = MainWidget("Show"))
        show->hide();
    if (ResetInvalidSlots())
        MSPanelResize();
    PrepareSlotsAndPlay();
    SetFileMenuEnabled(false);
    MultiTimer->start();
}

void TMultiSeq::StopClick()
{
    Playing.store(0);
    Stop->SetDown(true);
    Play->SetDown(false);
    MultiTimer->stop();
    if (QWidget *show = MainWidget("Show"))
        show->show();
    if (MainForm) {
        MainForm->ui->Time->clear();
        MainForm->ui->Label1->clear();
    }
    SetFileMenuEnabled(true);
    SceneToFixtures();
}

void TMultiSeq::MultiTimerTimer()
{
    if (!MainForm)
        return;
    MainForm->ui->Label1->setText(QString::number(2 * TickDuration.load()));
    MainForm->ui->Time->setText(QString::fromStdString(FormatPlayClock(PlayClock)));
    if (!OutputChanged.load())
        return;
    OutputChanged.store(0);
    MultiTimer->stop();
    CopyOutputLevelsToFixtures();
    if (Playing.load())
        MultiTimer->start();
    else
        StopClick();
}

// ---- docking ----------------------------------------------------------------------------

bool TMultiSeq::Docked() const
{
    return panel_ && panel_->parentWidget() != this;
}

void TMultiSeq::ToTransportClick()
{
    if (!MainForm || !panel_)
        return;
    ResetInvalidSlots();
    MSPanelResize();
    hide();
    if (Docked())
        return;
    QWidget *transport = MainForm->ui->TransportControl;
    auto *bar = qobject_cast<QBoxLayout *>(transport->layout());
    if (!bar)
        return;
    panel_->hide();
    // Where the single player's controls stand; they are hidden while the panel is in.
    QWidget *single = MainWidget("SPlayer");
    int at = single ? bar->indexOf(single) + 1 : 1;
    panel_->setParent(transport);
    bar->insertWidget(at++, panel_);
    // The transport grows to the panel's four rows when it is lower.
    const QMargins m = bar->contentsMargins();
    const int needed = panel_->height() + m.top() + m.bottom() + 2 * transport->contentsRect().top();
    if (transport->minimumHeight() < needed)
        transport->setMinimumHeight(needed);
    MainForm->TransportCreate();
    // The tempo twins stand beside the panel, hidden until the sequence list shows them.
    for (QWidget *w : {static_cast<QWidget *>(MainForm->DUpDownTempo), static_cast<QWidget *>(MainForm->DTempoButton)}) {
        if (!w || bar->indexOf(w) >= 0)
            continue;
        const bool shown = w->isVisibleTo(MainForm);
        w->setParent(transport);
        bar->insertWidget(at++, w);
        w->setVisible(shown);
    }
    panel_->show();
}

void TMultiSeq::Undock()
{
    if (!Docked())
        return;
    if (QLayout *bar = panel_->parentWidget()->layout())
        bar->removeWidget(panel_);
    panel_->setParent(this);
    panel_->move(0, 0);
    panel_->show();
}
