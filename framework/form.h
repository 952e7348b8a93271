// A secondary window of the program: created once at start, shown modally
// on demand, hidden (not destroyed) when closed. FormShow runs each time it
// becomes visible, through the guard.
#pragma once

#include <QDialog>

class TForm : public QDialog {
  Q_OBJECT
 public:
  TForm(QWidget* owner, const QString& name, const QString& caption);

  int ShowModal();
  bool Visible() const { return isVisible(); }

 protected:
  virtual void FormShow() {}
  void showEvent(QShowEvent* event) override;
};
