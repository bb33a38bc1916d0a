// The Audio page: the sound-card beat detector's capture, its settings, the beat lamps
// and the level history or waveform drawn on the page.
#include "TAudSynch.h"
#include "ui_AudSynch.h"

#include "BeatDetector.h"
#include "HardwareSettings.h"

#include "MainForm.h"
#include "OutputEngine.h"
#include "PlayState.h"

#include "platform/Messages.h"
#include "platform/MsgBox.h"
#include "platform/WaveIn.h"

#include <QPainter>
#include <QSignalBlocker>
#include <QSpinBox>

#include <mutex>

namespace {

const char *const Caption = "Brantoval-1024";
constexpr int WaveformPoints = 256;

QString CaptureFormatText(int index)
{
    const CaptureFormat &f = CaptureFormatAt(index);
    return QStringLiteral(": %1 Hz, %2 bit").arg(f.rate).arg(f.bits);
}

// The format spin box names the rate and sample size of its index beside the number, and
// is wide enough for the longest of them.
void ShowCaptureFormat(QSpinBox *box)
{
    box->setSuffix(CaptureFormatText(box->value()));
    const QString widest = QStringLiteral("0") + CaptureFormatText(0) + QStringLiteral("MM");
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(widest) + 24);
}

// The capture's failure codes and their boxes.
const std::pair<std::intptr_t, const char *> AudioErrorTexts[] = {
    {67, "Close Error"},
    {72, "Can't Start while recording"},
    {80, "Can't prepare while recording"},
    {82, "Can't RESET while recording"},
    {83, "Stop Error"},
    {85, "Can't unprepare while recording"},
};

// Paints the page's picture into its frame.
class PaintFilter : public QObject {
public:
    PaintFilter(QObject *parent, std::function<void()> paint) : QObject(parent), paint_(std::move(paint)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            paint_();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> paint_;
};

void SetLamp(QWidget *lamp, bool on)
{
    if (!lamp)
        return;
    QPalette pal = lamp->palette();
    pal.setColor(QPalette::Window, on ? QColor(0, 255, 0) : QColor(0, 0, 0));
    lamp->setPalette(pal);
    lamp->setAutoFillBackground(true);
}

} // namespace

struct TAudSynch::AudioPage {
    platform::WindowHandle window = 0;
    platform::WaveIn capture;
    DetectorState state;            // the capture thread's
    int deviceCount = 0;
    std::array<int, LevelHistoryLength> history{};   // the window's copy
    int lastY = 64;
    QImage image{WaveformPoints, 128, QImage::Format_RGB32};
    std::mutex waveMutex;
    std::array<int, WaveformPoints> wave{};           // y of the last buffer's points
};

