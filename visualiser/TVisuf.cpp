#include "TVisuf.h"
#include "ui_Visuf.h"

#include "JpegFile.h"
#include "TFixForm.h"

#include "LevelPipeline.h"
#include "MainForm.h"
#include "OutputEngine.h"
#include "PlayState.h"
#include "SetupFile.h"
#include "ShowFile.h"
#include "ShowModel.h"
#include "StartupState.h"
#include "ToolWindows.h"
#include "WindowSeams.h"
#include "controls/RegForm.h"
#include "fixtures/TDesign.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/Files.h"
#include "platform/MsgBox.h"
#include "platform/Settings.h"
#include "ui_MainForm.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

TVisuf *Visuf = nullptr;

namespace {
constexpr const char *VisufParsName = "VisufPars";
constexpr const char *ImageDialogTitle = "Save Emulator Image";
constexpr const char *ImageDialogFilter = "JPEG image(*.jpg)|*.jpg";
constexpr const char *ImageErrorCaption = "Brantoval-1024";
constexpr double MouseTurn = 0.3141592653589793;
constexpr int BaseInterval = 50;

std::uint64_t TimeStampCounts()
{
#if defined(__x86_64__) || defined(__i386__)
    return __rdtsc();
#else
    return 0;
#endif
}

void PutI16(std::vector<std::uint8_t> &out, int v)
{
    const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
    out.push_back(std::uint8_t(u & 0xFF));
    out.push_back(std::uint8_t(u >> 8));
}

int GetI16(const std::vector<std::uint8_t> &in, int index)
{
    return static_cast<std::int16_t>(std::uint16_t(in[std::size_t(2 * index)] | (in[std::size_t(2 * index + 1)] << 8)));
}

int TruncAngle(float angle)
{
    return int(std::fmod(double(angle), 360.0));
}

QString NumberText(double v)
{
    return QString::number(v, 'g', 6);
}

const char *KindText(int kind)
{
    switch (kind) {
    case BeamScanner: return "Scanner";
    case BeamMovingHead: return "Moving Head";
    default: return "Fixed Spot";
    }
}
} // namespace

std::vector<std::uint8_t> EncodeVisufPars(const VisufParams &p)
{
    std::vector<std::uint8_t> out;
    PutI16(out, p.lines);
    PutI16(out, p.fill ? 1 : 0);
    PutI16(out, TruncAngle(p.angle2));
    PutI16(out, TruncAngle(p.angle1));
    PutI16(out, int(p.scale));
    PutI16(out, p.roomWires ? 1 : 0);
    PutI16(out, p.fixtureWires ? 1 : 0);
    PutI16(out, 0);
    return out;
}

bool DecodeVisufPars(const std::vector<std::uint8_t> &bytes, VisufParams &p)
{
    if (bytes.size() != 16)
        return false;
    p.lines = std::clamp(GetI16(bytes, 0), 0, 4);
    p.fill = GetI16(bytes, 1) != 0;
    p.angle2 = float(GetI16(bytes, 2));
    p.angle1 = float(GetI16(bytes, 3));
    p.scale = float(std::clamp(GetI16(bytes, 4), 200, 8000));
    p.roomWires = GetI16(bytes, 5) != 0;
    p.fixtureWires = GetI16(bytes, 6) != 0;
    return true;
}

int FilledBeamsInterval(std::uint64_t counts, std::uint32_t ms)
{
    if (counts == 0 || ms == 0)
        return BaseInterval;
    const std::uint64_t perMs = counts / ms;
    if (perMs == 0)
        return BaseInterval;
    return int(std::max<std::uint64_t>(BaseInterval, std::min<std::uint64_t>(64000000 / perMs, 0x7FFFFFFF)));
}

// ---- paint box -----------------------------------------------------------------------------

TVisufPaintBox::TVisufPaintBox(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    setMinimumSize(40, 40);
}

void TVisufPaintBox::paintEvent(QPaintEvent *)
{
    if (!blitRequested && onRepaint)
        onRepaint();
    blitRequested = false;
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (picture && !picture->isNull())
        p.drawImage(0, 0, *picture);
}

void TVisufPaintBox::resizeEvent(QResizeEvent *)
{
    if (onResize)
        onResize();
}

void TVisufPaintBox::mousePressEvent(QMouseEvent *e)
{
    if (onMouseDown)
        onMouseDown(e->position().toPoint(), e->button());
}

