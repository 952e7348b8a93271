// A secondary window of the program: created once at start, shown modally
// on demand, hidden (not destroyed) when closed. FormShow runs each time it
// becomes visible, through the guard. A window may build its controls in
// CreateControls, which runs when it is first shown: most windows are never
// opened in a run, and building them all would delay the main window.
//
// Each window is a dialog of its owner (dialog_window.h): the window given at
// creation, or the one a showing names as its opener.
#pragma once

#include <QDialog>

class TForm : public QDialog {
  Q_OBJECT
 public:
  TForm(QWidget* owner, const QString& name, const QString& caption);

  // Shows the window modally to its owner. A window already on view is
  // brought to the front instead: a second opener (the tray, a hotkey) must
  // not start a second modal run of the same window.
  int ShowModal() { return ShowModal(parentWidget()); }
  int ShowModal(QWidget* opener);
  // Shows the window modally unless it is visible already.
  void Open();
  // Each showing places the window's centre on that of `window`; windows
  // with none are centred on the desktop.
  void CentreOver(const QWidget* window) { centreOver_ = window; }
  bool Visible() const { return isVisible(); }
  // Builds the controls now, as the first showing does (once).
  void EnsureControls();

 protected:
  virtual void FormShow() {}
  virtual void CreateControls() {}
  void setVisible(bool visible) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Place();

  const QWidget* centreOver_ = nullptr;
  bool controlsCreated_ = false;
};
