#include "TGraphEdit.h"
#include "ui_GraphEdit.h"

#include "GraphBlocks.h"
#include "Generators.h"
#include "TCopyPaste.h"
#include "TTrackEdit.h"
#include "TrackPaths.h"
#include "ValueChart.h"

#include "app/Application.h"
#include "app/TWrapBoxLayout.h"
#include "app/FixtureArea.h"
#include "app/MainForm.h"
#include "app/OwnedHooks.h"
#include "app/PlayState.h"
#include "app/SceneFixtures.h"
#include "app/SequenceEditing.h"
#include "app/ToolWindows.h"
#include "app/WindowSeams.h"
#include "ui_MainForm.h"

#include "controls/SpinEdits.h"
#include "controls/SpeedButton.h"
#include "controls/TColor.h"
#include "controls/Tracker.h"

#include "platform/MsgBox.h"

#include <QAction>
#include <QBitmap>
#include <QButtonGroup>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstdio>

TGraphEdit *GraphEdit = nullptr;

namespace {
constexpr const char *AppCaptionText = "Brantoval-1024";
constexpr int RowHeight = 14;
constexpr int RulerHeight = 21, TimeRulerHeight = 37;
constexpr int PanelExpanded = 310, PanelCollapsed = 19;
// Muted while the main window makes several scenes in a row.
bool editorsMuted = false;

int DpiScaled(int px, const QWidget *w)
{
    return px * std::max(96, w->logicalDpiY()) / 96;
}

QString Text(const std::string &s) { return QString::fromStdString(s); }

const FixtureRecord *Selected()
{
    return FixtureIndexValid(SelectedFixture) ? &Fixtures[static_cast<std::size_t>(SelectedFixture)] : nullptr;
}

// The bar colour of a channel state: for the chosen channel red/aqua/lime, else
// maroon/blue/green.
QColor StateBarColour(std::uint8_t state, bool chosen)
{
    if (state == 2)
        return toQColor(chosen ? clRed : clMaroon);
    if (state == 1)
        return toQColor(chosen ? clAqua : clBlue);
    return toQColor(chosen ? clLime : clGreen);
}

QString ChannelRowLabel(const FixtureRecord &f, int j)
{
    static const char *names[] = {"", " Pan", " Tilt", " Color", " Gobo", " PanFine", " TiltFine", " Dimmer", " Focus"};
    const int fn = FunctionOf(f, j);
    return QString::number(j + 1) + QString::fromLatin1(fn >= 1 && fn <= 8 ? names[fn] : "");
}

// The tracker beside its caption and value label in a column of the generator panel.
TTracker *AddTracker(QWidget *host, int column, const char *name, const char *caption, int min, int max,
                     QLabel **valueLabel)
{
    auto *cap = new QLabel(QString::fromLatin1(caption), host);
    cap->setObjectName(QString::fromLatin1(name) + QStringLiteral("Caption"));
    cap->setGeometry(column * 45, 0, 45, 14);
    cap->setAlignment(Qt::AlignCenter);
    QFont small = cap->font();
    small.setPointSize(7);
    cap->setFont(small);
    auto *t = new TTracker(host);
    t->setObjectName(QString::fromLatin1(name));
    t->SetMin(min);
    t->SetMax(max);
    t->setGeometry(column * 45 + 11, 15, 22, host->height() - 32);
    auto *v = new QLabel(host);
    v->setObjectName(QString::fromLatin1(name) + QStringLiteral("Value"));
    v->setGeometry(column * 45, host->height() - 16, 45, 14);
    v->setAlignment(Qt::AlignCenter);
    *valueLabel = v;
    return t;
}

// The caption or value label that AddTracker put beside `t`. Looked up among its
// siblings: while the editor is docked its panels belong to the main window.
template <class W>
W *TrackerPart(const TTracker *t, const char *part)
{
    QWidget *host = t->parentWidget();
    return host ? host->findChild<W *>(t->objectName() + QLatin1String(part), Qt::FindDirectChildrenOnly) : nullptr;
}
} // namespace

QCursor PencilCursor()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath body;
    body.moveTo(1, 30);
    body.lineTo(4, 22);
    body.lineTo(22, 4);
    body.lineTo(28, 10);
    body.lineTo(10, 28);
    body.closeSubpath();
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(250, 210, 60));
    p.drawPath(body);
    p.setBrush(QColor(230, 150, 150));
    p.drawPolygon(QPolygonF({QPointF(22, 4), QPointF(25, 1), QPointF(31, 7), QPointF(28, 10)}));
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygonF({QPointF(1, 30), QPointF(2.5, 26), QPointF(5, 28.5)}));
    p.end();
    return QCursor(pm, 1, 30);
}