void TVisufPaintBox::mouseMoveEvent(QMouseEvent *e)
{
    if (onMouseMove)
        onMouseMove(e->position().toPoint(), e->buttons());
}

void TVisufPaintBox::mouseDoubleClickEvent(QMouseEvent *)
{
    if (onDoubleClick)
        onDoubleClick();
}

// ---- window --------------------------------------------------------------------------------

TVisuf::TVisuf(QWidget *parent) : QMainWindow(parent, Qt::Window), ui(new Ui::TVisuf)
{
    ui->setupUi(this);
    Timer = new QTimer(this);
    Timer->setInterval(BaseInterval);
    connect(Timer, &QTimer::timeout, this, [this] { PaintBoxPaint(); });

    TVisufPaintBox *box = ui->PaintBox;
    box->picture = &Picture;
    box->onRepaint = [this] { PaintBoxRepaint(); };
    box->onResize = [this] { FormResize(); };
    box->onMouseDown = [this](QPoint p, Qt::MouseButton b) { PaintBoxMouseDown(p, b); };
    box->onMouseMove = [this](QPoint p, Qt::MouseButtons b) { PaintBoxMouseMove(p, b); };
    box->onDoubleClick = [this] { PaintBoxDblClick(); };

    connect(ui->Front1, &QAction::triggered, this, [this] { Front1Click(); });
    connect(ui->Right1, &QAction::triggered, this, [this] { Right1Click(); });
    connect(ui->Top1, &QAction::triggered, this, [this] { Top1Click(); });
    connect(ui->AutoRotate, &QAction::triggered, this, [this] { AutoRotateClick(); });
    connect(ui->Fixtures, &QAction::triggered, this, [this] { FixturesClick(); });
    connect(ui->RoomSize, &QAction::triggered, this, [this] { RoomSizeClick(); });
    connect(ui->Objects3D, &QAction::triggered, this, [this] { Objects3DClick(); });
    connect(ui->CloFix, &QPushButton::clicked, this, [this] { CloFixClick(); });
    connect(ui->CloRoom, &QPushButton::clicked, this, [this] { CloRoomClick(); });
    connect(ui->Clo3D, &QPushButton::clicked, this, [this] { Clo3DClick(); });
    ObjectPanelCreate();
    // Positions are typed freely too: the digit mask would show a typed "4" as "4  . ".
    for (TFloatEdit *e : {ui->XEdit, ui->YEdit, ui->ZEdit}) {
        e->setInputMask(QString());
        e->SetValue(e->GetValue());
        connect(e, &TSpinMaskEdit::OnChange, this, [this] { XEditChange(); });
    }
    for (TFloatEdit *e : {ui->XRot, ui->YRot, ui->ZRot}) {
        // The float edit's digit mask has no place for a sign: turns of -180..180 are
        // typed freely and held within the bounds when the edit is left.
        e->setInputMask(QString());
        e->SetValue(0);
        connect(e, &TSpinMaskEdit::OnChange, this, [this] { XRotChange(); });
    }
    connect(ui->WUpDown, &TSpinMaskEdit::OnChange, this, [this] { WUpDownChange(); });
    connect(ui->HUpDown, &TSpinMaskEdit::OnChange, this, [this] { HUpDownChange(); });
    connect(ui->LUpDown, &TSpinMaskEdit::OnChange, this, [this] { LUpDownChange(); });
    connect(ui->SpotOnly, &QSlider::valueChanged, this, [this] { SpotOnlyClick(); });
    connect(ui->Fill, &QCheckBox::clicked, this, [this] { FillClick(); });
    for (QCheckBox *c : {ui->RoomWires, ui->FixtureWires})
        connect(c, &QCheckBox::clicked, this, [] { FrameChanged.store(1); });

    // The room edits start at 8, 6 and 12: the first placement of a fixture reads them
    // before they receive the room size.
    FillingEdits = 1;
    ui->WUpDown->SetValue(8);
    ui->HUpDown->SetValue(6);
    ui->LUpDown->SetValue(12);
    FillingEdits = 0;
    FormCreate();
    RegForm1 = new TRegForm(this);
    RegForm1->Loaded();
}

TVisuf::~TVisuf()
{
    if (Visuf == this)
        Visuf = nullptr;
    if (const ToolWindowEntry *e = ToolWindows().Find("Visualiser"); e && e->window == this)
        ToolWindows().Unregister("Visualiser");
    delete ui;
}

