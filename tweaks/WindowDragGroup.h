// "Nastavení systému" on the "Systém" page: window contents while dragging.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

class WindowDragGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit WindowDragGroup(QWidget* page);

  QCheckBox* ObsahOkna;
  QPushButton* sButton19;  // "OK"

  void Button5Click();
};
