#include "StartDialog.h"
#include "ui_StartDialog.h"

#include "StartupState.h"

#include "controls/SpeedButton.h"

#include <QAction>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QScreen>
#include <QTimer>

namespace {
constexpr int DialogWidth = 560;
constexpr int DialogHeight = 414;
} // namespace

TStartDialog::TStartDialog(QWidget *parent, const std::array<QAction *, 5> &recent)
    : QDialog(parent), ui(new Ui::TStartDialog), recent_(recent)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setFixedSize(DialogWidth, DialogHeight);
    setWhatsThis(QStringLiteral("101"));   // help context
    ui->Image1->setPixmap(QPixmap::fromImage(StartPicture()));
    ui->Image1->installEventFilter(this);

    struct Button {
        TSpeedButton *button;
        const char *caption;
        int choice;
    } buttons[] = {{ui->SpeedButton1, "New Show", 1},
                   {ui->SpeedButton2, "Open Show", 2},
                   {ui->SpeedButton3, "Last Show", 6},
                   {ui->SpeedButton4, "Fixture Editor", 5}};
    for (const Button &b : buttons) {
        b.button->SetCaption(b.caption);
        b.button->SetFlat(false);
        const auto choice = static_cast<std::uint8_t>(b.choice);
        connect(b.button, &TSpeedButton::OnClick, this, [this, choice] { Choose(choice); });
    }
    ui->SpeedButton6->SetCaption("x");
    ui->SpeedButton6->SetFlat(true);
    connect(ui->SpeedButton6, &TSpeedButton::OnClick, this, [this] { SpeedButton6Click(); });
    ui->SpeedButton3->installEventFilter(this);

    // The hidden main menu: its shortcuts work while it is not shown.
    FileMenu = new QMenu(QStringLiteral("File"), this);
    FileMenu->setObjectName(QStringLiteral("File"));
    Exit1 = FileMenu->addAction(QStringLiteral("Exit"));
    Exit1->setObjectName(QStringLiteral("Exit1"));
    Help1 = FileMenu->addAction(QStringLiteral("Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    LastShow1 = FileMenu->addAction(QStringLiteral("Last Show"));
    LastShow1->setObjectName(QStringLiteral("LastShow1"));
    addActions(FileMenu->actions());
    connect(Exit1, &QAction::triggered, this, [this] { SpeedButton6Click(); });
    connect(LastShow1, &QAction::triggered, this, [this] { Choose(6); });

    PopupFile = new QMenu(this);
    PopupFile->setObjectName(QStringLiteral("PopupFile"));
    for (int t = 0; t < 5; ++t) {
        QAction *a = PopupFile->addAction(QString());
        a->setObjectName(QStringLiteral("File%1").arg(t + 1));
        a->setData(t);   // Tag
        a->setVisible(false);
        connect(a, &QAction::triggered, this, [this, t] { Choose(static_cast<std::uint8_t>(6 + t)); });
        PopupItems[static_cast<std::size_t>(t)] = a;
    }
    connect(PopupFile, &QMenu::aboutToShow, this, [this] { PopupFilePopup(); });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    FormCreate();
}

TStartDialog::~TStartDialog()
{
    delete ui;
}

void TStartDialog::FormCreate()
{
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Brantoval-1024 Start Dialog"));
    if (AccessLevel >= 1)
        ui->SpeedButton4->hide();
    if (AccessLevel > 1)
        ui->SpeedButton1->hide();
    setWindowTitle(QStringLiteral("Brantoval version 5.86c"));
}

void TStartDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TStartDialog::Choose(std::uint8_t choice)
{
    StartChoice = choice;
    Timer1->start();
}

// The hidden exit leaves the choice as it is (0 unless one was made).
void TStartDialog::SpeedButton6Click()
{
    Choose(StartChoice);
}

void TStartDialog::PopupFilePopup()
{
    for (std::size_t i = 0; i < PopupItems.size(); ++i) {
        const QAction *source = recent_[i];
        PopupItems[i]->setText(source ? source->text() : QString());
        PopupItems[i]->setVisible(source && source->isVisible());
    }
}

void TStartDialog::Timer1Timer()
{
    Timer1->stop();
    done(StartChoice);
}

bool TStartDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->SpeedButton3 && event->type() == QEvent::MouseButtonPress) {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() == Qt::RightButton) {
            PopupFile->popup(e->globalPosition().toPoint());
            return true;
        }
    }
    if (watched == ui->Image1) {
        if (event->type() == QEvent::MouseButtonPress) {
            dragOrigin_ = static_cast<QMouseEvent *>(event)->position().toPoint();
            return true;
        }
        if (event->type() == QEvent::MouseMove) {
            auto *e = static_cast<QMouseEvent *>(event);
            if (e->buttons() & Qt::LeftButton)
                move(pos() + e->position().toPoint() - dragOrigin_);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QImage TStartDialog::StartPicture()
{
    QImage img(DialogWidth, DialogHeight, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, DialogHeight);
    sky.setColorAt(0, QColor(10, 12, 40));
    sky.setColorAt(1, QColor(0, 0, 0));
    p.fillRect(img.rect(), sky);
    // Three beams from the truss onto the stage floor.
    const QColor beams[] = {QColor(255, 60, 60, 90), QColor(80, 160, 255, 90), QColor(255, 220, 80, 90)};
    for (int i = 0; i < 3; ++i) {
        const int x = 120 + i * 160;
        QPainterPath beam;
        beam.moveTo(x - 6, 40);
        beam.lineTo(x + 6, 40);
        beam.lineTo(x + 70, 250);
        beam.lineTo(x - 70, 250);
        beam.closeSubpath();
        p.fillPath(beam, beams[i]);
        QRadialGradient spot(x, 255, 80, x, 255);
        spot.setColorAt(0, beams[i].lighter(150));
        spot.setColorAt(1, Qt::transparent);
        p.setBrush(spot);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPoint(x, 255), 80, 18);
        p.setBrush(QColor(60, 60, 70));
        p.drawRoundedRect(x - 12, 28, 24, 16, 4, 4);
    }
    p.fillRect(0, 24, DialogWidth, 6, QColor(90, 90, 100));
    p.setPen(QColor(230, 230, 240));
    QFont title(QStringLiteral("Sans Serif"), 26, QFont::Bold);
    p.setFont(title);
    p.drawText(QRect(0, 140, DialogWidth, 50), Qt::AlignCenter, QStringLiteral("Brantoval 1024"));
    QFont small(QStringLiteral("Sans Serif"), 10);
    p.setFont(small);
    p.drawText(QRect(0, 190, DialogWidth, 24), Qt::AlignCenter, QStringLiteral("DMX512 stage lighting control"));
    p.setPen(QColor(150, 150, 160));
    p.drawText(QRect(0, 380, DialogWidth - 12, 24), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("version 5.86c"));
    return img;
}
