#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <QTimer>
#include <QTextBlock>
#include <filesystem>

#include "app/AddOnsGroup.h"
#include "dialogs/Unit8.h"
#include "tests/support/forms_fixture.h"

namespace fs = std::filesystem;

namespace {

class TipsViewer : public FormsTest {
 protected:
  void SetUp() override {
    CreateForms();
    Tipy->show();
  }
  fs::path TipFile(const char* name) { return root.program() / "data" / "tipy" / name; }
  void ClickAt(QPoint where) {
    QTest::mousePress(Tipy->seznam->viewport(), Qt::LeftButton, {}, where);
    QTest::mouseRelease(Tipy->seznam->viewport(), Qt::LeftButton, {}, where);
  }
  void ClickItem(int row) { ClickAt(Tipy->seznam->visualItemRect(Tipy->seznam->topLevelItem(row)).center()); }
  QString Shown() { return Tipy->memo1->toPlainText(); }
};

TEST_F(TipsViewer, TheTenTopicsInTheirColumns) {
  ASSERT_EQ(Tipy->seznam->topLevelItemCount(), 10);
  EXPECT_EQ(Tipy->seznam->topLevelItem(2)->text(0), "Blaton Horse");
  EXPECT_EQ(Tipy->seznam->topLevelItem(8)->text(0), "Vytvoření chybějící položky \"Otevřít v programu\"");
  EXPECT_EQ(Tipy->seznam->topLevelItem(8)->text(1), "Win ME/2k");
  EXPECT_EQ(Tipy->seznam->columnWidth(0), 200);
  EXPECT_EQ(Tipy->seznam->columnWidth(1), 93);
  EXPECT_EQ(Tipy->seznam->header()->sectionResizeMode(0), QHeaderView::Fixed);
  EXPECT_TRUE(Tipy->memo1->isReadOnly());
  EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(TipsViewer, TheListStaysLimeOnBlackUnderEverySkin) {
  QPalette before = QApplication::palette(), skin = before;
  skin.setColor(QPalette::Base, QColor(0x20, 0x20, 0x40));
  skin.setColor(QPalette::Text, Qt::white);
  QApplication::setPalette(skin);  // as a skin does
  EXPECT_EQ(Tipy->seznam->palette().color(QPalette::Base), QColor(Qt::black));
  EXPECT_EQ(Tipy->seznam->palette().color(QPalette::Text), QColor(0x00, 0xFF, 0x00));
  EXPECT_EQ(Tipy->seznam->header()->palette().color(QPalette::Button), skin.color(QPalette::Button));
  QApplication::setPalette(before);
}

TEST_F(TipsViewer, RichTextAndPlainTextTips) {
  root.Write(TipFile("blatonhorse.dat"),
             "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\b Sk\\'f8\\'ed\\'f2ka}\\par druh\\'fd}");
  root.Write(TipFile("zmenaukobr.dat"), "Jen text\r\nbez formátu");
  ClickItem(2);
  EXPECT_EQ(Shown(), QString::fromUtf8("Skříňka\ndruhý"));
  QTextCursor cursor(Tipy->memo1->document()->begin());
  cursor.movePosition(QTextCursor::NextCharacter);
  EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
  ClickItem(0);
  EXPECT_EQ(Shown(), QString::fromUtf8("Jen text\nbez formátu"));
  EXPECT_EQ(Tipy->memo1->textColor(), QColor(Qt::black));
  // a click below the last item selects nothing and leaves the view
  ClickAt({20, Tipy->seznam->viewport()->height() - 3});
  EXPECT_TRUE(Tipy->seznam->selectedItems().isEmpty());
  EXPECT_EQ(Shown(), QString::fromUtf8("Jen text\nbez formátu"));
  // the same item again reads the file again
  root.Write(TipFile("zmenaukobr.dat"), "nový obsah");
  ClickItem(0);
  EXPECT_EQ(Shown(), QString::fromUtf8("nový obsah"));
  // closed and opened again: the tip is still there
  Tipy->sButton1->click();
  EXPECT_FALSE(Tipy->isVisible());
  Tipy->show();
  EXPECT_EQ(Shown(), QString::fromUtf8("nový obsah"));
  EXPECT_TRUE(boxes.boxes().empty());
}

// A plain tip after a rich one: none of the rich tip's heading (bold, large,
// navy, centred) carries over; every character is in the view's own font
// and black.
TEST_F(TipsViewer, APlainTipAfterARichOneIsPlainBlackText) {
  root.Write(TipFile("blatonhorse.dat"),
             "{\\rtf1\\ansi{\\colortbl;\\red0\\green0\\blue128;}\\qc\\b\\fs40\\cf1 Nadpis}");
  root.Write(TipFile("zmenaukobr.dat"), "Jen text\r\nbez formátu");
  ClickItem(2);
  QTextCursor heading(Tipy->memo1->document()->begin());
  heading.movePosition(QTextCursor::NextCharacter);
  ASSERT_EQ(heading.charFormat().fontWeight(), QFont::Bold);
  ClickItem(0);
  ASSERT_EQ(Shown(), QString::fromUtf8("Jen text\nbez formátu"));
  const QFont viewFont = Tipy->memo1->document()->defaultFont();
  for (QTextBlock block = Tipy->memo1->document()->begin(); block.isValid(); block = block.next()) {
    EXPECT_EQ(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft) << block.text().toStdString();
    for (int i = 0; i < block.length() - 1; ++i) {
      QTextCursor at(block);
      at.setPosition(block.position() + i + 1);
      QTextCharFormat format = at.charFormat();
      EXPECT_EQ(format.font().resolve(viewFont).toString().toStdString(), viewFont.toString().toStdString())
          << block.text().toStdString() << " " << i;
      QColor color = format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color()
                                                                      : Tipy->memo1->palette().color(QPalette::Text);
      EXPECT_EQ(color.name().toStdString(), "#000000") << block.text().toStdString() << " " << i;
    }
  }
}

// Only the left button loads a topic: a right or middle click on another
// topic leaves the shown tip.
TEST_F(TipsViewer, OnlyALeftClickLoadsATopic) {
  root.Write(TipFile("zmenaukobr.dat"), "první");
  root.Write(TipFile("blatonhorse.dat"), "třetí");
  ClickItem(0);
  ASSERT_EQ(Shown(), QString::fromUtf8("první"));
  QPoint third = Tipy->seznam->visualItemRect(Tipy->seznam->topLevelItem(2)).center();
  for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
    QTest::mousePress(Tipy->seznam->viewport(), button, {}, third);
    QTest::mouseRelease(Tipy->seznam->viewport(), button, {}, third);
    EXPECT_EQ(Shown(), QString::fromUtf8("první")) << button;
  }
  ClickItem(2);
  EXPECT_EQ(Shown(), QString::fromUtf8("třetí"));
  EXPECT_TRUE(boxes.boxes().empty());
}

// By keyboard: a tip selected with the arrow keys is shown at once, and
// Enter neither closes the window nor changes the tip.
TEST_F(TipsViewer, ArrowKeysShowTheSelectedTipAndEnterKeepsTheWindow) {
  root.Write(TipFile("zmenaukobr.dat"), "první");
  root.Write(TipFile("zmenastrobr.dat"), "druhý");
  root.Write(TipFile("blatonhorse.dat"), "třetí");
  Tipy->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Tipy));
  Tipy->seznam->setFocus();  // the first tip is the current one, not yet selected
  QTest::keyClick(Tipy->seznam, Qt::Key_Down);
  EXPECT_EQ(Shown(), QString::fromUtf8("druhý"));
  QTest::keyClick(Tipy->seznam, Qt::Key_Up);
  EXPECT_EQ(Shown(), QString::fromUtf8("první"));
  QTest::keyClick(Tipy->seznam, Qt::Key_Down);
  QTest::keyClick(Tipy->seznam, Qt::Key_Down);
  EXPECT_EQ(Shown(), QString::fromUtf8("třetí"));
  QTest::keyClick(Tipy->seznam, Qt::Key_Return);
  QTest::keyClick(Tipy->seznam, Qt::Key_Enter);
  EXPECT_TRUE(Tipy->isVisible());
  EXPECT_EQ(Shown(), QString::fromUtf8("třetí"));
  EXPECT_TRUE(boxes.boxes().empty()) << boxes.texts().join(" | ").toStdString();
  // a click loads once, on its release: a missing tip is reported once
  ClickItem(3);
  EXPECT_EQ(boxes.boxes().size(), 1u) << boxes.texts().join(" | ").toStdString();
}

