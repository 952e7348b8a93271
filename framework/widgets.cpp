#include "framework/widgets.h"

namespace {
template <class W>
W* Place(W* widget, const QString& name, const QString& accessible, QRect place) {
  widget->setObjectName(name);
  widget->setAccessibleName(accessible);
  widget->setGeometry(place);
  return widget;
}
}  // namespace

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption, QRect place) {
  return Place(new QPushButton(caption, parent), name, caption, place);
}

QCheckBox* MakeCheckBox(QWidget* parent, const QString& name, const QString& caption, QRect place) {
  return Place(new QCheckBox(caption, parent), name, caption, place);
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption, QRect place) {
  return Place(new QLabel(caption, parent), name, caption, place);
}

QLineEdit* MakeEdit(QWidget* parent, const QString& name, const QString& text, QRect place) {
  return Place(new QLineEdit(text, parent), name, name, place);
}

QGroupBox* MakeGroup(QWidget* parent, const QString& caption, QRect place) {
  return Place(new QGroupBox(caption, parent), caption, caption, place);
}

void ShrinkToFit(QLabel* label) {
  QFont font = label->font();
  while (font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(label->text()) > label->width()) {
    font.setPointSizeF(font.pointSizeF() - 0.5);
  }
  label->setFont(font);
}
