// "Hot Keys Assignment": every main-window command in menu order, indented by its depth,
// parents on yellow; a key pressed over a command's "Hot Key" cell gives it that
// shortcut (taken from any other command); with "Edit Captions" down, a command's caption
// is typed over its "Item" cell and renames it at once. "OK" hands the shortcuts back to
// be applied and saved; "Cancel" drops them (renamed captions stay).
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <vector>

class QAction;
class QLineEdit;
class QTableWidgetItem;

namespace Ui {
class THotKeyForm;
}

// One listed command.
struct HotKeyItem {
    QPointer<QAction> action;
    int depth = 0;
    bool parent = false;           // has sub-items: no shortcut
    std::uint16_t shortcut = 0;    // being edited
};

// A command's name: the action's, or for a menu's own item the menu's.
QString HotKeyCommandName(const QAction *a);

class THotKeyForm : public QDialog {
    Q_OBJECT

public:
    using ApplyHotKeys = std::function<void(const std::vector<HotKeyItem> &items)>;
    THotKeyForm(std::vector<HotKeyItem> items, ApplyHotKeys apply, QWidget *parent = nullptr);
    ~THotKeyForm() override;

    Ui::THotKeyForm *ui;

    // Handlers.
    void HotKeyGridSelectCell(int row, int column);
    void KeyEditKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void EditCaptionsClick();
    void OKClick();

    const std::vector<HotKeyItem> &Items() const { return items_; }
    // The editors open over a cell, null when none is.
    QWidget *KeyEdit() const { return keyEdit_; }
    QLineEdit *CaptionEdit() const { return captionEdit_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FillGrid();
    void ShowRow(int row);
    // The open editors end: the key edit's shortcut is stored, the caption edit closes.
    void EndKeyEdit();
    void EndCaptionEdit();
    void CaptionEdited(const QString &text);

    std::vector<HotKeyItem> items_;
    ApplyHotKeys apply_;
    QPointer<QWidget> keyEdit_;
    QPointer<QLineEdit> captionEdit_;
    int editRow_ = -1;
    std::uint16_t editShortcut_ = 0;
};
