// Tab order as a page is read: rows from top to bottom, each row from left
// to right, a group's controls together where the group stands.
#pragma once

#include <QList>

class QWidget;

// The controls below `container` that Tab stops at, in reading order. A
// control is taken whole (a spin box, not its edit field); a widget that
// takes no focus itself (a group box, a panel) stands for its controls.
// Two widgets are in one row when the later one's middle lies within the
// height of the first of the row.
QList<QWidget*> ReadingOrder(QWidget* container);

// Chains the widgets for Tab in the order given.
void ChainTabOrder(const QList<QWidget*>& widgets);
