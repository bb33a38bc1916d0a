// Editors that stand over a grid's cells: the grid's own in-place editor and the ones a
// window places over a cell itself (drop-down lists, number, time and text fields).
#pragma once

#include <initializer_list>

class QAbstractItemView;
class QWidget;

// Closes editors over a grid without storing what they hold; a grid filled anew calls it
// first, since an editor left open would stand over a row that then shows something else,
// and what it stored would land there. `editors` are hidden. With `grid`, the view's own
// in-place editor is dropped and its current cell cleared without signals, so that rows
// the refill removes move no current cell onto a row whose handler opens an editor again.
void CloseCellEditors(std::initializer_list<QWidget *> editors, QAbstractItemView *grid = nullptr);

// Makes `editor` close (hide) on any mouse press outside it, in any window of the program,
// for as long as it is shown.
void CloseOnPressElsewhere(QWidget *editor);
