// The groups window through the real main window: linking in the fixture area, adding,
// recalling onto the output, renaming, the access gate, removing with and without the
// question, the show file, closing and its place on screen.
#include "ui_MainForm.h"
#include "ui_MasterGroups.h"
#include "transport/ProgramWindowTest.h"
#include "profiles/ProfileBuilder.h"
#include "fixtures/ShowFileTestSupport.h"

#include "app/FixtureArea.h"
#include "app/OutputEngine.h"
#include "app/PatchLoader.h"
#include "app/SequenceEditing.h"
#include "app/StartupState.h"
#include "live/FixtureGroups.h"
#include "live/TMasterGroups.h"

#include "controls/PanTiltPad.h"
#include "controls/SpeedButton.h"
#include "platform/Settings.h"

#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <cstdlib>

namespace {

class GroupsWindowTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        AccessLevel = 0;
        ConfirmOptions = 0x1F;
        ProfileBuilder spot;
        spot.header.count = 5;
        spot.header.name = "Spot";
        spot.Channel(0, FnPan);
        spot.Channel(1, FnTilt);
        spot.Channel(2, FnDimmer);
        spot.Channel(3, FnPanFine);
        spot.Channel(4, FnTiltFine);
        spot.Add<TFieldXY>(ElFieldXY, 4, 4, MakeTag(0, 1));
        std::filesystem::create_directories(root / "bin" / "Devices");
        std::filesystem::copy_file(spot.Save("spot.dsp"), root / "bin" / "Devices" / "spot.dsp",
                                   std::filesystem::copy_options::overwrite_existing);
        LoadDeviceProfiles();
        ASSERT_EQ(DeviceTypeCount, 1);
        PatchFixture(0, 0, "A");
        PatchFixture(0, 10, "B");
        PatchFixture(0, 20, "C");
        BuildChannelMaps();
        BuildFixturePanels();
    }
    void TearDown() override
    {
        AccessLevel = 0;
        ProgramWindowTest::TearDown();
    }
    QAction *Action(const char *name) const { return form->findChild<QAction *>(QString::fromLatin1(name)); }
    TSpeedButton *Button(const char *name) const
    {
        return form->findChild<TSpeedButton *>(QString::fromLatin1(name));
    }
    QTreeWidget *Tree() const { return MasterGroups->ui->TreeView1; }
    void ClickNode(QTreeWidgetItem *item)
    {
        ASSERT_NE(item, nullptr);
        QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, Tree()->visualItemRect(item).center());
    }
    QStringList Children(int g) const
    {
        QStringList names;
        QTreeWidgetItem *node = Tree()->topLevelItem(g);
        for (int i = 0; node && i < node->childCount(); ++i)
            names << node->child(i)->text(0);
        return names;
    }
    // B and C linked in "Pan/Tilt Only" and added as a group.
    void LinkAndAdd()
    {
        form->Select(0);
        form->PanTiltOnly1Click();
        form->DevT1Click(1, 1);
        form->DevT1Click(2, 1);
        QTest::mouseClick(MasterGroups->ui->PlusGroup, Qt::LeftButton);
    }
    int Count(const std::string &text) const
    {
        const std::string l = BoxLog();
        int n = 0;
        for (std::size_t at = l.find(text); at != std::string::npos; at = l.find(text, at + 1))
            ++n;
        return n;
    }
};

