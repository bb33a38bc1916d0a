// The visualiser's "3D objects" panel through the program: the scene a show names comes
// back when the window opens; objects are loaded from *.cr3 and *.3dx files, picked by a
// click, moved, turned, centred, scaled, coloured, deleted, saved into "3dobj"; the show
// keeps the scene's name across Save As, New and Load.
#include "Chunks3ds.h"
#include "VertexWalk.h"
#include "VisualiserTestSupport.h"

#include "app/OutputEngine.h"
#include "app/ShowFile.h"
#include "visualiser/ObjectEditing.h"
#include "visualiser/Objects3DFile.h"
#include "ui_MainForm.h"
#include "ui_Visuf.h"

#include <QTableWidget>
#include <QTest>
#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

namespace {

// A triangle standing in the room around (x, 3, 6), 2 m wide.
Object3DRecord Piece(float x)
{
    Object3DRecord o;
    o.mesh = std::make_unique<Mesh>();
    AddVertex(*o.mesh, x - 1, 2, 6);
    AddVertex(*o.mesh, x + 1, 2, 6);
    AddVertex(*o.mesh, x, 4, 6);
    for (int k = 0; k < 3; ++k)
        AddEdge(*o.mesh, k, (k + 1) % 3);
    MeshTriangle t;
    t.a = 0, t.b = 1, t.c = 2, t.colour = 0x7F7F7F;
    AddTriangle(*o.mesh, t);
    return o;
}

class ObjectPanelTest : public VisualiserTest {
protected:
    std::string Objects() const { return Bin() + "3dobj/"; }
    void WriteCr3File(const std::string &path, std::initializer_list<float> xs)
    {
        Scene3D s;
        for (float x : xs)
            s.objects.push_back(Piece(x));
        const std::vector<std::uint8_t> bytes = WriteCr3(s);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    }
    // The panel's loader with the file as the dialog's answer.
    void Load(const std::string &path)
    {
        platform::QueueAnswers({path});
        Visuf->ui->Load3Dobj->click();
    }
    QPoint Projected(const std::array<float, 3> &p) const
    {
        Camera cam = Visuf->Scene.camera;
        cam.centreX = Visuf->ui->PaintBox->width() / 2;
        cam.centreY = Visuf->ui->PaintBox->height() / 2;
        std::int32_t sx = 0, sy = 0;
        ProjectPoint(SetCamera(cam), p[0] - cam.lookX, p[1] - cam.lookY, p[2] - cam.lookZ, sx, sy);
        return QPoint(sx, sy);
    }
    Object3DRecord &Object(int i) { return Objects3D().objects.at(std::size_t(i)); }
    void Grab(const char *name)
    {
        const char *dir = std::getenv("BRTV_GRAB_DIR");
        const std::string folder = dir ? dir : std::string(std::getenv("BRTV_BIN_DIR")) + "/grabs";
        std::filesystem::create_directories(folder);
        EXPECT_TRUE(Visuf->grab().save(QString::fromStdString(folder + "/" + name)));
    }
};

TEST_F(ObjectPanelTest, ShowSceneLoadedPickedEditedSavedAndReloaded)
{
    const std::string stageless = Bin() + "stageless.d1k";
    ASSERT_TRUE(WriteShowFile(stageless));
    // A show naming "stage.cr3"; the file in "3dobj" is spelt otherwise.
    std::filesystem::create_directories(Objects());
    WriteCr3File(Objects() + "Stage.CR3", {4});
    Scene3DName = "stage.cr3";
    const std::string show = Bin() + "stage.d1k";
    ASSERT_TRUE(WriteShowFile(show));
    Scene3DName.clear();
    platform::QueueAnswers({show});
    ui->LoadShow->trigger();
    ASSERT_EQ(Scene3DName, "stage.cr3");
    ShowModified = 0;
    ASSERT_NE(Open(), nullptr);
    ASSERT_EQ(Objects3D().objects.size(), 1u) << "loaded as the window opens";
    EXPECT_EQ(Scene3DName, "stage.cr3") << "the name stays as the show has it";
    EXPECT_EQ(ShowModified, 0);
    ASSERT_TRUE(Visuf->ui->Objects3D->isEnabled());
    Visuf->ui->Objects3D->trigger();
    EXPECT_FALSE(Visuf->ui->ObjPanel->isHidden());
    EXPECT_EQ(Visuf->ui->ObjCount->text(), QStringLiteral("Objects: 1"));

    // A library adds an object and keeps the name; a .cr3 appends and names the scene.
    {
        std::ofstream(Bin() + "lib.3dx") << "[Brantoval3dx]\nNodes=3\nColor=0xff\n[XYZ]\nVert0=1,0,1\nVert1=2,0,1\n"
                                            "Vert2=1,1,1\n[Surfaces]\nSur0=0,1,2,255\n";
    }
    Load(Bin() + "lib.3dx");
    ASSERT_EQ(Objects3D().objects.size(), 2u);
    EXPECT_EQ(Object(1).colour, 0xFFu);
    EXPECT_EQ(Scene3DName, "stage.cr3");
    EXPECT_EQ(ShowModified, 0);
    WriteCr3File(Bin() + "more.cr3", {6});
    Load(Bin() + "more.cr3");
    ASSERT_EQ(Objects3D().objects.size(), 3u);
    EXPECT_EQ(Scene3DName, "more.cr3");
    EXPECT_EQ(ShowModified, 1);
    EXPECT_EQ(Visuf->ui->GridObjectSelector->rowCount(), 1);
    EXPECT_EQ(Visuf->ui->GridObjectSelector->item(0, 2)->text(), QStringLiteral("3"));

    // A click 3 px off the projected centre picks the object; its vertices get blue marks.
    const QPoint centre = Projected(*ObjectCentre(*Object(2).mesh));
    QTest::mouseClick(Visuf->ui->PaintBox, Qt::LeftButton, {}, centre + QPoint(3, -3));
    ASSERT_EQ(Objects3D().selected, 2);
    EXPECT_EQ(Visuf->ui->GridObjectSelector->currentColumn(), 2);
    Paint();
    const MeshVertex &v = Object(2).mesh->vertices[2];
    const QPoint mark = Projected({v.x, v.y, v.z}) + QPoint(1, 0);
    EXPECT_EQ(Pixel(mark.x(), mark.y())[0], 255) << "blue";
    EXPECT_EQ(Pixel(mark.x(), mark.y())[2], 0);
    Grab("visualiser-objects.png");

    // Moving, turning, centring, scaling and colouring through the panel's controls.
    const float x0 = Object(2).mesh->vertices[0].x;
    Visuf->ui->XObj->SetValue(1);
    emit Visuf->ui->XObj->OnChange(Visuf->ui->XObj);
    EXPECT_FLOAT_EQ(Object(2).mesh->vertices[0].x, x0 + 1);
    Visuf->ui->ZRotObj->SetValue(180);
    emit Visuf->ui->ZRotObj->OnChange(Visuf->ui->ZRotObj);
    EXPECT_NEAR(Object(2).mesh->vertices[2].y, 2.0f, 1e-4) << "the apex turned down about the centre";
    Visuf->ui->Centre->click();
    EXPECT_EQ(*ObjectCentre(*Object(2).mesh), (std::array<float, 3>{4, 3, 6}));
    EXPECT_EQ(Visuf->ui->XObj->GetValue(), 0);
    Visuf->ui->Scale->SetValue(200);
    Visuf->ui->ScaleButton->click();
    EXPECT_NEAR(Object(2).mesh->vertices[1].x - Object(2).mesh->vertices[0].x, -4.0f, 1e-4);
    platform::QueueAnswers({"0x00102030"});
    Visuf->ui->Colobut->click();
    EXPECT_EQ(Object(2).mesh->triangles[0].colour, 0x010110u);

    // Delete with the grid focused, then everything. The visualiser keeps its own Delete
    // when a command of the main window's menus has that key too.
    ui->BlackOut->setShortcut(QKeySequence::Delete);
    form->show();
    Visuf->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Visuf));
    Visuf->ui->GridObjectSelector->setFocus();
    QTest::keyClick(Visuf->ui->GridObjectSelector, Qt::Key_Delete);
    EXPECT_EQ(Objects3D().objects.size(), 2u);
    EXPECT_EQ(BlackOutOn.load(), 0);
    EXPECT_EQ(Visuf->ui->ObjCount->text(), QStringLiteral("Objects: 2"));
    EXPECT_EQ(Visuf->ui->ZRotObj->GetValue(), 0) << "the deleted object's turn stays shown";
    const std::vector<std::uint8_t> kept = WriteCr3(Objects3D());

    // Saved into "3dobj" (".cr3" added), the name goes into the show.
    platform::QueueAnswers({Objects() + "saved"});
    Visuf->ui->SaveObj->click();
    ASSERT_TRUE(platform::FileExists(Objects() + "saved.cr3")) << BoxLog();
    EXPECT_EQ(Scene3DName, "saved.cr3");
    QFile saved(QString::fromStdString(Objects() + "saved.cr3"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray savedBytes = saved.readAll();
    EXPECT_EQ(std::vector<std::uint8_t>(savedBytes.begin(), savedBytes.end()), kept);
    // A failed save says so and keeps the name; the regular file in the way is unchanged.
    std::ofstream(Bin() + "blocked") << "x";
    platform::QueueAnswers({Bin() + "blocked/x.cr3"});
    Visuf->ui->SaveObj->click();
    EXPECT_NE(BoxLog().find("Error writing " + Bin() + "blocked/x.cr3"), std::string::npos) << BoxLog();
    EXPECT_EQ(Scene3DName, "saved.cr3");
    EXPECT_EQ(std::filesystem::file_size(Bin() + "blocked"), 1u);
    // Delete All leaves no edit showing a gone object's values.
    Visuf->ui->GridObjectSelector->setCurrentCell(0, 1);
    emit Visuf->ui->GridObjectSelector->cellClicked(0, 1);
    ASSERT_EQ(Objects3D().selected, 1);
    Visuf->ui->XRotObj->SetValue(90);
    emit Visuf->ui->XRotObj->OnChange(Visuf->ui->XRotObj);
    Visuf->ui->YObj->SetValue(2);
    emit Visuf->ui->YObj->OnChange(Visuf->ui->YObj);
    ASSERT_FALSE(Visuf->ui->ColorShape->styleSheet().isEmpty());
    Visuf->ui->DeleteAll->click();
    EXPECT_TRUE(Objects3D().objects.empty());
    EXPECT_EQ(Visuf->ui->GridObjectSelector->rowCount(), 1);
    for (TFloatEdit *e : {Visuf->ui->XObj, Visuf->ui->YObj, Visuf->ui->ZObj, Visuf->ui->XRotObj, Visuf->ui->YRotObj,
                          Visuf->ui->ZRotObj})
        EXPECT_EQ(e->GetValue(), 0) << e->objectName().toStdString();
    EXPECT_TRUE(Visuf->ui->ColorShape->styleSheet().isEmpty());

    const std::string second = Bin() + "second.d1k";
    platform::QueueAnswers({second});
    ui->SaveShowAs->trigger();
    ASSERT_TRUE(platform::FileExists(second)) << BoxLog();
    ShowModified = 0;
    ui->NewShow->trigger();
    EXPECT_TRUE(Scene3DName.empty()) << "a new show names no scene";
    platform::QueueAnswers({second});
    ui->LoadShow->trigger();
    EXPECT_EQ(Scene3DName, "saved.cr3");
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(WriteCr3(Objects3D()), kept) << "the saved scene comes back";
    // A show that names no scene leaves none named, nor the last show's objects.
    CloseVisualiser();
    platform::QueueAnswers({stageless});
    ui->LoadShow->trigger();
    EXPECT_TRUE(Scene3DName.empty());
    EXPECT_TRUE(Objects3D().objects.empty());
}

TEST_F(ObjectPanelTest, PanelFitsAndBadNamesStayOutsideTheFolder)
{
    // A name from a show is only looked up inside "3dobj", by its last component.
    std::filesystem::create_directories(Objects());
    WriteCr3File(Bin() + "outside.cr3", {4});
    Scene3DName = "../outside.cr3";
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(Objects3D().objects.empty());
    CloseVisualiser();
    Scene3DName = "..";
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(Objects3D().objects.empty());

    // A show that cannot be read keeps the scene and its name.
    CloseVisualiser();
    Objects3D().objects.push_back(Piece(4));
    Scene3DName = "kept.cr3";
    std::ofstream(Bin() + "bad.d1k") << "not a show";
    ShowModified = 0;
    platform::QueueAnswers({Bin() + "bad.d1k", "OK"});
    ui->LoadShow->trigger();
    EXPECT_NE(BoxLog().find("Error reading SHOW file"), std::string::npos) << BoxLog();
    EXPECT_EQ(Objects3D().objects.size(), 1u);
    EXPECT_EQ(Scene3DName, "kept.cr3");
    ASSERT_NE(Open(), nullptr);

    // At 800x560 every control of the panel lies inside it, none over another.
    Visuf->ui->Objects3D->trigger();
    Visuf->resize(800, 560);
    QApplication::processEvents();
    QWidget *panel = Visuf->ui->ObjPanel;
    const auto children = panel->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    ASSERT_GT(children.size(), 20);
    for (QWidget *c : children) {
        EXPECT_TRUE(panel->rect().contains(c->geometry())) << c->objectName().toStdString();
        for (QWidget *d : children)
            if (c != d)
                EXPECT_FALSE(c->geometry().intersects(d->geometry()))
                    << c->objectName().toStdString() << " / " << d->objectName().toStdString();
    }
    EXPECT_LE(Visuf->frameGeometry().width(), 1024);
    EXPECT_LE(Visuf->frameGeometry().height(), 768);
    EXPECT_TRUE(Visuf->ui->Imp3d->isEnabled());
}

TEST_F(ObjectPanelTest, ImportedModelBecomesOneShadedSelectedObject)
{
    ASSERT_NE(Open(), nullptr);
    Visuf->ui->Objects3D->trigger();
    Scene3DName = "stage.cr3";
    Objects3D().objects.push_back(Piece(4));
    Visuf->GridObjectSelectorDrawCell();
    Paint();
    const QImage before = Visuf->Picture.copy();

    // Two meshes of 100 points, half a metre up, in front of the camera.
    using namespace chunks3ds;
    auto strip = [](const std::string &name, float z) {
        std::vector<Point> points;
        std::vector<Face> faces;
        for (int i = 0; i < 100; ++i)
            points.push_back({3 + 0.02f * float(i), 5 + float(i % 2), 0.5f + z});
        for (int i = 0; i + 2 < 100; ++i)
            faces.push_back({std::uint16_t(i), std::uint16_t(i + 1), std::uint16_t(i + 2)});
        return chunks3ds::Object(name, Points(points), Faces(faces));
    };
    const Bytes model = File(Join({strip("A", 0), strip("B", 1)}));
    const std::string path = Bin() + "model.3ds";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(model.data()), std::streamsize(model.size()));
    platform::QueueAnswers({path});
    ASSERT_TRUE(Visuf->ui->Imp3d->isEnabled());
    Visuf->ui->Imp3d->click();
    ASSERT_EQ(Objects3D().objects.size(), 2u);
    const Object3DRecord &o = Object(1);
    EXPECT_EQ(o.mesh->vertices.size(), 200u);
    EXPECT_EQ(Objects3D().selected, 1);
    for (TFloatEdit *e : {Visuf->ui->XObj, Visuf->ui->YObj, Visuf->ui->ZObj, Visuf->ui->XRotObj, Visuf->ui->YRotObj,
                          Visuf->ui->ZRotObj})
        EXPECT_EQ(e->GetValue(), 0);
    const std::size_t n = o.mesh->triangles.size();
    ASSERT_EQ(n, 196u);
    EXPECT_EQ(o.mesh->triangles[0].colour, 0xDFDFDFu);
    const std::uint32_t last = 223 + std::uint32_t((n - 1) * 32 / n);
    EXPECT_EQ(o.mesh->triangles[n - 1].colour, last | last << 8 | last << 16);
    EXPECT_EQ(Visuf->ui->ObjCount->text(), QStringLiteral("Objects: 2"));
    EXPECT_EQ(Visuf->ui->ZRotObj->GetValue(), 0) << "the deleted object's turn stays shown";
    EXPECT_EQ(Scene3DName, "stage.cr3");
    Paint();
    EXPECT_NE(Visuf->Picture, before) << "the model is drawn";

    // A text file adds nothing; a missing file says so and changes nothing.
    std::ofstream(Bin() + "notes.3ds") << "not a model";
    platform::QueueAnswers({Bin() + "notes.3ds"});
    Visuf->ui->Imp3d->click();
    EXPECT_EQ(Objects3D().objects.size(), 2u);
    EXPECT_EQ(Objects3D().selected, 1);
    platform::QueueAnswers({Bin() + "missing.3ds", "OK"});
    Visuf->ui->Imp3d->click();
    EXPECT_NE(BoxLog().find("Can't open " + Bin() + "missing.3ds"), std::string::npos) << BoxLog();
    EXPECT_EQ(Objects3D().objects.size(), 2u);
    Grab("visualiser-import.png");
}

