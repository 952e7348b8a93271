#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <cstdio>
#include <sstream>

#include "app/AddOnsGroup.h"
#include "framework/file_dialog.h"
#include "framework/ini_file.h"
#include "resx/RXMain.h"
#include "tests/resx/fixtures.h"
#include "tests/support/forms_fixture.h"
#include "tests/support/shown_pixels.h"

namespace fs = std::filesystem;

namespace {

class Explorer : public FormsTest {
 protected:
  void SetUp() override {
    CreateForms();
    KSRE->show();
    std::vector<std::u16string> table(16);
    table[1] = u"Ahoj";
    std::string menu(4, '\0');
    Put16(menu, 0x80), Put16(menu, 7);
    menu += Utf16(u"Konec") + std::string(2, '\0');
    file_ = (root.dir() / "Ukázka.DLL").string();
    root.Write(file_, BuildPe({Dir(2u, {Named(101u, Bitmap(40, 4, 4, 24))}), Dir(4u, {Named(1u, menu)}),
                               Dir(5u, {Named(1u, std::string(20, 'd'))}), Dir(6u, {Named(1u, StringBlock(table))}),
                               Dir(16u, {Named(1u, std::string(600, 'v'))}),
                               Dir(24u, {Named(1u, "<assembly/>"), Named(2u, "<x/>")})})
                          .bytes);
    SetFileDialogAnswer([this](FileDialogKind kind, const QString& filter, int& index) {
      asked_.push_back({kind, filter, index});
      return answer_;
    });
  }
  void TearDown() override {
    SetFileDialogAnswer({});
    FormsTest::TearDown();
  }
  QTreeWidgetItem* Node(int type, int child = -1) {
    QTreeWidgetItem* t = KSRE->TreeView->topLevelItem(type);
    return child < 0 ? t : t->child(child);
  }
  void Select(QTreeWidgetItem* node) { KSRE->TreeView->setCurrentItem(node); }
  // Opens a damaged file through "Otevřít...": one box tells the damage.
  void OpenDamaged(const std::string& path, const std::string& bytes) {
    root.Write(path, bytes);
    answer_ = QString::fromStdString(path);
    KSRE->miOpen->trigger();
    ASSERT_EQ(boxes.texts().size(), 1);
    EXPECT_TRUE(boxes.texts()[0].startsWith("Damaged file: ")) << boxes.texts()[0].toStdString();
  }
  QString Status(int i) { return KSRE->StatusPanels[i]->text(); }

