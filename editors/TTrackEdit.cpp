#include "TTrackEdit.h"
#include "ui_TrackEdit.h"

#include "TGraphEdit.h"
#include "ValueChart.h"

#include "app/FixtureArea.h"
#include "app/MainForm.h"
#include "app/OutputEngine.h"
#include "app/PlayState.h"
#include "app/SceneFixtures.h"
#include "app/SequenceEditing.h"
#include "ui_MainForm.h"

#include "controls/RegForm.h"

#include "platform/MsgBox.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>

#include <algorithm>

TTrackEdit *TrackEdit = nullptr;

namespace {
bool placeRestored = false;   // the settings store's place is taken once per run
} // namespace

TTrackEdit *MakeTrackEdit()
{
    if (!TrackEdit)
        new TTrackEdit;
    return TrackEdit;
}

TTrackEdit::TTrackEdit(QWidget *parent) : QWidget(parent), ui(new Ui::TTrackEdit)
{
    ui->setupUi(this);
    TrackEdit = this;
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    RegForm1 = new TRegForm(this);
    const TrackPlace &p = TrackWindowPlace;
    setGeometry(p.left, p.top, p.width, p.height);
    if (!placeRestored) {
        RegForm1->Loaded();
        placeRestored = true;
    }
    // Never larger than the screen, and on it.
    if (QScreen *s = QGuiApplication::primaryScreen()) {
        const QRect avail = s->availableGeometry();
        QRect g = geometry();
        g.setWidth(std::min(g.width(), avail.width()));
        g.setHeight(std::min(g.height(), avail.height()));
        g.moveLeft(std::clamp(g.left(), avail.left(), avail.right() - g.width() + 1));
        g.moveTop(std::clamp(g.top(), avail.top(), avail.bottom() - g.height() + 1));
        setGeometry(g);
    }
    ui->Field->installEventFilter(this);
    ui->Field->setMouseTracking(true);
    ui->Field->setAutoFillBackground(false);

    FieldPopup = new QMenu(this);
    QAction *from = FieldPopup->addAction(QStringLiteral("From Scene"), this, [this] {
        if (rightScene_ >= 0)
            ui->From->setValue(rightScene_ + 1);
    });
    from->setObjectName(QStringLiteral("FromScene"));
    QAction *to = FieldPopup->addAction(QStringLiteral("To Scene"), this, [this] {
        if (rightScene_ >= 0)
            ui->To->setValue(rightScene_ + 1);
    });
    to->setObjectName(QStringLiteral("ToScene"));
    QAction *all = FieldPopup->addAction(QStringLiteral("View All"), this, [this] {
        ui->From->setValue(1);
        ui->To->setValue(ui->To->maximum());
    });
    all->setObjectName(QStringLiteral("ViewAll"));
    auto *cancel = new QAction(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    cancel->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    addAction(cancel);
    connect(cancel, &QAction::triggered, this, &TTrackEdit::UndoClick);

    connect(ui->Plus, &QToolButton::clicked, this, [this] { SetZoom(TrackZoom * 2); });
    connect(ui->Minus, &QToolButton::clicked, this, [this] { SetZoom(TrackZoom / 2); });
    connect(ui->From, &QSpinBox::valueChanged, this, [this] {
        if (ui->From->value() > ui->To->value())
            ui->From->setValue(ui->To->value());
        RangeChanged();
    });
    connect(ui->To, &QSpinBox::valueChanged, this, [this] {
        if (ui->To->value() < ui->From->value())
            ui->To->setValue(ui->From->value());
        RangeChanged();
    });
    QToolButton *tools[] = {ui->ResizeTool, ui->RotateTool, ui->LineTool, ui->PolygonTool, ui->CircleTool, ui->StarTool};
    for (int i = 0; i < 6; ++i)
        connect(tools[i], &QToolButton::clicked, this, [this, i] { ShowPage(i); });
    QPushButton *applies[] = {ui->ResizeApply, ui->RotateApply, ui->LineApply, ui->PolygonApply, ui->CircleApply, ui->StarApply};
    for (int i = 0; i < 6; ++i)
        connect(applies[i], &QPushButton::clicked, this, [this, i] { ApplyGenerator(i); });
    connect(ui->MirrorPan, &QPushButton::clicked, this, [this] { Mirror(0); });
    connect(ui->MirrorTilt, &QPushButton::clicked, this, [this] { Mirror(1); });
    connect(ui->Restore, &QPushButton::clicked, this, &TTrackEdit::UndoClick);
    // The main window's Monitor and panel show the values the edit left on the fixtures.
    connect(ui->OKButton, &QPushButton::clicked, this, [this] {
        close();
        if (MainForm)
            MainForm->Reselect(SelectedFixture);
    });
    connect(ui->PencilButton, &QToolButton::clicked, this, &TTrackEdit::PencilClick);
    connect(ui->DevList, &QTableWidget::cellClicked, this, [this](int row, int) { SelectRow(row, true); });
    ui->CircleTool->setChecked(true);
    ShowPage(4);
    ui->Restore->setEnabled(false);
}

TTrackEdit::~TTrackEdit()
{
    if (TrackEdit == this)
        TrackEdit = nullptr;
    PencilOn = false;
    delete ui;
}

bool TTrackEdit::RestoreEnabled() const
{
    return ui->Restore->isEnabled();
}

// ---- set-up ----------------------------------------------------------------------------

void TTrackEdit::FormActivate()
{
    TrackInactive = false;
    if (listClicking_ || settingUp_)
        return;
    const SequenceRecord *seq = CurrentSequenceRecord();
    if (SequenceCount < 1 || !seq || !FixtureIndexValid(SelectedFixture)) {
        hide();
        close();
        return;
    }
    settingUp_ = true;
    ui->PencilButton->setVisible(!Playing.load() && seq->sceneCount > 1);
    SetZoom(TrackZoom);
    TrackTakeSequence(CurSequence);
    {
        const QSignalBlocker b1(ui->From), b2(ui->To);
        ui->From->setRange(1, std::max(1, static_cast<int>(seq->sceneCount)));
        ui->To->setRange(1, std::max(1, static_cast<int>(seq->sceneCount)));
        ui->From->setValue(1);
        ui->To->setValue(seq->sceneCount);
    }
    {
        const QSignalBlocker block(ui->DevList);
        ui->DevList->setRowCount(FixtureCount);
        for (int i = 0; i < FixtureCount; ++i) {
            auto *item = new QTableWidgetItem(platform::FromBytes(FixtureName(Fixtures[static_cast<std::size_t>(i)])));
            ui->DevList->setItem(i, 0, item);
        }
        ui->DevList->resizeRowsToContents();
    }
    const int row = SelectedFixture >= 0 ? SelectedFixture : 0;
    ui->DevList->setCurrentCell(row, 0);
    SelectRow(row, false);
    settingUp_ = false;
}

void TTrackEdit::SelectRow(int row, bool fromList)
{
    if (row < 0 || row >= FixtureCount)
        return;
    if (ui->Restore->isEnabled())
        SceneToFixtures();
    TrackTakeFixture(row);
    boxShown_ = false;
    ui->Restore->setEnabled(false);
    if (fromList && MainForm) {
        listClicking_ = true;
        MainForm->DevT1Click(row, 0);
        if (GraphEdit)
            GraphEdit->SelectFixtureRow(row, true);
        listClicking_ = false;
    }
    const FixtureRecord &f = Fixtures[static_cast<std::size_t>(row)];
    const bool group = TrackMode != 0 && MasterLinkActive && f.states[TrackPan] == 2 && f.states[TrackTilt] == 2;
    if (!group)
        ui->Group->setChecked(false);
    ui->Group->setVisible(group);
    ui->PencilButton->setEnabled(TrackMode != 0);
    ui->Field->update();
}

void TTrackEdit::RangeChanged()
{
    TrackFirst = ui->From->value() - 1;
    TrackLast = ui->To->value() - 1;
    boxShown_ = false;
    ui->Field->update();
}

void TTrackEdit::SetZoom(int zoom)
{
    TrackZoom = std::clamp(zoom, 1, 4);
    ui->Field->setFixedSize(256 * TrackZoom + 1, 256 * TrackZoom + 1);
    ui->Field->update();
}

void TTrackEdit::ShowPage(int page)
{
    ui->Pages->setCurrentIndex(page);
}

// ---- close -------------------------------------------------------------------------------

void TTrackEdit::CloseStep()
{
    if (ui->Restore->isEnabled())
        SceneToStage();
    const QRect g = geometry();
    TrackWindowPlace = TrackPlace{g.height(), g.width(), g.left(), g.top()};
}

void TTrackEdit::FormDeactivate()
{
    EndPencil();
    CloseStep();
    TrackInactive = true;
}

void TTrackEdit::closeEvent(QCloseEvent *event)
{
    EndPencil();
    CloseStep();
    bool canClose = true;
    RegForm1->CloseQuery(this, canClose);
    event->accept();
    // Gone for the program at once; the form itself goes when its close has returned.
    if (TrackEdit == this)
        TrackEdit = nullptr;
    deleteLater();
}

// ---- painting ----------------------------------------------------------------------------

bool TTrackEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->Field) {
        if (event->type() == QEvent::Paint) {
            QPainter p(ui->Field);
            PaintField(p);
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove ||
            event->type() == QEvent::MouseButtonRelease)
            FieldMouse(event);
    }
    return QWidget::eventFilter(watched, event);
}

