// "O programu": who made the program and where to find news and add-ons.
#pragma once

#include <QPushButton>

#include "framework/form.h"
#include "framework/link_label.h"

class TForm2 : public TForm {
  Q_OBJECT
 public:
  explicit TForm2(QWidget* owner);

  TLinkLabel* MailLink;
  TLinkLabel* WebLink;
  QPushButton* sButton1;  // "OK"

  void Button1Click();

  static constexpr const char* kMail = "ovlix@example.org";
  static constexpr const char* kWeb = "https://ovlix.example.org/";
};