TGraphEdit::TGraphEdit(QWidget *parent) : QWidget(parent), ui(new Ui::TGraphEdit)
{
    ui->setupUi(this);
    GraphEdit = this;
    // The tool bar wraps onto a second row on a narrow screen, like the transport bar.
    TWrapBoxLayout::Replace(ui->ToolLayout);
    ui->ToolLayout = nullptr;
    ui->PanelGraphLayout->setStretchFactor(ui->Splitter1, 1);
    // Tools and modes are two choices on one bar.
    auto *tools = new QButtonGroup(this);
    for (QAbstractButton *b : std::initializer_list<QAbstractButton *>{ui->Select, ui->Pencil, ui->Line})
        tools->addButton(b);
    auto *modes = new QButtonGroup(this);
    for (QAbstractButton *b : std::initializer_list<QAbstractButton *>{ui->EditVal, ui->EditTempo, ui->EditFade})
        modes->addButton(b);
    ui->ChartSide->installEventFilter(this);
    ui->Splitter2->installEventFilter(this);

    // The generator floats over the chart side, below the tool bar.
    ui->Panel8->setParent(ui->ChartSide);
    BuildTrackers();
    ForgetBlocks();
    for (QWidget *w : std::initializer_list<QWidget *>{ui->Times, ui->Tracks, ui->Values, ui->Panel8Title, ui->Panel8})
        w->installEventFilter(this);
    ui->Values->setMouseTracking(true);
    ui->Times->setContextMenuPolicy(Qt::CustomContextMenu);
    ui->Tracks->setContextMenuPolicy(Qt::CustomContextMenu);
    ui->DevList->setContextMenuPolicy(Qt::CustomContextMenu);
    ui->Values->setAutoFillBackground(true);
    ui->PBWave->installEventFilter(this);

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    QAction *copy = PopupMenu->addAction(QStringLiteral("Copy selected"), this, &TGraphEdit::CopySelected);
    copy->setObjectName(QStringLiteral("CopySelected"));
    QAction *paste = PopupMenu->addAction(QStringLiteral("Paste from buffer"), this, &TGraphEdit::PasteFromBuffer);
    paste->setObjectName(QStringLiteral("PasteFromBuffer"));
    QAction *clear = PopupMenu->addAction(QStringLiteral("Clear selected"), this, &TGraphEdit::ClearSelected);
    clear->setObjectName(QStringLiteral("ClearSelected"));
    QAction *fill = PopupMenu->addAction(QStringLiteral("Fill from buffer"), this, &TGraphEdit::FillFromBuffer);
    fill->setObjectName(QStringLiteral("FillFromBuffer"));
    connect(PopupMenu, &QMenu::aboutToShow, this, &TGraphEdit::UpdatePopup);
    for (QWidget *w : std::initializer_list<QWidget *>{ui->Times, ui->Tracks})
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint &at) { PopupMenu->popup(w->mapToGlobal(at)); });

    PopupMenuTr = new QMenu(this);
    PopupMenuTr->setObjectName(QStringLiteral("PopupMenuTr"));
    QAction *track = PopupMenuTr->addAction(QStringLiteral("Track Editor"), this, [this] {
        if (MainForm)
            MainForm->OnTrackEditClick();
        FormAssignment();
    });
    track->setObjectName(QStringLiteral("TrackEditorItem"));
    connect(ui->DevList, &QWidget::customContextMenuRequested, this, [this, track](const QPoint &at) {
        const FixtureRecord *f = Selected();
        track->setVisible(f && RolesOf(*f).HasPanTilt());
        PopupMenuTr->popup(ui->DevList->viewport()->mapToGlobal(at));
    });

    connect(ui->Select, &QToolButton::clicked, this, [this] {
        ui->Values->unsetCursor();
        ui->HintLabel->clear();
    });
    connect(ui->Pencil, &QToolButton::clicked, this, [this] { ui->Values->setCursor(PencilCursor()); });
    connect(ui->Line, &QToolButton::clicked, this, [this] { ui->Values->setCursor(Qt::CrossCursor); });
    connect(ui->EditVal, &QRadioButton::clicked, this, &TGraphEdit::EditValClick);
    connect(ui->EditTempo, &QRadioButton::clicked, this, &TGraphEdit::EditTempoClick);
    connect(ui->EditFade, &QRadioButton::clicked, this, &TGraphEdit::EditFadeClick);
    connect(ui->ZoomIn, &QToolButton::clicked, this, [this] { ZoomIn(); FormAssignment(); });
    connect(ui->ZoomOut, &QToolButton::clicked, this, [this] { ZoomOut(); FormAssignment(); });
    connect(ui->ScalePlus, &QToolButton::clicked, this, [this] { ScalePlus(); FormAssignment(); });
    connect(ui->ScaleMin, &QToolButton::clicked, this, [this] { ScaleMin(); FormAssignment(); });
    connect(ui->ScrollBar, &QScrollBar::valueChanged, this, &TGraphEdit::ScrollBarChange);
    connect(ui->CloseButton, &QPushButton::clicked, this, [this] {
        // The button lives in the form: the form goes once its click has returned.
        CloseButtonClick();
    });
    connect(ui->DevList, &QTableWidget::cellClicked, this, [this](int row, int) { SelectFixtureRow(row); });
    connect(ui->DevList, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous, int) {
        if (row != previous && row >= 0 && row != SelectedFixture)
            SelectFixtureRow(row);
    });
    connect(ui->Sin, &QRadioButton::clicked, this, &TGraphEdit::WaveSettingsChanged);
    connect(ui->Squ, &QRadioButton::clicked, this, &TGraphEdit::WaveSettingsChanged);
    connect(ui->Rand, &QRadioButton::clicked, this, &TGraphEdit::RandClick);
    connect(ui->Group, &QCheckBox::clicked, this, &TGraphEdit::WaveSettingsChanged);
    connect(ui->Apply, &QPushButton::clicked, this, &TGraphEdit::ApplyClick);
    connect(ui->ApplFan, &QPushButton::clicked, this, [this] { FanModify(true); });
    connect(ui->SpeedButton1, &QToolButton::clicked, this, &TGraphEdit::SpeedButton1Click);
    connect(ui->PageControl1, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == 1)
            EnterFanPage();
        else
            LeaveFanPage();
    });
    // The fixture list at most half the form wide; the chart panel at most 275 px high
    // (319 px in the time modes).
    connect(ui->Splitter1, &QSplitter::splitterMoved, this, [this] {
        QList<int> sizes = ui->Splitter1->sizes();
        const int half = std::max(60, ui->PanelGraph->width() / 2);
        if (sizes.size() == 2 && sizes[0] > half) {
            sizes[1] += sizes[0] - half;
            sizes[0] = half;
            ui->Splitter1->setSizes(sizes);
        }
    });
    ui->DevList->setMaximumWidth(16777215);
    ui->Splitter1->setSizes({120, 880});
    ui->PageControl1->setCurrentIndex(0);
    // The mode a new editor opens in follows the last one, without the question.
    SetMode(TimeTrackMode ? (FadeTrackMode ? 2 : 1) : 0, false);
    PlaceGeneratorPanel();
}

TGraphEdit::~TGraphEdit()
{
    if (docked_)
        Undock();
    if (GraphEdit == this)
        GraphEdit = nullptr;
    delete ui;
}

void TGraphEdit::BuildTrackers()
{
    QLabel *labels[8] = {};
    QWidget *w = ui->WaveTrackers;
    Amplitude = AddTracker(w, 0, "Amplitude", "Amplitude", 0, 256, &labels[0]);
    Offset = AddTracker(w, 1, "Offset", "Offset", 0, 255, &labels[1]);
    StPhase = AddTracker(w, 2, "StPhase", "St.Phase", -180, 180, &labels[2]);
    Factor = AddTracker(w, 3, "Factor", "Duration", 1, 99, &labels[3]);
    Shift = AddTracker(w, 4, "Shift", "Shift", -180, 180, &labels[4]);
    QWidget *f = ui->FanTrackers;
    AmpFan = AddTracker(f, 0, "AmpFan", "Amplitude", -128, 128, &labels[5]);
    ShiftFan = AddTracker(f, 1, "ShiftFan", "Shift", -128, 128, &labels[6]);
    OffsetFan = AddTracker(f, 2, "OffsetFan", "Offset", -128, 128, &labels[7]);
    TTracker *wave[5] = {Amplitude, Offset, StPhase, Factor, Shift};
    for (int i = 0; i < 5; ++i) {
        wave[i]->SetPosition(GeneratorSettings[i]);
        connect(wave[i], &TTracker::OnChange, this, &TGraphEdit::WaveSettingsChanged);
    }
    for (TTracker *t : {AmpFan, ShiftFan, OffsetFan}) {
        t->SetPosition(0);
        connect(t, &TTracker::OnChange, this, &TGraphEdit::FanTrackerChanged);
    }
    WaveSettingsChanged();
}

