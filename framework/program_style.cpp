#include "framework/program_style.h"

#include <QPainter>
#include <QPixmap>
#include <QStyleOption>
#include <QWidget>

namespace {

// Over the outline Fusion draws: the same shape, in the palette's Mid.
void Outline(QPainter* painter, const QStyleOption* option, qreal radius) {
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, true);
  painter->translate(0.5, 0.5);
  painter->setPen(option->palette.color(QPalette::Mid));
  painter->setBrush(Qt::NoBrush);
  painter->drawRoundedRect(QRectF(option->rect.adjusted(0, 0, -1, -1)), radius, radius);
  painter->restore();
}

bool Focused(const QStyleOption* option) { return (option->state & QStyle::State_HasFocus) != 0; }

}  // namespace

ProgramStyle::ProgramStyle() : QProxyStyle(QStringLiteral("Fusion")) {}

QIcon ProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const {
  if (icon != SP_ToolBarHorizontalExtensionButton) return QProxyStyle::standardIcon(icon, option, widget);
  QPixmap chevron(8, 8);
  chevron.fill(Qt::transparent);
  QPainter p(&chevron);
  p.setPen(widget != nullptr ? widget->palette().color(QPalette::ButtonText) : QColor(Qt::black));
  for (int x : {1, 4}) p.drawPolyline(QPolygon({QPoint(x, 1), QPoint(x + 3, 4), QPoint(x, 7)}));
  return QIcon(chevron);
}

void ProgramStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const {
  QProxyStyle::drawPrimitive(element, option, painter, widget);
  if (element == PE_IndicatorCheckBox) Outline(painter, option, 0);
  if (element == PE_FrameLineEdit && !Focused(option)) Outline(painter, option, 2);
}

void ProgramStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                      const QWidget* widget) const {
  QProxyStyle::drawComplexControl(control, option, painter, widget);
  if ((control == CC_SpinBox || control == CC_ComboBox) && !Focused(option)) Outline(painter, option, 2);
}
