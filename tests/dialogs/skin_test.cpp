#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPalette>
#include <functional>
#include <sstream>

#include "dialogs/Unit2.h"
#include "dialogs/Unit3.h"
#include "dialogs/Unit4.h"
#include "skin/skin_look.h"
#include "skin/skin_palette.h"
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

// A folder skin sets every colour role a control draws with: what its file
// names as named, the rest derived from its colours.
TEST_F(Skins, AFolderSkinDerivesEveryRoleItsFileDoesNotName) {
  Skin("Tma",
       "[Colors]\nWindow=#2B2D30\nWindowText=#E6E6E6\nButton=#3C3F44\nButtonText=#F0F0F0\n"
       "Base=#1E1F22\nText=#E6E6E6\nHighlight=#3D6FB4\nDark=#010203\n[Disabled]\nButtonText=#808080\n");
  CreateForms();
  QPalette builtIn = QApplication::palette();
  Form1->sSkinManager1.SetSkinName("Tma");
  QCoreApplication::processEvents();  // the windows take the palette change as an event
  QPalette skin = QApplication::palette();
  QColor window = skin.color(QPalette::Window), button = skin.color(QPalette::Button);
  EXPECT_EQ(skin.color(QPalette::Dark), QColor(0x01, 0x02, 0x03));
  // the lit edge lighter than a button, the shaded ones darker
  EXPECT_GT(RelativeLuminance(skin.color(QPalette::Light)), RelativeLuminance(button));
  EXPECT_GT(RelativeLuminance(skin.color(QPalette::Midlight)), RelativeLuminance(button));
  EXPECT_LT(RelativeLuminance(skin.color(QPalette::Shadow)), RelativeLuminance(button));
  EXPECT_NE(skin.color(QPalette::Light), builtIn.color(QPalette::Light));
  // outlines of check and edit boxes show on the window (3 : 1 for the parts of a control)
  EXPECT_GE(ContrastRatio(skin.color(QPalette::Mid), window), 3.0);
  EXPECT_GE(ContrastRatio(skin.color(QPalette::Mid), skin.color(QPalette::Base)), 3.0);
  for (QPalette::ColorRole link : {QPalette::Link, QPalette::LinkVisited})
    EXPECT_GE(ContrastRatio(skin.color(link), window), kReadableContrast);
  EXPECT_GE(ContrastRatio(skin.color(QPalette::ToolTipText), skin.color(QPalette::ToolTipBase)), kReadableContrast);
  // disabled controls: the skin's backgrounds, dimmed but readable texts, the named one as named
  EXPECT_EQ(skin.color(QPalette::Disabled, QPalette::Button), button);
  EXPECT_EQ(skin.color(QPalette::Disabled, QPalette::Window), window);
  EXPECT_EQ(skin.color(QPalette::Disabled, QPalette::ButtonText), QColor(0x80, 0x80, 0x80));
  QColor disabledText = skin.color(QPalette::Disabled, QPalette::WindowText);
  EXPECT_NE(disabledText, skin.color(QPalette::WindowText));
  EXPECT_GE(ContrastRatio(disabledText, window), kReadableContrast);
  for (int role = 0; role < QPalette::NColorRoles; ++role) {
    if (role == QPalette::NoRole) continue;
    auto r = static_cast<QPalette::ColorRole>(role);
    EXPECT_EQ(skin.color(QPalette::Inactive, r), skin.color(QPalette::Active, r)) << role;
  }
  // link labels draw in the palette's link colour
  Form2->show();
  EXPECT_EQ(Form2->MailLink->palette().color(Form2->MailLink->foregroundRole()).name().toStdString(),
            skin.color(QPalette::Link).name().toStdString());
  Form2->hide();
  Form1->sSkinManager1.SetSkinName("WindowsXP (default)");
  EXPECT_EQ(QApplication::palette().color(QPalette::Light), builtIn.color(QPalette::Light));
  EXPECT_EQ(QApplication::palette().color(QPalette::Disabled, QPalette::Button),
            builtIn.color(QPalette::Disabled, QPalette::Button));
}

