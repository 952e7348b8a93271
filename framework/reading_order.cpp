#include "framework/reading_order.h"

#include <QWidget>
#include <algorithm>

namespace {

void Collect(QWidget* container, QList<QWidget*>& out) {
  QList<QWidget*> children = container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  children.removeIf([](QWidget* w) { return w->isWindow(); });
  auto middle = [](QWidget* w) { return w->geometry().center().y(); };
  std::stable_sort(children.begin(), children.end(), [&](QWidget* a, QWidget* b) { return middle(a) < middle(b); });
  for (qsizetype start = 0; start < children.size();) {
    QRect first = children[start]->geometry();
    qsizetype end = start + 1;
    while (end < children.size() && middle(children[end]) <= first.bottom()) ++end;
    std::stable_sort(children.begin() + start, children.begin() + end,
                     [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
    start = end;
  }
  for (QWidget* child : children) {
    if (child->focusPolicy() & Qt::TabFocus)
      out << child;
    else
      Collect(child, out);
  }
}

}  // namespace

QList<QWidget*> ReadingOrder(QWidget* container) {
  QList<QWidget*> out;
  Collect(container, out);
  return out;
}

void ChainTabOrder(const QList<QWidget*>& widgets) {
  for (qsizetype i = 1; i < widgets.size(); ++i) QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}
