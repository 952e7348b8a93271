// "O programu": who made the program and where to find news and add-ons.
#pragma once

#include <QPushButton>

#include "framework/form.h"
#include "framework/link_label.h"

class TForm2 : public TForm {
  Q_OBJECT
 public:
  explicit TForm2(QWidget* owner);

  // built when the window is first shown
  TLinkLabel* MailLink = nullptr;
  TLinkLabel* WebLink = nullptr;
  QPushButton* sButton1 = nullptr;  // "OK"

  void Button1Click();

  static constexpr const char* kMail = "ovlix@example.org";
  static constexpr const char* kWeb = "https://ovlix.example.org/";

 protected:
  void CreateControls() override;
};
