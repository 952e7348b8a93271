#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>
#include <filesystem>

#include "framework/application.h"
#include "framework/file_dialog.h"
#include "framework/picture_dialog.h"
#include "tests/support/temp_root.h"

namespace fs = std::filesystem;

namespace {

// Runs `look` on the dialog once it is up, then cancels it.
void WhileOpen(std::function<void(QFileDialog&)> look) {
  QTimer::singleShot(0, [look] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    look(*dialog);
    dialog->reject();
  });
}

// The texts a user reads in the dialog: its buttons and its labels.
QStringList Texts(QFileDialog& dialog) {
  QStringList texts{dialog.windowTitle()};
  for (auto* button : dialog.findChild<QDialogButtonBox*>()->findChildren<QPushButton*>()) texts << button->text();
  for (auto* label : dialog.findChildren<QLabel*>()) texts << label->text();
  return texts;
}

TEST(FileDialogs, SpeakCzech) {
  Application::LoadToolkitTranslation();
  Application::LoadToolkitTranslation();  // once is enough: a second call loads nothing more
  EXPECT_EQ(QCoreApplication::instance()->findChildren<QTranslator*>().size(), 1);
  const QStringList common{"Zrušit", "Hledat v:", "Název &souboru:", "Soubory typu:"};
  QStringList open, save, picture;
  int index = 1;
  WhileOpen([&](QFileDialog& dialog) { open = Texts(dialog); });
  RunFileDialog(FileDialogKind::Open, "FileOpenDialog", "Vše (*.*)|*.*", index);
  WhileOpen([&](QFileDialog& dialog) { save = Texts(dialog); });
  RunFileDialog(FileDialogKind::Save, "FileSaveDialog", "Vše (*.*)|*.*", index);
  WhileOpen([&](QFileDialog& dialog) { picture = Texts(dialog); });
  RunPictureOpenDialog("PlochaOpenDialog", "Podporované formáty (*.jpg;*.bmp)|*.jpg;*.bmp;");
  for (const QString& text : common) {
    EXPECT_TRUE(open.contains(text)) << text.toStdString() << ": " << open.join(" | ").toStdString();
    EXPECT_TRUE(save.contains(text)) << text.toStdString() << ": " << save.join(" | ").toStdString();
    EXPECT_TRUE(picture.contains(text)) << text.toStdString() << ": " << picture.join(" | ").toStdString();
  }
  EXPECT_TRUE(open.contains("Otevřít") && open.contains("&Otevřít")) << open.join(" | ").toStdString();
  EXPECT_TRUE(save.contains("Uložit jako") && save.contains("&Uložit")) << save.join(" | ").toStdString();
  EXPECT_TRUE(picture.contains("&Otevřít")) << picture.join(" | ").toStdString();
}

// The preview beside the list leaves the list room for its columns: no
// size or type is cut short.
TEST(PictureDialog, TheListHoldsItsColumnsBesideThePreview) {
  TempRoot root;
  fs::path folder = root.dir() / "obrazky";
  root.Write(folder / "cerveny_obrazek.jpg", std::string(300000, 'x'));
  root.Write(folder / "modry.bmp", std::string(9000, 'x'));
  WhileOpen([&folder](QFileDialog& dialog) {
    dialog.setDirectory(QString::fromStdString(folder.string()));
    auto* list = dialog.findChild<QTreeView*>("treeView");
    ASSERT_NE(list, nullptr);
    auto* preview = dialog.findChild<QLabel*>("preview");
    ASSERT_NE(preview, nullptr);
    auto fits = [list] {
      if (list->model()->rowCount(list->rootIndex()) != 2) return false;
      int total = 0;
      for (int column = 0; column < list->header()->count(); ++column) {
        if (list->isColumnHidden(column)) continue;
        // what the column's texts and the header need
        int needs = std::max(static_cast<QAbstractItemView*>(list)->sizeHintForColumn(column),
                             list->header()->sectionSizeHint(column));
        if (list->columnWidth(column) < needs) return false;
        total += list->columnWidth(column);
      }
      return total <= list->viewport()->width();
    };
    EXPECT_TRUE(QTest::qWaitFor(fits));
    EXPECT_EQ(preview->size(), QSize(180, 180));
    EXPECT_TRUE(preview->isVisible());
  });
  EXPECT_TRUE(RunPictureOpenDialog("PlochaOpenDialog", "Podporované formáty (*.jpg;*.bmp)|*.jpg;*.bmp;").isEmpty());
}

}  // namespace