TEST_F(ObjectPanelTest, ImportedRepeatsTurnedSavedAndLoadedAsTheWalkGivesThem)
{
    ASSERT_NE(Open(), nullptr);
    Visuf->ui->Objects3D->trigger();
    // Quads whose two faces carry their own copies of the corners, some a push apart, so
    // that the import pushes points through chains.
    using namespace chunks3ds;
    std::vector<Point> points;
    std::vector<Face> faces;
    for (int q = 0; q < 60; ++q) {
        const float x = 2 + 0.25f * float(q % 6), z = 0.5f + float(q / 6) * 0.001f;
        const Point corners[4] = {{x, 6, z}, {x + 0.25f, 6, z}, {x + 0.25f, 6, z + 0.001f}, {x, 6, z + 0.001f}};
        for (int t = 0; t < 2; ++t) {
            const auto base = std::uint16_t(points.size());
            for (int k : {0, 1 + t, 2 + t})
                points.push_back(corners[k]);
            faces.push_back({base, std::uint16_t(base + 1), std::uint16_t(base + 2)});
        }
    }
    const Bytes model = File(Join({chunks3ds::Object("A", Points(points), Faces(faces))}));
    const std::string path = Bin() + "repeats.3ds";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char *>(model.data()), std::streamsize(model.size()));
    platform::QueueAnswers({path});
    Visuf->ui->Imp3d->click();
    ASSERT_EQ(Objects3D().objects.size(), 1u);
    Mesh want;
    for (const Point &p : points)
        WalkAdd(want, p.x, p.z, p.y);
    for (const Face &f : faces)
        AddTriangle(want, MeshTriangle{f.a, f.b, f.c, 0, 0});
    ShadeObject(want, 0xFFFFFF);
    ExpectSameMesh(*Object(0).mesh, want, "imported");
    EXPECT_NE(Object(0).mesh->vertices[4].z, points[4].y) << "a repeated corner is pushed";

    // Turned in the panel, saved, deleted and loaded back: the loaded points are the turned
    // ones put through the walk again.
    Visuf->ui->ZRotObj->SetValue(90);
    emit Visuf->ui->ZRotObj->OnChange(Visuf->ui->ZRotObj);
    const Mesh turned = *Object(0).mesh;
    platform::QueueAnswers({Objects() + "turned"});
    Visuf->ui->SaveObj->click();
    Visuf->ui->DeleteAll->click();
    Load(Objects() + "turned.cr3");
    ASSERT_EQ(Objects3D().objects.size(), 1u) << BoxLog();
    Mesh reloaded;
    for (const MeshVertex &v : turned.vertices)
        WalkAdd(reloaded, v.x, v.y, v.z);
    for (const MeshTriangle &t : turned.triangles)
        AddTriangle(reloaded, t);
    ExpectSameMesh(*Object(0).mesh, reloaded, "loaded");
    Paint();
}

} // namespace