TEST_F(GroupsWindowTest, GroupsAreMadeRecalledRenamedGatedAndRemoved)
{
    Action("Groups")->trigger();
    ASSERT_TRUE(MasterGroups->isVisible());
    EXPECT_EQ(MasterGroups->windowTitle(), QStringLiteral("Groups"));
    EXPECT_TRUE(MasterGroups->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(Button("GroupsButton")->Down());

    Fixtures[1].values[0] = 60;
    Fixtures[2].values[0] = 200;
    LinkAndAdd();
    ASSERT_EQ(Tree()->topLevelItemCount(), 1);
    EXPECT_EQ(Tree()->topLevelItem(0)->text(0), QStringLiteral("Group 1"));
    EXPECT_EQ(Children(0), (QStringList{QStringLiteral("B"), QStringLiteral("C")}));
    EXPECT_EQ(ShowModified, 1);

    // Recall after "Master Off": the pan/tilt channels link again and drive together.
    form->MasterOffClick();
    EXPECT_FALSE(AnyChannelInState(2));
    ClickNode(Tree()->topLevelItem(0));
    for (int f : {1, 2})
        for (int j : {0, 1, 3, 4})
            EXPECT_EQ(Fixtures[static_cast<std::size_t>(f)].states[j], 2) << f << " " << j;
    EXPECT_EQ(Fixtures[1].states[2], 0);
    EXPECT_EQ(Fixtures[0].states[0], 0);
    EXPECT_TRUE(ui->MasterOff->isVisible());
    EXPECT_EQ(SelectedFixture, 1);
    const int refB = Groups[0].layers[1][10], refC = Groups[0].layers[1][20];
    SetFixtureChannel(0, 100);
    Tick();
    EXPECT_EQ(DmxOutFrame[20], std::clamp(100 + refC - refB, 0, 255));

    // Rename through the name dialog; a cancelled dialog changes nothing.
    auto dialog = WindowSeams().seqNameDialog;
    std::string asked;
    bool firstScene = true;
    WindowSeams().seqNameDialog = [&](const std::string &label, std::string &text, bool choice, int &) {
        asked = label + "|" + text;
        firstScene = choice;
        text = "Front";
        return true;
    };
    MasterGroups->Rename1->trigger();
    EXPECT_EQ(asked, "Group Name|Group 1");
    EXPECT_FALSE(firstScene);
    EXPECT_EQ(Groups[0].name, "Front");
    EXPECT_EQ(Tree()->topLevelItem(0)->text(0), QStringLiteral("Front"));
    WindowSeams().seqNameDialog = [](const std::string &, std::string &text, bool, int &) {
        text = "Ignored";
        return false;
    };
    MasterGroups->Rename1->trigger();
    EXPECT_EQ(Groups[0].name, "Front");

    // In place: a click on the group node makes it editable.
    ClickNode(Tree()->topLevelItem(0));
    Tree()->editItem(Tree()->topLevelItem(0));
    auto *edit = Tree()->viewport()->findChild<QLineEdit *>();
    ASSERT_NE(edit, nullptr);

    edit->setText(QStringLiteral("Back"));
    QTest::keyClick(edit, Qt::Key_Return);
    QApplication::processEvents();   // the view commits the editor from its queue
    EXPECT_EQ(Groups[0].name, "Back");

    // Level 2: nothing changes the groups and nothing is asked; a click still links.
    AccessLevel = 2;
    bool called = false;
    WindowSeams().seqNameDialog = [&called](const std::string &, std::string &, bool, int &) {
        called = true;
        return true;
    };
    const std::string logBefore = BoxLog();
    QTest::mouseClick(MasterGroups->ui->PlusGroup, Qt::LeftButton);
    Tree()->setCurrentItem(Tree()->topLevelItem(0));
    QTest::mouseClick(MasterGroups->ui->MinusGroup, Qt::LeftButton);
    MasterGroups->Rename1->trigger();
    Tree()->topLevelItem(0)->setText(0, QStringLiteral("Locked"));
    EXPECT_FALSE(called);
    EXPECT_EQ(GroupCount, 1);
    EXPECT_EQ(Groups[0].name, "Back");
    EXPECT_EQ(Tree()->topLevelItem(0)->text(0), QStringLiteral("Back"));
    EXPECT_EQ(BoxLog(), logBefore);
    form->MasterOffClick();
    ClickNode(Tree()->topLevelItem(0));
    EXPECT_EQ(Fixtures[2].states[0], 2);
    AccessLevel = 0;
    WindowSeams().seqNameDialog = dialog;

    // A fixture node goes alone; the last one takes its group without a question.
    ClickNode(Tree()->topLevelItem(0)->child(1));
    QTest::mouseClick(MasterGroups->ui->MinusGroup, Qt::LeftButton);
    EXPECT_EQ(Children(0), QStringList{QStringLiteral("B")});
    EXPECT_EQ(GroupMembers(0), std::vector<int>{1});
    ClickNode(Tree()->topLevelItem(0)->child(0));
    QTest::mouseClick(MasterGroups->ui->MinusGroup, Qt::LeftButton);
    EXPECT_EQ(GroupCount, 0);
    EXPECT_EQ(Tree()->topLevelItemCount(), 0);
    EXPECT_EQ(Count("Delete GROUP"), 0);

    // A group node asks while the confirmation bit is set: No keeps it, Yes removes it.
    ConfirmOptions |= ConfirmGroupDelete;
    LinkAndAdd();
    ASSERT_EQ(GroupCount, 1);
    Tree()->setCurrentItem(Tree()->topLevelItem(0));
    platform::QueueAnswers({"No"});
    QTest::mouseClick(MasterGroups->ui->MinusGroup, Qt::LeftButton);
    EXPECT_EQ(GroupCount, 1);
    EXPECT_NE(BoxLog().find("Brantoval-1024|Delete GROUP, are you sure?|No"), std::string::npos);
    platform::QueueAnswers({"Yes"});
    QTest::mouseClick(MasterGroups->ui->MinusGroup, Qt::LeftButton);
    EXPECT_EQ(GroupCount, 0);
    EXPECT_FALSE(AnyChannelInState(2));
    // Without the bit nothing is asked.
    ConfirmOptions &= static_cast<std::uint8_t>(~ConfirmGroupDelete);
    LinkAndAdd();
    Tree()->setCurrentItem(Tree()->topLevelItem(0));
    QTest::mouseClick(MasterGroups->ui->MinusGroup, Qt::LeftButton);
    EXPECT_EQ(GroupCount, 0);
    EXPECT_EQ(Count("Delete GROUP"), 2);
}

TEST_F(GroupsWindowTest, GroupsTravelWithTheShowAndTheWindowKeepsItsPlace)
{
    Action("Groups")->trigger();
    LinkAndAdd();
    form->MasterOffClick();
    form->DevT1Click(0, 1);
    QTest::mouseClick(MasterGroups->ui->PlusGroup, Qt::LeftButton);
    ASSERT_EQ(GroupCount, 2);
    if (const char *dir = std::getenv("BRTV_GRAB_DIR"))
        MasterGroups->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/groups.png"));
    ClickNode(Tree()->topLevelItem(1));
    Tree()->setCurrentItem(Tree()->topLevelItem(1));
    platform::QueueAnswers({"Yes"});
    QTest::mouseClick(MasterGroups->ui->MinusGroup, Qt::LeftButton);
    ASSERT_EQ(GroupCount, 1) << BoxLog();

    // Fit: the default frame on a 1024x768 screen, the controls inside and apart.
    EXPECT_LE(MasterGroups->frameGeometry().width(), 1024);
    EXPECT_LE(MasterGroups->frameGeometry().height(), 768);
    const QRect inside = MasterGroups->rect();
    const QRect tree = Tree()->geometry(), plus = MasterGroups->ui->PlusGroup->geometry(),
                minus = MasterGroups->ui->MinusGroup->geometry();
    for (const QRect &r : {tree, plus, minus})
        EXPECT_TRUE(inside.contains(r));
    EXPECT_FALSE(tree.intersects(plus));
    EXPECT_FALSE(tree.intersects(minus));
    EXPECT_FALSE(plus.intersects(minus));

    // "GRP2": count 1, the name, five layers.
    const std::string show = (root / "groups.d1k").string();
    platform::QueueAnswers({show});
    ui->SaveShowAs->trigger();
    const Bytes b = ReadFileBytes(show);
    const char tag[] = "GRP2";
    const auto found = std::search(b.begin(), b.end(), tag, tag + 4);
    ASSERT_NE(found, b.end());
    const std::size_t at = static_cast<std::size_t>(found - b.begin());
    EXPECT_EQ(U32At(b, at + 8), 1u);
    EXPECT_EQ(b[at + 12], 7);
    EXPECT_EQ(std::string(b.begin() + static_cast<long>(at) + 13, b.begin() + static_cast<long>(at) + 20), "Group 1");
    EXPECT_EQ(U32At(b, at + 4), at + 20 + 5 * 1024);
    EXPECT_EQ(b[at + 20 + 10], 1);   // B's pan in layer 0
    EXPECT_EQ(b[at + 20 + 2], 0);    // A is no member

    // A new show closes the window and frees the groups; loading brings them back.
    ShowModified = 0;
    ui->NewShow->trigger();
    EXPECT_FALSE(MasterGroups->isVisible());
    EXPECT_FALSE(Action("Groups")->isChecked());
    EXPECT_TRUE(Groups.empty());
    platform::QueueAnswers({show});
    ui->LoadShow->trigger();
    Action("Groups")->trigger();
    ASSERT_EQ(Tree()->topLevelItemCount(), 1);
    EXPECT_EQ(Children(0), (QStringList{QStringLiteral("B"), QStringLiteral("C")}));

    // Its own close unchecks the item, raises the button, empties the tree; shown again
    // it is rebuilt; its place is kept.
    MasterGroups->move(40, 50);
    MasterGroups->close();
    EXPECT_FALSE(Action("Groups")->isChecked());
    EXPECT_FALSE(Button("GroupsButton")->Down());
    EXPECT_EQ(Tree()->topLevelItemCount(), 0);
    Action("Groups")->trigger();
    EXPECT_EQ(Children(0).size(), 2);
    platform::Settings store;
    EXPECT_TRUE(store.ReadIntegerValue("Software/Brantoval/Positions/MasterGroups", "Left").has_value());
}

} // namespace
