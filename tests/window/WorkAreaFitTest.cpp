// The work area of the main window as an operator meets it on a small screen, with a
// fixture of every sample profile patched: in each mode (transport at the top or at the
// bottom, the multi-sequence player docked) and on each page of the fixture area with
// each fixture selected, every group of the window lies inside it, no group stands
// empty while another cuts its content, the selected fixture's panel is whole or can be
// scrolled to, and the docked slots show their sequences' names. Run offscreen, and by
// scripts/xfit.sh under a real X server with a window manager, where the window's frame
// must also lie inside the screen.
#include "ui_MainForm.h"
#include "transport/ProgramWindowTest.h"
#include "common/RealDisplay.h"

#include "app/FixtureArea.h"
#include "app/PatchLoader.h"
#include "app/ShowModel.h"
#include "controls/Tracker.h"
#include "fixtures/PatchEditing.h"
#include "fixtures/TDSPform.h"
#include "fixtures/TDesign.h"
#include "fixtures/TDesignf.h"
#include "fixtures/TSetup.h"
#include "controls/PanTiltPad.h"
#include "editors/TPosMem.h"
#include "live/TPhisMast.h"
#include "live/TRecordF.h"
#include "platform/MsgBox.h"
#include "ui_PosMem.h"
#include "ui_RecordF.h"
#include "ui_Setup.h"

#include <QScrollArea>
#include <QAction>
#include <QPushButton>
#include <QLabel>
#include <QScreen>
#include <QListWidget>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QWindow>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// Under a real X server the window manager sizes and places the window; offscreen the
// test gives it the screen's size.
bool RealScreen()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

QRect RectIn(QWidget *w, QWidget *form)
{
    return QRect(w->mapTo(form, QPoint(0, 0)), w->size());
}

// The part of `w` that its ancestors up to `top` leave visible, in `top`'s coordinates.
QRect VisiblePart(QWidget *w, QWidget *top)
{
    QRect r = RectIn(w, top);
    for (QWidget *p = w->parentWidget(); p && p != top; p = p->parentWidget())
        r &= RectIn(p, top);
    return r;
}

std::string FrameText(const QWidget *w)
{
    const QRect r = w->frameGeometry();
    std::ostringstream out;
    out << "frame " << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
    return out.str();
}

class WorkAreaFitTest : public ProgramWindowTest {
protected:
    // One fixture of every sample profile, patched and built as the patch window does.
    void PatchSamples()
    {
        const fs::path devices = root / "bin" / "Devices";
        fs::create_directories(devices);
        const fs::path samples = fs::path(std::getenv("BRTV_SOURCE_DIR")) / "fixtures" / "Devices";
        for (const char *name : {"Dimmer.dsp", "MovingHead.dsp", "RGBColour.dsp"})
            fs::copy_file(samples / name, devices / name, fs::copy_options::overwrite_existing);
        LoadDeviceProfiles();
        ASSERT_EQ(DeviceTypeCount, 3);
        for (int t = 0; t < DeviceTypeCount; ++t)
            ASSERT_GE(patch::AddFixture(t, patch::FirstFit(DeviceTypes[std::size_t(t)].channelCount)), 0);
        BuildFixturePanels();
        form->SelectFirstFixture();
    }

    void Show(const QSize &size)
    {
        if (!form->isVisible()) {
            form->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
        }
        if (!RealScreen())
            form->resize(size);
        Settle();
    }

    // The deferred fitting arrives over a few turns; under a real X server the window
    // manager then places and frames each window in its own time, longer on a busy
    // machine: the checks wait for it, with a bound.
    static void Settle()
    {
        for (int i = 0; i < 10; ++i) {
            QApplication::processEvents();
            if (RealScreen())
                QTest::qWait(50);
        }
        std::string late;
        EXPECT_TRUE(realdisplay::WaitPlaced(10000, &late)) << late;
    }

    // The groups of the window an operator sees side by side.
    std::vector<QWidget *> Groups() const
    {
        std::vector<QWidget *> out{ui->TransportControl, ui->Panel2, ui->SliderPanel, ui->MasterPanel,
                                   ui->SceneGroupBox};
        if (QWidget *slotPanel = form->findChild<QWidget *>(QStringLiteral("MSPanel")))
            out.push_back(slotPanel);
        return out;
    }

