#include "TMusicPlayer.h"
#include "ui_MusicPlayer.h"

#include "MainForm.h"
#include "MediaNames.h"
#include "TTimeMaskEdit.h"

#include "controls/Faders.h"
#include "controls/RegForm.h"

#include "platform/MediaPlayer.h"
#include "platform/MsgBox.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

TMusicPlayer *MusicPlayer = nullptr;

TMusicPlayer::TMusicPlayer(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::TMusicPlayer)
{
    ui->setupUi(this);
    TimeEdit = new TTimeMaskEdit(this, QStringLiteral("90:00:0"));
    TimeEdit->setObjectName(QStringLiteral("TimeEdit"));
    TimeEdit->SetTimeText(QStringLiteral("00:00:0"));
    TimeEdit->setFixedWidth(70);
    TimeEdit->OnEnter = [this] { TimeEditEnter(); };
    ui->Buttons->insertWidget(3, TimeEdit);

    Sliderh1 = new TSliderh(ui->Panel1);
    Sliderh1->setObjectName(QStringLiteral("Sliderh1"));
    Sliderh1->SetMax(1);
    Sliderh1->setGeometry(4, 2, std::max(8, ui->Panel1->width() - 8), 22);
    connect(Sliderh1, &TSliderBase::OnChange, this, [this] { Sliderh1Change(); });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(200);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    connect(ui->Open, &QPushButton::clicked, this, [this] { OpenClick(); });
    connect(ui->Play, &QPushButton::clicked, this, [this] { PlayClick(); });
    connect(ui->Stop, &QPushButton::clicked, this, [this] { StopClick(); });

    RegForm1 = new TRegForm(this);
    RegForm1->Loaded();
}

TMusicPlayer::~TMusicPlayer()
{
    Timer1->stop();
    player_.reset();
    if (MusicPlayer == this)
        MusicPlayer = nullptr;
    delete ui;
}

platform::MediaPlayer &TMusicPlayer::Player()
{
    if (!player_)
        player_ = platform::CreateMediaPlayer(false);
    return *player_;
}

bool TMusicPlayer::Playing() const
{
    return player_ && player_->State() == platform::MediaState::Playing;
}

void TMusicPlayer::ShowPosition(std::int32_t ms)
{
    TimeEdit->SetTimeText(QString::fromStdString(FormatPlayerTime(ms)));
}

void TMusicPlayer::OpenClick()
{
    const auto path = platform::OpenFileDialog("Open Media Files", MediaFileFilter());
    if (!path)
        return;
    if (Playing())
        player_->Stop();
    setWindowTitle(QFileInfo(QFile::decodeName(QByteArray::fromStdString(*path))).fileName());
    std::string source = *path;
    if (IsCdTrackName(*path)) {
        const auto track = CdTrackNumber(*path);
        if (!track || !platform::OpenAndWait(Player(), CdTrackUrl(*track))) {
            platform::ShowMessage("HLVR", "Bad CD Audio");
            if (player_)
                player_->Close();
            return;
        }
        source = CdTrackUrl(*track);
    } else if (!platform::OpenAndWait(Player(), *path)) {
        platform::ShowMessage("Player", platform::MediaErrorText(*player_));
        player_->Close();
        return;
    }
    FileName = *path;
    Source = source;
    MediaStart = 0;
    MediaLength = static_cast<std::int32_t>(std::clamp<std::int64_t>(player_->DurationMs(), 0, 0x7FFFFFFF));
    Sliderh1->SetMax(MediaLength);
    Sliderh1->SetPosition(0);
    ui->Max->setText(QString::fromStdString(FormatPlayerTime(MediaLength)));
    TimeEdit->SetTimeText(QStringLiteral("00:00:0"));
    player_->Close();
}

void TMusicPlayer::PlayClick()
{
    if (Source.empty())
        return;
    platform::MediaPlayer &p = Player();
    if (!platform::OpenAndWait(p, Source)) {
        platform::ShowMessage("Player", platform::MediaErrorText(p));
        p.Close();
        return;
    }
    p.SetPositionMs(Sliderh1->Position() + MediaStart);
    p.Play();
    TimeEdit->setEnabled(false);
    Timer1->start();
}

void TMusicPlayer::StopClick()
{
    Timer1->stop();
    if (player_) {
        player_->Stop();
        player_->Close();
    }
    TimeEdit->setEnabled(true);
}

void TMusicPlayer::SeekWhilePlaying()
{
    if (!Playing())
        return;
    player_->SetPositionMs(Sliderh1->Position() + MediaStart);
}

void TMusicPlayer::Sliderh1Change()
{
    ShowPosition(Sliderh1->Position());
    SeekWhilePlaying();
}

void TMusicPlayer::TimeEditEnter()
{
    const auto ms = ParsePlayerTime(platform::ToBytes(TimeEdit->valueText()));
    if (!ms)
        return;
    Sliderh1->SetPosition(std::min(*ms, MediaLength));
    SeekWhilePlaying();
}

void TMusicPlayer::Timer1Timer()
{
    if (!player_)
        return;
    const auto at = static_cast<std::int32_t>(player_->PositionMs() - MediaStart);
    Sliderh1->SetPosition(std::clamp(at, 0, MediaLength));
    ShowPosition(at);
    if (at >= MediaLength || player_->Status() == platform::MediaStatus::EndOfMedia) {
        Timer1->stop();
        player_->Stop();
        player_->Close();
        TimeEdit->setEnabled(true);
    }
}

void TMusicPlayer::closeEvent(QCloseEvent *e)
{
    bool canClose = true;
    RegForm1->CloseQuery(this, canClose);
    StopClick();
    if (MainForm)
        MainForm->SetToolState("MusPlay1", "MusPlay", false);
    e->accept();
}

void TMusicPlayer::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    Sliderh1->setGeometry(4, 2, std::max(8, ui->Panel1->width() - 8), Sliderh1->height());
}
