#include "TDMXINf.h"
#include "ui_DMXINf.h"

#include "app/EngineHold.h"
#include "app/LevelPipeline.h"
#include "app/WindowSeams.h"

#include "platform/MsgBox.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMenu>

TDMXINf::TDMXINf(QWidget *parent) : QDialog(parent), ui(new Ui::TDMXINf), edit_(InputFunctions)
{
    ui->setupUi(this);
    for (const InputFunctionName &f : InputFunctionNames())
        new QTreeWidgetItem(ui->ListView1, QStringList{QString::fromStdString(f.name)});
    for (int row = 0; row < MaxInputFunctions; ++row)
        new QTreeWidgetItem(ui->ListView2, QStringList{QString::number(row + 1), QString()});
    for (int row = 0; row < MaxInputFunctions; ++row)
        ShowRow(row);
    ui->ListView2->header()->resizeSection(0, 48);
    ui->ListView1->setDefaultDropAction(Qt::CopyAction);
    ui->ListView2->setDefaultDropAction(Qt::CopyAction);
    ui->ListView2->viewport()->installEventFilter(this);

    popup_ = new QMenu(this);
    QAction *clear = popup_->addAction(QStringLiteral("Clear"));
    clear->setObjectName(QStringLiteral("Clear"));
    connect(clear, &QAction::triggered, this, &TDMXINf::ClearClick);
    connect(ui->ListView2, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { popup_->popup(ui->ListView2->viewport()->mapToGlobal(p)); });
    connect(ui->OK, &QPushButton::clicked, this, &TDMXINf::OKClick);
    connect(ui->Cancel, &QPushButton::clicked, this, &TDMXINf::CancelClick);
    connect(ui->ClearAll, &QPushButton::clicked, this, &TDMXINf::ClearAllClick);

    // No DMX input while the assignment is edited.
    savedDmxIn_ = DmxInEnabled;
    DmxInEnabled = 0;
}

TDMXINf::~TDMXINf()
{
    Finish();
    delete ui;
}

void TDMXINf::ShowRow(int row)
{
    if (QTreeWidgetItem *item = ui->ListView2->topLevelItem(row))
        item->setText(1, QString::fromStdString(InputFunctionText(edit_.Entries()[static_cast<std::size_t>(row)])));
}

void TDMXINf::DropFromFunctions(int function, int row)
{
    if (const int held = edit_.DropFromFunctions(function, row)) {
        platform::ShowMessage("Brantoval-1024", "Item already assigned on channel " + std::to_string(held) +
                                                    "\r\nDrag from assigned channel");
        return;
    }
    ShowRow(row);
}

void TDMXINf::DropFromChannel(int from, int to)
{
    if (!edit_.DropFromChannel(from, to))
        return;
    ShowRow(from);
    ShowRow(to);
}

void TDMXINf::OKClick()
{
    {
        HoldEngine hold;
        InputFunctions = edit_.Entries();
    }
    CallSeam(WindowSeams().phisMastActivate);
    accept();
}

void TDMXINf::CancelClick()
{
    reject();
}

void TDMXINf::ClearAllClick()
{
    edit_.ClearAll();
    for (int row = 0; row < MaxInputFunctions; ++row)
        ShowRow(row);
}

void TDMXINf::ClearClick()
{
    const int row = ui->ListView2->currentIndex().row();
    edit_.Clear(row);
    ShowRow(row);
}

void TDMXINf::done(int result)
{
    Finish();
    QDialog::done(result);
}

void TDMXINf::Finish()
{
    if (finished_)
        return;
    finished_ = true;
    HoldEngine hold;
    InputFunctionCount = static_cast<std::int16_t>(HighestAssignedChannel(InputFunctions));
    DmxInEnabled = savedDmxIn_;
}

// Drops on the channel list: from the function list, or from another channel row. The
// drop is taken as a copy, so the dragging list keeps its rows.
bool TDMXINf::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != ui->ListView2->viewport())
        return QDialog::eventFilter(watched, event);
    const auto type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QDialog::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    QObject *source = drop->source();
    QTreeWidget *from = source == ui->ListView1 ? ui->ListView1 : source == ui->ListView2 ? ui->ListView2 : nullptr;
    const int dragged = from ? from->currentIndex().row() : -1;
    if (!from || dragged < 0) {
        event->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop) {
        const int row = ui->ListView2->indexAt(drop->position().toPoint()).row();
        if (row >= 0) {
            if (from == ui->ListView1)
                DropFromFunctions(dragged, row);
            else
                DropFromChannel(dragged, row);
        }
    }
    return true;
}

void RunDmxInAssignment(QWidget *parent)
{
    auto *dialog = new TDMXINf(parent);
    platform::RunModalDialog(*dialog);
    delete dialog;
}
