// The visualiser's "3D objects" panel: loading objects from *.cr3 and *.3dx files, saving
// the scene into "3dobj", picking an object by a click or by its grid cell, and moving,
// turning, centring, scaling, colouring and deleting it. The scene outlives the window;
// the show keeps the name of its file.
#include "TVisuf.h"
#include "ui_Visuf.h"

#include "Import3ds.h"
#include "Library3dx.h"
#include "ObjectEditing.h"
#include "Objects3DFile.h"

#include "OutputEngine.h"
#include "PlayState.h"
#include "ShowFile.h"

#include "controls/TColor.h"

#include "platform/Files.h"
#include "platform/MsgBox.h"

#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QShortcut>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <fstream>

namespace {

const char *const AppCaption = "Brantoval-1024";
const char *const LoadFilter = "Brantoval 3D object file(*.cr3)|*.cr3|Brantoval 3D library file(*.3dx)|*.3dx";
const char *const SaveFilter = "Brantoval 3D object file(*.cr3)|*.cr3";

std::string ObjectsFolder()
{
    return platform::ProgramFolder() + "3dobj";
}

QByteArray ReadAll(const std::string &path)
{
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::vector<std::uint8_t> Bytes(const QByteArray &data)
{
    return std::vector<std::uint8_t>(data.begin(), data.end());
}

// The file name without its folder (either separator).
std::string LastComponent(const std::string &path)
{
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// Said when an operator's load or import gave no object.
std::string NothingReadText(const std::string &path)
{
    return "No 3D object read from " + path;
}

Object3DRecord *SelectedObject()
{
    Scene3D &scene = Objects3D();
    if (scene.selected < 0 || std::size_t(scene.selected) >= scene.objects.size())
        return nullptr;
    return &scene.objects[std::size_t(scene.selected)];
}

} // namespace

void TVisuf::ObjectPanelCreate()
{
    connect(ui->Load3Dobj, &QPushButton::clicked, this, [this] { Load3DobjClick(); });
    connect(ui->SaveObj, &QPushButton::clicked, this, [this] { SaveObjClick(); });
    connect(ui->Imp3d, &QPushButton::clicked, this, [this] { Imp3dClick(); });
    connect(ui->Colobut, &QPushButton::clicked, this, [this] { ColobutClick(); });
    connect(ui->Centre, &QPushButton::clicked, this, [this] { CentreClick(); });
    connect(ui->ScaleButton, &QPushButton::clicked, this, [this] { ScaleButtonClick(); });
    connect(ui->DelObj, &QPushButton::clicked, this, [this] { DelObjClick(); });
    connect(ui->DeleteAll, &QPushButton::clicked, this, [this] { DeleteAllClick(); });
    // The float edit's digit mask has no place for a sign.
    for (TFloatEdit *e : {ui->XObj, ui->YObj, ui->ZObj}) {
        e->setInputMask(QString());
        e->SetValue(0);
        connect(e, &TSpinMaskEdit::OnChange, this, [this] { XObjChange(); });
    }
    for (TFloatEdit *e : {ui->XRotObj, ui->YRotObj, ui->ZRotObj}) {
        e->setInputMask(QString());
        e->SetValue(0);
        connect(e, &TSpinMaskEdit::OnChange, this, [this] { XRotObjChange(); });
    }
    ui->Scale->SetValue(100);
    QTableWidget *grid = ui->GridObjectSelector;
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(grid, &QTableWidget::cellClicked, this, [this](int r, int c) { GridObjectSelectorSelectCell(r, c); });
    // Delete removes the selected object; a text edit with the focus keeps the key.
    auto *del = new QShortcut(QKeySequence::Delete, this);
    connect(del, &QShortcut::activated, this, [this] {
        if (!ui->ObjPanel->isHidden())
            DelObjClick();
    });
}

void TVisuf::SetSceneName(const std::string &name)
{
    if (Scene3DName == name)
        return;
    Scene3DName = name;
    // The name lives in the show: a changed one is worth the save question.
    ShowModified = 1;
}

bool TVisuf::LoadCr3File(const std::string &path)
{
    const Cr3ReadResult r = ReadCr3(Bytes(ReadAll(path)), Objects3D());
    // A file that gave no object leaves the scene as it was, its name included.
    if (r.added > 0)
        SetSceneName(LastComponent(path));
    return r.added > 0;
}

void TVisuf::Load3DobjClick()
{
    int filter = 1;
    const auto path = platform::OpenFileDialog("Load 3D Model", LoadFilter, ObjectsFolder(), &filter);
    if (!path)
        return;
    Timer->stop();
    bool added = false;
    if (filter == 2) {
        const QByteArray text = ReadAll(*path);
        const Library3dxResult r = Read3dx(text.toStdString(), Objects3D());
        if (r.badVertices > 0)
            platform::ShowMessage(AppCaption, "Incorrect Nodes section");
        added = r.added;
    } else {
        added = LoadCr3File(*path);
    }
    // The operator is told when the file gave nothing: a wrong file, not a slow one.
    if (!added)
        platform::ShowMessage(AppCaption, NothingReadText(*path));
    GridObjectSelectorDrawCell();
    StartTimer();
    FrameChanged.store(1);
}

void TVisuf::Imp3dClick()
{
    const auto path = platform::OpenFileDialog("Import 3DS", "3DS file|*.3ds", ObjectsFolder());
    if (!path)
        return;
    QFile file(QString::fromStdString(*path));
    if (!file.open(QIODevice::ReadOnly)) {
        platform::ShowMessage(AppCaption, "Can't open " + *path);
        return;
    }
    // The file is walked in place where it can be mapped.
    QByteArray copy;
    const std::uint8_t *data = file.size() > 0 ? file.map(0, file.size()) : nullptr;
    std::size_t size = std::size_t(file.size());
    if (!data) {
        copy = file.readAll();
        data = reinterpret_cast<const std::uint8_t *>(copy.constData());
        size = std::size_t(copy.size());
    }
    Timer->stop();
    Object3DRecord o;
    o.mesh = std::make_unique<Mesh>();
    Import3ds(data, size, *o.mesh);
    // An import that added nothing (not a 3DS file, no mesh) leaves no object behind and
    // says so.
    if (!o.mesh->vertices.empty()) {
        ShadeObject(*o.mesh, 0xFFFFFF);
        Objects3D().objects.push_back(std::move(o));
        GridObjectSelectorDrawCell();
        SelectObject(int(Objects3D().objects.size()) - 1, 50);
    } else {
        platform::ShowMessage(AppCaption, NothingReadText(*path));
    }
    StartTimer();
    FrameChanged.store(1);
}

void TVisuf::SaveObjClick()
{
    const auto &objects = Objects3D().objects;
    if (std::none_of(objects.begin(), objects.end(), [](const Object3DRecord &o) { return o.mesh && !o.mesh->vertices.empty(); }))
        return;
    auto path = platform::SaveFileDialog("Save 3D Model", SaveFilter, ObjectsFolder() + "/");
    if (!path)
        return;
    if (QFileInfo(QString::fromStdString(*path)).suffix().isEmpty())
        *path += ".cr3";
    const std::vector<std::uint8_t> bytes = WriteCr3(Objects3D());
    const bool ok = platform::WriteFileAtomically(*path, [&](const std::string &temp) {
        std::ofstream out(temp, std::ios::binary);
        out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
        return bool(out.flush());
    });
    if (!ok) {
        platform::ShowMessage(AppCaption, "Error writing " + *path);
        return;
    }
    SetSceneName(LastComponent(*path));
}

void TVisuf::ColobutClick()
{
    Object3DRecord *o = SelectedObject();
    if (!o)
        return;
    const auto colour = platform::ChooseColor(o->colour);
    if (!colour)
        return;
    o->colour = *colour;
    ui->ColorShape->setStyleSheet(QStringLiteral("background: %1").arg(toQColor(TColor(*colour)).name()));
    if (o->mesh)
        ShadeObject(*o->mesh, *colour);
    FrameChanged.store(1);
}

void TVisuf::XObjChange()
{
    Object3DRecord *o = SelectedObject();
    if (FillingEdits || !o)
        return;
    MoveObject(*o, float(ui->XObj->GetValue()), float(ui->YObj->GetValue()), float(ui->ZObj->GetValue()));
    FrameChanged.store(1);
}

void TVisuf::XRotObjChange()
{
    Object3DRecord *o = SelectedObject();
    if (FillingEdits || !o)
        return;
    TurnObject(*o, float(ui->XRotObj->GetValue()), float(ui->YRotObj->GetValue()), float(ui->ZRotObj->GetValue()));
    FrameChanged.store(1);
}

void TVisuf::CentreClick()
{
    Object3DRecord *o = SelectedObject();
    if (!o)
        return;
    CentreObject(*o, Scene.camera.lookX, Scene.camera.lookY, Scene.camera.lookZ);
    FillingEdits = 1;
    for (TFloatEdit *e : {ui->XObj, ui->YObj, ui->ZObj})
        e->SetValue(0);
    FillingEdits = 0;
    FrameChanged.store(1);
}

void TVisuf::ScaleButtonClick()
{
    if (Object3DRecord *o = SelectedObject()) {
        ScaleObject(*o, ui->Scale->GetValue());
        FrameChanged.store(1);
    }
}

void TVisuf::DelObjClick()
{
    Scene3D &scene = Objects3D();
    if (!SelectedObject())
        return;
    DeleteObject(scene, scene.selected);
    GridObjectSelectorDrawCell();
    FrameChanged.store(1);
}

void TVisuf::DeleteAllClick()
{
    DeleteAll3DObjects();
    GridObjectSelectorDrawCell();
    FrameChanged.store(1);
}

void TVisuf::GridObjectSelectorDrawCell()
{
    const int count = int(Objects3D().objects.size());
    QTableWidget *grid = ui->GridObjectSelector;
    const QSignalBlocker block(grid);
    grid->clearContents();
    grid->setRowCount(count / 4 + 1);
    for (int i = 0; i < grid->rowCount() * 4; ++i) {
        auto *item = new QTableWidgetItem(i < count ? QString::number(i + 1) : QString());
        item->setBackground(Qt::white);
        item->setTextAlignment(Qt::AlignCenter);
        // A cell beyond the last object cannot be chosen.
        item->setFlags(i < count ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags);
        grid->setItem(i / 4, i % 4, item);
    }
    const int selected = Objects3D().selected;
    if (selected >= 0 && selected < count) {
        grid->setCurrentCell(selected / 4, selected % 4);
    } else {
        // No object is chosen (after a delete): the edits no longer show a deleted one's
        // place, turn and colour.
        FillingEdits = 1;
        for (TFloatEdit *e : {ui->XObj, ui->YObj, ui->ZObj, ui->XRotObj, ui->YRotObj, ui->ZRotObj})
            e->SetValue(0);
        FillingEdits = 0;
        ui->ColorShape->setStyleSheet(QString());
    }
    ui->ObjCount->setText(QStringLiteral("Objects: %1").arg(count));
}

void TVisuf::GridObjectSelectorSelectCell(int row, int column)
{
    const int index = 4 * row + column;
    if (index < 0 || std::size_t(index) >= Objects3D().objects.size())
        return;
    SelectObject(index);
}

void TVisuf::SelectObject(int index, int waitMs)
{
    Scene3D &scene = Objects3D();
    scene.selected = index;
    const Object3DRecord &o = scene.objects[std::size_t(index)];
    FillingEdits = 1;
    ui->XObj->SetValue(o.x);
    ui->YObj->SetValue(o.y);
    ui->ZObj->SetValue(o.z);
    ui->XRotObj->SetValue(o.rotX);
    ui->YRotObj->SetValue(o.rotY);
    ui->ZRotObj->SetValue(o.rotZ);
    FillingEdits = 0;
    ui->ColorShape->setStyleSheet(QStringLiteral("background: %1").arg(toQColor(TColor(o.colour)).name()));
    {
        const QSignalBlocker block(ui->GridObjectSelector);
        ui->GridObjectSelector->setCurrentCell(index / 4, index % 4);
    }
    WaitWithMessages(std::uint32_t(waitMs));
    FrameChanged.store(1);
}

bool TVisuf::PickObject(QPoint pos)
{
    Camera cam = Scene.camera;
    cam.centreX = ui->PaintBox->width() / 2;
    cam.centreY = ui->PaintBox->height() / 2;
    const ViewCoefficients view = SetCamera(cam);
    const auto &objects = Objects3D().objects;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const auto centre = objects[i].mesh ? ObjectCentre(*objects[i].mesh) : std::nullopt;
        if (!centre)
            continue;
        std::int32_t sx = 0, sy = 0;
        ProjectPoint(view, (*centre)[0] - cam.lookX, (*centre)[1] - cam.lookY, (*centre)[2] - cam.lookZ, sx, sy);
        if (std::abs(sx - pos.x()) < 10 && std::abs(sy - pos.y()) < 10) {
            SelectObject(int(i));
            return true;
        }
    }
    return false;
}

void TVisuf::AutoLoadScene()
{
    if (Scene3DName.empty() || !Objects3D().objects.empty())
        return;
    // A name from a show is not trusted: only its last component, only inside "3dobj".
    const std::string name = LastComponent(Scene3DName);
    if (name.empty() || name == "." || name == "..")
        return;
    if (const auto found = platform::FindFileNoCase(ObjectsFolder(), name))
        ReadCr3(Bytes(ReadAll(ObjectsFolder() + "/" + *found)), Objects3D());
}
