// "Nastavení klávesových zkratek": the key of each of the seven hotkeys,
// stored for the next start.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <array>

#include "framework/edit_combo.h"
#include "framework/form.h"

// The keys p1 to p7 of section "zkratky" hold when the settings file does not.
inline constexpr const char* kHotkeyDefaults[7] = {"W", "E", "F11", "F12", "Y", "Q", "R"};

class TForm4 : public TForm {
  Q_OBJECT
 public:
  explicit TForm4(QWidget* owner);

  // built when the window is first shown
  std::array<TEditCombo*, 7> v{};   // v1 to v7
  QPushButton* sButton1 = nullptr;  // "OK"
  // shown where the desktop offers programs no global keys: keys set here
  // would silently do nothing
  QLabel* ZadneZkratky = nullptr;

  void Button1Click();

 protected:
  void FormShow() override;
  void CreateControls() override;
};
