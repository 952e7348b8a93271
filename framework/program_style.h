// The look of every window: Qt's Fusion style, less what costs time at
// start and is never seen, with the outlines of input fields in the
// palette's colour.
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

  // Fusion outlines check boxes, edit, spin and combo boxes in a shade of
  // the window colour, which vanishes on a dark skin: they are outlined in
  // the palette's Mid colour instead, which every skin sets to stand out
  // from its windows and fields. A field with the focus keeps Fusion's
  // highlighted outline.
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                          const QWidget* widget) const override;
};