void TVisuf::FormCreate()
{
    const std::uint64_t counts0 = TimeStampCounts();
    const std::uint32_t ms0 = platform::MonotonicMs();

    Picture = MakeFrameBuffer(ui->PaintBox->width(), ui->PaintBox->height());
    Lights();
    SetupScene(Scene, RoomSize[0], RoomSize[1], RoomSize[2]);
    Scene.objects = &Objects3D();
    const bool madeForm = FixForm == nullptr;
    EnsureFixForm();
    PlaceModels();
    if (madeForm) {
        std::vector<PanelElement> none;
        FreeFixForm(none);
    }
    FillingEdits = 1;
    ui->WUpDown->SetValue(float(RoomSize[0]));
    ui->HUpDown->SetValue(float(RoomSize[1]));
    ui->LUpDown->SetValue(float(RoomSize[2]));
    FillingEdits = 0;

    FilledInterval = FilledBeamsInterval(TimeStampCounts() - counts0, platform::MonotonicMs() - ms0);
    VisufParams params;
    platform::Settings settings;
    if (DecodeVisufPars(settings.ReadBinary(MainWindowKey, VisufParsName), params))
        ApplyParams(params);
    SpotOnlyClick();
    std::error_code ec;
    std::filesystem::create_directories(platform::ProgramFolder() + "3dobj", ec);
    AutoLoadScene();
    StartTimer();
    GridObjectSelectorDrawCell();

    ToolWindowEntry entry;
    entry.window = this;   // closing it through the registry runs closeEvent
    ToolWindows().Register("Visualiser", entry);
    FrameChanged.store(1);
}

void TVisuf::PlaceModels()
{
    const QImage *plan = MainForm ? &MainForm->PlanBitmap() : nullptr;
    const double w = ui->WUpDown->GetValue(), h = ui->HUpDown->GetValue();
    Scene.models.clear();
    for (int i = 0; i < FixtureCount && std::size_t(i) < Fixtures.size(); ++i) {
        FixtureRecord &f = Fixtures[std::size_t(i)];
        auto model = std::make_unique<BeamModel>();
        BeamModel &m = *model;
        m.fixtureIndex = i;
        InitBeamModel(m);
        if (f.placement[0] >= 0.1f || f.placement[1] >= 0.1f || f.placement[2] >= 0.1f) {
            m.posX = f.placement[0];
            m.posY = f.placement[1];
            m.posZ = f.placement[2];
            m.rotX = f.placement[3];
            m.rotY = f.placement[4];
            m.rotZ = f.placement[5];
        } else {
            const int pw = plan ? plan->width() : 0, ph = plan ? plan->height() : 0;
            if (pw > 0 && ph > 0) {
                m.posX = w * f.planX / pw;
                m.posY = h * (ph - f.planY) / ph;
            } else {
                m.posX = w / 2;
                m.posY = h / 2;
            }
            m.posZ = 1.0;
            f.placement[0] = float(m.posX);
            f.placement[1] = float(m.posY);
            f.placement[2] = float(m.posZ);
        }
        m.start = f.start;
        m.channelCount = f.channelCount;
        if (const TDesign *panel = f.panel) {
            int pan = -1, tilt = -1, panFine = -1, tiltFine = -1;
            panel->GetPanTilt(pan, tilt);
            if (pan >= 0)
                m.panChannel = f.start + pan;
            if (tilt >= 0)
                m.tiltChannel = f.start + tilt;
            if (panel->GetFinePanTilt(panFine, tiltFine)) {
                m.fineMode = 1;
                m.panFineChannel = f.start + panFine;
                m.tiltFineChannel = f.start + tiltFine;
            }
            m.usedMask = panel->UsedMask;
            std::copy(std::begin(panel->BlackOutStates), std::end(panel->BlackOutStates), m.blackOut);
        }
        LoadFixtureProfile(m, f);
        ComputeConeOffsets(m);
        BuildPlacement(m);
        BuildBeam(m, Scene.extent);
        Scene.models.push_back(std::move(model));
    }
}

void TVisuf::StartTimer()
{
    Timer->setInterval(ui->Fill->isChecked() ? FilledInterval : BaseInterval);
    Timer->start();
}