void TTrackEdit::PaintField(QPainter &p)
{
    const int z = TrackZoom;
    p.fillRect(ui->Field->rect(), Qt::white);
    if (!TrackUsable())
        return;
    p.setPen(QColor(0x80, 0x80, 0x80));
    for (int i = 0; i <= 256; i += 16) {
        p.drawLine(i * z, 0, i * z, 256 * z);
        p.drawLine(0, i * z, 256 * z, i * z);
    }
    p.setPen(Qt::black);
    p.drawLine(128 * z, 0, 128 * z, 256 * z);
    p.drawLine(0, 128 * z, 256 * z, 128 * z);
    // The saved path, the one "Restore" returns to.
    QPolygon saved, current;
    for (int s = TrackFirst; s <= TrackLast; ++s) {
        if (s < static_cast<int>(SavedPan16.size()) && s < static_cast<int>(SavedTilt16.size()))
            saved << QPoint(SavedPan16[static_cast<std::size_t>(s)] * z / 256, SavedTilt16[static_cast<std::size_t>(s)] * z / 256);
        current << QPoint(TrackValue(TrackFixture, s, Axis::Pan) * z / 256, TrackValue(TrackFixture, s, Axis::Tilt) * z / 256);
    }
    p.setPen(QColor(0xC0, 0xC0, 0xC0));
    p.drawPolyline(saved);
    p.setPen(Qt::red);
    p.drawPolyline(current);
    QFont small = p.font();
    small.setPointSize(7);
    p.setFont(small);
    for (int s = TrackFirst; s <= TrackLast; ++s) {
        const int x = TrackCoarse(TrackFixture, s, Axis::Pan) * z, y = TrackCoarse(TrackFixture, s, Axis::Tilt) * z;
        p.fillRect(QRect(x - 2, y - 2, 4, 4), Qt::blue);
        p.setPen(Qt::darkBlue);
        // The number beside the point, kept on the field near its edges.
        const int tx = x > 256 * z - 24 ? x - 20 : x + 3;
        const int ty = y < 12 ? y + 12 : y - 3;
        p.drawText(tx, ty, QString::number(s + 1));
    }
    if (banding_) {
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(band0_, band1_).normalized());
    }
    if (boxShown_) {
        p.save();
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QPen(QColor(Qt::magenta), 1));
        p.setBrush(QColor(Qt::yellow));
        p.drawRect(QRect(QPoint(box_.left * z, box_.top * z), QPoint(box_.right * z, box_.bottom * z)));
        p.restore();
    }
}

