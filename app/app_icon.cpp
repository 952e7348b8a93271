#include "app/app_icon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <map>
#include <utility>

namespace {

void PaintIcon(QPainter& p, QRectF area) {
  double size = std::min(area.width(), area.height());
  p.setRenderHint(QPainter::Antialiasing);
  QRectF box(area.x() + 0.5, area.y() + 0.5, size - 1.0, size - 1.0);
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
  double middle = box.x() + box.width() / 2.0;
  p.drawLine(QPointF(middle, box.y() + size * 0.18), QPointF(middle, box.y() + size * 0.5));
}

// Drawing on demand keeps the painting machinery out of the program's
// start: nothing asks for the picture before the main window is up.
class DrawnIcon : public QIconEngine {
 public:
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
    painter->save();
    PaintIcon(*painter, rect);
    painter->restore();
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    QPixmap& drawn = drawn_[{size.width(), size.height()}];
    if (drawn.isNull() && !size.isEmpty()) {
      drawn = QPixmap(size);
      drawn.fill(Qt::transparent);
      QPainter p(&drawn);
      paint(&p, QRect(QPoint(), size), mode, state);
    }
    return drawn;
  }
  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {{16, 16}, {32, 32}, {48, 48}}; }
  QIconEngine* clone() const override { return new DrawnIcon; }
  QString key() const override { return QStringLiteral("DrawnIcon"); }

 private:
  std::map<std::pair<int, int>, QPixmap> drawn_;
};

}  // namespace

QIcon ApplicationIcon() { return QIcon(new DrawnIcon); }
