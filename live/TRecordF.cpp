#include "TRecordF.h"
#include "ui_MainForm.h"
#include "ui_RecordF.h"

#include "DmxRecording.h"

#include "BinaryStream.h"
#include "EngineHold.h"
#include "LevelPipeline.h"
#include "MainForm.h"
#include "OutputEngine.h"
#include "PlayState.h"
#include "SceneFixtures.h"
#include "SequenceEditing.h"
#include "ShowFile.h"
#include "ShowModel.h"

#include "controls/RegForm.h"
#include "platform/Files.h"
#include "platform/MsgBox.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <new>

TRecordF *RecordF = nullptr;
std::uint8_t PlaceIntoLow = 1;

namespace {
const char *const Caption = "Brantoval-1024";
constexpr int ViewColumns = 8;
constexpr int ViewRows = 6;   // at least; more where the window has room
constexpr int ViewRowHeight = 23;
constexpr int WideWidth = 418;
constexpr int NarrowWidth = 196;

// The main window's scene slider onto `scene`, and the scene change it makes.
void MoveSceneSlider(int scene)
{
    {
        const QSignalBlocker block(MainForm->ui->SliderScene);
        MainForm->ui->SliderScene->setValue(scene);
    }
    MainForm->SliderSceneChange();
}
} // namespace

TRecordF::TRecordF(QWidget *parent) : QDialog(parent), ui(new Ui::TRecordF)
{
    ui->setupUi(this);
    RecordF = this;
    TimerRec = new QTimer(this);
    TimerRec->setObjectName(QStringLiteral("TimerRec"));
    TimerRec->setInterval(100);
    connect(TimerRec, &QTimer::timeout, this, [this] { TimerRecTimer(); });

    auto *recordButtons = new QButtonGroup(this);
    recordButtons->addButton(ui->StartRecord);
    recordButtons->addButton(ui->StopRecord);
    connect(ui->StartRecord, &QPushButton::clicked, this, [this] { StartRecordClick(); });
    connect(ui->StopRecord, &QPushButton::clicked, this, [this] { StopRecordClick(); });
    connect(ui->Upd, &QPushButton::clicked, this, [this] { UpdClick(); });
    connect(ui->PlaceOut1, &QRadioButton::clicked, this, [this] { PlaceClick(); });
    connect(ui->PlaceOut2, &QRadioButton::clicked, this, [this] { PlaceClick(); });
    connect(ui->LabelButton1, &QPushButton::clicked, this, [this] { LabelButton1Click(); });
    connect(ui->ScrollBar1, &QScrollBar::valueChanged, this, [this] { ui->PaintBox1->update(); });
    ui->PaintBox1->installEventFilter(this);
    ui->PaintBox1->setAttribute(Qt::WA_OpaquePaintEvent);

    (PlaceIntoLow ? ui->PlaceOut1 : ui->PlaceOut2)->setChecked(true);
    SetViewShown(false);
    RegForm1 = new TRegForm(this);
    RegForm1->Loaded();
}

TRecordF::~TRecordF()
{
    // A recording in progress ends with the window, and its file goes.
    StopRecordClick();
    platform::RemoveFile(RecordPath());
    if (RecordF == this)
        RecordF = nullptr;
    delete ui;
}

std::string TRecordF::RecordPath() const
{
    return platform::ProgramFolder() + RecordFileName;
}

void TRecordF::StartRecordClick()
{
    if (Recording())
        return;
    ui->Upd->setEnabled(false);
    {
        HoldEngine hold;
        try {
            writer_ = std::make_unique<DmxRecordWriter>(RecordPath(), DmxInPrev);
        } catch (const StreamError &) {
            writer_.reset();
        }
        if (writer_) {
            window_ = platform::AllocateMessageWindow(
                [this](std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
                    return AppMessage(msg, wParam, lParam);
                });
            RecorderWindow = window_;
            RecordCount = 0;
            InputClock = 0;
            lastSerial_ = InputSnapshotSerial.load();
            RecordingOn = 1;
        }
    }
    if (!writer_) {
        ui->StopRecord->setChecked(true);
        platform::ShowMessage(Caption, "Can't create file " + RecordPath());
        return;
    }
    ui->StartRecord->setChecked(true);
    TimerRec->start();
}

