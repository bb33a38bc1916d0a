// Editors that stand over a grid's cells: the grid's own in-place editor and the ones a
// window places over a cell itself (drop-down lists, number, time and text fields).
#pragma once

#include <initializer_list>

class QWidget;

// What becomes of an item view's current cell when its editors close.
enum class CurrentCell { Clear, Keep };

// Closes every editor over `grid` without storing what it holds. A grid filled anew calls
// it first: an editor left open would stand over a row that then shows something else, and
// what it stored would land there. `editors` are hidden. When `grid` is an item view its
// own in-place editor is dropped; with CurrentCell::Clear its current cell is cleared as
// well, without signals, so that rows the refill removes move no current cell onto a row
// whose handler opens an editor again.
void CloseCellEditors(QWidget *grid, std::initializer_list<QWidget *> editors,
                      CurrentCell current = CurrentCell::Clear);

// Makes `editor` close (hide) on any mouse press outside it, in any window of the program,
// for as long as it is shown.
void CloseOnPressElsewhere(QWidget *editor);