    static bool Empty(QWidget *group)
    {
        for (QWidget *c : group->findChildren<QWidget *>())
            if (!c->isWindow() && c->isVisible() && !c->size().isEmpty())
                return false;
        return true;
    }

    // What `group` cannot show of its content, in words; empty when it shows it all.
    std::string Clipped(QWidget *group) const
    {
        std::ostringstream out;
        // Content wider than its scroll area (the Monitor grid, the tracks, the plan).
        // The Monitor grid's 64 rows scroll by design: only widths count.
        for (auto *area : group->findChildren<QScrollArea *>())
            if (area->isVisible())
                if (QWidget *content = area->widget();
                    content && content->isVisible() && content->width() > area->viewport()->width())
                    out << area->objectName().toStdString() << " shows " << area->viewport()->width() << " of "
                        << content->width() << " px; ";
        // Controls cut by the group's edge (the transport bar, the scene group).
        if (group == ui->TransportControl || group == ui->SceneGroupBox) {
            for (QWidget *c : group->findChildren<QWidget *>())
                if (c->isVisible() && !c->isWindow() && !RectIn(group, form).contains(RectIn(c, form)))
                    out << c->objectName().toStdString() << " cut; ";
        }
        // The selected fixture's panel.
        if (group == ui->MasterPanel)
            if (const QWidget *panel = ShownPanel(); panel && VisiblePart(const_cast<QWidget *>(panel), form) != RectIn(const_cast<QWidget *>(panel), form))
                out << "fixture panel " << panel->width() << "x" << panel->height() << " cut; ";
        // Slot names shorter than eight characters of their sequence's name.
        if (group->objectName() == QLatin1String("MSPanel"))
            for (QLabel *name : group->findChildren<QLabel *>())
                if (name->objectName().startsWith(QLatin1String("SName")) && name->isVisible() &&
                    name->fontMetrics().horizontalAdvance(name->text().left(8)) > name->contentsRect().width())
                    out << name->objectName().toStdString() << " shows less than 8 characters; ";
        return out.str();
    }

    QWidget *ShownPanel() const
    {
        if (!FixtureIndexValid(SelectedFixture))
            return nullptr;
        TDesign *d = Fixtures[std::size_t(SelectedFixture)].panel;
        return d && d->MainPanel && d->MainPanel->isVisible() ? d->MainPanel.data() : nullptr;
    }

    static bool ScrollBarShown(QWidget *group)
    {
        for (QScrollBar *bar : group->findChildren<QScrollBar *>())
            if (bar->isVisible() && bar->maximum() > bar->minimum())
                return true;
        return false;
    }

    // The checks of one view of the window.
    void CheckView(const std::string &view)
    {
        SCOPED_TRACE(view);
        const QRect inside = form->rect();
        if (RealScreen()) {
            const QRect area = form->screen()->availableGeometry();
            EXPECT_TRUE(area.contains(form->frameGeometry())) << FrameText(form);
        }
        std::vector<std::string> empty, clipped;
        for (QWidget *g : Groups()) {
            if (!g->isVisible())
                continue;
            const std::string name = g->objectName().toStdString();
            EXPECT_TRUE(inside.contains(RectIn(g, form))) << name << " leaves the window";
            if (Empty(g))
                empty.push_back(name);
            if (const std::string cut = Clipped(g); !cut.empty())
                clipped.push_back(name + ": " + cut);
        }
        if (!empty.empty())
            for (const std::string &c : clipped)
                ADD_FAILURE() << empty.front() << " stays empty while " << c;
        // On a screen about 1024 wide the Monitor page shows its sixteen columns.
        if (FixtureAreaPage == 0 && form->width() >= 1000) {
            auto *monitor = form->findChild<QScrollArea *>(QStringLiteral("MonitorScroll"));
            ASSERT_NE(monitor, nullptr);
            EXPECT_LE(monitor->widget()->width(), monitor->viewport()->width()) << "Monitor columns cut";
        }
        for (QWidget *g : Groups())
            if (g->objectName() == QLatin1String("MSPanel"))
                EXPECT_EQ(Clipped(g), "") << "the docked slots";
        // The selected panel is whole in its area or a scroll bar reaches the rest; on a
        // screen about 1024 wide the sample panels show whole in their column.
        if (QWidget *panel = ShownPanel()) {
            EXPECT_TRUE(VisiblePart(panel, form) == RectIn(panel, form) || ScrollBarShown(ui->MasterPanel))
                << "panel " << panel->width() << "x" << panel->height() << " in " << ui->MasterPanel->width();
            if (form->width() >= 1000) {
                EXPECT_EQ(VisiblePart(panel, form), RectIn(panel, form))
                    << "panel " << panel->width() << "x" << panel->height() << " in a column of "
                    << ui->MasterPanel->width() << "x" << ui->MasterPanel->height();
            }
        }
        // The Sliders page shows every channel's track or as many as fill its width.
        if (FixtureAreaPage == 1 && FixtureIndexValid(SelectedFixture)) {
            const int channels = Fixtures[std::size_t(SelectedFixture)].channelCount;
            int whole = 0;
            for (int j = 0; j < channels; ++j) {
                QWidget *t = form->Tracks[std::size_t(j)];
                whole += t->isVisible() && VisiblePart(t, form) == RectIn(t, form);
            }
            const int wanted = std::min(channels, form->width() >= 1000 ? 12 : 6);
            EXPECT_GE(whole, wanted) << "whole tracks of " << channels;
        }
    }