void TVisuf::PaintBoxPaint()
{
    if (Painting)
        return;
    Painting = 1;
    if (ui->AutoRotate->isChecked()) {
        Scene.camera.angle1 += 2.5f;
        FrameChanged.store(1);
    }
    if (FrameChanged.exchange(0) == 0) {
        Painting = 0;
        return;
    }
    std::memcpy(Snapshot.data(), DmxOutFrame, Snapshot.size());
    RenderOptions options;
    options.roomWires = ui->RoomWires->isChecked();
    options.fixtureWires = ui->FixtureWires->isChecked();
    options.fillBeams = ui->Fill->isChecked();
    options.paintSize = ui->PaintBox->size();
    QPointer<TVisuf> self(this);
    const bool drawn = RenderFrame(Scene, options, Snapshot.data(), Picture, [this, self](bool afterCone) {
        if (afterCone)
            platform::ProcessPendingEvents();
        return !self || StopPaint != 0;
    });
    if (!self)
        return;
    if (drawn) {
        ui->PaintBox->blitRequested = true;
        ui->PaintBox->update();
    }
    Painting = 0;
}

void TVisuf::PaintBoxRepaint()
{
    FrameChanged.store(1);
}

void TVisuf::FormResize()
{
    Picture = MakeFrameBuffer(ui->PaintBox->width(), ui->PaintBox->height());
    FrameChanged.store(1);
}

void TVisuf::PaintBoxMouseDown(QPoint pos, Qt::MouseButton)
{
    mouse_ = pos;
    if (!ui->ObjPanel->isHidden()) {
        PickObject(pos);
        return;
    }
    for (const auto &m : Scene.models) {
        int sx = 0, sy = 0;
        ProjectModel(Scene, *m, ui->PaintBox->size(), sx, sy);
        if (std::abs(sx - pos.x()) < 10 && std::abs(sy - pos.y()) < 10) {
            if (MainForm)
                MainForm->DevT1Click(m->fixtureIndex, 0);
            break;
        }
    }
}

void TVisuf::PaintBoxMouseMove(QPoint pos, Qt::MouseButtons buttons)
{
    const int dx = pos.x() - mouse_.x(), dy = pos.y() - mouse_.y();
    if (buttons & Qt::LeftButton) {
        Scene.camera.angle2 = float(Scene.camera.angle2 + dy * MouseTurn);
        Scene.camera.angle1 = float(Scene.camera.angle1 + dx * MouseTurn);
    } else if (buttons & Qt::RightButton) {
        Scene.camera.scale = std::clamp(Scene.camera.scale + 4.0f * float(dy), 200.0f, 8000.0f);
    } else {
        mouse_ = pos;
        return;
    }
    ClearFrame(Picture);
    FrameChanged.store(1);
    mouse_ = pos;
}

void TVisuf::PaintBoxDblClick()
{
    if (!ui->UseMouse->isChecked())
        return;
    Timer->stop();
    std::string name;
    if (ui->Automatically->isChecked()) {
        const std::string folder = platform::ProgramFolder();
        // Pictures already there keep their names: the counter moves past them.
        while (platform::FileExists(folder + std::to_string(PictureCounter) + ".jpg"))
            ++PictureCounter;
        name = folder + std::to_string(PictureCounter++) + ".jpg";
    } else {
        const auto chosen = platform::SaveFileDialog(ImageDialogTitle, ImageDialogFilter);
        if (!chosen) {
            StartTimer();
            return;
        }
        name = WithJpegExtension(*chosen);
    }
    std::string error;
    if (!SaveJpegFile(name, Picture, error))
        platform::ShowMessage(ImageErrorCaption, "Error writing " + name + " (" + error + ")");
    StartTimer();
}

void TVisuf::SetView(float angle1, float angle2)
{
    Scene.camera.angle1 = angle1;
    Scene.camera.angle2 = angle2;
    ClearFrame(Picture);
    ui->AutoRotate->setChecked(false);
    FrameChanged.store(1);
}

void TVisuf::Front1Click() { SetView(0, 180); }
void TVisuf::Right1Click() { SetView(-90, 180); }
void TVisuf::Top1Click() { SetView(-90, 270); }

void TVisuf::AutoRotateClick()
{
    // The action toggles its own check; each timer tick turns the view while it is set.
    FrameChanged.store(1);
}

