// The Plan page in the program's own window: icons and labels made for the patch, their
// drag, turns and mirrors, the selection rectangle, the pages, the plan picture and what
// a saved show keeps of them.
#include "transport/ProgramWindowTest.h"

#include "PlanShots.h"

#include "app/FixtureArea.h"
#include "app/PatchLoader.h"
#include "app/ShowFile.h"
#include "app/StagePlan.h"
#include "fixtures/ShowFileTestSupport.h"
#include "fixtures/TDesign.h"
#include "fixtures/TPanelWidgets.h"
#include "profiles/ProfileBuilder.h"
#include "ui_MainForm.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QBuffer>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QTableWidget>
#include <QTest>

namespace fs = std::filesystem;

namespace {

const QRgb Marker = qRgb(255, 0, 0);

// The profiles' icon: a lamp with a beam to the right, and one red pixel at (1, 0) that
// the orientation tests follow.
QImage LampIcon()
{
    QImage img(32, 32, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 220, 60));
    p.drawEllipse(4, 10, 12, 12);
    p.setBrush(QColor(80, 160, 255));
    p.drawPolygon(QPolygon({QPoint(16, 14), QPoint(31, 6), QPoint(31, 26), QPoint(16, 18)}));
    p.end();
    img.setPixel(1, 0, Marker);
    return img;
}

class StagePlanTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        ShowFileEvents().createFirstSequence();
        form->FillSequenceBox();
        form->resize(1024, 720);
        form->show();
    }

    void WriteProfiles()
    {
        fs::create_directories(root / "bin" / "Devices");
        for (const char *name : {"Spot", "Par"}) {
            ProfileBuilder b;
            b.header.count = 8;
            b.header.name = name;
            for (int j = 0; j < 8; ++j)
                b.Channel(j, j == 0 ? 3 : 7);
            b.icon.SetPicture(LampIcon());
            const std::string file = std::string(name == std::string("Spot") ? "spot" : "par") + ".dsp";
            fs::copy_file(b.Save(file), root / "bin" / "Devices" / file);
        }
        ::LoadDeviceProfiles();
    }
    int TypeNamed(const std::string &name) const
    {
        for (int i = 0; i < DeviceTypeCount; ++i)
            if (DeviceTypes[static_cast<std::size_t>(i)].deviceName == name)
                return i;
        return -1;
    }
    // Patches fixtures (type, start, header, plan x, plan y) and builds panels and icons.
    void Patched(std::initializer_list<std::tuple<const char *, int, const char *, int, int>> fixtures)
    {
        WriteProfiles();
        for (const auto &[type, start, header, x, y] : fixtures) {
            const int f = PatchFixture(TypeNamed(type), start, header);
            Fixtures[static_cast<std::size_t>(f)].planX = static_cast<std::int16_t>(x);
            Fixtures[static_cast<std::size_t>(f)].planY = static_cast<std::int16_t>(y);
        }
        BuildChannelMaps();
        BuildFixturePanels();
        form->SelectFirstFixture();
        form->LeftPageControlChange(2);
    }
    TImage *Icon(int f) const { return dynamic_cast<TImage *>(Fixtures[static_cast<std::size_t>(f)].planIcon); }
    TLabel *Label(int f) const { return dynamic_cast<TLabel *>(Fixtures[static_cast<std::size_t>(f)].planLabel); }
    static void Send(QWidget *w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton,
                     Qt::KeyboardModifiers mods = {})
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent e(type, at, w->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : button, held, mods);
        QApplication::sendEvent(w, &e);
    }
    // Drags icon `f` by (dx, dy) from its middle.
    void DragIcon(int f, int dx, int dy)
    {
        TImage *icon = Icon(f);
        QTest::mousePress(icon, Qt::LeftButton, {}, QPoint(16, 16));
        Send(icon, QEvent::MouseMove, QPoint(16 + dx, 16 + dy));
        QTest::mouseRelease(icon, Qt::LeftButton, {}, QPoint(16 + dx, 16 + dy));
    }
    void DoubleClick(int f) { Send(Icon(f), QEvent::MouseButtonDblClick, QPoint(16, 16)); }
    // A rectangle on the picture from `a` to `b` with modifiers.
    void Rectangle(QPoint a, QPoint b, Qt::KeyboardModifiers mods)
    {
        Send(ui->WallImage, QEvent::MouseButtonPress, a, Qt::LeftButton, mods);
        Send(ui->WallImage, QEvent::MouseMove, b, Qt::LeftButton, mods);
        Send(ui->WallImage, QEvent::MouseButtonRelease, b, Qt::LeftButton, mods);
    }
    QPoint MarkerAt(int f) const
    {
        const QImage img = Icon(f)->Picture();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if ((img.pixel(x, y) & 0xFFFFFF) == (Marker & 0xFFFFFF))
                    return {x, y};
        return {-1, -1};
    }
    int States(int f, std::uint8_t state) const
    {
        int n = 0;
        const FixtureRecord &fx = Fixtures[static_cast<std::size_t>(f)];
        for (int j = 0; j < fx.channelCount; ++j)
            n += fx.states[j] == state;
        return n;
    }
};

} // namespace