    // "Physical Master and Dimmer" opened from the menu, placed low on the screen as a
    // window the operator moved there, then "View Table >>": its frame stays inside `area`
    // with a margin to the edges; rows the screen has no room for scroll.
    void CheckMastersTable(const QRect &area)
    {
        QAction *masters = form->findChild<QAction *>(QStringLiteral("PhisicalMaster"));
        ASSERT_NE(masters, nullptr);
        masters->trigger();
        ASSERT_TRUE(PhisMast && PhisMast->isVisible());
        PhisMast->move(area.left() + 40, area.top() + 96);
        PhisMast->findChild<QPushButton *>(QStringLiteral("ViewTable"))->click();
        Settle();
        EXPECT_TRUE(PhisMast->TableShown());
        // The window manager frames the window a little later; the window fits itself then.
        const QRect room = area.adjusted(4, 4, -4, -4);
        if (RealScreen())
            QTest::qWaitFor([&] { return room.contains(PhisMast->frameGeometry()); }, 4000);
        EXPECT_TRUE(room.contains(PhisMast->frameGeometry())) << FrameText(PhisMast);
        QWidget *grid = PhisMast->findChild<QWidget *>(QStringLiteral("Grid"));
        ASSERT_NE(grid, nullptr);
        EXPECT_TRUE(VisiblePart(grid, PhisMast) == RectIn(grid, PhisMast) || ScrollBarShown(PhisMast));
        Grab(area.height() < 700 ? "masters-table-800.png" : "masters-table.png", PhisMast);
        PhisMast->findChild<QPushButton *>(QStringLiteral("ViewTable"))->click();
        masters->trigger();
    }

    // The patch window as the work area's "DMX" button opens it: its frame inside `area`
    // (the controls scroll where the screen has no room) and "Close" reachable.
    void CheckPatchWindow(const QRect &area, const std::string &grab)
    {
        bool shown = false;
        platform::ActOnNextDialog("Setup", [&](QDialog &d) {
            shown = true;
            Settle();
            // The window fits itself once the window manager's frame is known, which under
            // load can come after the frame has held still.
            if (RealScreen())
                QTest::qWaitFor([&] { return area.contains(d.frameGeometry()); }, 4000);
            EXPECT_TRUE(area.contains(d.frameGeometry())) << FrameText(&d);
            auto *scroll = d.findChild<QScrollArea *>(QStringLiteral("SetupScroll"));
            auto *close = d.findChild<QPushButton *>(QStringLiteral("Exit"));
            if (scroll && close) {
                scroll->ensureWidgetVisible(close);
                QApplication::processEvents();
                EXPECT_EQ(VisiblePart(close, &d), RectIn(close, &d)) << "Close cut";
            } else {
                ADD_FAILURE() << "no scroll area or no Close";
            }
            Grab(grab, &d);
            static_cast<TSetup &>(d).ExitClick();
        });
        ui->DMXChannels->trigger();
        EXPECT_TRUE(shown);
        EXPECT_EQ(FixtureCount, 3);
    }

