// A link label: underlined text in the palette's link colour whose address
// goes to the shell with the verb "open" on a left mouse press.
#pragma once

#include <QLabel>

class TLinkLabel : public QLabel {
  Q_OBJECT
 public:
  TLinkLabel(QWidget* parent, const QString& name, const QString& caption, const QString& address);

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QString address_;
};
