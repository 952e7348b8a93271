#include <QApplication>
#include <QPalette>

#include "dialogs/Unit3.h"
#include "dialogs/Unit4.h"
#include "skin/skin_look.h"
#include "tests/support/forms_fixture.h"

namespace fs = std::filesystem;

namespace {

class Skins : public FormsTest {
 protected:
  QColor App(QPalette::ColorRole role) { return QApplication::palette().color(QPalette::Active, role); }
  void Skin(const char* name, const std::string& options) {
    root.Write(root.program() / "skins" / name / "Options.dat", options);
  }
};

TEST_F(Skins, TheListHoldsTheBuiltInSkinThenTheFoldersOnly) {
  fs::create_directories(root.program() / "skins" / ".skryty");
  fs::create_directories(root.program() / "skins" / "Modrý");
  root.Write(root.program() / "skins" / "soubor.dat", "x");
  fs::create_directory_symlink(root.program() / "skins" / "Modrý", root.program() / "skins" / "Odkaz");
  CreateForms();
  QStringList names = Form1->sSkinManager1.SkinNames();
  names.sort();
  EXPECT_EQ(names, (QStringList{"Modrý", "Odkaz", "WindowsXP (default)"}));
  EXPECT_EQ(Form3->ComboBox1->itemText(0), "WindowsXP (default)");
  EXPECT_EQ(Form3->ComboBox1->count(), 3);
}

TEST_F(Skins, AFolderSkinColoursEveryWindowAndTheBuiltInOneRestores) {
  Skin("Noc", "[Colors]\nWindow=#102030\nButtonText=#ffEE00\nText=červená\nBase=#12345\n");
  CreateForms();
  QColor window = App(QPalette::Window), text = App(QPalette::Text), base = App(QPalette::Base);
  Form1->sSkinManager1.SetSkinName("Noc");
  EXPECT_EQ(Form1->sSkinManager1.SkinName(), "Noc");
  EXPECT_EQ(App(QPalette::Window), QColor(0x10, 0x20, 0x30));
  EXPECT_EQ(App(QPalette::ButtonText), QColor(0xFF, 0xEE, 0x00));
  EXPECT_EQ(App(QPalette::Text), text);  // not a colour: the built-in one stays
  EXPECT_EQ(App(QPalette::Base), base);
  // every window at once, the dialogs too
  QCoreApplication::processEvents();
  EXPECT_EQ(Form4->palette().color(QPalette::Window), QColor(0x10, 0x20, 0x30));
  EXPECT_EQ(Form1->palette().color(QPalette::Window), QColor(0x10, 0x20, 0x30));
  // a name that names no skin changes nothing and reports nothing
  Form1->sSkinManager1.SetSkinName("Neexistuje");
  EXPECT_EQ(Form1->sSkinManager1.SkinName(), "Noc");
  EXPECT_EQ(App(QPalette::Window), QColor(0x10, 0x20, 0x30));
  Form1->sSkinManager1.SetSkinName("WindowsXP (default)");
  EXPECT_EQ(App(QPalette::Window), window);
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(Skins, TheSavedSkinTakesEffectWhenTheMainWindowShows) {
  Skin("Klasik", "[colors]\r\nwindow=#C0C0C0\r\n");
  Settings("[Nastaveni]\nskin=Klasik\n");
  CreateForms();
  EXPECT_EQ(Form1->sSkinManager1.SkinName(), "WindowsXP (default)");
  Form1->show();
  EXPECT_EQ(Form1->sSkinManager1.SkinName(), "Klasik");
  EXPECT_EQ(App(QPalette::Window), QColor(0xC0, 0xC0, 0xC0));
}

TEST(SkinOptions, Colours) {
  EXPECT_EQ(ParseSkinColor(" #A0b1C2 "), 0xA0B1C2u);
  EXPECT_FALSE(ParseSkinColor("A0B1C2"));
  EXPECT_FALSE(ParseSkinColor("#A0B1C"));
  EXPECT_FALSE(ParseSkinColor("#A0B1CG"));
  SkinLook missing = ReadSkinLook("/nonexistent/skin");
  for (const auto& color : missing.colors) EXPECT_FALSE(color);
}

}  // namespace