// The contrast of a widget's text as the user sees it: the widget is drawn
// with its text and again without it; the pixels that differ are the text,
// and its contrast is the greatest one between such a pixel and the same
// pixel without the text (the glyph's full colour against what lies under
// it). Nothing when the widget shows no text.
std::optional<double> TextContrast(QWidget* widget) {
  std::function<void()> hide, restore;
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    QString text = label->text();
    hide = [=] { label->setText({}); };
    restore = [=] { label->setText(text); };
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    QString text = button->text();
    hide = [=] { button->setText({}); };
    restore = [=] { button->setText(text); };
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {  // also the edit of a spin or combo box
    QString text = edit->text();
    hide = [=] { edit->setText({}); };
    restore = [=] { edit->setText(text); };
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    QString text = group->title();
    hide = [=] { group->setTitle({}); };
    restore = [=] { group->setTitle(text); };
  } else if (auto* combo = qobject_cast<QComboBox*>(widget); combo != nullptr && !combo->isEditable()) {
    int index = combo->currentIndex();
    hide = [=] { combo->setCurrentIndex(-1); };
    restore = [=] { combo->setCurrentIndex(index); };
  } else if (auto* bar = qobject_cast<QMenuBar*>(widget)) {
    QStringList texts;
    for (QAction* action : bar->actions()) texts << action->text();
    hide = [=] {
      for (QAction* action : bar->actions()) action->setText({});
    };
    restore = [=] {
      for (qsizetype i = 0; i < texts.size(); ++i) bar->actions()[i]->setText(texts[i]);
    };
  } else {
    return std::nullopt;
  }
  QImage with = widget->grab().toImage();
  hide();
  QImage without = widget->grab().toImage();
  restore();
  if (with.size() != without.size()) return std::nullopt;
  std::optional<double> best;
  for (int y = 0; y < with.height(); ++y)
    for (int x = 0; x < with.width(); ++x)
      if (with.pixel(x, y) != without.pixel(x, y))
        best = std::max(best.value_or(1.0), ContrastRatio(with.pixelColor(x, y), without.pixelColor(x, y)));
  return best;
}

// Every text the user reads in `window` as it shows now; the unreadable ones
// are described in `faults`.
int CheckTexts(QWidget* window, const QString& where, std::ostringstream& faults) {
  int checked = 0;
  QList<QWidget*> widgets = window->findChildren<QWidget*>();
  for (QWidget* widget : widgets) {
    if (!widget->isVisibleTo(window)) continue;
    std::optional<double> contrast = TextContrast(widget);
    if (!contrast) continue;
    ++checked;
    if (*contrast < kReadableContrast)
      faults << where.toStdString() << ": " << widget->metaObject()->className() << " "
             << widget->objectName().toStdString() << " \"" << widget->accessibleName().toStdString() << "\" reads at "
             << *contrast << " : 1\n";
  }
  return checked;
}

// Each page of the main window, and the about box, under every shipped skin:
// labels, buttons, check boxes, edit text, links and the button of the page
// on view all read at 4.5 : 1 at least.
TEST_F(Skins, EveryTextReadsUnderEveryShippedSkin) {
  for (const auto& shipped : fs::directory_iterator(fs::path(OVLIX_PROGRAM_FOLDER) / "skins")) {
    std::string options = root.Read(shipped.path() / "Options.dat");
    Skin(shipped.path().filename().string().c_str(), options);
  }
  CreateForms();
  QStringList skins = Form1->sSkinManager1.SkinNames();
  ASSERT_GE(skins.size(), 3);  // the built-in skin, "Klasik" and "Noc"
  ASSERT_TRUE(skins.contains("Noc"));
  Form1->show();
  std::ostringstream faults;
  for (const QString& skin : skins) {
    Form1->sSkinManager1.SetSkinName(skin);
    QCoreApplication::processEvents();
    int checked = 0;
    for (QPushButton* page : {Form1->sButton26, Form1->sButton27, Form1->sButton28, Form1->sButton29}) {
      page->click();
      ASSERT_FALSE(page->isEnabled());
      checked += CheckTexts(Form1, skin + " / " + page->text(), faults);
    }
    Form2->show();
    checked += CheckTexts(Form2, skin + " / O programu", faults);
    Form2->hide();
    EXPECT_GT(checked, 80) << skin.toStdString();
  }
  EXPECT_TRUE(faults.str().empty()) << faults.str();
}

TEST(SkinOptions, Colours) {
  EXPECT_EQ(ParseSkinColor(" #A0b1C2 "), 0xA0B1C2u);
  EXPECT_FALSE(ParseSkinColor("A0B1C2"));
  EXPECT_FALSE(ParseSkinColor("#A0B1C"));
  EXPECT_FALSE(ParseSkinColor("#A0B1CG"));
  SkinLook missing = ReadSkinLook("/nonexistent/skin");
  EXPECT_FALSE(missing.Names());
  SkinLook disabled = ParseSkinOptions("[Disabled]\nText=#102030\n");
  EXPECT_TRUE(disabled.Names());
  EXPECT_EQ(disabled.disabled[5], 0x102030u);
  EXPECT_FALSE(disabled.colors[5]);
}

}  // namespace
