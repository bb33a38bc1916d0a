#include "CellEditors.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>

void CloseCellEditors(std::initializer_list<QWidget *> editors, QAbstractItemView *grid)
{
    for (QWidget *e : editors)
        if (e)
            e->hide();
    // A reset drops the open editors unstored and clears the current cell and the selection
    // without a signal.
    if (grid)
        grid->reset();
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
