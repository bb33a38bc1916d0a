// The fixture groups window: the show's groups as a tree (one node per group, one child
// per member fixture). A click recalls a group's links and references; the buttons and
// the pop-up menu add the current links as a group, remove a fixture or a group, and
// rename a group.
#pragma once

#include <QWidget>

namespace Ui {
class TMasterGroups;
}
class QAction;
class QMenu;
class QTreeWidgetItem;
class TRegForm;

class TMasterGroups : public QWidget {
    Q_OBJECT

public:
    explicit TMasterGroups(QWidget *parent = nullptr);
    ~TMasterGroups() override;

    Ui::TMasterGroups *ui;
    QMenu *PopupMenu1 = nullptr;
    QAction *Add1 = nullptr;
    QAction *Delete1 = nullptr;
    QAction *Rename1 = nullptr;
    TRegForm *RegForm1 = nullptr;

    void PlusGroupClick();
    void MinusGroupClick();
    void TreeView1Click(QTreeWidgetItem *item);
    void TreeView1Edited(QTreeWidgetItem *item);
    void Rename1Click();
    // The fixture of the selected fixture node, -1 for none.
    int FindSelected() const;
    // The tree from the show's groups.
    void Rebuild();

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void SetGroupsEditable(bool editable);
    void RemoveGroupNode(QTreeWidgetItem *node, bool ask);
    bool building_ = false;
};

extern TMasterGroups *MasterGroups;
