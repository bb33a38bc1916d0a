#include "TMasterGroups.h"
#include "ui_MasterGroups.h"

#include "FixtureArea.h"
#include "FixtureGroups.h"
#include "MainForm.h"
#include "SequenceEditing.h"
#include "StartupState.h"
#include "WindowSeams.h"

#include "controls/RegForm.h"
#include "controls/SpeedButton.h"
#include "platform/MsgBox.h"

#include <QCloseEvent>
#include <QMenu>
#include <QPainter>
#include <QSignalBlocker>
#include <QTreeWidget>

TMasterGroups *MasterGroups = nullptr;

namespace {

const char *const AppCaption = "Brantoval-1024";

bool GroupsLocked()
{
    return AccessLevel >= 2;
}

// The buttons' pictures: a plus and a minus.
QImage Sign(bool plus)
{
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.fillRect(QRect(2, 7, 12, 3), plus ? QColor(0, 128, 0) : QColor(128, 0, 0));
    if (plus)
        p.fillRect(QRect(7, 2, 3, 12), QColor(0, 128, 0));
    return img;
}

int GroupIndexOf(const QTreeWidgetItem *node)
{
    if (!node)
        return -1;
    const QTreeWidgetItem *top = node->parent() ? node->parent() : node;
    return top->treeWidget() ? top->treeWidget()->indexOfTopLevelItem(const_cast<QTreeWidgetItem *>(top)) : -1;
}

} // namespace

TMasterGroups::TMasterGroups(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), ui(new Ui::TMasterGroups)
{
    ui->setupUi(this);
    ui->PlusGroup->SetGlyph(Sign(true));
    ui->PlusGroup->SetHintText(QByteArray("Add Group"));
    ui->MinusGroup->SetGlyph(Sign(false));
    ui->MinusGroup->SetHintText(QByteArray("Remove Group/Fixture"));
    ui->TreeView1->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    ui->TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Add1 = PopupMenu1->addAction(QStringLiteral("Add"));
    Add1->setObjectName(QStringLiteral("Add1"));
    Delete1 = PopupMenu1->addAction(QStringLiteral("Delete"));
    Delete1->setObjectName(QStringLiteral("Delete1"));
    Rename1 = PopupMenu1->addAction(QStringLiteral("Rename"));
    Rename1->setObjectName(QStringLiteral("Rename1"));
    connect(Add1, &QAction::triggered, this, [this] { PlusGroupClick(); });
    connect(Delete1, &QAction::triggered, this, [this] { MinusGroupClick(); });
    connect(Rename1, &QAction::triggered, this, [this] { Rename1Click(); });
    connect(ui->TreeView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu1->popup(ui->TreeView1->viewport()->mapToGlobal(at)); });

    connect(ui->PlusGroup, &TSpeedButton::OnClick, this, [this] { PlusGroupClick(); });
    connect(ui->MinusGroup, &TSpeedButton::OnClick, this, [this] { MinusGroupClick(); });
    connect(ui->TreeView1, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { TreeView1Click(item); });
    connect(ui->TreeView1, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item) {
        if (!building_ && item && !item->parent())
            TreeView1Edited(item);
    });

    RegForm1 = new TRegForm(this);
    RegForm1->Loaded();
}

TMasterGroups::~TMasterGroups()
{
    Groups.clear();
    GroupCount = 0;
    if (MasterGroups == this)
        MasterGroups = nullptr;
    delete ui;
}

void TMasterGroups::Rebuild()
{
    building_ = true;
    QTreeWidget *tree = ui->TreeView1;
    tree->clear();
    for (int g = 0; g < GroupCount && g < static_cast<int>(Groups.size()); ++g) {
        auto *node = new QTreeWidgetItem(tree, QStringList(platform::FromBytes(Groups[static_cast<std::size_t>(g)].name)));
        for (int f : GroupMembers(g))
            new QTreeWidgetItem(node, QStringList(platform::FromBytes(Fixtures[static_cast<std::size_t>(f)].userHeader)));
        node->setExpanded(true);
    }
    building_ = false;
}

void TMasterGroups::SetGroupsEditable(bool editable)
{
    building_ = true;
    for (int g = 0; g < ui->TreeView1->topLevelItemCount(); ++g) {
        QTreeWidgetItem *node = ui->TreeView1->topLevelItem(g);
        node->setFlags(editable ? node->flags() | Qt::ItemIsEditable : node->flags() & ~Qt::ItemIsEditable);
    }
    building_ = false;
}