// ---- mouse -------------------------------------------------------------------------------

QPoint TTrackEdit::FieldPoint(const QPoint &at) const
{
    return QPoint(std::clamp(at.x() / TrackZoom, 0, 255), std::clamp(at.y() / TrackZoom, 0, 255));
}

void TTrackEdit::OutputPoint(int scene)
{
    if (Playing.load() || !FixtureIndexValid(TrackFixture))
        return;
    const FixtureRecord &f = Fixtures[static_cast<std::size_t>(TrackFixture)];
    SetChannelLevel(f.start + TrackPan, static_cast<std::uint8_t>(TrackCoarse(TrackFixture, scene, Axis::Pan)));
    SetChannelLevel(f.start + TrackTilt, static_cast<std::uint8_t>(TrackCoarse(TrackFixture, scene, Axis::Tilt)));
}

void TTrackEdit::ShowValues(int scene)
{
    if (scene < 0) {
        ui->PanValue->clear();
        ui->TiltValue->clear();
        return;
    }
    ui->PanValue->setText(QString::number(TrackCoarse(TrackFixture, scene, Axis::Pan)));
    ui->TiltValue->setText(QString::number(TrackCoarse(TrackFixture, scene, Axis::Tilt)));
}

void TTrackEdit::FieldMouse(QEvent *event)
{
    auto *e = static_cast<QMouseEvent *>(event);
    if (!TrackUsable())
        return;
    const QPoint raw = e->position().toPoint();
    const QPoint at = FieldPoint(raw);
    const bool keepPan = e->modifiers() & Qt::ShiftModifier, keepTilt = e->modifiers() & Qt::ControlModifier;
    const QEvent::Type type = event->type();

    if (PencilOn) {
        if (type == QEvent::MouseMove || type == QEvent::MouseButtonRelease) {
            TrackMovePoint(PencilScene, at.x(), at.y(), keepPan, keepTilt);
            OutputPoint(PencilScene);
            ShowValues(PencilScene);
            ui->Field->update();
        }
        if (type != QEvent::MouseButtonRelease || e->button() != Qt::LeftButton)
            return;
        ShowValues(-1);
        if (PencilScene >= TrackLast) {
            Changed();
            EndPencil();
            return;
        }
        ++PencilScene;
        Changed();
        if (MainForm) {
            MainForm->ui->SliderScene->setValue(PencilScene);
            MainForm->SliderSceneChange();
        }
        return;
    }

    if (type == QEvent::MouseButtonPress) {
        if (boxShown_ && e->button() == Qt::LeftButton) {
            if (box_.Contains(at.x(), at.y())) {
                boxDragging_ = true;
                boxGrab_ = at;
                return;
            }
            boxShown_ = false;
            ui->Field->unsetCursor();
        }
        const int scene = TrackPointAt(at.x(), at.y());
        if (scene >= 0) {
            ShowValues(scene);
            if (e->button() == Qt::RightButton) {
                rightScene_ = scene;
                FieldPopup->actions()[0]->setVisible(true);
                FieldPopup->actions()[1]->setVisible(true);
                FieldPopup->popup(ui->Field->mapToGlobal(raw));
            } else if (e->button() == Qt::LeftButton) {
                dragScene_ = scene;
            }
            return;
        }
        if (e->button() == Qt::RightButton) {
            FieldPopup->actions()[0]->setVisible(false);
            FieldPopup->actions()[1]->setVisible(false);
            FieldPopup->popup(ui->Field->mapToGlobal(raw));
            return;
        }
        if (e->button() == Qt::LeftButton) {
            banding_ = true;
            band0_ = band1_ = raw;
        }
        return;
    }
    if (type == QEvent::MouseMove) {
        if (dragScene_ >= 0) {
            TrackMovePoint(dragScene_, at.x(), at.y(), keepPan, keepTilt);
            OutputPoint(dragScene_);
            ShowValues(dragScene_);
            ui->Field->update();
        } else if (boxDragging_) {
            if (TrackMoveBox(box_, at.x() - boxGrab_.x(), at.y() - boxGrab_.y(), keepPan, keepTilt)) {
                boxGrab_ = at;
                const int first = TrackSelected.empty() ? -1 : TrackSelected.front();
                if (first >= 0) {
                    OutputPoint(first);
                    ShowValues(first);
                }
            }
            ui->Field->update();
        } else if (banding_) {
            band1_ = raw;
            ui->Field->update();
        }
        return;
    }
    // Release.
    if (dragScene_ >= 0) {
        TrackMovePoint(dragScene_, at.x(), at.y(), keepPan, keepTilt);
        dragScene_ = -1;
        Changed();
    } else if (boxDragging_) {
        boxDragging_ = false;
        TrackMoveBox(box_, at.x() - boxGrab_.x(), at.y() - boxGrab_.y(), keepPan, keepTilt);
        Changed();
    } else if (banding_) {
        banding_ = false;
        const QPoint a = FieldPoint(band0_), b = FieldPoint(raw);
        boxShown_ = TrackCatch(a.x(), a.y(), b.x(), b.y(), box_);
        if (boxShown_)
            ui->Field->setCursor(Qt::SizeAllCursor);
    }
    ShowValues(-1);
    ui->Field->update();
}

