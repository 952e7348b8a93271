#include "framework/program_style.h"

#include <QPainter>
#include <QPixmap>
#include <QWidget>

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