    // The profile editor and its design surface on this screen: both frames inside `area`,
    // side by side, the channel table's headings whole, the loaded panel whole on the
    // surface and the properties of the pan/tilt pad (the most fields) inside their box;
    // the same in TEST mode, whose monitor shows in the properties' place.
    void CheckProfileEditor(TDSPform &editor, const QRect &area, const std::string &grab)
    {
        // The frames as the window system reports them, before anything here moves or
        // nudges the windows: both title bars on the screen.
        if (RealScreen()) {
            std::string frames;
            const auto inside = [&] {
                frames.clear();
                bool all = true;
                for (QWidget *w : {static_cast<QWidget *>(&editor), static_cast<QWidget *>(editor.Designf)}) {
                    QWindow *window = w->windowHandle();
                    const QRect r = window ? window->frameGeometry() : QRect();
                    frames += std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) +
                              "x" + std::to_string(r.height()) + "; ";
                    all = all && window && !window->frameMargins().isNull() && area.contains(r);
                }
                return all;
            };
            EXPECT_TRUE(QTest::qWaitFor(inside, 5000)) << frames;
        }
        Settle();
        // The channel table's headings read whole: each word within its column.
        auto *channels = editor.findChild<QTableWidget *>(QStringLiteral("GridChan"));
        ASSERT_NE(channels, nullptr);
        const QFontMetrics metrics(channels->font());
        int columns = 0;
        for (int c = 0; c < channels->columnCount(); ++c) {
            columns += channels->columnWidth(c);
            for (const QString &word : channels->item(0, c)->text().split(QLatin1Char(' ')))
                EXPECT_LE(metrics.horizontalAdvance(word) + 6, channels->columnWidth(c)) << word.toStdString();
        }
        EXPECT_LE(columns, channels->viewport()->width());
        ASSERT_NE(editor.Designf, nullptr);
        TDesignf &surface = *editor.Designf;
        const auto sideBySide = [&](const char *mode) {
            SCOPED_TRACE(mode);
            EXPECT_TRUE(surface.isVisible());
            if (RealScreen())
                (void)QTest::qWaitFor([&] { return area.contains(editor.frameGeometry()) &&
                                             area.contains(surface.frameGeometry()) &&
                                             !editor.frameGeometry().intersects(surface.frameGeometry()); },
                                4000);
            EXPECT_TRUE(area.contains(editor.frameGeometry())) << FrameText(&editor);
            EXPECT_TRUE(area.contains(surface.frameGeometry())) << FrameText(&surface);
            EXPECT_FALSE(editor.frameGeometry().intersects(surface.frameGeometry()))
                << FrameText(&editor) << " / " << FrameText(&surface);
            // Every element of the panel lies on the surface's visible part.
            for (const PanelElement &e : surface.Elements) {
                EXPECT_TRUE(surface.rect().contains(RectIn(e.control, &surface)))
                    << e.control->metaObject()->className() << " at " << RectIn(e.control, &surface).x() << ","
                    << RectIn(e.control, &surface).y() << " on a surface of " << surface.width() << "x"
                    << surface.height();
            }
            // What the properties' fields and the TEST monitor show lies inside their box
            // (the monitor's columns scroll).
            QWidget *box = editor.PropertiesBox;
            for (QWidget *c : box->findChildren<QWidget *>()) {
                if (c->isVisible())
                    EXPECT_TRUE(box->rect().contains(VisiblePart(c, box))) << c->objectName().toStdString();
            }
        };
        // The properties of the element with the most fields (the pan/tilt pad) fit their
        // narrower column.
        if (!surface.Elements.empty())
            surface.Select(0);
        QApplication::processEvents();
        sideBySide("design");
        Grab(grab, &editor);
        if (!RealScreen())
            Grab("surface-" + grab, &surface);
        editor.SpeedButton11->click();
        Settle();
        sideBySide("test");
        Grab("test-" + grab, &editor);
        editor.SpeedButton11->click();
    }

    // The profile editor as the patch window's "Call FTE" opens it on the sample "Moving
    // Head": the list, the main window and the patch window go while it runs and come back
    // after it.
    void CheckProfileEditorFromPatchWindow(const QRect &area, const std::string &grab)
    {
        ASSERT_TRUE(static_cast<bool>(WindowSeams().runProfileEditor));
        bool shown = false;
        bool patchShown = false;
        platform::ActOnNextDialog("Setup", [&](QDialog &d) {
            auto &setup = static_cast<TSetup &>(d);
            Settle();
            patchShown = setup.isVisible();
            const auto found = setup.ui->ListView->findItems(QStringLiteral("Moving Head"), Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1);
            setup.ListViewClick(found.front());
            TDSPform::ActOnNextShow([&](TDSPform &editor) {
                shown = true;
                Settle();
                EXPECT_FALSE(setup.isVisible());
                EXPECT_FALSE(setup.ui->ListView->isVisible());
                EXPECT_FALSE(form->isVisible());
                EXPECT_EQ(editor.Designf->Elements.size(), 14u);
                CheckProfileEditor(editor, area, grab);
                editor.close();
            });
            setup.CallFTEClick();
            Settle();
            EXPECT_TRUE(setup.isVisible());
            EXPECT_TRUE(setup.ui->ListView->isVisible());
            EXPECT_TRUE(form->isVisible());
            setup.ExitClick();
        });
        ui->DMXChannels->trigger();
        EXPECT_TRUE(shown);
        EXPECT_TRUE(patchShown);
    }

    // Every page with every fixture selected.
    void CheckPages(const std::string &mode, const QSize &size)
    {
        const char *pages[] = {"monitor", "sliders", "plan"};
        for (int page = 0; page < 3; ++page) {
            for (int f = 0; f < FixtureCount; ++f) {
                form->DevT1Click(f, 0);
                form->LeftPageControlChange(page);
                Show(size);
                CheckView(mode + " " + pages[page] + " fixture " + std::to_string(f + 1));
                if (page == 0)
                    Grab(mode + "-panel-" + std::to_string(f + 1) + ".png");
            }
            Grab(mode + "-" + pages[page] + ".png");
        }
    }

    void Grab(const std::string &name, QWidget *window = nullptr)
    {
        if (!window)
            window = form;
        const char *bin = std::getenv("BRTV_BIN_DIR");
        const fs::path dir = fs::path(bin ? bin : ".") / "grabs";
        fs::create_directories(dir);
        const std::string file = (RealScreen() ? "x11-" : "") + name;
        // Under X the screen with the window manager's frame, offscreen the window itself.
        const QPixmap shot = RealScreen() ? window->screen()->grabWindow(0) : window->grab();
        EXPECT_TRUE(shot.save(QString::fromStdString((dir / file).string()), "PNG"));
    }
};