void TTrackEdit::Changed()
{
    ui->Restore->setEnabled(true);
    ShowModified = 1;
    // The fixtures follow the edited scene at once: the main window stores their values
    // into the current scene whenever it leaves it, which would undo the edit.
    SceneToStage();
    ui->Field->update();
}

// The fixtures take the edited scene and, while nothing plays, the output follows.
void TTrackEdit::SceneToStage()
{
    SceneToFixtures();
    if (MainForm)
        MainForm->EditedSceneToOutput();
}

// ---- pencil --------------------------------------------------------------------------------

void TTrackEdit::PencilClick()
{
    if (PencilOn || TrackMode == 0 || !TrackUsable()) {
        EndPencil();
        return;
    }
    PencilOn = true;
    ui->PencilButton->setChecked(true);
    ui->DevList->setEnabled(false);
    ui->VisibleScenes->setEnabled(false);
    PencilScene = TrackFirst;
    ui->Field->setCursor(PencilCursor());
    if (MainForm) {
        MainForm->ui->SliderScene->setValue(PencilScene);
        MainForm->SliderSceneChange();
    }
}

void TTrackEdit::EndPencil()
{
    PencilOn = false;
    ui->PencilButton->setChecked(false);
    ui->DevList->setEnabled(true);
    ui->VisibleScenes->setEnabled(true);
    ui->Field->unsetCursor();
}