// ---- docking -------------------------------------------------------------------------------

void TGraphEdit::Dock()
{
    if (docked_ || !MainForm)
        return;
    auto *central = MainForm->ui->CentralLayout;
    dockIndex_ = central->indexOf(MainForm->ui->WorkArea);
    MainForm->ui->WorkArea->hide();
    // The tool bar sits on the side of the transport bar.
    auto *own = static_cast<QVBoxLayout *>(ui->PanelGraph->layout());
    own->removeWidget(ui->ToolPanel);
    own->insertWidget(MainForm->TransportOnBottom() ? own->count() : 0, ui->ToolPanel);
    ui->GraphEditLayout->removeWidget(ui->PanelGraph);
    central->insertWidget(dockIndex_ < 0 ? central->count() : dockIndex_, ui->PanelGraph, 1);
    ui->PanelGraph->show();
    FitChartPanel();
    docked_ = true;
    hide();
    FormAssignment();
    ui->ChartScroll->verticalScrollBar()->setValue(ChartScrollPosition);
}

void TGraphEdit::Undock()
{
    if (!docked_)
        return;
    docked_ = false;
    if (MainForm) {
        MainForm->ui->CentralLayout->removeWidget(ui->PanelGraph);
        MainForm->ui->WorkArea->show();
    }
    ui->PanelGraph->setParent(this);
    ui->GraphEditLayout->addWidget(ui->PanelGraph);
}

void TGraphEdit::CloseButtonClick()
{
    ChartScrollPosition = ui->ChartScroll->verticalScrollBar()->value();
    if (fanPage_)
        LeaveFanPage();
    ForgetBlocks();
    Undock();
    if (GraphEdit == this)
        GraphEdit = nullptr;
    if (MainForm)
        MainForm->UpdateToolWindowItems();
    // The form's own Close button is still inside its click: free the form afterwards.
    if (sender() == ui->CloseButton)
        deleteLater();
    else
        delete this;
}

// ---- assignment and painting -------------------------------------------------------------

void TGraphEdit::FormAssignment()
{
    if (editorsMuted)
        return;
    {
        const QSignalBlocker block(ui->DevList);
        ui->DevList->setRowCount(FixtureCount);
        for (int i = 0; i < FixtureCount; ++i) {
            auto *item = ui->DevList->item(i, 0);
            if (!item) {
                item = new QTableWidgetItem;
                ui->DevList->setItem(i, 0, item);
            }
            item->setText(platform::FromBytes(FixtureName(Fixtures[static_cast<std::size_t>(i)])));
            item->setBackground(toQColor(FixtureColour(i)));
            item->setForeground(QColor(Qt::black));
        }
        ui->DevList->resizeRowsToContents();
        if (SelectedFixture >= 0 && SelectedFixture < FixtureCount)
            ui->DevList->setCurrentCell(SelectedFixture, 0);
    }
    if (const FixtureRecord *f = Selected())
        if (!ChannelUsable(*f, ChosenChannel)) {
            for (int j = 0; j < f->channelCount && j < MaxFixtureChannels; ++j)
                if (ChannelUsable(*f, j)) {
                    ChosenChannel = j;
                    break;
                }
        }
    const FixtureRecord *f = Selected();
    const int rows = TimeTrackMode || !f ? 0 : std::min<int>(f->channelCount, MaxFixtureChannels);
    ui->Tracks->setMinimumHeight(rows * RowHeight);
    const int ruler = TimeTrackMode ? TimeRulerHeight : RulerHeight;
    ui->Times->setFixedHeight(ruler);
    ui->Values->setMinimumHeight(ChartHeight());
    ui->Values->setMaximumHeight(ChartHeight());
    ui->ChartPanel->setMaximumHeight(TimeTrackMode ? 319 : 275);

    UpdateScrollBar();
    UpdateValueLabel();
    marker_ = CurScene;
    RepaintAll();
}

void TGraphEdit::ExtSeqChange()
{
    if (editorsMuted)
        return;
    if (!EditableSequence())
        SelectionValid = 0;
    FormAssignment();
}

void TGraphEdit::RepaintAll()
{
    ui->Times->update();
    ui->Tracks->update();
    ui->Values->update();
    ui->PBWave->update();
}

void TGraphEdit::UpdateScrollBar()
{
    const SequenceRecord *seq = EditableSequence();
    const int count = seq ? seq->sceneCount : 1;
    const QSignalBlocker block(ui->ScrollBar);
    ui->ScrollBar->setRange(0, std::max(0, count - 1));
    const int fit = std::max(1, (ui->Values->width() - ChartMargin) / ColumnWidth);
    ui->ScrollBar->setPageStep(std::max(1, std::min(fit, count - 1)));
    FirstVisibleScene = std::clamp(FirstVisibleScene, 0, std::max(0, count - 1));
    ui->ScrollBar->setValue(FirstVisibleScene);
    ElapsedBase = seq ? ElapsedBefore(*seq, FirstVisibleScene) : 0;
}

void TGraphEdit::FitChartPanel()
{
    // The chart panel as high as it may be, the rows below it the rest.
    const int h = ui->Splitter2->height();
    chartFitPending_ = h < 100;
    if (chartFitPending_)
        return;
    const int chart = std::min(ui->ChartPanel->maximumHeight(), h - ui->Splitter2->handleWidth() - 20);
    ui->Splitter2->setSizes({chart, h - ui->Splitter2->handleWidth() - chart});
}

void TGraphEdit::ScrollBarChange(int position)
{
    FirstVisibleScene = position;
    const SequenceRecord *seq = EditableSequence();
    ElapsedBase = seq ? ElapsedBefore(*seq, FirstVisibleScene) : 0;
    RepaintAll();
}