void TAudSynch::AudioCreate()
{
    audio_ = new AudioPage;
    AudioSettingsFromBytes(AudioSettingsBytes, Audio);
    audio_->window = platform::AllocateMessageWindow(
        [this](std::uint32_t msg, std::uintptr_t w, std::intptr_t l) { return AudioAppMessage(msg, w, l); });
    audio_->image.fill(Qt::black);

    const std::vector<std::string> devices = platform::WaveInDevices();
    audio_->deviceCount = static_cast<int>(devices.size());
    {
        const QSignalBlocker block(ui->AudioDevices);
        ui->AudioDevices->clear();
        for (const std::string &d : devices)
            ui->AudioDevices->addItem(QString::fromStdString(d));
        ui->AudioDevices->setCurrentIndex(Audio.device < audio_->deviceCount ? int(Audio.device) : 0);
    }
    const std::initializer_list<QWidget *> controls{ui->BeatDetector, ui->Edit5,  ui->AGC,   ui->Detector,
                                                    ui->Filter,       ui->Volume, ui->Depth, ui->Delay,
                                                    ui->TrigLevel,    ui->FilterDepth};
    for (QWidget *w : controls)
        w->blockSignals(true);
    ui->BeatDetector->setChecked(Audio.enabled);
    ui->Edit5->setValue(Audio.format);
    ShowCaptureFormat(ui->Edit5);
    ui->AGC->setChecked(Audio.agc);
    ui->Detector->setChecked(!Audio.waveform);
    ui->Filter->setChecked(Audio.filter);
    ui->Volume->setValue(Audio.volume);
    ui->Depth->setValue(Audio.depth);
    ui->Delay->setValue(Audio.hold * 50);
    ui->TrigLevel->setValue(Audio.trigger);
    // A stored depth outside 1..8 filters as depth 7 does (divisor 8); the byte is kept
    // until the fader is moved.
    ui->FilterDepth->setValue(Audio.filterDepth >= 1 && Audio.filterDepth <= 8 ? int(Audio.filterDepth) : 7);
    for (QWidget *w : controls)
        w->blockSignals(false);
    ui->VolumeValue->setNum(ui->Volume->value());
    ui->DepthValue->setNum(ui->Depth->value());
    ui->DelayValue->setNum(ui->Delay->value());
    ui->TrigLevelValue->setNum(ui->TrigLevel->value());
    ui->FilterDepthValue->setNum(ui->FilterDepth->value());
    ui->DepthBox->setVisible(Audio.agc);
    ui->FilterDepthBox->setVisible(Audio.filter);
    SetLamp(ui->BeatLamp, false);
    if (MainForm)
        SetLamp(MainForm->findChild<QWidget *>(QStringLiteral("BeatLamp")), false);

    connect(ui->BeatDetector, &QCheckBox::clicked, this, [this](bool on) {
        Audio.enabled = on;
        if (on)
            AudioDevicesChange();
        else
            StopClick();
    });
    connect(ui->AudioDevices, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { AudioDevicesChange(); });
    connect(ui->Start, &QPushButton::clicked, this, [this] { AudioDevicesChange(); });
    connect(ui->Stop, &QPushButton::clicked, this, [this] { StopClick(); });
    connect(ui->Edit5, qOverload<int>(&QSpinBox::valueChanged), this, [this](int v) {
        Audio.format = v >= 0 && v < CaptureFormatCount ? v : 0;
        ShowCaptureFormat(ui->Edit5);
        if (Audio.enabled)
            AudioDevicesChange();
    });
    connect(ui->Volume, &QSlider::valueChanged, this, [this](int v) {
        Audio.volume = std::clamp(v, 1, 100);
        ui->VolumeValue->setNum(v);
    });
    connect(ui->Depth, &QSlider::valueChanged, this, [this](int v) {
        Audio.depth = v;
        ui->DepthValue->setNum(v);
    });
    connect(ui->Delay, &QSlider::valueChanged, this, [this](int v) {
        Audio.hold = v / 50;
        ui->DelayValue->setNum(v);
    });
    connect(ui->TrigLevel, &QSlider::valueChanged, this, [this](int v) {
        Audio.trigger = v;
        ui->TrigLevelValue->setNum(v);
        AudioFormPaint();
    });
    connect(ui->AGC, &QCheckBox::clicked, this, [this](bool on) {
        Audio.agc = on;
        ui->DepthBox->setVisible(on);
    });
    connect(ui->Detector, &QCheckBox::clicked, this, [this](bool on) {
        Audio.waveform = !on;
        AudioFormPaint();
    });
    connect(ui->Filter, &QPushButton::clicked, this, [this](bool on) {
        Audio.filter = on;
        ui->FilterDepthBox->setVisible(on);
    });
    connect(ui->FilterDepth, &QSlider::valueChanged, this, [this](int v) {
        Audio.filterDepth = v;
        ui->FilterDepthValue->setNum(v);
    });
    ui->AudioForm->installEventFilter(new PaintFilter(this, [this] {
        if (!audio_ || audio_->deviceCount == 0)
            return;
        QPainter p(ui->AudioForm);
        p.drawImage(0, 0, audio_->image);
    }));
    AudioFormPaint();

    if (Audio.enabled)
        AudioDevicesChange();
}

void TAudSynch::AudioDestroy()
{
    if (!audio_)
        return;
    StopClick();
    AudioSettingsBytes = AudioSettingsToBytes(Audio);
    platform::ReleaseMessageWindow(audio_->window);
    delete audio_;
    audio_ = nullptr;
}

