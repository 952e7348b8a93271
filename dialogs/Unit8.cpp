#include "dialogs/Unit8.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>

#include "dialogs/rich_text.h"
#include "framework/exception.h"
#include "framework/format.h"
#include "framework/handler_guard.h"
#include "framework/widgets.h"
#include "platform/atomic_file.h"
#include "platform/host_path.h"
#include "platform/paths.h"

const TipTopic TipTopics[10] = {
    {"Změna ukončovacích obrázků", "Win 95/98", "data\\tipy\\zmenaukobr.dat"},
    {"Změna startovací obrazovky", "Win 95/98", "data\\tipy\\zmenastrobr.dat"},
    {"Blaton Horse", "Win 95", "data\\tipy\\blatonhorse.dat"},
    {"Vlastní HDD ikony", "Všechny Win", "data\\tipy\\vlastnihddikony.dat"},
    {"Odstranění startovacího loga", "Win 95/98", "data\\tipy\\delstartloga.dat"},
    {"Smazat soubor bez odhození do koše", "Všechny Win", "data\\tipy\\smazsbezkose.dat"},
    {"Vypnutí počítače pomocí zástupce", "Všechny Win", "data\\tipy\\vypzastupce.dat"},
    {"Uložení stavu obrazovky do obrázku", "Všechny Win", "data\\tipy\\ulozobraz.dat"},
    {"Vytvoření chybějící položky \"Otevřít v programu\"", "Win ME/2k", "data\\tipy\\otvprog.dat"},
    {"Umístění obrázku na libovolné místo plochy", "Všechny Win", "data\\tipy\\umobrnaplochu.dat"},
};

namespace {

Qt::Alignment AlignmentOf(RichAlign align) {
  switch (align) {
    case RichAlign::Center: return Qt::AlignHCenter;
    case RichAlign::Right: return Qt::AlignRight;
    case RichAlign::Justify: return Qt::AlignJustify;
    case RichAlign::Left: break;
  }
  return Qt::AlignLeft;
}

void ShowRichDocument(QTextEdit* view, const RichDocument& doc) {
  QTextCursor cursor(view->document());
  bool first = true;
  for (const RichParagraph& paragraph : doc.paragraphs) {
    QTextBlockFormat block;
    block.setAlignment(AlignmentOf(paragraph.align));
    if (first)
      cursor.setBlockFormat(block);
    else
      cursor.insertBlock(block);
    first = false;
    for (const RichRun& run : paragraph.runs) {
      QTextCharFormat format;
      format.setFontWeight(run.format.bold ? QFont::Bold : QFont::Normal);
      format.setFontItalic(run.format.italic);
      format.setFontUnderline(run.format.underline);
      format.setFontPointSize(run.format.halfPoints / 2.0);
      if (run.format.color) format.setForeground(QColor::fromRgb(*run.format.color));
      QString text = QString::fromUtf8(run.text);
      text.replace(QLatin1Char('\n'), QChar::LineSeparator);
      cursor.insertText(text, format);
    }
  }
  view->moveCursor(QTextCursor::Start);
}

}  // namespace

void LoadTipFile(QTextEdit* view, const std::string& path) {
  std::optional<std::string> bytes = platform::ReadWholeFile(path);
  if (!bytes) throw Exception(Format("Cannot open file %s", {path}));
  view->clear();
  if (std::optional<RichDocument> doc = ParseRichText(*bytes)) {
    ShowRichDocument(view, *doc);
  } else if (std::optional<std::string> text = DecodePlainText(*bytes)) {
    // plain text takes the cursor's character format, which a rich tip
    // shown before left at its heading
    view->setCurrentCharFormat(QTextCharFormat());
    view->setPlainText(QString::fromUtf8(*text));
  } else {
    throw Exception("Failed to Load Stream");
  }
}

TTipy::TTipy(QWidget* owner)
    : TForm(owner, QStringLiteral("Tipy"), QStringLiteral("Tipy a Triky pro systémy Windows")) {
  setFixedSize(705, 358);
}

void TTipy::CreateControls() {
  seznam = new QTreeWidget(this);
  seznam->setObjectName(QStringLiteral("seznam"));
  seznam->setAccessibleName(QStringLiteral("seznam"));
  seznam->setGeometry(8, 8, 297, 342);
  seznam->setRootIsDecorated(false);
  seznam->setHeaderLabels({QStringLiteral("Název Tipu nebo Triku"), QStringLiteral("Kompatibilita")});
  seznam->setColumnWidth(0, 200);
  seznam->setColumnWidth(1, 93);
  seznam->header()->setSectionResizeMode(QHeaderView::Fixed);
  seznam->header()->setStretchLastSection(false);
  seznam->header()->setSectionsMovable(false);
  QPalette list = seznam->palette();  // a palette, not a style sheet: those are slow to set up
  list.setColor(QPalette::Base, Qt::black);
  list.setColor(QPalette::Text, QColor(0x00, 0xFF, 0x00));
  seznam->setPalette(list);
  for (const TipTopic& topic : TipTopics)
    seznam->addTopLevelItem(
        new QTreeWidgetItem(QStringList{QString::fromUtf8(topic.title), QString::fromUtf8(topic.compatibility)}));
  seznam->viewport()->installEventFilter(this);

  memo1 = new QTextEdit(this);
  memo1->setObjectName(QStringLiteral("memo1"));
  memo1->setAccessibleName(QStringLiteral("memo1"));
  memo1->setGeometry(313, 8, 384, 310);
  memo1->setReadOnly(true);
  memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QPalette palette = memo1->palette();
  palette.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
  palette.setColor(QPalette::Text, Qt::black);
  memo1->setPalette(palette);
  memo1->setAutoFillBackground(true);

  sButton1 = MakeButton(this, "sButton1", "Odejít", {622, 325, 75, 25});
  // not the window's default button: Enter in the list closes nothing
  sButton1->setAutoDefault(false);
  Bind(sButton1, &QPushButton::clicked, this, &TTipy::sButton1Click);
  // a tip selected by the keys shows as a clicked one does; a selection made
  // by a mouse press waits for the release, which is the click
  connect(seznam, &QTreeWidget::itemSelectionChanged, this, [this] {
    if (QGuiApplication::mouseButtons() == Qt::NoButton) Guard([this] { seznamClick(); });
  });
}

bool TTipy::eventFilter(QObject* watched, QEvent* event) {
  if (watched == seznam->viewport()) {
    if (event->type() == QEvent::MouseButtonPress) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton && seznam->itemAt(mouse->position().toPoint()) == nullptr)
        seznam->clearSelection();
    } else if (event->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
      Guard([this] { seznamClick(); });
    }
  }
  return TForm::eventFilter(watched, event);
}

void TTipy::seznamClick() {
  QList<QTreeWidgetItem*> selected = seznam->selectedItems();
  if (selected.isEmpty()) return;
  QString title = selected.front()->text(0);
  for (const TipTopic& topic : TipTopics) {
    if (title != QString::fromUtf8(topic.title)) continue;
    memo1->clear();
    LoadTipFile(memo1, platform::ResolveHostPath(platform::ProgramFolder() + topic.file));
    return;
  }
}

void TTipy::sButton1Click() { close(); }