void TGraphEdit::UpdateValueLabel()
{
    const SequenceRecord *seq = EditableSequence();
    const FixtureRecord *f = Selected();
    if (!seq) {
        ui->ValueText->clear();
        return;
    }
    const SceneRecord &scene = *seq->scenes[CurScene];
    if (!TimeTrackMode)
        ui->ValueText->setText(f ? QString::number(SceneLevel(scene, *f, ChosenChannel)) : QString());
    else if (FadeTrackMode)
        ui->ValueText->setText(Text(FadeHintText(static_cast<int>(scene.fadeTime))));
    else
        ui->ValueText->setText(Text(TimeHintText(static_cast<int>(scene.sceneTime))));
}

void TGraphEdit::ValuesOnePaint(int scene)
{
    const int x = ColumnLeft(scene);
    ui->Values->update(x, 0, ColumnWidth, ui->Values->height());
    if (TimeTrackMode)
        ui->Times->update();
    UpdateValueLabel();
}

void TGraphEdit::MarkerPaint()
{
    const SequenceRecord *seq = EditableSequence();
    if (!seq)
        return;
    const int x = ColumnLeft(CurScene);
    if (!drawing_ && (x < ChartMargin || x > ui->Times->width() - ChartMargin)) {
        ui->ScrollBar->setValue(std::min(CurScene, ui->ScrollBar->maximum()));
    }
    if (marker_ != CurScene) {
        marker_ = CurScene;
        RepaintAll();
    }
    UpdateValueLabel();
}

void TGraphEdit::PaintMarker(QPainter &p, int height)
{
    if (marker_ < FirstVisibleScene || !EditableSequence())
        return;
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::white, 1));
    const int x = ColumnLeft(marker_) + ColumnWidth / 2;
    p.drawLine(x, 0, x, height);
    p.restore();
}

void TGraphEdit::PaintTimes(QPainter &p)
{
    const int h = ui->Times->height();
    p.fillRect(ui->Times->rect(), palette().color(QPalette::Button));
    const SequenceRecord *seq = EditableSequence();
    if (!seq)
        return;
    QFont small = p.font();
    small.setPointSize(7);
    p.setFont(small);
    const int numberStep = std::max(1, 64 / ColumnWidth);
    const int timeStep = std::max(1, 128 / ColumnWidth);
    const int right = ui->Times->width();
    int elapsed = ElapsedBase;
    // The selected band under the ticks.
    if (banding_ || SelectionValid) {
        const int a = banding_ ? std::min(bandScene0_, bandScene1_) : SelFirstScene;
        const int b = banding_ ? std::max(bandScene0_, bandScene1_) : SelLastScene;
        p.fillRect(QRect(QPoint(ColumnLeft(a), 0), QPoint(ColumnLeft(b + 1) - 1, h)), QColor(90, 90, 200, 110));
        if (banding_ && TimeTrackMode) {
            long long sum = 0;
            for (int s = a; s <= b && s < seq->sceneCount; ++s)
                sum += seq->scenes[s]->sceneTime;
            p.setPen(Qt::black);
            p.drawText(ChartMargin + 2, 10, QStringLiteral("Selected:") + Text(ElapsedText(static_cast<int>(sum))));
        }
    }
    for (int s = FirstVisibleScene; s < seq->sceneCount; ++s) {
        const int x = ColumnLeft(s);
        if (x > right)
            break;
        const bool numbered = s % numberStep == 0;
        p.setPen(numbered ? QColor(Qt::blue) : QColor(Qt::black));
        p.drawLine(x, h - (numbered ? 8 : 4), x, h - 1);
        if (numbered)
            p.drawText(x + 2, h - 9, QString::number(s + 1));
        if (TimeTrackMode && s % timeStep == 0) {
            p.setPen(Qt::black);
            p.drawText(x + 2, 11, Text(ElapsedText(elapsed)));
        }
        elapsed += static_cast<int>(seq->scenes[s]->sceneTime);
    }
    if (TimeTrackMode) {
        const int x = ColumnLeft(seq->sceneCount);
        if (x < right) {
            p.setPen(Qt::black);
            p.drawText(x + 3, 22, QStringLiteral("Total:") + Text(ElapsedText(ElapsedBefore(*seq, seq->sceneCount))));
        }
    }
    PaintMarker(p, h);
}

void TGraphEdit::PaintTracks(QPainter &p)
{
    p.fillRect(ui->Tracks->rect(), palette().color(QPalette::Button));
    const FixtureRecord *f = Selected();
    const SequenceRecord *seq = EditableSequence();
    if (!f || !seq || TimeTrackMode)
        return;
    QFont small = p.font();
    small.setPointSize(7);
    p.setFont(small);
    const int right = std::min(ui->Tracks->width(), ColumnLeft(seq->sceneCount) - 1);
    small.setPointSize(6);
    p.setFont(small);
    for (int j = 0; j < f->channelCount && j < MaxFixtureChannels; ++j) {
        const int y = j * RowHeight;
        p.setPen(j == ChosenChannel ? QColor(Qt::red) : QColor(Qt::black));
        p.drawText(QRect(1, y, ChartMargin - 2, RowHeight), Qt::AlignLeft | Qt::AlignVCenter, ChannelRowLabel(*f, j));
        if (!ChannelUsable(*f, j) || right <= ChartMargin)
            continue;
        p.fillRect(QRect(ChartMargin + 1, y + 2, right - ChartMargin, RowHeight - 4),
                   StateBarColour(f->states[j], j == ChosenChannel));
    }
    if (SelectionValid) {
        p.setPen(QPen(Qt::white, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(QPoint(ColumnLeft(SelFirstScene), SelFirstChannel * RowHeight),
                         QPoint(ColumnLeft(SelLastScene + 1) - 1, (SelLastChannel + 1) * RowHeight - 1)));
    }
    if (rectangling_) {
        p.save();
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(rect0_, rect1_).normalized());
        p.restore();
    }
    PaintMarker(p, ui->Tracks->height());
}