void TAudSynch::AudioDevicesChange()
{
    if (!audio_)
        return;
    StopClick();
    if (!Audio.enabled)
        return;
    // With no capture device at all the stored choice is kept and nothing is asked at
    // start-up; an operator's click is told.
    if (audio_->deviceCount == 0 && creating_)
        return;
    const int device = ui->AudioDevices->currentIndex() >= 0 ? ui->AudioDevices->currentIndex() : 0;
    Audio.device = device;
    const CaptureFormat &f = CaptureFormatAt(Audio.format);
    if (!platform::WaveInSupports(device, {f.rate, f.bits})) {
        platform::ShowMessage(Caption, "This device can't support necessary mode");
        return;
    }
    audio_->state = DetectorState{};
    AudioPage *page = audio_;
    const int step = f.samples / WaveformPoints;
    const bool eightBit = f.bits == 8;
    std::string error;
    const bool started = audio_->capture.Start(
        device, {f.rate, f.bits}, f.bytes,
        [page, step, eightBit](const std::uint8_t *data, int size) {
            HandleCaptureBuffer(page->state, data, size, page->window);
            std::lock_guard<std::mutex> lock(page->waveMutex);
            for (int i = 0; i < WaveformPoints; ++i) {
                const int at = i * step;
                page->wave[static_cast<std::size_t>(i)] =
                    eightBit ? data[at] >> 1 : (static_cast<std::int16_t>(data[2 * at] | (data[2 * at + 1] << 8)) + 32768) >> 9;
            }
        },
        error);
    if (!started)
        platform::ShowMessage(Caption, error);
}

void TAudSynch::StopClick()
{
    if (!audio_ || !audio_->capture.Running())
        return;
    Audio.stopping = 1;
    audio_->capture.Stop();
    Audio.stopping = 0;
}

std::intptr_t TAudSynch::AudioAppMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (msg != AudioMessage || !audio_)
        return 0;
    switch (lParam) {
    case AudioCodeLevel: {
        const bool beat = BeatTrigger.load() != 0;
        if (beat && !Playing.load())
            BeatTrigger.store(0);
        SetLamp(ui->BeatLamp, beat);
        if (MainForm)
            SetLamp(MainForm->findChild<QWidget *>(QStringLiteral("BeatLamp")), beat);
        const int index = LevelIndexOf(wParam) % LevelHistoryLength;
        const int level = LevelOf(wParam);
        audio_->history[static_cast<std::size_t>(index)] = level;
        if (!isVisible())
            break;
        if (Audio.agc) {
            const QSignalBlocker block(ui->Volume);
            ui->Volume->setValue(Audio.volume);
            ui->VolumeValue->setNum(ui->Volume->value());
        }
        if (Audio.waveform) {
            AudioFormPaint();
            break;
        }
        // One column of the history: cleared, the new segment, the trigger line again.
        QPainter p(&audio_->image);
        p.fillRect(2 * index, 0, 2, 129, Qt::black);
        const int y = 127 - level;
        p.setPen(QColor(0, 255, 0));
        p.drawLine(2 * index - 1, audio_->lastY, 2 * index + 1, y);
        audio_->lastY = y;
        p.setPen(Qt::white);
        const int t = 127 - Audio.trigger * 128 / 100;
        p.drawLine(0, t, 255, t);
        ui->AudioForm->update();
        break;
    }
    default:
        // 65 needs nothing: the buffers go round by themselves here.
        for (const auto &[code, text] : AudioErrorTexts)
            if (code == lParam)
                platform::ShowMessage(Caption, text);
        break;
    }
    return 0;
}

void TAudSynch::AudioFormPaint()
{
    if (!audio_)
        return;
    QImage &img = audio_->image;
    img.fill(Qt::black);
    QPainter p(&img);
    p.setPen(QColor(0, 255, 0));
    if (Audio.waveform) {
        std::array<int, WaveformPoints> wave;
        {
            std::lock_guard<std::mutex> lock(audio_->waveMutex);
            wave = audio_->wave;
        }
        for (int i = 0; i < WaveformPoints; ++i)
            p.drawPoint(i, wave[static_cast<std::size_t>(i)]);
    } else {
        int prev = 64;
        for (int i = 0; i < LevelHistoryLength; ++i) {
            const int y = 127 - audio_->history[static_cast<std::size_t>(i)];
            p.drawLine(2 * i, prev, 2 * i + 1, y);
            prev = y;
        }
        audio_->lastY = prev;
        p.setPen(Qt::white);
        const int t = 127 - Audio.trigger * 128 / 100;
        p.drawLine(0, t, 255, t);
    }
    ui->AudioForm->update();
}
