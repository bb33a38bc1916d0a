#include "THotKeyForm.h"
#include "ui_HotKeyForm.h"

#include "HotKeys.h"
#include "controls/TColor.h"
#include "platform/MsgBox.h"
#include "platform/VirtualKeys.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

#include <functional>

namespace {

// The key edit over a "Hot Key" cell: every key goes to it, Tab included.
class KeyEditLabel : public QLabel {
public:
    KeyEditLabel(const QString &text, std::function<void(int, Qt::KeyboardModifiers)> onKey, QWidget *parent)
        : QLabel(text, parent), onKey_(std::move(onKey))
    {
        setObjectName(QStringLiteral("KeyEdit"));
        setFocusPolicy(Qt::StrongFocus);
        setAutoFillBackground(true);
        setFrameShape(QFrame::Box);
    }

protected:
    void keyPressEvent(QKeyEvent *e) override { onKey_(e->key(), e->modifiers()); }
    bool focusNextPrevChild(bool) override { return false; }

private:
    std::function<void(int, Qt::KeyboardModifiers)> onKey_;
};

QString Caption(const QAction *a)
{
    return a ? a->text() : QString();
}

} // namespace

QString HotKeyCommandName(const QAction *a)
{
    if (a->objectName().isEmpty() && a->menu())
        return a->menu()->objectName();
    return a->objectName();
}

THotKeyForm::THotKeyForm(std::vector<HotKeyItem> items, ApplyHotKeys apply, QWidget *parent)
    : QDialog(parent), ui(new Ui::THotKeyForm), items_(std::move(items)), apply_(std::move(apply))
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("HotKeyForm"));
    QHeaderView *header = ui->HotKeyGrid->horizontalHeader();
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setSectionResizeMode(1, QHeaderView::Fixed);
    header->resizeSection(1, 150);
    ui->HotKeyGrid->verticalHeader()->hide();
    ui->HotKeyGrid->verticalHeader()->setDefaultSectionSize(20);
    connect(ui->HotKeyGrid, &QTableWidget::cellClicked, this, &THotKeyForm::HotKeyGridSelectCell);
    connect(ui->HotKeyGrid, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int, int) { HotKeyGridSelectCell(row, column); });
    connect(ui->EditCaptions, &QPushButton::clicked, this, &THotKeyForm::EditCaptionsClick);
    connect(ui->OK, &QPushButton::clicked, this, &THotKeyForm::OKClick);
    connect(ui->Cancel, &QPushButton::clicked, this, [this] {
        EndCaptionEdit();
        reject();
    });
    FillGrid();
}

THotKeyForm::~THotKeyForm()
{
    delete ui;
}

void THotKeyForm::FillGrid()
{
    QTableWidget *grid = ui->HotKeyGrid;
    grid->setRowCount(static_cast<int>(items_.size()));
    for (int row = 0; row < grid->rowCount(); ++row) {
        for (int column = 0; column < 2; ++column) {
            auto *cell = new QTableWidgetItem;
            if (items_[static_cast<std::size_t>(row)].parent)
                cell->setBackground(toQColor(clYellow));
            grid->setItem(row, column, cell);
        }
        ShowRow(row);
    }
}

void THotKeyForm::ShowRow(int row)
{
    if (row < 0 || row >= static_cast<int>(items_.size()))
        return;
    const HotKeyItem &item = items_[static_cast<std::size_t>(row)];
    // A command without a caption (a recent show not yet used) shows its name.
    QString text = Caption(item.action);
    if (text.isEmpty() && item.action)
        text = HotKeyCommandName(item.action);
    const std::string caption = platform::ToBytes(text);
    ui->HotKeyGrid->item(row, 0)->setText(platform::FromBytes(IndentedCaption(item.depth, caption)));
    ui->HotKeyGrid->item(row, 1)->setText(item.parent ? QString() : QString::fromLatin1(HotKeyText(item.shortcut)));
}

void THotKeyForm::HotKeyGridSelectCell(int row, int column)
{
    if ((keyEdit_ && row == editRow_ && column == 1) || (captionEdit_ && row == editRow_ && column == 0))
        return;   // the editor over this cell stays
    EndKeyEdit();
    EndCaptionEdit();
    if (row < 0 || row >= static_cast<int>(items_.size()))
        return;
    const HotKeyItem &item = items_[static_cast<std::size_t>(row)];
    editRow_ = row;
    if (ui->EditCaptions->isChecked()) {
        if (column != 0 || !item.action)
            return;
        auto *edit = new QLineEdit(Caption(item.action));
        edit->setObjectName(QStringLiteral("CaptionEdit"));
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, &THotKeyForm::CaptionEdited);
        ui->HotKeyGrid->setCellWidget(row, 0, edit);
        captionEdit_ = edit;
        edit->setFocus();
        return;
    }
    if (column != 1 || item.parent)
        return;
    editShortcut_ = item.shortcut;
    auto *edit = new KeyEditLabel(QString::fromLatin1(HotKeyText(item.shortcut)),
                                  [this](int key, Qt::KeyboardModifiers m) { KeyEditKeyDown(key, m); }, nullptr);
    ui->HotKeyGrid->setCellWidget(row, 1, edit);
    keyEdit_ = edit;
    edit->setFocus();
}

void THotKeyForm::KeyEditKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    auto *edit = qobject_cast<QLabel *>(keyEdit_.data());
    if (!edit)
        return;
    const std::uint16_t pressed = platform::ShortcutFromKeyEvent(key, modifiers);
    const auto vk = static_cast<std::uint8_t>(pressed & 0xFF);
    edit->setText(QString::fromLatin1(HotKeyText(pressed)));
    // A modifier alone (or a key without a code) makes no shortcut.
    editShortcut_ = vk == 0 || IsModifierKey(vk) ? 0 : pressed;
}

void THotKeyForm::EndKeyEdit()
{
    if (!keyEdit_)
        return;
    const int row = editRow_;
    keyEdit_->hide();   // the grid frees it later
    ui->HotKeyGrid->removeCellWidget(row, 1);
    keyEdit_ = nullptr;
    items_[static_cast<std::size_t>(row)].shortcut = editShortcut_;
    // A shortcut belongs to one command only.
    if (editShortcut_ != 0)
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (static_cast<int>(i) != row && items_[i].shortcut == editShortcut_) {
                items_[i].shortcut = 0;
                ShowRow(static_cast<int>(i));
            }
    ShowRow(row);
}

void THotKeyForm::CaptionEdited(const QString &text)
{
    // The command is renamed as the operator types.
    if (QAction *a = items_[static_cast<std::size_t>(editRow_)].action)
        a->setText(text);
}

void THotKeyForm::EndCaptionEdit()
{
    if (!captionEdit_)
        return;
    const int row = editRow_;
    captionEdit_->hide();
    ui->HotKeyGrid->removeCellWidget(row, 0);
    captionEdit_ = nullptr;
    // An emptied caption gives the command its name back.
    QAction *a = items_[static_cast<std::size_t>(row)].action;
    if (a && a->text().isEmpty())
        a->setText(HotKeyCommandName(a));
    ShowRow(row);
}

void THotKeyForm::EditCaptionsClick()
{
    EndKeyEdit();
    EndCaptionEdit();
}

void THotKeyForm::OKClick()
{
    EndKeyEdit();
    EndCaptionEdit();
    if (apply_)
        apply_(items_);
    accept();
}

bool THotKeyForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == captionEdit_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Up || key == Qt::Key_Down) {
            EndCaptionEdit();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