int TMasterGroups::FindSelected() const
{
    const QTreeWidgetItem *node = ui->TreeView1->currentItem();
    if (!node || !node->parent())
        return -1;
    return FindGroupMember(GroupIndexOf(node), node->parent()->indexOfChild(const_cast<QTreeWidgetItem *>(node)));
}

void TMasterGroups::PlusGroupClick()
{
    if (GroupsLocked() || !AddGroupFromLinks())
        return;
    Rebuild();
    const QSignalBlocker block(ui->TreeView1);
    ui->TreeView1->setCurrentItem(ui->TreeView1->topLevelItem(GroupCount - 1));
}

void TMasterGroups::MinusGroupClick()
{
    QTreeWidgetItem *node = ui->TreeView1->currentItem();
    if (GroupsLocked() || !node)
        return;
    if (!node->parent()) {
        RemoveGroupNode(node, true);
        return;
    }
    const int g = GroupIndexOf(node);
    const int f = FindSelected();
    if (f < 0)
        return;
    const bool last = RemoveFixtureFromGroup(g, f);
    if (MainForm) {
        MainForm->PaintDev(f);
        MainForm->DrawDev();
        MainForm->Select(f);
        MainForm->UpdateFixtureMenus();
    }
    QTreeWidgetItem *group = node->parent();
    delete node;
    if (!last)
        return;
    ui->TreeView1->setCurrentItem(group);
    RemoveGroupNode(group, false);
}

void TMasterGroups::RemoveGroupNode(QTreeWidgetItem *node, bool ask)
{
    if (ask && (ConfirmOptions & ConfirmGroupDelete) &&
        platform::MessageBox(AppCaption, "Delete GROUP, are you sure?", platform::Buttons::YesNo) !=
            platform::Answer::Yes)
        return;
    if (!RemoveGroup(GroupIndexOf(node)))
        return;
    delete node;
    if (MainForm)
        MainForm->MasterOffClick();
}

void TMasterGroups::TreeView1Click(QTreeWidgetItem *item)
{
    if (!item)
        return;
    ui->TreeView1->setCurrentItem(item);
    int g = GroupIndexOf(item);
    int f = -1;
    if (item->parent()) {
        SetGroupsEditable(false);
        f = FindSelected();
    } else {
        SetGroupsEditable(!GroupsLocked());
        const std::vector<int> members = GroupMembers(g);
        f = members.empty() ? 0 : members.front();
    }
    if (f >= 0 && GroupAt(g) && MainForm) {
        SelectGroup(g);
        MainForm->UpdateFixtureMenus();
        for (int i = 0; i < FixtureCount; ++i)
            MainForm->PaintDev(i);
        MainForm->Select(f);
        MainForm->DrawDev();
        MainForm->PaintPanelLeft->update();
        CallSeam(WindowSeams().graphEditRefresh);
    }
    CallSeam(WindowSeams().phisMastActivate);
}

void TMasterGroups::TreeView1Edited(QTreeWidgetItem *item)
{
    const int g = GroupIndexOf(item);
    GroupRecord *group = GroupAt(g);
    if (!group)
        return;
    if (GroupsLocked()) {
        building_ = true;
        item->setText(0, platform::FromBytes(group->name));
        building_ = false;
        return;
    }
    RenameGroup(g, platform::ToBytes(item->text(0)));
    building_ = true;
    item->setText(0, platform::FromBytes(group->name));
    building_ = false;
}

void TMasterGroups::Rename1Click()
{
    QTreeWidgetItem *node = ui->TreeView1->currentItem();
    const int g = GroupIndexOf(node);
    const GroupRecord *group = GroupAt(g);
    const auto &dialog = WindowSeams().seqNameDialog;
    if (GroupsLocked() || !group || !dialog)
        return;
    std::string name = group->name;
    int choice = 1;
    if (!dialog("Group Name", name, false, choice))
        return;
    RenameGroup(g, name);
    Rebuild();
}

void TMasterGroups::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    Rebuild();
}

void TMasterGroups::closeEvent(QCloseEvent *e)
{
    bool canClose = true;
    RegForm1->CloseQuery(this, canClose);
    ui->TreeView1->clear();
    if (MainForm)
        MainForm->SetToolState("Groups", "GroupsButton", false);
    e->accept();
}

void TMasterGroups::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    ui->TreeView1->setGeometry(0, ui->TreeView1->y(), width(), height() - ui->TreeView1->y());
}
