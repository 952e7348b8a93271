// What the screen shows of a widget: its part of its window's backing store,
// where scrolled pixels stay as they were moved. QWidget::grab paints the
// widget anew and so would never show a stale row.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QScreen>
#include <QWidget>

// Paints what is still to be painted in the widget's window, as the window's
// next frame would (Qt asks for that frame a few milliseconds later).
inline void PaintNextFrame(QWidget* widget) {
  QEvent frame(QEvent::UpdateRequest);
  QCoreApplication::sendEvent(widget->window(), &frame);
}

inline QImage ShownPixels(QWidget* widget) {
  PaintNextFrame(widget);
  QWidget* window = widget->window();
  QPoint at = widget->mapTo(window, QPoint(0, 0));
  QPixmap shown = window->screen()->grabWindow(window->winId(), at.x(), at.y(), widget->width(), widget->height());
  return shown.toImage().convertToFormat(QImage::Format_RGB32);
}
