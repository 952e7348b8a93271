// "Nastavení systému" on the "Systém" page: window contents while dragging.
#pragma once

#include <QCheckBox>
#include <QGroupBox>

class WindowDragGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit WindowDragGroup(QWidget* page);

  QCheckBox* ObsahOkna;
};
