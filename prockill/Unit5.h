// The process killer: the running processes by executable file name, and
// "Kill program" for the selected one, with no question and no message.
#pragma once

#include <QPushButton>
#include <QTableWidget>
#include <vector>

#include "framework/form.h"
#include "framework/timer.h"
#include "platform/win32.h"

class TForm5 : public TForm {
  Q_OBJECT
 public:
  explicit TForm5(QWidget* owner);
  ~TForm5() override;

  QTableWidget* lister;
  QPushButton* sButton3;  // "Kill program"
  QPushButton* sButton2;  // "Obnov procesy"
  QPushButton* sButton1;  // "Zavři killera"
  TTimer* Timer1;
  TTimer* timerx;

  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Timer1Timer();
  void timerxTimer();

 protected:
  void FormShow() override;

 private:
  // Handles of the rows on view; those of replaced rows are closed.
  std::vector<HANDLE> rowHandles_;
};
