#include "AboutBox.h"
#include "ui_AboutBox.h"

#include "LevelPipeline.h"
#include "ShowModel.h"

#include "platform/MsgBox.h"
#include "platform/Url.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace {

QPixmap Logo(const QColor &face, const QColor &beam)
{
    QImage img(64, 64, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(face);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(4, 4, 56, 56, 10, 10);
    p.setBrush(beam);
    p.drawPolygon(QPolygon({QPoint(26, 12), QPoint(38, 12), QPoint(52, 52), QPoint(12, 52)}));
    p.setBrush(QColor(40, 40, 48));
    p.drawRect(22, 8, 20, 8);
    return QPixmap::fromImage(img);
}

QPixmap Strip()
{
    QImage img(380, 8, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 380, 0);
    g.setColorAt(0, QColor(200, 30, 30));
    g.setColorAt(0.5, QColor(30, 120, 220));
    g.setColorAt(1, QColor(240, 200, 40));
    p.fillRect(img.rect(), g);
    return QPixmap::fromImage(img);
}

} // namespace

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent), ui(new Ui::TAboutBox)
{
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(size());
    ui->Image1->setPixmap(Logo(QColor(20, 24, 60), QColor(255, 220, 90, 200)));
    ui->Image2->setPixmap(Logo(QColor(60, 20, 20), QColor(255, 80, 80, 220)));
    ui->Image3->setPixmap(Logo(QColor(20, 60, 30), QColor(90, 255, 120, 220)));
    ui->Image4->setPixmap(Strip());
    ui->Image2->hide();
    ui->Image3->hide();
    for (QWidget *w : {static_cast<QWidget *>(ui->Image1), static_cast<QWidget *>(ui->Comments),
                       static_cast<QWidget *>(ui->Label2), static_cast<QWidget *>(ui->Label1)})
        w->installEventFilter(this);
    for (QLabel *link : {ui->Label2, ui->Label1}) {
        link->setCursor(Qt::PointingHandCursor);
        link->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
    }
    connect(ui->OKButton, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
    FormShow();
}

TAboutBox::~TAboutBox()
{
    delete ui;
}

void TAboutBox::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

std::string TAboutBox::VersionText(const std::uint8_t revision[4])
{
    std::string text = "Brantoval 1024, version 5.86c";
    if (revision[0] != 0 && revision[2] != 0)
        text += std::string("\r\n") + "(DMX interface revision " + static_cast<char>(revision[0]) +
                static_cast<char>(revision[1]) + static_cast<char>(revision[2]) + ")";
    return text;
}

std::string TAboutBox::CommentHintFor(int count)
{
    if (count != 0)
        return CommentHint;
    return "Brantoval 1024 5.86c: " + std::to_string(MaxChannels) + " channels, " + std::to_string(MaxSequences) +
           " sequences of " + std::to_string(MaxScenes) + " scenes";
}

void TAboutBox::FormShow()
{
    ui->Comments->setText(QStringLiteral(
        "Stage lighting control over DMX512: fixtures, sequences of scenes, masters, cue lists and a 3D view."));
    ui->Version->setText(platform::DisplayText(VersionText(HardwareRevision)));
    ui->Label2->setText(QStringLiteral("www.brantoval.example"));
    ui->Label1->setText(QStringLiteral("support@brantoval.example"));
    if (ui->Comments->toolTip().isEmpty())
        ui->Comments->setToolTip(QString::fromStdString(CommentHintFor(0)));
}

void TAboutBox::CommentsClick()
{
    commentClicks_ = (commentClicks_ + 1) % 3;
    ui->Comments->setToolTip(QString::fromStdString(CommentHintFor(commentClicks_)));
}

void TAboutBox::Label2Click()
{
    platform::OpenUrl(WebAddress);
}

void TAboutBox::Label1Click()
{
    platform::OpenUrl(MailAddress);
}

void TAboutBox::Image1MouseDown(Qt::KeyboardModifiers mods)
{
    if (mods & Qt::ShiftModifier)
        ui->Image2->show();
    else if (mods & Qt::ControlModifier)
        ui->Image3->show();
}

void TAboutBox::Image1MouseUp()
{
    ui->Image2->hide();
    ui->Image3->hide();
}

bool TAboutBox::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
    if (type == QEvent::MouseButtonPress) {
        auto *e = static_cast<QMouseEvent *>(event);
        if (watched == ui->Image1)
            Image1MouseDown(e->modifiers());
        else if (watched == ui->Comments)
            CommentsClick();
        else if (watched == ui->Label2)
            Label2Click();
        else if (watched == ui->Label1)
            Label1Click();
    } else if (type == QEvent::MouseButtonRelease && watched == ui->Image1) {
        Image1MouseUp();
    }
    return QDialog::eventFilter(watched, event);
}