void TVisuf::ShowPanel(QWidget *panel)
{
    for (QWidget *p : {static_cast<QWidget *>(ui->FixPanel), static_cast<QWidget *>(ui->RoomPanel),
                       static_cast<QWidget *>(ui->ObjPanel)})
        p->setVisible(p == panel);
    FormResize();
}

void TVisuf::FixturesClick()
{
    ShowPanel(ui->FixPanel);
    SelectScan();
}

void TVisuf::RoomSizeClick() { ShowPanel(ui->RoomPanel); }
void TVisuf::Objects3DClick()
{
    ShowPanel(ui->ObjPanel);
    GridObjectSelectorDrawCell();
}

void TVisuf::CloFixClick()
{
    ui->FixPanel->hide();
    FormResize();
}

void TVisuf::CloRoomClick()
{
    ui->RoomPanel->hide();
    FormResize();
}

void TVisuf::Clo3DClick()
{
    ui->ObjPanel->hide();
    Objects3D().selected = -1;
    FormResize();
}

void TVisuf::SelectScan()
{
    const int sel = SelectedFixture;
    if (sel < 0 || std::size_t(sel) >= Scene.models.size())
        return;
    const BeamModel &m = *Scene.models[std::size_t(sel)];
    FillingEdits = 1;
    ui->XEdit->SetValue(float(m.posX));
    ui->YEdit->SetValue(float(m.posY));
    ui->ZEdit->SetValue(float(m.posZ));
    ui->XRot->SetValue(float(m.rotX));
    ui->YRot->SetValue(float(m.rotY));
    ui->ZRot->SetValue(float(m.rotZ));
    ui->BeamText->setText(NumberText(m.beamAngle));
    ui->PanAngText->setText(QString::number(m.panRange));
    ui->TiltAngText->setText(QString::number(m.tiltRange));
    ui->KindText->setText(QString::fromLatin1(KindText(m.kind)));
    if (std::size_t(sel) < Fixtures.size())
        ui->HeaderLabel->setText(platform::FromBytes(Fixtures[std::size_t(sel)].userHeader));
    FillingEdits = 0;
    QPointer<TVisuf> self(this);
    WaitWithMessages(20);
    if (self)
        FrameChanged.store(1);
}

// The placement edits: position (first 0) or rotation (first 3) of the selected fixture's
// model and its placement values follow the three edits.
void TVisuf::PlacementEdited(int first)
{
    const int sel = SelectedFixture;
    if (FillingEdits || sel < 0 || std::size_t(sel) >= Scene.models.size() || std::size_t(sel) >= Fixtures.size())
        return;
    BeamModel &m = *Scene.models[std::size_t(sel)];
    TFloatEdit *edits[6] = {ui->XEdit, ui->YEdit, ui->ZEdit, ui->XRot, ui->YRot, ui->ZRot};
    double *fields[6] = {&m.posX, &m.posY, &m.posZ, &m.rotX, &m.rotY, &m.rotZ};
    float *placement = Fixtures[std::size_t(sel)].placement;
    for (int k = first; k < first + 3; ++k) {
        *fields[k] = edits[k]->GetValue();
        placement[k] = float(*fields[k]);
    }
    BuildPlacement(m);
    BuildBeam(m, Scene.extent);
    FrameChanged.store(1);
}

void TVisuf::XEditChange() { PlacementEdited(0); }
void TVisuf::XRotChange() { PlacementEdited(3); }

void TVisuf::ResizeRoomAxis(int axis, double value)
{
    if (FillingEdits)
        return;
    TFloatEdit *edits[3] = {ui->WUpDown, ui->HUpDown, ui->LUpDown};
    const int size = int(edits[axis]->CheckValue(float(value)));
    const int old = RoomSize[axis];
    RoomSize[axis] = size;
    SetRoomVertices(Scene.room, RoomSize[0], RoomSize[1], RoomSize[2]);
    Scene.extent = RoomExtent{double(RoomSize[0]), double(RoomSize[1]), double(RoomSize[2])};
    const bool rescale = ui->ResizeRoom->isChecked() && old != 0;
    for (auto &model : Scene.models) {
        BeamModel &m = *model;
        if (rescale) {
            double *pos[3] = {&m.posX, &m.posY, &m.posZ};
            *pos[axis] = *pos[axis] * size / old;
            if (std::size_t(m.fixtureIndex) < Fixtures.size())
                Fixtures[std::size_t(m.fixtureIndex)].placement[axis] = float(*pos[axis]);
            BuildPlacement(m);
        }
        BuildBeam(m, Scene.extent);
    }
    float *look[3] = {&Scene.camera.lookX, &Scene.camera.lookY, &Scene.camera.lookZ};
    *look[axis] = float(size / 2);
    FrameChanged.store(1);
}