namespace {

// A load or an import the operator started that gives no object says so once, naming the
// file, and leaves the scene and its name as they were; a file read in part keeps what was
// read. The load as the window opens stays quiet, also when the show's scene is missing.
TEST_F(ObjectPanelTest, LoadsThatReadNothingSaySoAndKeepTheScene)
{
    // The boxes since `from` in the log, the file dialogs left out.
    auto boxesSince = [this](std::size_t from) {
        std::istringstream lines(BoxLog().substr(from));
        std::string line, boxes;
        while (std::getline(lines, line))
            if (line.find("|(file dialog)|") == std::string::npos)
                boxes += line + "\n";
        return boxes;
    };
    std::filesystem::create_directories(Objects());
    Scene3DName = "gone.cr3";
    std::size_t logged = BoxLog().size();
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(boxesSince(logged), "") << "a missing scene file opens the window without a box";
    CloseVisualiser();
    std::ofstream(Objects() + "gone.cr3", std::ios::binary) << "3D1Kjunk";
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(boxesSince(logged), "") << "nor does one that gives nothing";
    Visuf->ui->Objects3D->trigger();

    Objects3D().objects.push_back(Piece(4));
    Visuf->GridObjectSelectorDrawCell();
    Scene3DName = "stage.cr3";
    ShowModified = 0;
    const std::vector<std::uint8_t> scene = WriteCr3(Objects3D());

    // Each file below gives nothing.
    std::string noise;
    for (int i = 0; i < 2000; ++i)
        noise += char((i * 7919 + 13) % 251);
    Scene3D one;
    one.objects.push_back(Piece(6));
    std::vector<std::uint8_t> wrongTag = WriteCr3(one);
    std::memcpy(wrongTag.data(), "3D2K", 4);
    std::vector<std::uint8_t> noObject = WriteCr3(one);
    std::memcpy(noObject.data() + 8, "BASX", 4);
    const std::vector<std::pair<std::string, std::string>> files = {
        {"wrong.cr3", std::string(wrongTag.begin(), wrongTag.end())},
        {"noise.cr3", noise},
        {"empty.cr3", ""},
        {"noobject.cr3", std::string(noObject.begin(), noObject.end())},
        {"noise.3dx", noise},
        {"empty.3dx", ""},
        {"nonodes.3dx", "[Brantoval3dx]\nNodes=0\n[XYZ]\nVert0=1,2,3\n"},
        {"missing.cr3", "-"},
        {"noise.3ds", noise},
        {"empty.3ds", ""},
        {"nomesh.3ds", std::string("\x4d\x4d\x06\x00\x00\x00", 6)},
    };
    for (const auto &[name, bytes] : files) {
        SCOPED_TRACE(name);
        const std::string path = Bin() + name;
        if (bytes != "-")
            std::ofstream(path, std::ios::binary) << bytes;
        logged = BoxLog().size();
        platform::QueueAnswers({path});
        if (name.substr(name.size() - 3) == "3ds")
            Visuf->ui->Imp3d->click();
        else
            Visuf->ui->Load3Dobj->click();
        EXPECT_EQ(boxesSince(logged), "Brantoval-1024|No 3D object read from " + path + "|OK\n");
        EXPECT_EQ(WriteCr3(Objects3D()), scene);
        EXPECT_EQ(Scene3DName, "stage.cr3");
        EXPECT_EQ(ShowModified, 0);
        EXPECT_EQ(Visuf->ui->ObjCount->text(), QStringLiteral("Objects: 1"));
    }

    // Read in part: the whole first object stays, nothing is said.
    Scene3D two;
    two.objects.push_back(Piece(6));
    two.objects.push_back(Piece(2));
    std::vector<std::uint8_t> part = WriteCr3(two);
    part.resize(part.size() - 122);   // into the second object's "BASE"
    std::ofstream(Bin() + "part.cr3", std::ios::binary).write(reinterpret_cast<const char *>(part.data()), std::streamsize(part.size()));
    logged = BoxLog().size();
    Load(Bin() + "part.cr3");
    EXPECT_EQ(boxesSince(logged), "");
    EXPECT_EQ(Objects3D().objects.size(), 2u);
    EXPECT_EQ(Scene3DName, "part.cr3");
}

} // namespace
