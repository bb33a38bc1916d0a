#include "TDOWNLOAD.h"
#include "ui_DOWNLOAD.h"

#include "FlashDownload.h"
#include "FlashImageFile.h"
#include "StandAloneImage.h"

#include "InterfaceBinding.h"

#include "platform/Files.h"
#include "platform/MsgBox.h"

#include <QTimer>

#include <chrono>
#include <thread>

namespace {
const char *const Caption = "Brantoval-1024";
}

TDOWNLOAD::TDOWNLOAD(QWidget *parent) : QDialog(parent), ui(new Ui::TDOWNLOAD)
{
    ui->setupUi(this);
    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(20);
    connect(Timer, &QTimer::timeout, this, [this] { TimerTimer(); });
    connect(ui->Cancel, &QPushButton::clicked, this, [this] { CancelClick(); });

    image_ = std::make_unique<FlashImageFile>();
    if (!image_->Open(platform::ProgramFolder() + StandAloneImageName)) {
        image_.reset();
        platform::ShowMessage(Caption, "Can't find data file, programming impossible");
        return;
    }
    page_ = 0;
    ui->ProgressBar->setRange(0, static_cast<int>(image_->Blocks()));
    ui->ProgressBar->setValue(0);
    ui->Counter->setText(QString::number(image_->Blocks()));
    Timer->start();
}

TDOWNLOAD::~TDOWNLOAD()
{
    page_ = 0;
    delete ui;
}

FlashRequests TDOWNLOAD::LibraryRequests()
{
    FlashRequests r;
    r.send = [](std::uint8_t cmd, std::int16_t p1, std::int16_t p2) { return SendInterfaceRequest(cmd, p1, p2); };
    r.write = [](int count, std::uint8_t *bytes) { return WriteInterfaceBuffer(count, bytes); };
    r.read = [](int count, std::uint8_t *buf) { return ReadInterfaceBuffer(count, buf); };
    r.sleep = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    return r;
}

void TDOWNLOAD::TimerTimer()
{
    Timer->stop();
    if (!image_)
        return;
    FlashImageFile::Block block{};
    // A block that cannot be read whole is never sent.
    if (!image_->Next(block)) {
        Finish(false, "Can't read data file");
        return;
    }
    std::string text;
    int attempts = 0;
    if (!FlashDownloadBlock(LibraryRequests(), block.data(), page_, text, attempts)) {
        Finish(false, text);
        return;
    }
    ui->Label2->setText(platform::DisplayText(text));
    ++page_;
    const std::int64_t left = image_->Left();
    ui->Counter->setText(QString::number(left));
    ui->ProgressBar->setValue(page_);
    if (left > 0) {
        Timer->start();
        return;
    }
    Finish(true, text);
}

void TDOWNLOAD::Finish(bool ok, const std::string &text)
{
    ui->Label2->setText(platform::DisplayText(text));
    if (ok) {
        ui->Cancel->setText(QStringLiteral("OK"));
        ui->Counter->hide();
        ui->Label1->setText(QStringLiteral("Programming ended successfully"));
        platform::ShowMessage(Caption, "Programming ended successfully");
        done(QDialog::Accepted);
    } else {
        platform::ShowMessage(Caption, "Operation failed\r\nHarware ERROR!!!");
        done(QDialog::Rejected);
    }
}

void TDOWNLOAD::CancelClick()
{
    if (Timer->isActive()) {
        Timer->stop();
        const platform::Answer a = platform::MessageBox(
            Caption, "Operation was not finished,\r\nCanceling can reduce to unexpected results.\r\nAre you sure ?",
            platform::Buttons::YesNo);
        if (a != platform::Answer::Yes) {
            Timer->start();
            return;
        }
    }
    done(QDialog::Rejected);
}

void TDOWNLOAD::reject()
{
    CancelClick();
}