void TVisuf::WUpDownChange() { ResizeRoomAxis(0, ui->WUpDown->GetValue()); }
void TVisuf::HUpDownChange() { ResizeRoomAxis(1, ui->HUpDown->GetValue()); }
void TVisuf::LUpDownChange() { ResizeRoomAxis(2, ui->LUpDown->GetValue()); }

void TVisuf::SpotOnlyClick()
{
    const bool running = Timer->isActive();
    Timer->stop();
    for (auto &m : Scene.models)
        SetApexEdges(*m, ui->SpotOnly->value());
    if (running)
        Timer->start();
    FrameChanged.store(1);
}

void TVisuf::FillClick()
{
    Timer->setInterval(ui->Fill->isChecked() ? FilledInterval : BaseInterval);
    FrameChanged.store(1);
}

VisufParams TVisuf::CurrentParams() const
{
    VisufParams p;
    p.lines = ui->SpotOnly->value();
    p.fill = ui->Fill->isChecked();
    p.angle1 = Scene.camera.angle1;
    p.angle2 = Scene.camera.angle2;
    p.scale = Scene.camera.scale;
    p.roomWires = ui->RoomWires->isChecked();
    p.fixtureWires = ui->FixtureWires->isChecked();
    return p;
}

void TVisuf::ApplyParams(const VisufParams &p)
{
    ui->SpotOnly->blockSignals(true);
    ui->SpotOnly->setValue(p.lines);
    ui->SpotOnly->blockSignals(false);
    ui->Fill->setChecked(p.fill);
    Scene.camera.angle1 = p.angle1;
    Scene.camera.angle2 = p.angle2;
    Scene.camera.scale = p.scale;
    ui->RoomWires->setChecked(p.roomWires);
    ui->FixtureWires->setChecked(p.fixtureWires);
}

void TVisuf::FormClose()
{
    if (closed_)
        return;
    closed_ = true;
    bool canClose = true;
    RegForm1->CloseQuery(this, canClose);
    platform::Settings settings;
    settings.WriteBinary(MainWindowKey, VisufParsName, EncodeVisufPars(CurrentParams()));
    if (MainForm && MainForm->ui) {
        MainForm->ui->Emulator->setChecked(false);
        MainForm->ui->EmulatorButton->setChecked(false);
    }
}

void TVisuf::FormDestroy()
{
    Timer->stop();
    StopPaint = 1;
    ClearMesh(Scene.room);
    Picture = FrameBuffer();
    // A paint under way still walks the models; the destructor frees them then.
    if (!Painting)
        Scene.models.clear();
}

void TVisuf::closeEvent(QCloseEvent *event)
{
    FormClose();
    if (Visuf == this)
        Visuf = nullptr;
    FormDestroy();
    event->accept();
    deleteLater();
}

// ---- switching ------------------------------------------------------------------------------

void OpenVisualiser()
{
    if (Visuf)
        return;
    Visuf = new TVisuf();
    Visuf->show();
}

void CloseVisualiser()
{
    QPointer<TVisuf> v = Visuf;
    if (!v)
        return;
    Visuf = nullptr;
    v->close();
    // Freed at once unless a paint is under way (it lets messages through between beams
    // and gives up through the stop byte; the deferred delete frees the window then).
    if (v && !v->Painting)
        delete v.data();
}

void ReleaseVisualiser()
{
    QPointer<TVisuf> v = Visuf;
    if (!v)
        return;
    Visuf = nullptr;
    v->FormDestroy();
    if (v->Painting)
        v->deleteLater();
    else
        delete v.data();
}

void InstallVisualiserHooks()
{
    WindowSeams().visufSelectScan = [](int) {
        if (Visuf)
            Visuf->SelectScan();
    };
    WindowSeams().visualiserRelease = [] {
        ReleaseVisualiser();
        DeleteAll3DObjects();
    };
    ShowFileEvents().deleteAll3DObjects = [] { DeleteAll3DObjects(); };
}
