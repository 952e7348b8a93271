#include "app/app_icon.h"

#include <QPainter>
#include <QPixmap>

QIcon ApplicationIcon() {
  QIcon icon;
  for (int size : {16, 32, 48}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF box(0.5, 0.5, size - 1.0, size - 1.0);
    QLinearGradient fill(box.topLeft(), box.bottomRight());
    fill.setColorAt(0, QColor(0x3a, 0x7b, 0xd5));
    fill.setColorAt(1, QColor(0x12, 0x3f, 0x8c));
    p.setBrush(fill);
    p.setPen(QPen(QColor(0x0b, 0x28, 0x5a), size / 16.0));
    p.drawRoundedRect(box, size / 5.0, size / 5.0);
    // a ring with a gap and a bar: a power button, for a system utility
    QPen ring(Qt::white, size / 8.0, Qt::SolidLine, Qt::RoundCap);
    p.setPen(ring);
    QRectF inner = box.adjusted(size * 0.24, size * 0.26, -size * 0.24, -size * 0.22);
    p.drawArc(inner, 120 * 16, 300 * 16);
    p.drawLine(QPointF(size / 2.0, size * 0.18), QPointF(size / 2.0, size * 0.5));
    icon.addPixmap(pixmap);
  }
  return icon;
}