// ---- generators and restore ---------------------------------------------------------------

void TTrackEdit::UpdateVisible()
{
    Changed();
    // Edits of a group cannot be restored.
    if (ui->Group->isChecked() && MasterLinkActive)
        ui->Restore->setEnabled(false);
}

void TTrackEdit::ApplyGenerator(int page)
{
    const bool group = ui->Group->isVisible() && ui->Group->isChecked();
    bool done = false;
    switch (page) {
    case 0: done = TrackResize(ui->XPercent->value(), ui->YPercent->value(), group); break;
    case 1: done = TrackRotate(ui->Angle->value(), group); break;
    case 2: done = TrackLine(group); break;
    case 3: done = TrackPolygon(ui->PolySize->value(), ui->Vertex->value(), group); break;
    case 4: done = TrackCircle(ui->CircleSize->value(), ui->CircleFactor->value(), group); break;
    case 5: done = TrackStar(ui->DOut->value(), ui->DIn->value(), group); break;
    default: break;
    }
    if (done)
        UpdateVisible();
}

void TTrackEdit::Mirror(int axis)
{
    const bool group = ui->Group->isVisible() && ui->Group->isChecked();
    if (TrackMirror(axis == 0 ? Axis::Pan : Axis::Tilt, group))
        UpdateVisible();
}

void TTrackEdit::UndoClick()
{
    if (!TrackRestore())
        return;
    ui->Restore->setEnabled(false);
    SceneToStage();
    ui->Field->update();
}