void TRecordF::StopRecordClick()
{
    if (!Recording())
        return;
    RecordingOn = 0;
    RecorderWindow = 0;
    platform::ReleaseMessageWindow(window_);
    window_ = 0;
    ui->StopRecord->setChecked(true);
    ui->Upd->setEnabled(true);
    ShowCounters();
    try {
        writer_->Finish(InputClock);
    } catch (const StreamError &) {
        platform::ShowMessage(Caption, "Can't write file " + RecordPath());
    }
    writer_.reset();
    RecordCount += 1;
    if (!InputViewOn)
        TimerRec->stop();
}

std::intptr_t TRecordF::AppMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (msg != RecordInputMessage || lParam != InputChangedParam || !Recording())
        return 0;
    // Every snapshot after the last one written, up to the posted one, in order; one the
    // tick has already reused is gone.
    const std::uint32_t posted = static_cast<std::uint32_t>(wParam);
    const std::uint32_t ahead = posted - lastSerial_;
    if (ahead == 0 || ahead > 0x7FFFFFFFu)
        return 0;
    std::uint32_t serial = ahead > InputSnapshotCount ? posted - InputSnapshotCount + 1 : lastSerial_ + 1;
    for (;; ++serial) {
        const InputSnapshot &shot = InputSnapshotAt(serial);
        try {
            writer_->Change(shot.clock, shot.levels);
        } catch (const StreamError &) {
            lastSerial_ = posted;
            StopRecordClick();
            platform::ShowMessage(Caption, "Can't write file " + RecordPath());
            return 0;
        }
        lastSerial_ = serial;
        if (++RecordCount >= MaxRecordedChanges) {
            StopRecordClick();
            return 0;
        }
        if (serial == posted)
            break;
    }
    return 0;
}

void TRecordF::UpdClick()
{
    if (!MainForm)
        return;
    if (MultiSeqRunning.load())
        MainForm->MultiSeqPlayerClick();
    if (Playing.load())
        MainForm->StopClick();
    ui->Upd->setEnabled(false);
    if (RecordCount == 0)
        return;

    int s0 = -1;
    SequenceRecord *seq = nullptr;
    std::vector<RecordedPair> pairs;
    {
        HoldEngine hold;
        if (ui->CreateNew->isChecked()) {
            const int before = SequenceCount;
            MainForm->NewSequence(false);
            if (SequenceCount == before)
                return;
            seq = Sequences[static_cast<std::size_t>(CurSequence)];
            seq->tempo = 120;
            seq->commonFade = 50;
            seq->flags = SeqFlagCycle;
            seq->modes = 1;   // scene time, fade kind 0
        } else {
            if (CurSequence < 0 || CurSequence >= SequenceCount)
                return;
            seq = Sequences[static_cast<std::size_t>(CurSequence)];
            const int before = seq->sceneCount;
            if (before > 0)
                MoveSceneSlider(before - 1);
            MainForm->NewSceneClick();
            if (seq->sceneCount == before)
                return;
        }
        s0 = CurScene;
        if (s0 < 0 || s0 >= seq->sceneCount || !seq->scenes[s0])
            return;
        std::memset(seq->scenes[s0]->levels, 0, sizeof seq->scenes[s0]->levels);

        try {
            pairs = SplitRecordingFile(platform::ProgramFolder());
        } catch (const StreamError &) {
            platform::ShowMessage(Caption, "Can't write file " + platform::ProgramFolder() + RecordSplitFileName);
        }
        RecordCount = static_cast<int>(pairs.size());
        // A sequence holds at most MaxScenes scenes: the rest of the recording is cut.
        const std::size_t room = static_cast<std::size_t>(MaxScenes - s0);
        if (pairs.size() > room) {
            pairs.resize(room);
            platform::ShowMessage(Caption, LimitMessage(NewSceneLimitText, MaxScenes));
        }
        for (std::size_t i = 1; i < pairs.size(); ++i) {
            auto *scene = new (std::nothrow) SceneRecord;
            if (!scene) {
                if (ShowFileEvents().memoryAllocationError)
                    ShowFileEvents().memoryAllocationError();
                return;
            }
            const std::string name = "SCENE " + std::to_string(seq->sceneCount + 1);
            std::copy_n(name.begin(), std::min(name.size(), scene->name.size() - 1), scene->name.begin());
            seq->scenes[seq->sceneCount] = scene;
            seq->sceneCount = static_cast<std::int16_t>(seq->sceneCount + 1);
        }
        std::uint32_t previous = 0;
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            FillRecordedScene(*seq->scenes[s0 + static_cast<int>(i)], pairs[i], previous, PlaceIntoLow != 0);
            previous = pairs[i].end;
        }
        // The fixtures take the first recorded scene as the edit, so that selecting the
        // sequence stores the recorded levels and not the edit made before.
        SceneToFixtures();
        ShowModified = 1;
    }
    MainForm->SelectSequence(CurSequence);
    MoveSceneSlider(s0);
}