TEST_F(WorkAreaFitTest, EveryModeAndPageFitsWithEachSampleFixtureSelected)
{
    PatchSamples();
    transport_test::AddSequence(2);
    form->FillSequenceBox();
    const QSize size(1024, 768);
    Show(size);
    CheckPages("1024-top", size);

    ui->OnBottom->trigger();
    Show(size);
    CheckPages("1024-bottom", size);
    ui->OnTop->trigger();

    // F8 docks the player; its slots take the longest names the sequences have.
    QAction *player = form->findChild<QAction *>(QStringLiteral("MultiSeqPlayer"));
    ASSERT_NE(player, nullptr);
    player->trigger();
    QWidget *slotPanel = form->findChild<QWidget *>(QStringLiteral("MSPanel"));
    ASSERT_TRUE(slotPanel && slotPanel->isVisibleTo(form));
    Show(size);
    CheckPages("1024-docked", size);
}

TEST_F(WorkAreaFitTest, NormalModeFits800x600)
{
    PatchSamples();
    const QSize size(800, 600);
    Show(size);
    CheckPages("800", size);
    // Offscreen the screen stays 1024x768: the masters' table is checked on a real one.
    if (RealScreen()) {
        CheckMastersTable(form->screen()->availableGeometry());
        const QRect area = form->screen()->availableGeometry();
        CheckPatchWindow(area, "patch-800.png");
        CheckProfileEditorFromPatchWindow(area, "profile-editor-800.png");
        // The editor as the start dialog's "Fixture Editor" opens it at a first start,
        // before the main window is shown.
        bool shown = false;
        TDSPform::ActOnNextShow([&](TDSPform &editor) {
            shown = true;
            EXPECT_FALSE(MainForm && MainForm->isVisible());
            CheckProfileEditor(editor, area, "profile-editor-start-800.png");
            editor.close();
        });
        platform::QueueAnswers({"Yes", "5", "1"});
        ASSERT_TRUE(Restart({}));
        EXPECT_TRUE(shown);
    }
}

