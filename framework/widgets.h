// Control construction in the form designer's terms: a parent, a name, a
// caption and a place. The name becomes the object name; the caption (or,
// for controls without one, the name) the accessible name.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption, QRect place);
QCheckBox* MakeCheckBox(QWidget* parent, const QString& name, const QString& caption, QRect place);
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption, QRect place);
QLineEdit* MakeEdit(QWidget* parent, const QString& name, const QString& text, QRect place);
QGroupBox* MakeGroup(QWidget* parent, const QString& caption, QRect place);

// The host's fonts run wider than the ones the windows were laid out for:
// a one-line label whose place is fixed takes a smaller font until its text
// fits.
void ShrinkToFit(QLabel* label);
