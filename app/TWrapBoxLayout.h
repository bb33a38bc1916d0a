// A horizontal box layout that wraps: its items keep their order and their size hints and
// continue on a new row when the next one no longer fits the width. It is still a
// QHBoxLayout, so code that inserts, removes or finds widgets in it works unchanged; only
// the placement differs. Spacer items take no room; a label with a text goes onto the next
// row together with the control after it.
#pragma once

#include <QHBoxLayout>

class TWrapBoxLayout : public QHBoxLayout {
public:
    explicit TWrapBoxLayout(QWidget *parent = nullptr) : QHBoxLayout(parent) {}

    // Moves every item of `from` (in order, with the margins and spacing) into a new
    // wrapping layout that takes its place on the same widget; `from` is deleted.
    static TWrapBoxLayout *Replace(QBoxLayout *from);

    void setGeometry(const QRect &rect) override;
    QSize sizeHint() const override;       // everything on one row
    QSize minimumSize() const override;    // the widest item alone
    QSize maximumSize() const override { return QSize(QLAYOUTSIZE_MAX, QLAYOUTSIZE_MAX); }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    int minimumHeightForWidth(int width) const override { return heightForWidth(width); }
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }

    // Rows needed at a width (1 when empty).
    int RowsForWidth(int width) const;

private:
    // Places (when `apply`) or only measures the items in `rect`; the height used.
    int Arrange(const QRect &rect, bool apply, int *rows = nullptr) const;
    int Gap() const;
};
