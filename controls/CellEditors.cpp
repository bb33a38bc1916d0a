#include "CellEditors.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QItemSelectionModel>
#include <QSignalBlocker>

namespace {
// Whether an item view has its in-place editor open: its state, which the view keeps to
// itself, read through a member pointer named in a class that makes it public.
struct ViewState : QAbstractItemView {
    using QAbstractItemView::EditingState;
    using QAbstractItemView::state;
};
bool Editing(const QAbstractItemView *view)
{
    return (view->*(&ViewState::state))() == ViewState::EditingState;
}
} // namespace

void CloseCellEditors(QWidget *grid, std::initializer_list<QWidget *> editors, CurrentCell current)
{
    for (QWidget *e : editors)
        if (e)
            e->hide();
    auto *view = qobject_cast<QAbstractItemView *>(grid);
    if (!view)
        return;
    if (current == CurrentCell::Keep && !Editing(view))
        return;
    // A reset drops the open editors unstored and clears the current cell and the selection
    // without a signal.
    const QModelIndex was = view->currentIndex();
    view->reset();
    if (current == CurrentCell::Keep && was.isValid() && view->selectionModel()) {
        const QSignalBlocker block(view->selectionModel());
        view->selectionModel()->setCurrentIndex(was, QItemSelectionModel::ClearAndSelect);
    }
    view->viewport()->update();
}

namespace {

// Watches the program's presses while its editor is shown.
class PressElsewhere : public QObject {
public:
    explicit PressElsewhere(QWidget *editor) : QObject(editor), editor_(editor) { editor->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (watched == editor_) {
            if (e->type() == QEvent::Show)
                qApp->installEventFilter(this);
            else if (e->type() == QEvent::Hide)
                qApp->removeEventFilter(this);
            return false;
        }
        if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick) {
            auto *w = qobject_cast<QWidget *>(watched);
            if (w && w != editor_ && !editor_->isAncestorOf(w) && editor_->isVisible())
                editor_->hide();
        }
        return false;
    }

private:
    QWidget *editor_;
};

} // namespace

void CloseOnPressElsewhere(QWidget *editor)
{
    if (editor)
        new PressElsewhere(editor);
}