void TGraphEdit::PaintValues(QPainter &p)
{
    const QColor face = palette().color(QPalette::Button);
    p.fillRect(ui->Values->rect(), face);
    const SequenceRecord *seq = EditableSequence();
    const FixtureRecord *f = Selected();
    QFont small = p.font();
    small.setPointSize(7);
    p.setFont(small);
    const int h = ChartHeight();
    const int right = ui->Values->width();
    p.fillRect(QRect(ChartMargin + 1, 0, right - ChartMargin, h), face.darker(108));
    p.setPen(Qt::black);
    if (!TimeTrackMode) {
        for (int i = 0; i * 8 * ValueScale < h; ++i) {
            const int y = i * 8 * ValueScale;
            p.drawLine(ChartMargin - 5, y, ChartMargin, y);
            if (ValueScale > 1 || i % 2 == 0)
                p.drawText(QRect(0, y, ChartMargin - 6, 12), Qt::AlignRight | Qt::AlignTop, QString::number(256 - 8 * i));
        }
    } else {
        for (int i = 0; i * 10 * ValueScale < h; ++i) {
            const int y = i * 10 * ValueScale;
            p.drawLine(ChartMargin - 5, y, ChartMargin, y);
            if (ValueScale > 1 || i % 2 == 0)
                p.drawText(QRect(0, y, ChartMargin - 6, 12), Qt::AlignRight | Qt::AlignTop,
                           QStringLiteral("%1s").arg(30 - i));
        }
    }
    if (!seq)
        return;
    for (int s = FirstVisibleScene; s < seq->sceneCount; ++s) {
        const int x = ColumnLeft(s);
        if (x > right)
            break;
        const int w = std::max(1, ColumnWidth - (ColumnWidth > 3 ? 1 : 0));
        const SceneRecord &scene = *seq->scenes[s];
        if (!TimeTrackMode) {
            if (!f || !ChannelUsable(*f, ChosenChannel))
                continue;
            const int level = SceneLevel(scene, *f, ChosenChannel);
            const int top = (255 - level) * ValueScale;
            p.fillRect(QRect(x, top, w, h - top), StateBarColour(f->states[ChosenChannel], true));
        } else {
            const int bar = static_cast<int>(std::min<long long>(scene.sceneTime, 30000) * ValueScale / 100);
            p.fillRect(QRect(x, h - bar, w, bar), toQColor(clFuchsia));
            const int fade = static_cast<int>(std::min<long long>(scene.fadeTime, 30000) * ValueScale / 100);
            p.save();
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            p.setPen(QPen(QColor(Qt::white), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRect(x, h - fade, w - 1, fade));
            p.restore();
        }
    }
    if (drawing_ && ui->Line->isChecked()) {
        p.save();
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QPen(Qt::white, 1));
        p.drawLine(ColumnLeft(lineScene0_) + ColumnWidth / 2, HoldToChart(lineY0_), ColumnLeft(lineScene1_) + ColumnWidth / 2,
                   HoldToChart(lineY1_));
        p.restore();
    }
    PaintMarker(p, h);
}

void TGraphEdit::PaintWave(QPainter &p)
{
    p.fillRect(ui->PBWave->rect(), Qt::black);
    const SequenceRecord *seq = EditableSequence();
    if (!seq || TimeTrackMode)
        return;
    const WaveSettings w = CurrentWave();
    const int n = seq->sceneCount;
    const std::vector<int> targets = WaveTargets(SelectedFixture, w.group);
    const auto curves = WaveLevels(w, n, static_cast<int>(targets.size()), n + 1);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (std::size_t d = curves.size(); d-- > 0;) {
        QPolygon line;
        for (int k = 0; k <= n && k < static_cast<int>(curves[d].size()); ++k)
            line << QPoint(static_cast<int>(std::trunc(128.0 / n * k)), 44 - curves[d][static_cast<std::size_t>(k)] / 6);
        p.setPen(QPen(targets[d] == SelectedFixture ? QColor(Qt::white) : QColor(Qt::gray), 2));
        p.drawPolyline(line);
    }
}

// ---- mouse -----------------------------------------------------------------------------

bool TGraphEdit::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type t = event->type();
    if (t == QEvent::Paint) {
        QWidget *w = static_cast<QWidget *>(watched);
        if (w == ui->Times || w == ui->Tracks || w == ui->Values || w == ui->PBWave) {
            QPainter p(w);
            if (w == ui->Times)
                PaintTimes(p);
            else if (w == ui->Tracks)
                PaintTracks(p);
            else if (w == ui->Values)
                PaintValues(p);
            else
                PaintWave(p);
            return true;
        }
    }
    const bool mouse = t == QEvent::MouseButtonPress || t == QEvent::MouseMove || t == QEvent::MouseButtonRelease;
    if (mouse) {
        if (watched == ui->Values)
            ValuesMouse(event);
        else if (watched == ui->Times)
            TimesMouse(event);
        else if (watched == ui->Tracks)
            TracksMouse(event);
        else if (watched == ui->Panel8Title || watched == ui->Panel8)
            DragGeneratorPanel(event);
    }
    if (t == QEvent::Resize && watched == ui->Values)
        UpdateScrollBar();
    if (t == QEvent::Resize && watched == ui->ChartSide)
        PlaceGeneratorPanel();
    if (t == QEvent::Resize && watched == ui->Splitter2 && chartFitPending_)
        FitChartPanel();
    return QWidget::eventFilter(watched, event);
}

void TGraphEdit::ShowHint(int y)
{
    if (ui->Select->isChecked())
        return;
    const int v = ValueAtY(y);
    ui->HintLabel->setText(TimeTrackMode ? Text(TimeHintText(v)) : QString::number(v));
}

void TGraphEdit::MakeSceneCurrent(int scene)
{
    if (!MainForm || Playing.load())
        return;
    MainForm->ui->SliderScene->setValue(scene);
    MainForm->SliderSceneChange();
}

void TGraphEdit::FollowTimeEdits(int scene)
{
    const SequenceRecord *seq = EditableSequence();
    if (!MainForm || !seq || scene != CurScene)
        return;
    const SceneRecord &s = *seq->scenes[scene];
    if (!FadeTrackMode && StepModeOf(seq->modes) == 1) {
        const QSignalBlocker block(MainForm->ui->TimeEditSc);
        MainForm->ui->TimeEditSc->SetValue(static_cast<long>(s.sceneTime));
    }
    if (FadeTrackMode && MainForm->ui->FadeButton->Down() && FadeModeOf(seq->modes) == 2) {
        const QSignalBlocker block(MainForm->ui->FadeTime);
        MainForm->ui->FadeTime->SetValue(static_cast<long>(s.fadeTime));
    }
}

