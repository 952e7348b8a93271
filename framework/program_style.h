// The look of every window: Qt's Fusion style, less what costs time at
// start and is never seen.
#pragma once

#include <QProxyStyle>

class ProgramStyle : public QProxyStyle {
 public:
  ProgramStyle();
  // The menu bar asks at its construction for the icon of its overflow
  // button, which shows only when the menus do not fit; the program's menu
  // bars always fit. Loading that icon would read image files, and with them
  // every image plug-in, before the first window appears: the button gets a
  // drawn chevron instead.
  QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override;
};
