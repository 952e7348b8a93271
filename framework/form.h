// A secondary window of the program: created once at start, shown modally
// on demand, hidden (not destroyed) when closed. FormShow runs each time it
// becomes visible, through the guard. A window may build its controls in
// CreateControls, which runs when it is first shown: most windows are never
// opened in a run, and building them all would delay the main window.
#pragma once

#include <QDialog>

class TForm : public QDialog {
  Q_OBJECT
 public:
  TForm(QWidget* owner, const QString& name, const QString& caption);

  int ShowModal();
  // Shows the window modally unless it is visible already.
  void Open();
  // Each showing places the window's centre on that of `window`.
  void CentreOver(const QWidget* window) { centreOver_ = window; }
  bool Visible() const { return isVisible(); }

 protected:
  virtual void FormShow() {}
  virtual void CreateControls() {}
  void setVisible(bool visible) override;
  void showEvent(QShowEvent* event) override;

 private:
  const QWidget* centreOver_ = nullptr;
  bool controlsCreated_ = false;
};