// "Physical Master and Dimmer" with its table, and the profile editor with its design
// surface, as the operator opens them from the main window on this screen.
TEST_F(WorkAreaFitTest, MastersTableAndProfileEditorFitTheScreen)
{
    Show({1024, 768});
    const QRect area = form->screen()->availableGeometry();

    CheckMastersTable(area);
    PatchSamples();
    CheckPatchWindow(area, "patch.png");

    CheckProfileEditorFromPatchWindow(area, "profile-editor.png");

    // After Stop the transport bar keeps nothing of the run: no clock, no tick figure.
    transport_test::AddSequence(2);
    form->FillSequenceBox();
    form->PlayClick();
    form->TimerFonPlayTimer();
    EXPECT_FALSE(ui->Label1->text().isEmpty());
    form->StopClick();
    Settle();
    EXPECT_TRUE(ui->Time->text().isEmpty());
    EXPECT_TRUE(ui->Label1->text().isEmpty());
    Grab("transport-after-stop.png");

    // "DMX Record" with "Show>> DMX IN": the level table takes the height of its panel,
    // the scroll bar stepping by the rows shown.
    bool recorder = false;
    platform::ActOnNextDialog("RecordF", [&](QDialog &d) {
        auto &r = static_cast<TRecordF &>(d);
        recorder = true;
        r.ui->LabelButton1->click();
        Settle();
        EXPECT_TRUE(area.contains(r.frameGeometry())) << FrameText(&r);
        const QRect table = RectIn(r.ui->PaintBox1, &r);
        const int rowHeight = 23 * r.logicalDpiX() / 96;
        EXPECT_LT(RectIn(r.ui->ViewPanel, &r).bottom() - table.bottom(), rowHeight);
        const int rows = table.height() / rowHeight;
        EXPECT_GT(rows, 6);
        EXPECT_EQ(r.ui->ScrollBar1->pageStep(), rows);
        EXPECT_EQ(r.ui->ScrollBar1->maximum(), 64 - rows);
        Grab("recorder-view.png", &r);
        r.ui->LabelButton1->click();
        d.accept();
    });
    form->findChild<QAction *>(QStringLiteral("Record1"))->trigger();
    EXPECT_TRUE(recorder);

    // A position just added shows its own values beside the pad, not the pointer's last
    // place over the previous one.
    ASSERT_TRUE(ui->CreatePosMem->isEnabled());
    bool positions = false;
    platform::ActOnNextDialog("PosMem", [&](QDialog &d) {
        auto &p = static_cast<TPosMem &>(d);
        positions = true;
        Settle();
        TFieldXY *pad = p.ui->FieldXY;
        ASSERT_TRUE(pad->isVisible());
        QMouseEvent hover(QEvent::MouseMove, QPointF(188, 72), pad->mapToGlobal(QPointF(188, 72)), Qt::NoButton,
                          Qt::NoButton, {});
        QApplication::sendEvent(pad, &hover);
        EXPECT_EQ(pad->readoutX(), QStringLiteral("178,000 "));
        QTest::mouseClick(p.ui->AddPosition, Qt::LeftButton);
        ASSERT_EQ(p.Current(), 2);
        EXPECT_EQ(pad->readoutX(), QString::asprintf("%03d,%03d  ", pad->GetX(), pad->GetFineX()));
        EXPECT_EQ(pad->readoutY(), QString::asprintf("%03d,%03d  ", pad->GetY(), pad->GetFineY()));
        Settle();
        Grab("position-memory-added.png", &p);
        QTest::mouseClick(p.ui->Close, Qt::LeftButton);
    });
    ui->CreatePosMem->trigger();
    EXPECT_TRUE(positions);
}

} // namespace
