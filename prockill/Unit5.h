// The process killer: the running processes by executable file name, and
// "Kill program" for the selected one, with no question and no message.
#pragma once

#include <QPushButton>
#include <QTableWidget>
#include <vector>

#include "framework/form.h"
#include "framework/timer.h"
#include "platform/win32.h"

class TEditCombo;
class TSkinManager;

class TForm5 : public TForm {
  Q_OBJECT
 public:
  // `skins` is the main window's skin manager, `settingsSkinBox` the settings
  // dialog's skin box: each showing checks the saved skin against them.
  TForm5(QWidget* owner, TSkinManager& skins, const TEditCombo& settingsSkinBox);
  ~TForm5() override;

  // built when the window is first shown
  QTableWidget* lister = nullptr;
  QPushButton* sButton3 = nullptr;  // "Kill program"
  QPushButton* sButton2 = nullptr;  // "Obnov procesy"
  QPushButton* sButton1 = nullptr;  // "Zavři killera"
  TTimer* Timer1;
  TTimer* timerx;

  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Timer1Timer();
  void timerxTimer();

 protected:
  void FormShow() override;
  void CreateControls() override;

 private:
  TSkinManager& skins_;
  const TEditCombo& settingsSkinBox_;
  // Handles of the rows on view; those of replaced rows are closed.
  std::vector<HANDLE> rowHandles_;
};
