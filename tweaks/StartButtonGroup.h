// "Tlačítko start" on the "Plocha, start a spořič" page: a picture made into
// "Start.bmp" (on the Windows 95/98/ME family only) and handed to the
// taskbar's Start button, which gets its own image back at program end.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <string>
#include <vector>

#include "platform/window_messages.h"

class StartButtonGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit StartButtonGroup(QWidget* page);

  QLineEdit* CestaStart;
  QPushButton* sButton16;  // "Procházet..."
  QPushButton* sButton15;  // the prepare button
  QPushButton* sButton17;  // "Vložit obrázek..."
  QCheckBox* CBox;

  void Button9Click();
  void Button10Click();
  void Button11Click();
  // The insert asked for at program start: on a system where no picture can
  // be prepared (any but the Windows 95/98/ME family) nothing is done and
  // nothing is said, and the start goes on; the insert button still reports
  // a missing picture when pressed.
  void InsertAtStart();
  // At program end: the Start button gets back the image it showed before
  // the last insert.
  void RestoreStartButton();

  platform::HWND StartButtonWindow = 0;
  platform::LPARAM PreviousStartImage = 0;

 private:
  // Every picture an insert loaded lives until the program ends; a
  // picture's handle is its address.
  std::vector<std::unique_ptr<std::string>> pictures_;
};

constexpr UINT BM_SETIMAGE = 0xF7;
constexpr UINT IMAGE_BITMAP = 0;