void TGraphEdit::ValuesMouse(QEvent *event)
{
    auto *e = static_cast<QMouseEvent *>(event);
    const QPoint at = e->position().toPoint();
    SequenceRecord *seq = EditableSequence();
    if (!seq)
        return;
    const int count = seq->sceneCount;
    const int scene = SceneAtX(at.x(), count);
    if (event->type() == QEvent::MouseButtonPress) {
        if (e->button() != Qt::LeftButton || PastLastScene(at.x(), count))
            return;
        if (ui->Select->isChecked()) {
            MakeSceneCurrent(scene);
            return;
        }
        drawing_ = true;
        if (ui->Pencil->isChecked()) {
            if (!TimeTrackMode)
                SaveUndoBlock(SelectedFixture, CurSequence, 0, count, ChosenChannel, 1);
            PencilWrite(SelectedFixture, scene, at.y());
            FollowTimeEdits(scene);
            ValuesOnePaint(scene);
        } else {
            lineScene0_ = lineScene1_ = scene;
            lineY0_ = lineY1_ = at.y();
            ui->FromLabel->setText(QStringLiteral("From: %1").arg(scene + 1));
        }
        ShowHint(at.y());
        return;
    }
    if (event->type() == QEvent::MouseMove) {
        ShowHint(at.y());
        if (!drawing_)
            return;
        if (ui->Pencil->isChecked()) {
            PencilWrite(SelectedFixture, scene, at.y());
            FollowTimeEdits(scene);
            ValuesOnePaint(scene);
        } else if (ui->Line->isChecked()) {
            lineScene1_ = scene;
            lineY1_ = at.y();
            ui->ToLabel->setText(QStringLiteral("To: %1").arg(scene + 1));
            ui->Values->update();
        }
        return;
    }
    if (e->button() != Qt::LeftButton || !drawing_)
        return;
    drawing_ = false;
    if (ui->Pencil->isChecked()) {
        if (!TimeTrackMode)
            SceneLevelsEdited();
        ShowModified = 1;
        ui->Times->update();
        UpdateValueLabel();
        return;
    }
    if (ui->Line->isChecked()) {
        lineScene1_ = scene;
        lineY1_ = at.y();
        if (LineWrite(SelectedFixture, lineScene0_, lineY0_, lineScene1_, lineY1_)) {
            ShowModified = 1;
            FollowTimeEdits(CurScene);
        }
        ui->HintLabel->clear();
        ui->FromLabel->clear();
        ui->ToLabel->clear();
        if (!TimeTrackMode)
            SceneLevelsEdited();
        UpdateValueLabel();
        RepaintAll();
    }
}

// The pencil and the line wrote levels (of linked fixtures too): the fixtures take the
// current scene and, while nothing plays, the output follows.
void TGraphEdit::SceneLevelsEdited()
{
    SceneToFixtures();
    if (MainForm)
        MainForm->EditedSceneToOutput();
}

void TGraphEdit::TimesMouse(QEvent *event)
{
    auto *e = static_cast<QMouseEvent *>(event);
    const QPoint at = e->position().toPoint();
    const SequenceRecord *seq = EditableSequence();
    if (!seq)
        return;
    const int scene = SceneAtX(at.x(), seq->sceneCount);
    if (event->type() == QEvent::MouseButtonPress) {
        if (e->button() != Qt::LeftButton || Playing.load() || PastLastScene(at.x(), seq->sceneCount))
            return;
        MakeSceneCurrent(scene);
        banding_ = true;
        bandScene0_ = bandScene1_ = scene;
        bandX0_ = at.x();
        ui->Times->update();
        return;
    }
    if (!banding_)
        return;
    bandScene1_ = scene;
    if (event->type() == QEvent::MouseMove) {
        ui->Times->update();
        return;
    }
    banding_ = false;
    const FixtureRecord *f = Selected();
    if (std::abs(at.x() - bandX0_) >= 2 && f) {
        SelFirstScene = std::max(std::min(bandScene0_, bandScene1_), FirstVisibleScene);
        SelLastScene = std::max(std::max(bandScene0_, bandScene1_), FirstVisibleScene);
        SelFirstChannel = 0;
        SelLastChannel = f->channelCount - 1;
        SelectionValid = 1;
        ClampSelection(SelectedFixture);
    } else {
        SelectionValid = 0;
    }
    RepaintAll();
}

void TGraphEdit::TracksMouse(QEvent *event)
{
    auto *e = static_cast<QMouseEvent *>(event);
    const QPoint at = e->position().toPoint();
    const FixtureRecord *f = Selected();
    const SequenceRecord *seq = EditableSequence();
    if (!f || !seq || TimeTrackMode)
        return;
    const int row = std::clamp(at.y() / RowHeight, 0, std::max(0, f->channelCount - 1));
    if (event->type() == QEvent::MouseButtonPress) {
        if (e->button() != Qt::LeftButton)
            return;
        if (ChannelUsable(*f, row) && row != ChosenChannel) {
            ChosenChannel = row;
            SelectedChannel = row;
            UpdateValueLabel();
            RepaintAll();
        }
        if (at.x() >= ChartMargin && !Playing.load()) {
            rectangling_ = true;
            rect0_ = rect1_ = at;
        }
        return;
    }
    if (!rectangling_)
        return;
    rect1_ = at;
    if (event->type() == QEvent::MouseMove) {
        ui->Tracks->update();
        return;
    }
    rectangling_ = false;
    // A drag along one row selects that channel over the scenes it crossed, a drag
    // straight down those channels at one scene; a click clears the selection.
    if (std::abs(rect1_.x() - rect0_.x()) > 1 || std::abs(rect1_.y() - rect0_.y()) > 1) {
        const int r0 = std::clamp(rect0_.y() / RowHeight, 0, f->channelCount - 1);
        SelFirstChannel = std::min(r0, row);
        SelLastChannel = std::max(r0, row);
        ChosenChannel = SelFirstChannel;
        const int s0 = SceneAtX(rect0_.x(), seq->sceneCount), s1 = SceneAtX(rect1_.x(), seq->sceneCount);
        SelFirstScene = std::min(s0, s1);
        SelLastScene = std::max(s0, s1);
        SelectionValid = 1;
        ClampSelection(SelectedFixture);
        MakeSceneCurrent(SelFirstScene);
    } else {
        SelectionValid = 0;
    }
    UpdateValueLabel();
    RepaintAll();
}

// ---- fixture list and modes ---------------------------------------------------------------