  struct Asked {
    FileDialogKind kind;
    QString filter;
    int index;
  };
  std::string file_;
  QString answer_;
  std::vector<Asked> asked_;
};

TEST_F(Explorer, OpeningSelectsTheFirstType) {
  answer_ = QString::fromStdString(file_);
  KSRE->miOpen->trigger();
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_EQ(asked_[0].filter, TKSRE::kOpenFilter);
  EXPECT_EQ(KSRE->windowTitle(),
            QString::fromStdString("Resource Explorer - " + QString::fromStdString(file_).toLower().toStdString()));
  EXPECT_EQ(KSRE->TreeView->topLevelItemCount(), 6);
  EXPECT_EQ(KSRE->TreeView->currentItem(), Node(0));
  EXPECT_EQ(KSRE->Notebook->currentIndex(), 0);
  EXPECT_EQ(KSRE->ListView->RowCount(), 1);
  EXPECT_EQ(KSRE->ListView->Text(0, 0), "101");
  EXPECT_EQ(KSRE->ListView->Text(0, 1).size(), 7);
  EXPECT_EQ(KSRE->ListView->Text(0, 2), "00058");
  EXPECT_EQ(KSRE->ListViewCaption->text(), " Bitmap");
  EXPECT_EQ(Status(0), " 1 objektů");
  EXPECT_EQ(Status(1), QString(" Offset: %1")
                           .arg(KSRE->OpenImage()->Resources().Value()->Items()[0]->Place().Value().offset, 0, 16)
                           .toUpper()
                           .replace("OFFSET", "Offset"));
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(Explorer, OpensAtItsDesignWidthAndItsStatusStaysReadable) {
  // the status bar's panels, 150 and 500 wide, do not widen the window
  EXPECT_EQ(KSRE->width(), 613);
  KSRE->OpenFile(QString::fromStdString(file_));
  Select(Node(0, 0));
  EXPECT_EQ(KSRE->width(), 613);
  QLabel* panel = KSRE->StatusPanels[1];
  EXPECT_GE(panel->width(), panel->fontMetrics().horizontalAdvance(panel->text()));
  // a wide window gives the last panel its 500
  KSRE->resize(900, KSRE->height());
  QApplication::processEvents();
  EXPECT_EQ(panel->width(), 500);
}

TEST_F(Explorer, EachLeafOnItsPage) {
  KSRE->OpenFile(QString::fromStdString(file_));
  Select(Node(0, 0));
  EXPECT_EQ(KSRE->Notebook->currentIndex(), 1);
  EXPECT_FALSE(KSRE->ImageViewer->pixmap().isNull());
  EXPECT_EQ(KSRE->ListViewCaption->text(), " Bitmap: 101");
  EXPECT_TRUE(Status(0).isEmpty());
  EXPECT_TRUE(Status(1).startsWith(" Offset: "));
  EXPECT_TRUE(Status(1).endsWith("  Velikost: 58"));
  Select(Node(1, 0));
  EXPECT_EQ(KSRE->Notebook->currentIndex(), 2);
  EXPECT_EQ(KSRE->StringViewer->toPlainText(), "MENUITEM \"Konec\",  7");
  Select(Node(3, 0));
  EXPECT_EQ(KSRE->StringViewer->toPlainText(), "1,  \"Ahoj\"");
  EXPECT_EQ(KSRE->StringViewer->textCursor().position(), 0);
  for (int type : {2, 4}) {  // a dialog and a version resource
    Select(Node(type, 0));
    EXPECT_EQ(KSRE->Notebook->currentIndex(), 3) << type;
  }
  EXPECT_EQ(KSRE->HexDumpView()->Model().DataSize(), 600);
  Select(Node(5, 0));
  EXPECT_EQ(KSRE->ListViewCaption->text(), " 24: 1");
  EXPECT_EQ(KSRE->HexDumpView()->Model().DataSize(), 11);
  // selecting a row in the list shows nothing
  Select(Node(5));
  KSRE->ListView->SelectRow(1);
  EXPECT_EQ(KSRE->Notebook->currentIndex(), 0);
  EXPECT_TRUE(boxes.boxes().empty());
}

// "Zobrazit jako text" is off until chosen; on, dialogs, accelerators,
// message tables, versions and manifests show their listings on the memo
// page, and the choice is kept in the settings file.
TEST_F(Explorer, TextViewListsDialogsVersionsAndManifests) {
  std::string dialog = DialogTemplate(true);
  std::string accelerators;
  Put16(accelerators, 0x89), Put16(accelerators, 'O'), Put16(accelerators, 100), Put16(accelerators, 0);
  std::string messages;
  Put32(messages, 1), Put32(messages, 5), Put32(messages, 5), Put32(messages, 16), Put16(messages, 8),
      Put16(messages, 0);
  messages.append("Ano\0", 4);
  std::string listed = (root.dir() / "texty.dll").string();
  root.Write(listed,
             BuildPe({Dir(5u, {Named(1u, dialog), Named(2u, dialog.substr(0, dialog.find(Utf16(u"Seznam"))))}),
                      Dir(9u, {Named(1u, accelerators)}), Dir(10u, {Named(1u, "raw")}), Dir(11u, {Named(1u, messages)}),
                      Dir(16u, {Named(1u, VersionInfo({{u"040504E2", {{u"FileDescription", u"Ovlix"}}}}, {}))}),
                      Dir(24u, {Named(1u, "\xFF\xFE" + Utf16(u"<assembly/>"))})})
                 .bytes);
  KSRE->OpenFile(QString::fromStdString(listed));
  EXPECT_FALSE(KSRE->miViewText->isChecked());
  Select(Node(0, 0));
  EXPECT_EQ(KSRE->Notebook->currentIndex(), 3);  // off: the hex dump, as ever

  KSRE->miViewText->trigger();
  EXPECT_TRUE(KSRE->miViewText->isChecked());
  EXPECT_EQ(TIniFile("Trelmo.ini").ReadString("RX", "Text", "<none>"), "1");
  // the selected leaf is shown again, as text
  EXPECT_EQ(KSRE->Notebook->currentIndex(), 2);
  EXPECT_TRUE(KSRE->StringViewer->toPlainText().startsWith("DIALOGEX 10, 20, 200, 100\nSTYLE 0x80C800C8\n"));
  EXPECT_TRUE(KSRE->StringViewer->toPlainText().endsWith("\"SysListView32\", 0x50010001, 7, 1050, 50, 14\nEND"));
  EXPECT_EQ(KSRE->ListViewCaption->text(), " Dialog: 1");
  EXPECT_TRUE(Status(1).startsWith(" Offset: "));
  EXPECT_TRUE(Status(1).endsWith(
      QString("  Velikost: %1").arg(dialog.size(), 0, 16).toUpper().replace("VELIKOST", "Velikost")));
  struct Leaf {
    int type;
    const char* text;
  } leaves[] = {
      {1, "\"O\", 100, VIRTKEY, CONTROL"}, {3, "0x00000005  \"Ano\""}, {4, "FILEVERSION 1.2.3.4"}, {5, "<assembly/>"}};
  for (const Leaf& leaf : leaves) {
    Select(Node(leaf.type, 0));
    EXPECT_EQ(KSRE->Notebook->currentIndex(), 2) << leaf.type;
    EXPECT_EQ(KSRE->StringViewer->toPlainText().split('\n')[0], leaf.text);
  }
  Select(Node(2, 0));  // RCData has no listing
  EXPECT_EQ(KSRE->Notebook->currentIndex(), 3);
  EXPECT_TRUE(boxes.boxes().empty());

  // a damaged dialog: the controls read before the damage, and the error
  Select(Node(0, 1));
  EXPECT_EQ(KSRE->Notebook->currentIndex(), 2);
  EXPECT_TRUE(KSRE->StringViewer->toPlainText().endsWith("COMBOBOX, 0x50210003, 7, 1040, 50, 14"));
  EXPECT_EQ(KSRE->ListViewCaption->text(), " Dialog: 2");
  ASSERT_EQ(boxes.texts(), QStringList{"Damaged file: the dialog ends early"});

  KSRE->miViewText->trigger();
  EXPECT_FALSE(KSRE->miViewText->isChecked());
  EXPECT_EQ(TIniFile("Trelmo.ini").ReadString("RX", "Text", "<none>"), "0");
  EXPECT_EQ(KSRE->Notebook->currentIndex(), 3);
}

TEST_F(Explorer, TextViewIsReadWhenTheWindowIsCreated) {
  TIniFile("Trelmo.ini").WriteString("RX", "Text", "1");
  TKSRE window(nullptr);
  window.show();
  EXPECT_TRUE(window.miViewText->isChecked());
  EXPECT_TRUE(window.ShowsText());
  EXPECT_FALSE(KSRE->ShowsText());  // made before the setting was written
}

// A picture larger than its page scrolls inside it, in a window that keeps
// its size; a small one is shown in the middle of the page. What is checked
// is what the screen shows of the page.
TEST_F(Explorer, PicturesScrollInsideTheWindow) {
  std::string pictures = (root.dir() / "obrázky.dll").string();
  root.Write(pictures, BuildPe({Dir(2u, {Named(1u, Bitmap(40, 1128, 30, 24)), Named(2u, Bitmap(40, 30, 1500, 24)),
                                         Named(3u, Bitmap(40, 6, 4, 24))})})
                           .bytes);
  KSRE->OpenFile(QString::fromStdString(pictures));
  QCoreApplication::processEvents();
  const QSize size = KSRE->size();
  // the picture's pixels along a column (or row) of the page, the page's
  // background (its top left pixel) left out
  auto picturePixels = [](const QImage& screen, bool column, int at) {
    std::vector<std::uint32_t> colours;
    QRgb background = screen.pixel(0, 0);
    for (int i = 0; i < (column ? screen.height() : screen.width()); ++i)
      if (QRgb p = column ? screen.pixel(at, i) : screen.pixel(i, at); p != background)
        colours.push_back(p | 0xFF000000u);
    return colours;
  };
  auto pattern = [](bool column, int at, int length) {
    std::vector<std::uint32_t> colours;
    for (int i = 0; i < length; ++i) colours.push_back(column ? PatternColor(at, i, 24) : PatternColor(i, at, 24));
    return colours;
  };

  Select(Node(0, 0));  // 1128 x 30
  QCoreApplication::processEvents();
  EXPECT_EQ(KSRE->size(), size);
  ASSERT_EQ(KSRE->Notebook->currentIndex(), 1);
  auto* page = qobject_cast<QScrollArea*>(KSRE->Notebook->currentWidget());
  ASSERT_NE(page, nullptr);
  QWidget* viewport = page->viewport();
  ASSERT_LT(viewport->width(), 1128);
  QScrollBar* across = page->horizontalScrollBar();
  across->setValue(across->maximum());
  // the picture's last column at the page's right edge
  EXPECT_EQ(picturePixels(ShownPixels(viewport), true, viewport->width() - 1), pattern(true, 1127, 30));

  Select(Node(0, 1));  // 30 x 1500
  QCoreApplication::processEvents();
  EXPECT_EQ(KSRE->size(), size);
  QScrollBar* down = page->verticalScrollBar();
  down->setValue(down->maximum());
  EXPECT_EQ(picturePixels(ShownPixels(viewport), false, viewport->height() - 1), pattern(false, 1499, 30));

  Select(Node(0, 2));  // 6 x 4, in the middle of the page
  QCoreApplication::processEvents();
  EXPECT_EQ(KSRE->size(), size);
  QImage screen = ShownPixels(viewport);
  QRect picture;
  for (int y = 0; y < screen.height(); ++y)
    for (int x = 0; x < screen.width(); ++x)
      if (screen.pixel(x, y) != screen.pixel(0, 0)) picture |= QRect(x, y, 1, 1);
  EXPECT_EQ(picture.size(), QSize(6, 4));
  EXPECT_EQ(picturePixels(screen, false, picture.top()), pattern(false, 0, 6));
  EXPECT_LE(std::abs(2 * picture.left() + 6 - viewport->width()), 1);
  EXPECT_LE(std::abs(2 * picture.top() + 4 - viewport->height()), 1);
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(Explorer, SavingTheSelectedResource) {
  KSRE->OpenFile(QString::fromStdString(file_));
  KSRE->miSave->trigger();  // a type node and no row
  EXPECT_EQ(boxes.texts(), QStringList{"Nejsou označeny žádné zdroje"});
  EXPECT_TRUE(asked_.empty());
  Select(Node(5));
  KSRE->ListView->SelectRow(1);  // the row is saved
  answer_ = QString::fromStdString((root.dir() / "x.bin").string());
  KSRE->miSave->trigger();
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_EQ(asked_[0].kind, FileDialogKind::Save);
  EXPECT_EQ(asked_[0].index, 1);
  EXPECT_EQ(root.Read(root.dir() / "x.bin"), "<x/>");
  Select(Node(0, 0));
  answer_ = QString::fromStdString((root.dir() / "b.bmp").string());
  KSRE->miSave->trigger();
  EXPECT_EQ(asked_.back().index, 2);
  EXPECT_EQ(root.Read(root.dir() / "b.bmp").substr(0, 2), "BM");
  answer_.clear();  // cancelled: nothing
  KSRE->miSave->trigger();
  EXPECT_EQ(boxes.boxes().size(), 1u);
}

TEST_F(Explorer, SavingAWholeIconGroup) {
  std::string small = IconImage(16, 16, 4), large = IconImage(32, 32, 32, true);
  std::string icons = (root.dir() / "icons.dll").string();
  root.Write(
      icons,
      BuildPe({Dir(1u, {Named(1u, std::string(4, '\0') + small)}), Dir(3u, {Named(1u, small), Named(2u, large)}),
               Dir(12u, {Named(1u, IconGroup({{16, 16, 0, 4, 1, 0}}, true))}),
               Dir(14u, {Named(1u, IconGroup({{32, 32, 0, 32, 2, 0}, {16, 16, 16, 4, 1, 0}, {8, 8, 0, 4, 3, 0}}))})})
          .bytes);
  KSRE->OpenFile(QString::fromStdString(icons));
  ASSERT_EQ(KSRE->TreeView->topLevelItemCount(), 2);  // Cursor, Icon
  EXPECT_FALSE(KSRE->miSaveGroup->isEnabled());       // a type
  Select(Node(1, 0));
  EXPECT_TRUE(KSRE->miSaveGroup->isEnabled());
  answer_ = QString::fromStdString((root.dir() / "all.ico").string());
  KSRE->miSaveGroup->trigger();
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_EQ(asked_[0].kind, FileDialogKind::Save);
  EXPECT_EQ(asked_[0].filter, "Ikony (*.ICO)|*.ICO");
  std::string saved = root.Read(root.dir() / "all.ico");
  EXPECT_EQ(saved.substr(4, 2), std::string("\2\0", 2));  // two images; the third is missing
  EXPECT_EQ(saved.substr(saved.size() - small.size()), small);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].kind, BoxKind::Warning);
  EXPECT_EQ(boxes.texts()[0], "Skupina uvádí obrázky, které v souboru nejsou (3); uloženy jsou ostatní.");

  Select(Node(0, 0));
  EXPECT_TRUE(KSRE->miSaveGroup->isEnabled());
  answer_ = QString::fromStdString((root.dir() / "arrow.cur").string());
  KSRE->miSaveGroup->trigger();
  EXPECT_EQ(asked_.back().filter, "Kurzory (*.CUR)|*.CUR");
  EXPECT_EQ(root.Read(root.dir() / "arrow.cur").substr(0, 6), std::string("\0\0\2\0\1\0", 6));

  Select(Node(1, 0)->child(0));  // one image of the group: "Uložit Objekt..." saves it
  EXPECT_FALSE(KSRE->miSaveGroup->isEnabled());
}

TEST_F(Explorer, AFailedSaveLeavesTheOldFile) {
  std::string bad = (root.dir() / "bad.dll").string();
  root.Write(
      bad,
      BuildPe({Dir(3u, {Named(1u, "not an image")}), Dir(14u, {Named(1u, IconGroup({{16, 16, 16, 4, 1, 0}}))})}).bytes);
  KSRE->OpenFile(QString::fromStdString(bad));
  Select(Node(0, 0)->child(0));
  root.Write(root.dir() / "keep.ico", "old icon");
  answer_ = QString::fromStdString((root.dir() / "keep.ico").string());
  KSRE->miSave->trigger();
  EXPECT_EQ(boxes.texts().back(), "Icon image is not valid");
  EXPECT_EQ(root.Read(root.dir() / "keep.ico"), "old icon");
  EXPECT_EQ(asked_.back().index, 3);
}

// Another program cuts the open library short: what lost its bytes is
// neither shown (as zeros) nor saved; the error says why.
TEST_F(Explorer, NothingOfAFileCutShortIsShownOrSaved) {
  std::string cut = (root.dir() / "cut.dll").string();
  // code first: the resources lie past the head read at the opening, and
  // the section is larger than is read into memory: the file is mapped
  PeOptions options;
  options.codeSize = 0x8000;
  options.resourceVirtualAddress = 0x9000;
  PeFile pe =
      BuildPe({Dir(10u, {Named(1u, std::string(1200000, 'x'))}), Dir(2u, {Named(1u, Bitmap(40, 4, 4, 24))})}, options);
  root.Write(cut, pe.bytes);
  KSRE->OpenFile(QString::fromStdString(cut));
  ASSERT_EQ(KSRE->TreeView->topLevelItemCount(), 2);
  std::size_t data = pe.resourceOffset - options.resourceVirtualAddress +
                     platform::Get32(platform::AsBytes(pe.bytes), pe.resourceOffset + pe.dataEntries[0]);
  fs::resize_file(cut, data + 65536);
  const QString shorter = "Damaged file: the file has become shorter since it was opened";
  Select(Node(0, 0));
  EXPECT_EQ(boxes.texts(), QStringList{shorter});
  EXPECT_NE(KSRE->Notebook->currentIndex(), 3);
  Select(Node(1, 0));
  EXPECT_EQ(boxes.texts(), (QStringList{shorter, shorter}));
  EXPECT_NE(KSRE->Notebook->currentIndex(), 1);
  EXPECT_TRUE(KSRE->ImageViewer->pixmap().isNull());
  answer_ = QString::fromStdString((root.dir() / "b.bmp").string());
  KSRE->miSave->trigger();
  EXPECT_EQ(boxes.texts(), (QStringList{shorter, shorter, shorter}));
  EXPECT_FALSE(fs::exists(root.dir() / "b.bmp"));
}

TEST_F(Explorer, AFileThatIsNoLibraryKeepsThePreviousOne) {
  KSRE->OpenFile(QString::fromStdString(file_));
  QString title = KSRE->windowTitle();
  root.Write(root.dir() / "readme.txt", "Toto není knihovna.");
  answer_ = QString::fromStdString((root.dir() / "readme.txt").string());
  KSRE->miOpen->trigger();
  EXPECT_EQ(boxes.texts(), QStringList{"unrecognized file format"});
  EXPECT_EQ(KSRE->windowTitle(), title);
  EXPECT_EQ(KSRE->TreeView->topLevelItemCount(), 6);
  EXPECT_EQ(KSRE->OpenImage()->FileName(), file_);
}

TEST_F(Explorer, ADamagedLibraryLeavesNothingOfThePreviousOneShown) {
  KSRE->OpenFile(QString::fromStdString(file_));
  Select(Node(0, 0));
  ASSERT_EQ(KSRE->ListViewCaption->text(), " Bitmap: 101");
  PeFile damaged = BuildPe({Dir(10u, {Named(1u, "data")})});
  damaged.bytes[damaged.resourceOffset + 14] = '\xFF', damaged.bytes[damaged.resourceOffset + 15] = '\x7F';
  const std::string other = (root.dir() / "Poškozená.dll").string();
  OpenDamaged(other, damaged.bytes);
  EXPECT_EQ(KSRE->windowTitle(), "Resource Explorer - " + QString::fromStdString(other).toLower());
  EXPECT_EQ(KSRE->TreeView->topLevelItemCount(), 0);
  EXPECT_TRUE(KSRE->ListViewCaption->text().isEmpty());
  EXPECT_TRUE(Status(0).isEmpty());
  EXPECT_TRUE(Status(1).isEmpty());
  EXPECT_EQ(KSRE->Notebook->currentIndex(), 0);
}

TEST_F(Explorer, ListEntrySplitterAndViewMenu) {
  KSRE->OpenFile(QString::fromStdString(file_));
  KSRE->ListView->details->setFocus();  // one row: nothing is selected
  QCoreApplication::processEvents();
  EXPECT_EQ(KSRE->ListView->SelectedRow(), -1);
  Select(Node(5));
  KSRE->TreeView->setFocus();
  KSRE->ListView->details->setFocus();
  QCoreApplication::processEvents();
  EXPECT_EQ(KSRE->ListView->SelectedRow(), 0);

  int width = KSRE->TreeViewPanel->width();
  QTest::mousePress(KSRE->Splitter, Qt::LeftButton, {}, QPoint(1, 5));
  QTest::mouseRelease(KSRE->Splitter, Qt::LeftButton, {}, QPoint(1, 5));
  EXPECT_EQ(KSRE->TreeViewPanel->width(), width);
  QTest::mousePress(KSRE->Splitter, Qt::LeftButton, {}, QPoint(0, 5));
  QMouseEvent move(QEvent::MouseMove, QPointF(40, 5), KSRE->Splitter->mapToGlobal(QPointF(40, 5)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(KSRE->Splitter, &move);
  QTest::mouseRelease(KSRE->Splitter, Qt::LeftButton, {}, QPoint(40, 5));
  EXPECT_EQ(KSRE->TreeViewPanel->width(), width + 40);
  EXPECT_EQ(KSRE->SplitControl()->SizingSplitter, nullptr);

  KSRE->miViewStyle[0]->trigger();
  EXPECT_EQ(KSRE->ListView->Style(), 0);
  KSRE->ViewMenuDropDown();
  EXPECT_TRUE(KSRE->miViewStyle[0]->isChecked());
  EXPECT_TRUE(KSRE->miViewStatusBar->isChecked());
  KSRE->miViewStatusBar->trigger();
  EXPECT_TRUE(KSRE->StatusBar->isHidden());
  KSRE->miExit->trigger();
  EXPECT_FALSE(KSRE->isVisible());
}

QStringList LanguageItems() {
  QStringList texts;
  for (QAction* action : KSRE->LanguageMenu->actions()) texts << action->text() + (action->isChecked() ? " *" : "");
  return texts;
}

QAction* LanguageItem(const QString& text) {
  for (QAction* action : KSRE->LanguageMenu->actions())
    if (action->text() == text) return action;
  return nullptr;
}

TEST_F(Explorer, TheLanguageOfTheResources) {
  EXPECT_EQ(KSRE->LanguageMenu->title(), "Jazyk zdrojů");
  EXPECT_TRUE(KSRE->ViewMenu->actions().contains(KSRE->LanguageMenu->menuAction()));
  EXPECT_EQ(LanguageItems(), QStringList{"První v souboru (výchozí) *"});
  std::string three = (root.dir() / "three.dll").string();
  root.Write(three, ThreeLanguages().bytes);
  KSRE->OpenFile(QString::fromStdString(three));
  EXPECT_EQ(LanguageItems(), (QStringList{"První v souboru (výchozí) *", "0405 Czech", "0407 German (Germany)",
                                          "0409 English (United States)"}));
  // String/1, then the image of Icon/MAIN
  Select(Node(0, 0));
  EXPECT_EQ(KSRE->StringViewer->toPlainText(), "0,  \"Hello\"");
  LanguageItem("0405 Czech")->trigger();
  EXPECT_EQ(LanguageItems(), (QStringList{"První v souboru (výchozí)", "0405 Czech *", "0407 German (Germany)",
                                          "0409 English (United States)"}));
  ASSERT_NE(KSRE->TreeView->currentItem(), nullptr);
  EXPECT_EQ(KSRE->TreeView->currentItem(), Node(0, 0));  // the selection's path is kept
  EXPECT_EQ(KSRE->StringViewer->toPlainText(), "0,  \"Ahoj\"");
  Select(Node(2, 0)->child(0));
  EXPECT_EQ(KSRE->ImageViewer->pixmap().size(), QSize(32, 32));
  EXPECT_EQ(KSRE->ListViewCaption->text(), " IconEntry: 16 X 16 16 Colors");
  // RCData/8 has no Czech: its first language, German
  Select(Node(1, 2));
  EXPECT_EQ(KSRE->ListViewCaption->text(), " RCData: 8");
  EXPECT_EQ(KSRE->HexDumpView()->Model().DataSize(), 2);
  LanguageItem("0407 German (Germany)")->trigger();
  Select(Node(0, 0));
  EXPECT_EQ(KSRE->StringViewer->toPlainText(), "0,  \"Hallo\"");
  LanguageItem("První v souboru (výchozí)")->trigger();
  EXPECT_EQ(KSRE->StringViewer->toPlainText(), "0,  \"Hello\"");
  LanguageItem("0405 Czech")->trigger();

  // another file: its own languages, and the first of each again
  KSRE->OpenFile(QString::fromStdString(file_));
  EXPECT_EQ(LanguageItems(), (QStringList{"První v souboru (výchozí) *", "0409 English (United States)"}));
  EXPECT_EQ(KSRE->OpenImage()->Language(), std::nullopt);
  EXPECT_TRUE(boxes.boxes().empty());
}

// The window's tree, one line a node as ovlix-resx lists it: indented by
// depth, the name, the offset and the size.
QStringList TreeLines(QTreeWidget* tree) {
  QStringList lines;
  std::function<void(QTreeWidgetItem*, int)> add = [&](QTreeWidgetItem* node, int depth) {
    lines << QString(2 * depth, ' ') + node->text(0);
    for (int i = 0; i < node->childCount(); ++i) add(node->child(i), depth + 1);
  };
  for (int i = 0; i < tree->topLevelItemCount(); ++i) add(tree->topLevelItem(i), 0);
  return lines;
}

// ovlix-resx list's lines in the same form: a path's last name, its "%2F"
// and "%25" read back and a repeat's "~n" left out.
QStringList ListedLines(const std::string& file) {
  std::string text;
  if (FILE* pipe = ::popen((std::string(OVLIX_RESX) + " list '" + file + "' 2>/dev/null").c_str(), "r")) {
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) text.append(buf, n);
    ::pclose(pipe);
  }
  QStringList lines;
  std::istringstream in(text);
  std::string line;
  std::getline(in, line);  // the file's name
  while (std::getline(in, line)) {
    std::size_t indent = line.find_first_not_of(' ');
    std::string path = line.substr(indent, line.find('\t') - indent);
    std::string name = path.substr(path.rfind('/') + 1);
    if (std::size_t tilde = name.rfind('~'); tilde != std::string::npos) name.erase(tilde);
    QString readable = QString::fromStdString(name).replace("%2F", "/").replace("%25", "%");
    lines << QString(static_cast<qsizetype>(indent), ' ') + readable;
  }
  return lines;
}

// A type named by a string that lies outside the file: every type shows,
// the damaged one as "?", as ovlix-resx lists it, and the damage is told
// once.
TEST_F(Explorer, ADamagedNameKeepsEveryTypeItCanRead) {
  std::vector<std::u16string> table(16);
  table[0] = u"Ahoj";
  PeFile pe =
      BuildPe({Dir(2u, {Named(1u, Bitmap(40, 2, 2, 24))}), Dir(u"DAMAGED", {Named(1u, "raw")}),
               Dir(6u, {Named(1u, StringBlock(table))}), Dir(10u, {Named(1u, "x")}), Dir(24u, {Named(1u, "<a/>")})});
  bool poked = false;
  for (std::size_t entry = 0; entry < 5; ++entry) {
    const std::size_t at = pe.resourceOffset + 16 + 8 * entry;
    if (static_cast<unsigned char>(pe.bytes[at + 3]) & 0x80) {
      Poke32(pe.bytes, at, 0xFFFFFFF0u);
      poked = true;
    }
  }
  ASSERT_TRUE(poked);
  const std::string damaged = (root.dir() / "jméno.dll").string();
  OpenDamaged(damaged, pe.bytes);
  EXPECT_FALSE(boxes.texts()[0].contains('\n')) << boxes.texts()[0].toStdString();
  ASSERT_EQ(KSRE->TreeView->topLevelItemCount(), 5);
  QStringList types;
  for (int i = 0; i < 5; ++i) types << Node(i)->text(0);
  EXPECT_TRUE(types.contains("?")) << types.join(',').toStdString();
  EXPECT_TRUE(types.contains("24")) << types.join(',').toStdString();
  EXPECT_EQ(TreeLines(KSRE->TreeView), ListedLines(damaged));
}

// The window's tree is the one ovlix-resx lists, of whole files and of
// files cut short.
TEST_F(Explorer, TheTreeIsTheOneTheCommandLineLists) {
  std::string icons = (root.dir() / "ikony.dll").string();
  PeFile pe = BuildPe({Dir(3u, {Named(1u, IconImage(16, 16, 4)), Named(2u, IconImage(32, 32, 4))}),
                       Dir(14u, {Named(1u, IconGroup({{16, 16, 16, 4, 1, 0}, {32, 32, 16, 4, 2, 0}})),
                                 Named(2u, IconGroup({{48, 48, 16, 4, 2, 0}}))}),
                       Dir(u"A/B%", {Named(1u, "a")}), Dir(24u, {Named(1u, "<a/>")})});
  root.Write(icons, pe.bytes);
  std::string cut = (root.dir() / "useknutá.dll").string();
  root.Write(cut, pe.bytes.substr(0, pe.resourceOffset + pe.dataEntries[1]));
  for (const std::string& file : {file_, icons, cut}) {
    SCOPED_TRACE(file);
    answer_ = QString::fromStdString(file);
    KSRE->miOpen->trigger();  // a file cut short tells its damage in a box
    QStringList lines = ListedLines(file);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(TreeLines(KSRE->TreeView), lines);
  }
  // an image shared by two groups is named in each by that group's entry
  KSRE->OpenFile(QString::fromStdString(icons));
  QTreeWidgetItem* groups = KSRE->TreeView->findItems("Icon", Qt::MatchExactly).value(0);
  ASSERT_NE(groups, nullptr);
  EXPECT_EQ(groups->child(0)->child(1)->text(0), "32 X 32 16 Colors");
  EXPECT_EQ(groups->child(1)->child(0)->text(0), "48 X 48 16 Colors");
  Select(groups->child(0));
  EXPECT_EQ(KSRE->ListView->Text(1, 0), "32 X 32 16 Colors");
  Select(groups->child(0)->child(1));
  EXPECT_EQ(KSRE->ListViewCaption->text(), " IconEntry: 32 X 32 16 Colors");
}

// Lines holding right-to-left text read left to right, as ovlix-resx
// prints them: the id before the text, the numbers after it where they
// stand.
TEST_F(Explorer, RightToLeftTextKeepsItsLinesInOrder) {
  std::vector<std::u16string> table(16);
  table[0] = u"حسنًا";
  table[1] = u"حسنًا\", 1, BUTTON";
  const std::string arabic = (root.dir() / "arabic.dll").string();
  root.Write(arabic, BuildPe({Dir(6u, {Named(1u, StringBlock(table))})}).bytes);
  KSRE->OpenFile(QString::fromStdString(arabic));
  Select(Node(0, 0));
  QCoreApplication::processEvents();
  ASSERT_EQ(KSRE->Notebook->currentIndex(), 2);
  QTextDocument* document = KSRE->StringViewer->document();
  ASSERT_EQ(document->blockCount(), 2);
  for (int b = 0; b < 2; ++b) {
    QTextBlock block = document->findBlockByNumber(b);
    QTextLayout* layout = block.layout();
    ASSERT_NE(layout, nullptr);
    ASSERT_GT(layout->lineCount(), 0);
    QTextLine line = layout->lineAt(0);
    // every character that is not right-to-left (nor an invisible mark)
    // stands right of the one before it
    const QString text = block.text();
    qreal before = -1;
    for (int i = 0; i < text.size(); ++i) {
      QChar::Direction d = text[i].direction();
      if (d == QChar::DirR || d == QChar::DirAL || d == QChar::DirNSM || text[i] == QChar(0x200E)) continue;
      qreal x = line.cursorToX(i);
      EXPECT_GT(x, before) << "line " << b << " at " << i << ": " << text.toStdString();
      before = x;
    }
  }
  EXPECT_TRUE(KSRE->StringViewer->toPlainText().startsWith("0,  \""));
}

// A picture shown after a wide one is centred, without a scroll bar.
TEST_F(Explorer, APictureAfterAWideOneIsCentred) {
  const std::string pictures = (root.dir() / "široké.dll").string();
  root.Write(pictures,
             BuildPe({Dir(2u, {Named(214u, Bitmap(40, 1128, 24, 24))}), Dir(3u, {Named(1u, IconImage(256, 256, 32))}),
                      Dir(14u, {Named(1u, IconGroup({{0, 0, 0, 32, 1, 0}}))})})
                 .bytes);
  KSRE->OpenFile(QString::fromStdString(pictures));
  Select(Node(0, 0));
  QCoreApplication::processEvents();
  auto* page = qobject_cast<QScrollArea*>(KSRE->Notebook->currentWidget());
  ASSERT_NE(page, nullptr);
  ASSERT_TRUE(page->horizontalScrollBar()->isVisible());
  page->horizontalScrollBar()->setValue(page->horizontalScrollBar()->maximum());  // looked at its right end
  QCoreApplication::processEvents();
  Select(Node(1, 0));  // the group's list on the way, as a user goes
  QCoreApplication::processEvents();
  Select(Node(1, 0)->child(0));
  QCoreApplication::processEvents();
  ASSERT_EQ(KSRE->Notebook->currentWidget(), page);
  EXPECT_FALSE(page->horizontalScrollBar()->isVisible());
  QWidget* viewport = page->viewport();
  QImage screen = ShownPixels(viewport);
  QRect picture;
  for (int y = 0; y < screen.height(); ++y)
    for (int x = 0; x < screen.width(); ++x)
      if (screen.pixel(x, y) != screen.pixel(0, 0)) picture |= QRect(x, y, 1, 1);
  EXPECT_LE(std::abs(picture.center().x() - viewport->width() / 2), 2) << picture.x() << " " << viewport->width();
}

// "Uložit celou ikonu..." adds the chosen filter's extension to a name
// typed without one.
TEST_F(Explorer, AGroupSavedWithoutAnExtensionGetsOne) {
  std::string icons = (root.dir() / "icons.dll").string();
  root.Write(icons, BuildPe({Dir(1u, {Named(1u, std::string(4, '\0') + IconImage(16, 16, 4))}),
                             Dir(3u, {Named(1u, IconImage(16, 16, 4))}),
                             Dir(12u, {Named(1u, IconGroup({{16, 16, 0, 4, 1, 0}}, true))}),
                             Dir(14u, {Named(1u, IconGroup({{16, 16, 16, 4, 1, 0}}))})})
                        .bytes);
  KSRE->OpenFile(QString::fromStdString(icons));
  Select(Node(1, 0));
  answer_ = QString::fromStdString((root.dir() / "ikona").string());
  KSRE->miSaveGroup->trigger();
  EXPECT_TRUE(fs::exists(root.dir() / "ikona.ico"));
  EXPECT_FALSE(fs::exists(root.dir() / "ikona"));
  Select(Node(0, 0));
  answer_ = QString::fromStdString((root.dir() / "šipka").string());
  KSRE->miSaveGroup->trigger();
  EXPECT_TRUE(fs::exists(root.dir() / "šipka.cur"));
  answer_ = QString::fromStdString((root.dir() / "jiná.ICO").string());  // an extension of its own stays
  KSRE->miSaveGroup->trigger();
  EXPECT_TRUE(fs::exists(root.dir() / "jiná.ICO"));
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(Explorer, TheMainWindowOpensItOnce) {
  KSRE->hide();
  QTimer::singleShot(0, [] {
    EXPECT_TRUE(KSRE->isVisible());
    Form1->addOns->sButton9->click();  // visible: nothing more
    KSRE->FileExit();
  });
  Form1->addOns->sButton9->click();
  EXPECT_FALSE(KSRE->isVisible());
}

}  // namespace