void TRecordF::PlaceClick()
{
    PlaceIntoLow = ui->PlaceOut1->isChecked() ? 1 : 0;
}

void TRecordF::SetViewShown(bool on)
{
    InputViewOn = on;
    ui->ViewPanel->setVisible(on);
    ui->LabelButton1->setText(on ? QStringLiteral("Hide<<\nDMX IN") : QStringLiteral("Show>>\nDMX IN"));
    const int width = (on ? WideWidth : NarrowWidth) * logicalDpiX() / 96;
    setFixedWidth(width);
    KeepOnScreen();
    if (on)
        TimerRec->start();
    else if (!Recording())
        TimerRec->stop();
}

// The wide window grows to the right; near the screen's right edge it moves left, so the
// live view and the window's own buttons stay in sight.
void TRecordF::KeepOnScreen()
{
    QScreen *screen = this->screen();
    if (!screen || !isVisible())
        return;
    const QRect area = screen->availableGeometry();
    const int frameWidth = width() + std::max(0, frameGeometry().width() - geometry().width());
    const int over = frameGeometry().left() + frameWidth - (area.right() + 1);
    if (over > 0)
        move(std::max(area.left(), pos().x() - over), pos().y());
}

void TRecordF::LabelButton1Click()
{
    SetViewShown(!InputViewOn);
}

void TRecordF::FormActivate()
{
    SetViewShown(InputViewOn);
}

void TRecordF::ShowCounters()
{
    ui->Dig->setText(QString::number(RecordCount));
    ui->Time->setText(QString::fromStdString(RecordClockText(InputClock)));
}

void TRecordF::TimerRecTimer()
{
    if (Recording())
        ShowCounters();
    if (InputViewOn)
        ui->PaintBox1->update();
}

void TRecordF::PaintView()
{
    QPainter p(ui->PaintBox1);
    p.fillRect(ui->PaintBox1->rect(), palette().window());
    const double scale = logicalDpiX() / 96.0;
    QFont numbers = font();
    numbers.setPointSize(7);
    QFont values = font();
    values.setPointSize(8);
    const int first = ui->ScrollBar1->value() * ViewColumns;
    const int rows = ShownViewRows();
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < ViewColumns; ++col) {
            const int channel = first + row * ViewColumns + col;
            if (channel >= MaxInputChannels)
                continue;
            const int x = int((col * 24) * scale);
            const int y = int((row * ViewRowHeight) * scale);
            p.setFont(numbers);
            p.setPen(Qt::blue);
            p.drawText(QRect(x, y, int(24 * scale), int(10 * scale)), Qt::AlignCenter,
                       QString::asprintf("%03d", channel + 1));
            const std::uint8_t v = DmxInPrev[channel];
            p.setFont(values);
            p.setPen(v ? QColor(Qt::red) : QColor(0xC0, 0xC0, 0xC0));
            p.drawText(QRect(x, y + int(10 * scale), int(24 * scale), int(13 * scale)), Qt::AlignCenter,
                       QString::asprintf("%03d", v));
        }
    }
}

int TRecordF::ShownViewRows() const
{
    const int rowHeight = std::max(1, int(ViewRowHeight * logicalDpiX() / 96.0));
    return std::max(ViewRows, ui->PaintBox1->height() / rowHeight);
}

// The table takes the height the window gives it: as many rows as fit, the scroll bar
// stepping by a page of them.
void TRecordF::FitViewRows()
{
    const int rows = ShownViewRows();
    ui->ScrollBar1->setMaximum(std::max(0, (MaxInputChannels + ViewColumns - 1) / ViewColumns - rows));
    ui->ScrollBar1->setPageStep(rows);
}

bool TRecordF::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == ui->PaintBox1 && e->type() == QEvent::Paint) {
        PaintView();
        return true;
    }
    if (watched == ui->PaintBox1 && e->type() == QEvent::Resize)
        FitViewRows();
    return QDialog::eventFilter(watched, e);
}

void TRecordF::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    FormActivate();
}

void TRecordF::closeEvent(QCloseEvent *e)
{
    bool canClose = true;
    RegForm1->CloseQuery(this, canClose);
    if (!canClose) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}
