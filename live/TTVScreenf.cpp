#include "TTVScreenf.h"
#include "ui_TVScreenf.h"

#include "platform/MediaPlayer.h"
#include "platform/MsgBox.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

TTVScreenf *TVScreenf = nullptr;

namespace {
constexpr int StateWaitMs = 5000;
}

TTVScreenf::TTVScreenf(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), ui(new Ui::TTVScreenf)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground, true);
    normal_ = geometry();
    for (QWidget *w : {static_cast<QWidget *>(this), ui->PanelControl, ui->PlayerArea, static_cast<QWidget *>(ui->IstFullScreenP),
                       static_cast<QWidget *>(ui->IIndFullScreenP)})
        w->installEventFilter(this);
    ui->IstFullScreenP->setProperty("Tag", 1);
    ui->IIndFullScreenP->setProperty("Tag", 2);
    ui->IstFullScreenP->setCursor(Qt::PointingHandCursor);
    ui->IIndFullScreenP->setCursor(Qt::PointingHandCursor);
    ui->PlayerArea->setStyleSheet(QStringLiteral("background: black;"));
}

TTVScreenf::~TTVScreenf()
{
    if (player_)
        player_->Close();
    player_.reset();
    if (TVScreenf == this)
        TVScreenf = nullptr;
    delete ui;
}

platform::MediaPlayer &TTVScreenf::Player()
{
    if (!player_) {
        player_ = platform::CreateMediaPlayer(true);
        if (QWidget *v = player_->VideoWidget()) {
            v->setObjectName(QStringLiteral("MediaPlayer"));
            v->setParent(ui->PlayerArea);
            ui->PlayerLayout->addWidget(v);
            v->installEventFilter(this);
            v->hide();
        }
    }
    return *player_;
}

void TTVScreenf::ShowPlayer(bool shown)
{
    if (player_ && player_->VideoWidget())
        player_->VideoWidget()->setVisible(shown);
}

bool TTVScreenf::PlayerShown() const
{
    return player_ && player_->VideoWidget() && player_->VideoWidget()->isVisible();
}

void TTVScreenf::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    ShowPlayer(false);
}

bool TTVScreenf::WaitForState(const std::function<bool()> &done)
{
    return platform::WaitProcessing(done, StateWaitMs);
}

bool TTVScreenf::SynOpen()
{
    // A refused file ends the wait at once: it never opens.
    return platform::WaitUntilOpen(Player(), StateWaitMs);
}

void TTVScreenf::StopClick()
{
    if (!player_)
        return;
    player_->Stop();
    platform::MediaPlayer &p = *player_;
    if (WaitForState([&p] { return p.State() == platform::MediaState::Stopped; }))
        player_->Open({});
}

void TTVScreenf::OpenClick()
{
    const auto path = platform::OpenFileDialog("Open all", "All files|*.*");
    if (!path)
        return;
    platform::MediaPlayer &p = Player();
    p.Stop();
    WaitForState([&p] { return p.State() == platform::MediaState::Stopped; });
    p.Open(*path);
    if (!SynOpen())
        return;
    p.Play();
    ShowPlayer(p.HasVideo());
}

void TTVScreenf::FullScreen(int monitor)
{
    normal_.moveTopLeft(pos());
    normal_.setSize(size());
    const QList<QScreen *> screens = QGuiApplication::screens();
    QRect target;
    if (monitor >= 1 && monitor <= screens.size()) {
        target = screens[monitor - 1]->geometry();
    } else {
        // The second monitor lies right of the first.
        const QRect primary = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect(0, 0, 1024, 768);
        target = QRect(monitor == 2 ? primary.width() : 0, 0, primary.width(), primary.height());
    }
    setGeometry(target);
    ui->PanelControl->hide();
    showFullScreen();
    fullScreen_ = monitor;
}

void TTVScreenf::NormalView()
{
    showNormal();
    setGeometry(normal_);
    ui->PanelControl->show();
    fullScreen_ = 0;
}

bool TTVScreenf::MouseEvent(QEvent *e)
{
    auto *m = static_cast<QMouseEvent *>(e);
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        if (m->button() == Qt::LeftButton && fullScreen_ == 0) {
            dragStart_ = m->globalPosition().toPoint();
            dragging_ = true;
        }
        return false;
    case QEvent::MouseMove:
        if (dragging_ && (m->buttons() & Qt::LeftButton) && fullScreen_ == 0) {
            const QPoint now = m->globalPosition().toPoint();
            move(pos() + now - dragStart_);
            dragStart_ = now;
        }
        return false;
    case QEvent::MouseButtonRelease:
        dragging_ = false;
        if (fullScreen_ == 0)
            normal_.moveTopLeft(pos());
        return false;
    case QEvent::MouseButtonDblClick:
        if (fullScreen_ != 0)
            NormalView();
        return true;
    default:
        return false;
    }
}

bool TTVScreenf::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::MouseButtonRelease && (watched == ui->IstFullScreenP || watched == ui->IIndFullScreenP) &&
        static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton) {
        dragging_ = false;
        FullScreen(watched->property("Tag").toInt());
        return true;
    }
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return MouseEvent(e);
    default:
        return QWidget::eventFilter(watched, e);
    }
}