TEST_F(TipsViewer, MissingAndUnreadableTips) {
  root.Write(TipFile("zmenaukobr.dat"), "předtím");
  ClickItem(0);
  ClickItem(3);  // vlastnihddikony.dat is missing
  EXPECT_TRUE(Shown().isEmpty());
  std::string path = (root.program() / "data" / "tipy" / "vlastnihddikony.dat").string();
  EXPECT_EQ(boxes.texts(), QStringList{QString::fromStdString("Cannot open file " + path)});
  root.Write(TipFile("delstartloga.dat"), std::string("MZ\x90\0\x03\0", 6));
  ClickItem(4);
  EXPECT_TRUE(Shown().isEmpty());
  EXPECT_EQ(boxes.texts().back(), "Failed to Load Stream");
}

TEST_F(TipsViewer, FilesAreFoundInTheProgramFolderWithoutRegardToCase) {
  root.Write(root.program() / "Data" / "Tipy" / "SmazSBezKose.DAT", "Shift+Delete");
  fs::path cwd = fs::current_path();
  fs::current_path(root.dir());
  ClickItem(5);
  fs::current_path(cwd);
  EXPECT_EQ(Shown(), "Shift+Delete");
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(TipsViewer, EveryShippedTipIsCzechRichText) {
  for (const TipTopic& topic : TipTopics) {
    std::string file = topic.file;
    std::replace(file.begin(), file.end(), '\\', '/');
    fs::path shipped = fs::path(OVLIX_PROGRAM_FOLDER) / file;
    root.Write(root.program() / file, root.Read(shipped));
  }
  for (int row = 0; row < 10; ++row) {
    ClickItem(row);
    QString text = Shown();
    EXPECT_GT(text.size(), 400) << row;
    // the title heads the tip, and the Czech letters came through the code page
    EXPECT_TRUE(text.startsWith(Tipy->seznam->topLevelItem(row)->text(0).left(12))) << row;
    EXPECT_FALSE(text.contains(QChar(0xFFFD))) << row;
    EXPECT_FALSE(text.contains(QLatin1String("\\'"))) << row;
  }
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(TipsViewer, TheMainWindowButtonOpensTheViewerOnce) {
  Tipy->hide();
  QTimer::singleShot(0, [] {
    EXPECT_TRUE(Tipy->isVisible());
    Form1->addOns->sButton18->click();  // already visible: nothing more
    Tipy->sButton1->click();
  });
  Form1->addOns->sButton18->click();
  EXPECT_FALSE(Tipy->isVisible());
}

}  // namespace