TEST_F(StagePlanTest, EachFixtureGetsAnIconAndLabelThatFollowTheDrag)
{
    Patched({{"Spot", 0, "Left", 40, 50}, {"Par", 8, "Right", 200, 60}});
    ASSERT_NE(Icon(0), nullptr);
    ASSERT_NE(Icon(1), nullptr);
    EXPECT_EQ(Icon(0)->Tag(), 0);
    EXPECT_EQ(Icon(1)->Tag(), 1);
    EXPECT_EQ(Icon(0)->parentWidget(), ui->WallImage);
    EXPECT_EQ(Icon(0)->geometry(), QRect(40, 50, 32, 32));
    EXPECT_EQ(Label(1)->Caption(), QByteArray("Right"));
    EXPECT_EQ(Label(1)->Tag(), 1);
    EXPECT_EQ(Label(0)->x(), 40 - Label(0)->width() / 2 + 16);
    EXPECT_EQ(Label(0)->y(), 50 + 34);
    EXPECT_TRUE(Icon(1)->toolTip().startsWith(QStringLiteral("Par\nNN9-16 OUT1"))) << Icon(1)->toolTip().toStdString();
    EXPECT_EQ(ui->WallImage->size(), QSize(480, 500));

    // A drag moves icon and label, stores the position and marks the show.
    ShowModified = 0;
    DragIcon(0, 30, 20);
    EXPECT_EQ(Icon(0)->pos(), QPoint(70, 70));
    EXPECT_EQ(Fixtures[0].planX, 70);
    EXPECT_EQ(Fixtures[0].planY, 70);
    EXPECT_EQ(Label(0)->pos(), QPoint(70 - Label(0)->width() / 2 + 16, 104));
    EXPECT_EQ(ShowModified, 1);
    EXPECT_EQ(SelectedFixture, 0);
    EXPECT_FALSE(form->BackDeviceIcon->isHidden());
    EXPECT_EQ(form->BackDeviceIcon->geometry(), QRect(68, 68, 36, 36));

    // Beyond the right and the bottom edge the icon stops inside the picture.
    DragIcon(1, 900, 900);
    EXPECT_EQ(Fixtures[1].planX, 448);
    EXPECT_EQ(Fixtures[1].planY, 458);
    DragIcon(1, -900, -900);
    EXPECT_EQ(Fixtures[1].planX, 0);
    EXPECT_EQ(Fixtures[1].planY, 0);

    // The label takes the fixture's colours: green, lime when selected... here maroon
    // once linked, with the selected fixture's black bold text.
    EXPECT_EQ(Label(1)->Color(), 0x00FF00u);
    EXPECT_EQ(Label(0)->Color(), 0x008000u);
    form->DevT1Click(1, 1);
    EXPECT_EQ(Label(1)->Color(), 0x0000FFu);
    EXPECT_EQ(Label(1)->Font().Style & fsBold, fsBold);
    EXPECT_EQ(Label(0)->Font().Style & fsBold, 0);

    // Pressing a label selects its fixture.
    QTest::mousePress(Label(0), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(SelectedFixture, 0);
}

TEST_F(StagePlanTest, DoubleClicksTurnAndMirrorTheIconAndEightComeBack)
{
    Patched({{"Spot", 0, "A", 40, 50}});
    EXPECT_EQ(MarkerAt(0), QPoint(1, 0));
    const QPoint expected[] = {{31, 1}, {30, 31}, {0, 30}, {30, 0}, {31, 30}, {1, 31}, {0, 1}, {1, 0}};
    const QImage first = Icon(0)->Picture();
    ShowModified = 0;
    for (int i = 0; i < 8; ++i) {
        DoubleClick(0);
        EXPECT_EQ(Fixtures[0].iconOrientation, (i + 1) % 8);
        EXPECT_EQ(MarkerAt(0), expected[i]) << "orientation " << (i + 1) % 8;
    }
    EXPECT_EQ(Icon(0)->Picture(), first);
    EXPECT_EQ(ShowModified, 1);

    // Locked icons neither move nor turn; the click still selects.
    ui->UnlockIcons->trigger();
    ASSERT_TRUE(ui->UnlockIcons->isChecked());
    DragIcon(0, 50, 50);
    DoubleClick(0);
    EXPECT_EQ(Fixtures[0].planX, 40);
    EXPECT_EQ(Icon(0)->pos(), QPoint(40, 50));
    EXPECT_EQ(Fixtures[0].iconOrientation, 0);
    ui->UnlockIcons->trigger();
}

TEST_F(StagePlanTest, AnIconResourceIsNeverTurned)
{
    Patched({{"Spot", 0, "A", 40, 50}});
    QByteArray ico;
    {
        QBuffer buf(&ico);
        buf.open(QIODevice::WriteOnly);
        ASSERT_TRUE(LampIcon().convertToFormat(QImage::Format_ARGB32).save(&buf, "ICO"));
    }
    DspPictureData pic;
    pic.graphicClass = "TIcon";
    pic.file.assign(ico.begin(), ico.end());
    const auto data = BuildPictureData(pic);
    TDesign *panel = Fixtures[0].panel;
    ASSERT_TRUE(panel->DevIcon->SetPictureData(QByteArray(reinterpret_cast<const char *>(data.data()),
                                                          static_cast<qsizetype>(data.size()))));
    ASSERT_TRUE(panel->DevIcon->IsIcon());
    const QImage before = Icon(0)->Picture();
    form->ApplyIconOrientation(0, 1);
    EXPECT_EQ(Icon(0)->Picture(), before);
    DoubleClick(0);
    EXPECT_EQ(Fixtures[0].iconOrientation, 1);
    EXPECT_EQ(Icon(0)->Picture(), before);
}

TEST_F(StagePlanTest, PagesAreAddedRemovedAndChosen)
{
    Patched({{"Spot", 0, "A", 40, 50}, {"Spot", 8, "B", 120, 50}, {"Par", 16, "C", 200, 50}});
    EXPECT_TRUE(form->MultiPlans->isHidden());
    EXPECT_FALSE(form->PlaceOnPage->isVisible());
    // The picture's right button offers the plan's items.
    Send(ui->WallImage, QEvent::MouseButtonPress, QPoint(300, 300), Qt::RightButton);
    EXPECT_TRUE(form->PlanPopup->isVisible());
    form->PlanPopup->close();
    QStringList items;
    for (QAction *a : form->PlanPopup->actions())
        if (!a->isSeparator())
            items << a->text();
    EXPECT_EQ(items, (QStringList{"Change Plan Image", "Lock Icons", "Multi-Page Plan", "Add Plan Page",
                                  "Remove Plan Page", "Place On Page"}));
    form->MultiPagePlan->trigger();
    ASSERT_TRUE(form->MultiPagePlan->isChecked());
    EXPECT_FALSE(form->MultiPlans->isHidden());
    EXPECT_EQ(form->MultiPlans->width(), 16);
    EXPECT_EQ(form->MultiPlans->rowCount(), 1);
    EXPECT_EQ(form->MultiPlans->item(0, 0)->text(), QStringLiteral("A"));
    EXPECT_TRUE(form->PlaceOnPage->isVisible());

    // Sixteen pages at most.
    for (int i = 0; i < 20; ++i)
        form->AddPlanPage->trigger();
    EXPECT_EQ(form->MultiPlans->rowCount(), 16);
    EXPECT_EQ(form->MultiPlans->item(15, 0)->text(), QStringLiteral("P"));

    // Place fixture B on page C (row 2): only page 2 shows it.
    form->Select(1);
    form->PlaceOnPage->trigger();
    EXPECT_EQ(form->PlacingOnPage, 1);
    ShowModified = 0;
    form->MultiPlansSelectCell(2);
    EXPECT_EQ(form->PlacingOnPage, 0);
    EXPECT_EQ(Fixtures[1].planPage, 2);
    EXPECT_EQ(ShowModified, 1);
    EXPECT_FALSE(Icon(1)->isHidden());
    EXPECT_TRUE(Icon(0)->isHidden());
    EXPECT_TRUE(Label(0)->isHidden());
    form->MultiPlansSelectCell(0);
    EXPECT_TRUE(Icon(1)->isHidden());
    EXPECT_FALSE(Icon(0)->isHidden());

    // With linked channels every linked fixture is placed.
    form->DevT1Click(0, 1);
    form->DevT1Click(2, 1);
    ASSERT_TRUE(MasterLinkActive);
    form->PlaceOnPage->trigger();
    form->MultiPlansSelectCell(15);
    EXPECT_EQ(Fixtures[0].planPage, 15);
    EXPECT_EQ(Fixtures[2].planPage, 15);
    EXPECT_EQ(Fixtures[1].planPage, 2);

    // Removing the last page moves its fixtures to page 0 and shows the new last page.
    form->RemovePlanPage->trigger();
    EXPECT_EQ(form->MultiPlans->rowCount(), 15);
    EXPECT_EQ(Fixtures[0].planPage, 0);
    EXPECT_EQ(Fixtures[2].planPage, 0);
    EXPECT_EQ(form->MultiPlans->currentRow(), 14);
    EXPECT_TRUE(Icon(0)->isHidden());

    // A page beyond the rows shows on page 0.
    Fixtures[1].planPage = 9;
    for (int i = 0; i < 13; ++i)
        form->RemovePlanPage->trigger();
    ASSERT_EQ(form->MultiPlans->rowCount(), 2);
    Fixtures[1].planPage = 9;
    form->MultiPlansSelectCell(0);
    EXPECT_FALSE(Icon(1)->isHidden());

    // Removing the only page turns the pages off and shows every icon.
    form->RemovePlanPage->trigger();
    form->RemovePlanPage->trigger();
    EXPECT_FALSE(form->MultiPagePlan->isChecked());
    EXPECT_TRUE(form->MultiPlans->isHidden());
    for (int f = 0; f < 3; ++f)
        EXPECT_FALSE(Icon(f)->isHidden()) << f;
}

TEST_F(StagePlanTest, RectanglesLinkOrMakeManualTheSelectedType)
{
    Patched({{"Spot", 0, "A", 40, 50}, {"Spot", 8, "B", 120, 50}, {"Par", 16, "C", 200, 50}, {"Spot", 24, "D", 300, 300}});
    form->Select(0);
    // Ctrl over A, B and C: the two Spots are linked, the Par is not; D lies outside.
    Rectangle(QPoint(250, 150), QPoint(10, 10), Qt::ControlModifier);
    EXPECT_EQ(States(0, 2), 8);
    EXPECT_EQ(States(1, 2), 8);
    EXPECT_EQ(States(2, 2), 0);
    EXPECT_EQ(States(3, 2), 0);
    EXPECT_EQ(form->PlanDragMode, 0);

    // Again: fixtures already linked are skipped (a second click would unlink them).
    Rectangle(QPoint(10, 10), QPoint(250, 150), Qt::ControlModifier);
    EXPECT_EQ(States(1, 2), 8);

    // Shift wins over Ctrl and makes manual; a fixture already manual is skipped.
    form->MasterOffClick();
    form->Select(0);
    form->DevT1Click(1, 2);
    ASSERT_EQ(States(1, 1), 8);
    Rectangle(QPoint(10, 10), QPoint(250, 150), Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(States(0, 1), 8);
    EXPECT_EQ(States(1, 1), 8);
    EXPECT_EQ(States(0, 2), 0);
    form->ManualOffClick();

    // With pages only the page shown counts, and only when the selection is on it.
    form->MultiPagePlan->trigger();
    form->AddPlanPage->trigger();
    Fixtures[1].planPage = 1;
    form->MultiPlansSelectCell(0);
    form->Select(0);
    Rectangle(QPoint(10, 10), QPoint(250, 150), Qt::ControlModifier);
    EXPECT_EQ(States(0, 2), 8);
    EXPECT_EQ(States(1, 2), 0);
    form->MasterOffClick();
    form->Select(0);
    form->MultiPlansSelectCell(1);
    Rectangle(QPoint(10, 10), QPoint(250, 150), Qt::ControlModifier);
    EXPECT_EQ(States(0, 2), 0);
    EXPECT_EQ(States(1, 2), 0);
}

TEST_F(StagePlanTest, ChangePlanImageTakesABitmapAtLevelZeroOnly)
{
    Patched({{"Spot", 0, "A", 40, 50}});
    QImage small(200, 100, QImage::Format_RGB32);
    small.fill(QColor(30, 60, 90));
    const std::string bmp = (root / "stage.bmp").string();
    ASSERT_TRUE(small.save(QString::fromStdString(bmp), "BMP"));
    const std::string kept = platform::ProgramFolder() + "PlanImg.bmp";

    // At level 1 no dialog is even asked.
    AccessLevel = 1;
    form->EditPlan1->trigger();
    EXPECT_EQ(ui->WallImage->size(), QSize(480, 500));
    EXPECT_TRUE(PlanPath.empty());
    EXPECT_EQ(BoxLog().find("Change Plan Image"), std::string::npos);
    AccessLevel = 0;

    // A file that is no picture changes nothing.
    std::ofstream(root / "junk.bmp") << "not a bitmap";
    platform::QueueAnswers({(root / "junk.bmp").string()});
    form->EditPlan1->trigger();
    EXPECT_EQ(ui->WallImage->size(), QSize(480, 500));

    platform::QueueAnswers({bmp});
    form->EditPlan1->trigger();
    EXPECT_EQ(ui->WallImage->size(), QSize(200, 100));
    EXPECT_EQ(form->PlanBitmap().size(), QSize(200, 100));
    EXPECT_EQ(PlanPath, bmp);
    QImage saved(QString::fromStdString(kept));
    EXPECT_EQ(saved.size(), QSize(200, 100));
    EXPECT_NE(BoxLog().find("Change Plan Image|(file dialog)|"), std::string::npos);

    // An icon outside the smaller picture is clamped on its next drag.
    DragIcon(0, 400, 400);
    EXPECT_EQ(Fixtures[0].planX, 168);
    EXPECT_EQ(Fixtures[0].planY, 58);
}

TEST_F(StagePlanTest, SavedShowKeepsPositionsTurnsPagesAndPicture)
{
    Patched({{"Spot", 0, "A", 40, 50}, {"Par", 8, "B", 200, 60}});
    DragIcon(0, 60, 40);   // to (100, 90)
    DoubleClick(1);
    DoubleClick(1);        // orientation 2
    form->MultiPagePlan->trigger();
    form->AddPlanPage->trigger();
    form->Select(1);
    form->PlaceOnPage->trigger();
    form->MultiPlansSelectCell(1);
    QImage picture(300, 200, QImage::Format_RGB32);
    picture.fill(QColor(60, 40, 20));
    const std::string bmp = (root / "stage.bmp").string();
    ASSERT_TRUE(picture.save(QString::fromStdString(bmp), "BMP"));
    platform::QueueAnswers({bmp});
    form->EditPlan1->trigger();

    const std::string show = (root / "plan.d1k").string();
    platform::QueueAnswers({show});
    ui->SaveShowAs->trigger();
    ASSERT_TRUE(platform::FileExists(show)) << BoxLog();

    // Moved away, a new show, then the saved one opened again.
    DragIcon(0, 100, 100);
    ASSERT_TRUE(form->LoadPlanBitmap((root / "bin" / "PlanImg.bmp").string()));
    QImage other(50, 50, QImage::Format_RGB32);
    other.fill(Qt::white);
    other.save(QString::fromStdString((root / "other.bmp").string()), "BMP");
    ASSERT_TRUE(form->LoadPlanBitmap((root / "other.bmp").string()));
    ShowModified = 0;
    ui->NewShow->trigger();
    EXPECT_FALSE(form->MultiPagePlan->isChecked());
    platform::QueueAnswers({show});
    ui->LoadShow->trigger();
    ASSERT_EQ(FixtureCount, 2);
    ASSERT_NE(Icon(0), nullptr);
    EXPECT_EQ(Icon(0)->pos(), QPoint(100, 90));
    EXPECT_EQ(Fixtures[1].iconOrientation, 2);
    EXPECT_EQ(Fixtures[1].planPage, 1);
    EXPECT_EQ(MarkerAt(1), QPoint(30, 31));
    // The highest page is 1: two pages, page A shown.
    EXPECT_TRUE(form->MultiPagePlan->isChecked());
    EXPECT_EQ(form->MultiPlans->rowCount(), 2);
    EXPECT_EQ(form->MultiPlans->currentRow(), 0);
    EXPECT_TRUE(Icon(1)->isHidden());
    // The picture came back through the show's plan path.
    EXPECT_EQ(PlanPath, bmp);
    EXPECT_EQ(form->PlanBitmap().size(), QSize(300, 200));
    EXPECT_EQ(ui->WallImage->size(), QSize(300, 200));
}

TEST_F(StagePlanTest, TwoPagePlanWithTurnedAndMirroredIconsLooksRight)
{
    Patched({{"Spot", 0, "Front left", 60, 80},
             {"Spot", 8, "Front right", 220, 80},
             {"Par", 16, "Back wash", 140, 220},
             {"Par", 24, "Page B", 100, 100}});
    DoubleClick(1);                       // turned a quarter clockwise
    for (int i = 0; i < 4; ++i)
        DoubleClick(2);                   // mirrored
    form->MultiPagePlan->trigger();
    form->AddPlanPage->trigger();
    form->Select(3);
    form->PlaceOnPage->trigger();
    form->MultiPlansSelectCell(1);
    form->MultiPlansSelectCell(0);
    form->Select(0);
    EXPECT_TRUE(Icon(3)->isHidden());
    EXPECT_EQ(MarkerAt(2), QPoint(30, 0));
    QTest::qWait(20);
    KeepShot(ui->Plan, "stage-plan");
    KeepShot(form, "main-window-plan");
}
