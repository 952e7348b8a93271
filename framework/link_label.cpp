#include "framework/link_label.h"

#include <QMouseEvent>

#include "platform/shell.h"

TLinkLabel::TLinkLabel(QWidget* parent, const QString& name, const QString& caption, const QString& address)
    : QLabel(caption, parent), address_(address) {
  setObjectName(name);
  setAccessibleName(caption);
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  setForegroundRole(QPalette::Link);  // the skin's link colour, readable on its windows
  setCursor(Qt::PointingHandCursor);
}

void TLinkLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton)
    platform::ShellExecuteA(0, "open", address_.toUtf8().constData(), nullptr, nullptr, platform::SW_SHOWNORMAL);
  QLabel::mousePressEvent(event);
}