void TGraphEdit::SelectFixtureRow(int row, bool fromTrackEditor)
{
    if (row < 0 || row >= FixtureCount || !MainForm)
        return;
    if (row != SelectedFixture)
        MainForm->DevT1Click(row, 0);
    if (const FixtureRecord *f = Selected())
        if (!ChannelUsable(*f, ChosenChannel))
            for (int j = 0; j < f->channelCount && j < MaxFixtureChannels; ++j)
                if (ChannelUsable(*f, j)) {
                    ChosenChannel = j;
                    break;
                }
    if (!fromTrackEditor && TrackEdit && TrackEdit->isVisible())
        TrackEdit->FormActivate();
    FormAssignment();
}

void TGraphEdit::EditValClick() { SetMode(0, true); }
void TGraphEdit::EditTempoClick() { SetMode(1, true); }
void TGraphEdit::EditFadeClick() { SetMode(2, true); }

void TGraphEdit::SetMode(int mode, bool ask)
{
    if (settingMode_)
        return;
    ++settingMode_;
    if (mode == 1 && ask) {
        SequenceRecord *seq = EditableSequence();
        if (seq && NeedsTimeConversion(*seq)) {
            if (platform::MessageBox(ApplicationTitle().toStdString(),
                                     "It's not time sequence\r\nConvert in accordance with current Tempo ?",
                                     platform::Buttons::YesNo) == platform::Answer::Yes) {
                ConvertZeroTimes(*seq);
                ShowModified = 1;
            } else {
                mode = 0;
            }
        }
    }
    TimeTrackMode = mode != 0;
    FadeTrackMode = mode == 2;
    ui->EditVal->setChecked(mode == 0);
    ui->EditTempo->setChecked(mode == 1);
    ui->EditFade->setChecked(mode == 2);
    ui->ValueLabel->setText(mode == 0 ? QStringLiteral("Value:") : mode == 1 ? QStringLiteral("Interval/Tempo:")
                                                                              : QStringLiteral("Fade Interval:"));
    ui->Panel8->setVisible(mode == 0);
    SelectionValid = 0;
    FormAssignment();
    FitChartPanel();
    QScrollBar *v = ui->ChartScroll->verticalScrollBar();
    v->setValue(ChartHeight() - ChartHeight() / ValueScale);
    --settingMode_;
}

// ---- blocks --------------------------------------------------------------------------------

void TGraphEdit::UpdatePopup()
{
    const bool values = !TimeTrackMode;
    const bool selection = SelectionValid && values;
    PopupMenu->actions()[0]->setEnabled(selection);
    PopupMenu->actions()[1]->setEnabled(CopyBufferValid && values);
    PopupMenu->actions()[2]->setEnabled(selection);
    PopupMenu->actions()[3]->setEnabled(CopyBufferValid && selection);
}

bool TGraphEdit::AskBlock(int operation)
{
    return !AskEveryTime || RunCopyPaste(static_cast<BlockOperation>(operation), SelectedFixture);
}

void TGraphEdit::AfterBlock()
{
    SceneToFixtures();
    ShowModified = 1;
    FormAssignment();
    if (MainForm)
        MainForm->EditedSceneToOutput();
}

void TGraphEdit::CopySelected()
{
    if (TimeTrackMode || !ClampSelection(SelectedFixture) || !AskBlock(static_cast<int>(BlockOperation::Copy)))
        return;
    CopyBlock(SelectedFixture);
    RepaintAll();
}

void TGraphEdit::PasteFromBuffer()
{
    if (TimeTrackMode || !CopyBufferValid || !AskBlock(static_cast<int>(BlockOperation::Paste)))
        return;
    if (PasteBlock(SelectedFixture))
        AfterBlock();
}

void TGraphEdit::ClearSelected()
{
    if (TimeTrackMode || !ClampSelection(SelectedFixture) || !AskBlock(static_cast<int>(BlockOperation::Clear)))
        return;
    if (ClearBlock(SelectedFixture))
        AfterBlock();
}

void TGraphEdit::FillFromBuffer()
{
    if (TimeTrackMode || !CopyBufferValid || !ClampSelection(SelectedFixture))
        return;
    if (FillRepeats() < 1) {
        platform::MessageBox(AppCaptionText, "Copied buffer larger than selected, use Paste", platform::Buttons::Ok);
        return;
    }
    if (!AskBlock(static_cast<int>(BlockOperation::Fill)))
        return;
    if (FillBlock(SelectedFixture))
        AfterBlock();
}

void TGraphEdit::RestoreUndoBlock()
{
    const int fixture = UndoBuffer.fixture, sequence = UndoBuffer.sequence;
    const int firstScene = UndoBuffer.firstScene, firstChannel = UndoBuffer.firstChannel;
    if (!RestoreUndoTable())
        return;
    SceneToFixtures();
    if (MainForm) {
        MainForm->Select(fixture);
        if (sequence != CurSequence)
            MainForm->SelectSequence(sequence);
        MainForm->ui->SliderScene->setValue(firstScene);
        MainForm->SliderSceneChange();
    }
    ChosenChannel = firstChannel;
    FormAssignment();
}

void RestoreUndoBlock()
{
    if (GraphEdit)
        GraphEdit->RestoreUndoBlock();
}

// ---- generators ----------------------------------------------------------------------------

void TGraphEdit::WaveSettingsChanged()
{
    TTracker *wave[5] = {Amplitude, Offset, StPhase, Factor, Shift};
    for (int i = 0; i < 5; ++i) {
        GeneratorSettings[i] = wave[i]->Position();
        if (auto *l = TrackerPart<QLabel>(wave[i], "Value"))
            l->setText(QString::number(wave[i]->Position()));
    }
    // Duration only for the square wave, Start Phase not for the random one.
    const std::pair<TTracker *, bool> shown[] = {{Factor, ui->Squ->isChecked()}, {StPhase, !ui->Rand->isChecked()}};
    for (const auto &[t, on] : shown)
        for (QWidget *w : {static_cast<QWidget *>(t), TrackerPart<QWidget>(t, "Caption"), TrackerPart<QWidget>(t, "Value")})
            if (w)
                w->setVisible(on);
    ui->PBWave->update();
}

WaveSettings TGraphEdit::CurrentWave() const
{
    WaveSettings w;
    w.shape = ui->Squ->isChecked() ? WaveShape::Square : ui->Rand->isChecked() ? WaveShape::Random : WaveShape::Sine;
    w.amplitude = Amplitude->Position();
    w.offset = Offset->Position();
    w.startPhase = StPhase->Position();
    w.duration = Factor->Position();
    w.shift = Shift->Position();
    w.group = ui->Group->isChecked();
    w.seed = RandomSeed;
    return w;
}

void TGraphEdit::RandClick()
{
    RandomSeed = DrawRandomSeed();
    WaveSettingsChanged();
}

void TGraphEdit::ApplyClick()
{
    if (!EditableSequence() || !Selected())
        return;
    if (ApplyWave(SelectedFixture, ChosenChannel, CurrentWave())) {
        FormAssignment();
        if (MainForm)
            MainForm->EditedSceneToOutput();
    }
}

void TGraphEdit::EnterFanPage()
{
    fanPage_ = true;
    FixturesToScene();
    for (TTracker *t : {AmpFan, ShiftFan, OffsetFan})
        t->SetPosition(0);
    ui->FanMessage->clear();
    FanTrackerChanged();
}

void TGraphEdit::LeaveFanPage()
{
    if (!fanPage_)
        return;
    fanPage_ = false;
    if (MainForm)
        MainForm->SetDevices();
}

void TGraphEdit::FanTrackerChanged()
{
    for (TTracker *t : {AmpFan, ShiftFan, OffsetFan})
        if (auto *l = TrackerPart<QLabel>(t, "Value"))
            l->setText(QString::number(t->Position()));
    if (Playing.load()) {
        AmpFan->SetPosition(0);
        ShiftFan->SetPosition(0);
        ui->FanMessage->setText(QString::fromLatin1(PlayModeText));
        return;
    }
    FanModify(false);
}

void TGraphEdit::FanModify(bool store)
{
    const std::string message =
        ::FanModify(SelectedFixture, AmpFan->Position(), ShiftFan->Position(), OffsetFan->Position(), store);
    ui->FanMessage->setText(Text(message));
    if (!message.empty() || !store)
        return;
    FormAssignment();
    if (MainForm)
        MainForm->SetDevices();
    for (TTracker *t : {AmpFan, ShiftFan, OffsetFan}) {
        t->SetPosition(0);
        if (auto *l = TrackerPart<QLabel>(t, "Value"))
            l->setText(QStringLiteral("0"));
    }
}

// ---- the generator panel ---------------------------------------------------------------------

void TGraphEdit::PlaceGeneratorPanel()
{
    const int h = DpiScaled(GeneratorPanelExpanded ? PanelExpanded : PanelCollapsed, this);
    // Kept inside the chart side on a narrow screen; the remembered place stays.
    const QWidget *side = ui->ChartSide;
    const int left = std::min(GeneratorPanelLeft, std::max(0, side->width() - ui->Panel8->width()));
    const int top = std::min(GeneratorPanelTop, std::max(0, side->height() - h));
    ui->Panel8->setGeometry(left, top, ui->Panel8->width(), h);
    ui->SpeedButton1->setText(GeneratorPanelExpanded ? QStringLiteral("^") : QStringLiteral("v"));
    ui->Panel8->raise();
}

void TGraphEdit::SpeedButton1Click()
{
    GeneratorPanelExpanded = !GeneratorPanelExpanded;
    PlaceGeneratorPanel();
}

void TGraphEdit::DragGeneratorPanel(QEvent *event)
{
    auto *e = static_cast<QMouseEvent *>(event);
    const QPoint global = e->globalPosition().toPoint();
    if (event->type() == QEvent::MouseButtonPress && e->button() == Qt::LeftButton) {
        panelDrag_ = true;
        panelGrab_ = global - ui->Panel8->pos();
    } else if (event->type() == QEvent::MouseMove && panelDrag_) {
        const QPoint to = global - panelGrab_;
        GeneratorPanelLeft = std::max(0, to.x());
        GeneratorPanelTop = std::max(0, to.y());
        PlaceGeneratorPanel();
    } else if (event->type() == QEvent::MouseButtonRelease) {
        panelDrag_ = false;
    }
}

// ---- hooks ----------------------------------------------------------------------------------

namespace {
TGraphEdit *MakeGraphEdit()
{
    if (!GraphEdit)
        new TGraphEdit;
    return GraphEdit;
}

void CloseTrackEdit()
{
    if (TTrackEdit *t = TrackEdit) {
        t->FormDeactivate();
        t->close();
        delete t;
    }
}

void FollowSequence()
{
    if (editorsMuted)
        return;
    if (GraphEdit)
        GraphEdit->ExtSeqChange();
    if (TrackEdit)
        TrackEdit->FormActivate();
}
} // namespace

void InstallSequenceEditorHooks(const void *owner)
{
    ToolWindowEntry graph;
    graph.show = [] {
        if (TGraphEdit *g = MakeGraphEdit())
            g->Dock();
    };
    graph.hide = [] {
        if (GraphEdit)
            GraphEdit->CloseButtonClick();
    };
    graph.visible = [] { return GraphEdit && GraphEdit->Docked(); };
    ToolWindows().Register("GraphEdit", graph);

    ToolWindowEntry track;
    track.show = [] {
        TTrackEdit *t = MakeTrackEdit();
        t->show();
        t->raise();
        t->FormActivate();
    };
    track.hide = [] { CloseTrackEdit(); };
    track.visible = [] { return TrackEdit && TrackEdit->isVisible(); };
    ToolWindows().Register("TrackEdit", track);

    WindowSeamTable &s = WindowSeams();
    InstallHook(owner, s.graphEditOpen, [] { return GraphEdit != nullptr; });
    InstallHook(owner, s.graphEditRepaintColumn, [](int scene) {
        if (GraphEdit)
            GraphEdit->ValuesOnePaint(scene);
    });
    InstallHook(owner, s.graphEditMarker, [] {
        if (GraphEdit)
            GraphEdit->MarkerPaint();
    });
    InstallHook(owner, s.graphEditRestoreUndo, [] { RestoreUndoBlock(); });
    InstallHook(owner, s.graphEditRefresh, [] {
        if (GraphEdit)
            GraphEdit->ExtSeqChange();
    });
    InstallHook(owner, s.trackEditRefresh, [] {
        if (TrackEdit)
            TrackEdit->FormActivate();
    });
    InstallHook(owner, s.closeSequenceEditors, [] {
        if (GraphEdit)
            GraphEdit->CloseButtonClick();
        CloseTrackEdit();
    });
    InstallHook(owner, s.editorsSequenceChanged, [] { FollowSequence(); });
    InstallHook(owner, s.editorsSceneChanged, [] { FollowSequence(); });
    InstallHook(owner, s.editorsHooked, [](bool hooked) {
        editorsMuted = !hooked;
        if (hooked)
            FollowSequence();
    });
}
