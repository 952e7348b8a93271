#include "resx/RXMain.h"

#include <QActionGroup>
#include <QApplication>
#include <QBoxLayout>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollArea>

#include "framework/exception.h"
#include "framework/file_dialog.h"
#include "framework/format.h"
#include "framework/handler_guard.h"
#include "framework/ini_file.h"
#include "framework/message_box.h"
#include "platform/atomic_file.h"
#include "resx/dib.h"
#include "resx/icon_group_file.h"
#include "resx/listing.h"
#include "resx/language_names.h"
#include "resx/picture.h"
#include "resx/resource_walk.h"

const char* const TKSRE::kOpenFilter = "Soubory typu Win32 (*.EXE;*.DLL)|*.EXE;*.DLL|Všechny soubory (*.*)|*.*";
const char* const TKSRE::kSaveFilter =
    "Ostatní zdroje (*.*)|*.*|Bitmapy (*.BMP)|*.BMP|Ikony (*.ICO)|*.ICO|Kurzory (*.CUR)|*.CUR";

namespace {

// What the walk read of a node, kept on its tree item: the list view, the
// caption and the status bar show it without reading the file again.
constexpr int kItemRole = Qt::UserRole + 1;
constexpr int kOffsetRole = Qt::UserRole + 2;
constexpr int kSizeRole = Qt::UserRole + 3;
constexpr int kListRole = Qt::UserRole + 4;
constexpr int kTypeRole = Qt::UserRole + 5;

std::uint32_t OffsetOf(const QTreeWidgetItem* node) { return node->data(0, kOffsetRole).toUInt(); }
std::uint32_t SizeOf(const QTreeWidgetItem* node) { return node->data(0, kSizeRole).toUInt(); }
bool IsListNode(const QTreeWidgetItem* node) { return node->data(0, kListRole).toBool(); }

TResourceItem* ItemOf(const QTreeWidgetItem* node) {
  return node ? reinterpret_cast<TResourceItem*>(node->data(0, kItemRole).value<quintptr>()) : nullptr;
}

QLabel* PanelLabel(QWidget* parent, const QString& name, const QString& caption) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  label->setFixedHeight(21);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return label;
}

bool RightToLeft(QChar c) { return c.direction() == QChar::DirR || c.direction() == QChar::DirAL; }

// A listing's line as it is printed, left to right. A quoted text with
// right-to-left letters is followed by a left-to-right mark: without it the
// numbers and commas after the text would join its run and be laid out
// before it ("CONTROL "1 ,"حسنًا, BUTTON").
QString LeftToRight(const QString& line) {
  if (std::none_of(line.begin(), line.end(), RightToLeft)) return line;
  QString shown;
  shown.reserve(line.size() + 4);
  bool quoted = false, rightToLeft = false;
  for (QChar c : line) {
    shown += c;
    if (c == QLatin1Char('"')) {
      if (quoted && rightToLeft) shown += QChar(0x200E);
      quoted = !quoted;
      rightToLeft = false;
    } else if (quoted && RightToLeft(c)) {
      rightToLeft = true;
    }
  }
  return shown;
}

QPixmap PictureToPixmap(const TPicture& picture) {
  if (!picture.png.empty()) {
    QImage image;
    image.loadFromData(picture.png.data(), static_cast<int>(picture.png.size()), "PNG");
    return QPixmap::fromImage(image);
  }
  if (picture.pixels.empty()) return {};
  QImage image(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width, picture.height, picture.width * 4,
               QImage::Format_ARGB32);
  return QPixmap::fromImage(image.copy());
}

// The strip of a built-in .bmp, decoded by the engine's own bitmap reader:
// Qt's image reader would load every image plug-in while the program starts.
QPixmap LoadImageList(const QString& resource) {
  QFile file(resource);
  file.open(QIODevice::ReadOnly);
  QByteArray bytes = file.readAll();
  std::span dib(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
  dib = dib.subspan(14);  // after the file header
  TPicture picture;
  if (Read<DibInfo> info = ReadDibInfo(dib)) DecodeDib(dib, info->PixelOffset(), false, picture).Check();
  QPixmap strip = PictureToPixmap(picture);
  strip.setMask(strip.createMaskFromColor(QColor(128, 128, 0)));  // olive is transparent
  return strip;
}

}  // namespace

int ImageIndexFor(std::uint32_t typeCode) {
  switch (typeCode) {
    case rtCursorEntry: return 4;
    case rtBitmap: return 5;
    case rtIconEntry: return 3;
    default: return 2;
  }
}

int SaveFilterIndexFor(std::uint32_t typeCode) {
  switch (typeCode) {
    case rtCursorEntry: return 4;
    case rtBitmap: return 2;
    case rtIconEntry: return 3;
    default: return 1;
  }
}

// ---- the list view ----------------------------------------------------

TResourceListView::TResourceListView(QWidget* parent) : QStackedWidget(parent) {
  setObjectName(QStringLiteral("ListView"));
  model_.setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Offset"), QStringLiteral("Size")});
  details = new QTreeView(this);
  details->setModel(&model_);
  details->setRootIsDecorated(false);
  details->setEditTriggers(QAbstractItemView::NoEditTriggers);
  details->header()->setSectionsClickable(false);
  details->setColumnWidth(0, 150);
  details->setColumnWidth(1, 80);
  details->setColumnWidth(2, 80);
  details->setIconSize(QSize(16, 16));
  icons = new QListView(this);
  icons->setModel(&model_);
  icons->setSelectionModel(details->selectionModel());
  icons->setEditTriggers(QAbstractItemView::NoEditTriggers);
  icons->setResizeMode(QListView::Adjust);
  addWidget(details);
  addWidget(icons);
  details->installEventFilter(this);
  icons->installEventFilter(this);
  SetStyle(3);
}

bool TResourceListView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn && (watched == details || watched == icons)) emit Entered();
  return QStackedWidget::eventFilter(watched, event);
}

void TResourceListView::Clear() {
  model_.removeRows(0, model_.rowCount());
  items_.clear();
}

void TResourceListView::AddRow(const QString& caption, const QString& offset, const QString& size, const QIcon& icon,
                               TResourceItem* item) {
  auto* name = new QStandardItem(icon, caption);
  model_.appendRow({name, new QStandardItem(offset), new QStandardItem(size)});
  items_.push_back(item);
}

void TResourceListView::SetStyle(int style) {
  style_ = style;
  if (style == 3) {
    setCurrentWidget(details);
    return;
  }
  icons->setViewMode(style == 0 ? QListView::IconMode : QListView::ListMode);
  icons->setIconSize(style == 0 ? QSize(32, 32) : QSize(16, 16));
  icons->setFlow(style == 2 ? QListView::TopToBottom : QListView::LeftToRight);
  icons->setWrapping(true);
  setCurrentWidget(icons);
}

int TResourceListView::SelectedRow() const {
  QModelIndexList rows = details->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.front().row();
}

TResourceItem* TResourceListView::SelectedItem() const {
  int row = SelectedRow();
  return row < 0 ? nullptr : items_[static_cast<std::size_t>(row)];
}

void TResourceListView::SelectRow(int row) {
  QModelIndex index = model_.index(row, 0);
  details->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// ---- the window -------------------------------------------------------

// The image lists live in the program's own resources (a static library's
// resources are registered by hand).
static void RegisterImageLists() { Q_INIT_RESOURCE(images); }

TKSRE::TKSRE(QWidget* owner) : TForm(owner, QStringLiteral("KSRE"), QStringLiteral("Ovlix: Resource Extractor")) {
  // a resizable browser of pictures and dumps: it may fill the screen
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  Guard([this] { FormCreate(); });
}

void TKSRE::CreateControls() {
  resize(613, 314);
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  root->setSpacing(0);

  auto* menu = new QMenuBar(this);
  menu->setObjectName(QStringLiteral("MainMenu"));
  root->setMenuBar(menu);
  QMenu* file = menu->addMenu(QStringLiteral("&Soubor"));
  miOpen = file->addAction(QStringLiteral("&Otevřít..."), QKeySequence(QStringLiteral("Ctrl+O")));
  miSave = file->addAction(QStringLiteral("&Uložit Objekt..."), QKeySequence(QStringLiteral("Ctrl+S")));
  miSaveGroup = file->addAction(QStringLiteral("Uložit celou ikonu..."));
  miSaveGroup->setObjectName(QStringLiteral("miSaveGroup"));
  miSaveGroup->setEnabled(false);
  file->addSeparator();
  miExit = file->addAction(QStringLiteral("&Zavřít"), QKeySequence(QStringLiteral("Ctrl+X")));
  ViewMenu = menu->addMenu(QStringLiteral("&Zobrazit"));
  miViewStatusBar = ViewMenu->addAction(QStringLiteral("S&tavový Řádek"), QKeySequence(QStringLiteral("Ctrl+T")));
  miViewStatusBar->setObjectName(QStringLiteral("miViewStatusBar"));
  miViewStatusBar->setCheckable(true);
  miViewText = ViewMenu->addAction(QStringLiteral("Zobrazit jako text"));
  miViewText->setObjectName(QStringLiteral("miViewText"));
  miViewText->setCheckable(true);
  miViewText->setChecked(showText_);
  ViewMenu->addSeparator();
  auto* group = new QActionGroup(this);
  const char* names[4] = {"&Velké Ikony", "&Malé Ikony", "&Seznam", "&Detaily"};
  const char* keys[4] = {"Ctrl+Q", "Ctrl+W", "Ctrl+E", "Ctrl+R"};
  for (int tag = 0; tag < 4; ++tag) {
    miViewStyle[tag] = ViewMenu->addAction(QString::fromUtf8(names[tag]), QKeySequence(QString::fromLatin1(keys[tag])));
    miViewStyle[tag]->setCheckable(true);
    miViewStyle[tag]->setData(tag);
    group->addAction(miViewStyle[tag]);
    connect(miViewStyle[tag], &QAction::triggered, this, [this, tag] { Guard([&] { SelectListViewType(tag); }); });
  }
  ViewMenu->addSeparator();
  LanguageMenu = ViewMenu->addMenu(QStringLiteral("Jazyk zdrojů"));
  LanguageMenu->setObjectName(QStringLiteral("LanguageMenu"));
  languageGroup_ = new QActionGroup(this);
  FillLanguageMenu();
  Bind(miOpen, &QAction::triggered, this, &TKSRE::FileOpen);
  Bind(miSave, &QAction::triggered, this, &TKSRE::SaveResource);
  Bind(miSaveGroup, &QAction::triggered, this, &TKSRE::SaveIconGroup);
  Bind(miExit, &QAction::triggered, this, &TKSRE::FileExit);
  Bind(miViewStatusBar, &QAction::triggered, this, &TKSRE::ToggleStatusBar);
  Bind(miViewText, &QAction::triggered, this, &TKSRE::ToggleTextView);
  Bind(ViewMenu, &QMenu::aboutToShow, this, &TKSRE::ViewMenuDropDown);

  auto* middle = new QHBoxLayout;
  middle->setSpacing(0);
  root->addLayout(middle, 1);
  TreeViewPanel = new QWidget(this);
  TreeViewPanel->setObjectName(QStringLiteral("TreeViewPanel"));
  TreeViewPanel->setFixedWidth(185);
  auto* treeColumn = new QVBoxLayout(TreeViewPanel);
  treeColumn->setContentsMargins(0, 0, 0, 0);
  treeColumn->setSpacing(0);
  Panel1 = PanelLabel(TreeViewPanel, QStringLiteral("Panel1"), QStringLiteral("Zdroje"));
  TreeView = new QTreeWidget(TreeViewPanel);
  TreeView->setObjectName(QStringLiteral("TreeView"));
  TreeView->setHeaderHidden(true);
  TreeView->setIndentation(19);
  TreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  treeColumn->addWidget(Panel1);
  treeColumn->addWidget(TreeView);
  Splitter = new QWidget(this);
  Splitter->setObjectName(QStringLiteral("Splitter"));
  Splitter->setFixedWidth(2);
  Splitter->setCursor(Qt::SplitHCursor);
  Splitter->installEventFilter(this);
  ListViewPanel = new QWidget(this);
  ListViewPanel->setObjectName(QStringLiteral("ListViewPanel"));
  auto* listColumn = new QVBoxLayout(ListViewPanel);
  listColumn->setContentsMargins(0, 0, 0, 0);
  listColumn->setSpacing(0);
  ListViewCaption = PanelLabel(ListViewPanel, QStringLiteral("ListViewCaption"), QString());
  Notebook = new QStackedWidget(ListViewPanel);
  Notebook->setObjectName(QStringLiteral("Notebook"));
  Notebook->setFocusPolicy(Qt::TabFocus);
  Notebook->installEventFilter(this);
  ListView = new TResourceListView(Notebook);
  // a picture larger than the page scrolls; the label fills the page when
  // the picture is smaller and centres it there
  auto* imagePage = new QScrollArea(Notebook);
  imagePage->setObjectName(QStringLiteral("ImageViewPage"));
  imagePage->setFrameShape(QFrame::NoFrame);
  imagePage->setWidgetResizable(true);
  ImageViewer = new QLabel(imagePage);
  ImageViewer->setObjectName(QStringLiteral("ImageViewer"));
  ImageViewer->setAlignment(Qt::AlignCenter);
  imagePage->setWidget(ImageViewer);
  StringViewer = new QPlainTextEdit(Notebook);
  StringViewer->setObjectName(QStringLiteral("StringViewer"));
  StringViewer->setReadOnly(true);
  StringViewer->setLineWrapMode(QPlainTextEdit::NoWrap);
  StringViewer->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  StringViewer->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // every line begins at the left, whatever script its first letter is in
  QTextOption leftToRight = StringViewer->document()->defaultTextOption();
  leftToRight.setTextDirection(Qt::LeftToRight);
  StringViewer->document()->setDefaultTextOption(leftToRight);
  auto* otherPage = new QWidget(Notebook);
  otherPage->setObjectName(QStringLiteral("OtherViewPage"));
  Notebook->addWidget(ListView);
  Notebook->addWidget(imagePage);
  Notebook->addWidget(StringViewer);
  Notebook->addWidget(otherPage);
  listColumn->addWidget(ListViewCaption);
  listColumn->addWidget(Notebook);
  middle->addWidget(TreeViewPanel);
  middle->addWidget(Splitter);
  middle->addWidget(ListViewPanel, 1);

  StatusBar = new QStatusBar(this);
  StatusBar->setObjectName(QStringLiteral("StatusBar"));
  StatusBar->setSizeGripEnabled(false);
  for (QLabel*& panel : StatusPanels) panel = new QLabel(StatusBar);
  // 150 and 500 wide, more than the window's 613: the last panel gives way
  // to the window's width, as a status bar cuts its last panel, instead of
  // widening the window
  StatusPanels[0]->setFixedWidth(150);
  StatusPanels[1]->setMaximumWidth(500);
  StatusPanels[1]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  StatusBar->addWidget(StatusPanels[0]);
  StatusBar->addWidget(StatusPanels[1], 1);
  root->addWidget(StatusBar);

  connect(TreeView, &QTreeWidget::currentItemChanged, this, [this] { Guard([this] { TreeViewChange(); }); });
  connect(ListView, &TResourceListView::Entered, this, [this] { Guard([this] { ListViewEnter(); }); });
  RegisterImageLists();
  splitControl_ = std::make_unique<TSplitControl>(this);
  hexDumpView_ = NewHexDumpView(Notebook->widget(3));
  const QPixmap small = LoadImageList(QStringLiteral(":/resx/SmallImages.bmp"));
  const QPixmap large = LoadImageList(QStringLiteral(":/resx/LargeImages.bmp"));
  // made once and shared by every node and row: an icon made per row is
  // a pixmap and a cache entry per row, kept by Qt's pixmap cache long
  // after the row (a quarter of a megabyte per open of a large library)
  folderIcon_ = QIcon(small.copy(0, 0, 16, 16));
  folderIcon_.addPixmap(small.copy(16, 0, 16, 16), QIcon::Selected);
  for (int i = 0; i < kImages; ++i) {
    nodeIcons_[i] = QIcon(small.copy(16 * i, 0, 16, 16));
    rowIcons_[i] = nodeIcons_[i];
    rowIcons_[i].addPixmap(large.copy(32 * i, 0, 32, 32));
  }
  Notebook->setCurrentIndex(0);
}

TKSRE::~TKSRE() {
  Guard([this] { FormDestroy(); });
  // the hex dump must not look into a mapping that is about to go
  if (hexDumpView_ != nullptr) hexDumpView_->SetDataAddress(nullptr, 0);
}

void TKSRE::FormCreate() {
  showText_ = TIniFile(kSettingsFile).ReadString("RX", "Text", "0") == "1";
  QStringList args = QCoreApplication::arguments();
  if (args.size() > 1 && QFileInfo(args[1]).isFile()) ShowFile(args[1]);
}

void TKSRE::ShowFile(const QString& fileName) {
  show();
  raise();
  activateWindow();
  Guard([&] { OpenFile(fileName); });
}

void TKSRE::FormDestroy() { splitControl_.reset(); }

void TKSRE::FileOpen() {
  int index = 1;
  QString path =
      RunFileDialog(FileDialogKind::Open, QStringLiteral("FileOpenDialog"), QString::fromUtf8(kOpenFilter), index);
  if (!path.isEmpty()) OpenFile(path);
}

void TKSRE::OpenFile(const QString& fileName) {
  auto image = std::make_unique<TExeImage>(fileName.toStdString());
  image->Opening().Check();  // a failure keeps the file shown
  hexDumpView_->SetDataAddress(nullptr, 0);
  openImage_ = std::move(image);
  FillLanguageMenu();
  LoadResources();
}

void TKSRE::FillLanguageMenu() {
  for (QAction* action : languageGroup_->actions()) delete action;
  auto add = [this](const QString& text, std::optional<std::uint16_t> language) {
    QAction* action = LanguageMenu->addAction(text);
    action->setCheckable(true);
    languageGroup_->addAction(action);
    connect(action, &QAction::triggered, this, [this, language] { Guard([&] { SelectLanguage(language); }); });
    return action;
  };
  add(QStringLiteral("První v souboru (výchozí)"), std::nullopt)->setChecked(true);
  // no resources: opening the tree tells it
  Read<std::vector<std::uint16_t>> languages =
      openImage_ ? openImage_->Languages() : Read<std::vector<std::uint16_t>>(std::vector<std::uint16_t>());
  for (std::uint16_t id : *languages) add(QString::fromStdString(Format("%.4x %s", {id, LanguageName(id)})), id);
}

void TKSRE::SelectLanguage(std::optional<std::uint16_t> language) {
  if (!openImage_) return;
  // the selected node's path: the texts from its type down
  QStringList path;
  for (QTreeWidgetItem* node = TreeView->currentItem(); node != nullptr; node = node->parent())
    path.prepend(node->text(0));
  hexDumpView_->SetDataAddress(nullptr, 0);
  openImage_->SetLanguage(language);
  LoadResources();
  QTreeWidgetItem* found = nullptr;
  for (const QString& text : path) {
    QTreeWidgetItem* next = nullptr;
    int count = found ? found->childCount() : TreeView->topLevelItemCount();
    for (int i = 0; i < count && next == nullptr; ++i) {
      QTreeWidgetItem* child = found ? found->child(i) : TreeView->topLevelItem(i);
      if (child->text(0) == text) next = child;
    }
    if (next == nullptr) break;
    found = next;
  }
  if (found != nullptr) TreeView->setCurrentItem(found);
}

void TKSRE::LoadResources() {
  ListView->Clear();
  {
    QSignalBlocker quiet(TreeView);
    TreeView->clearSelection();
    TreeView->clear();
  }
  // nothing of the file shown before stays: a tree that fails to load
  // leaves the window empty under the new file's name
  ListViewCaption->clear();
  for (QLabel* panel : StatusPanels) panel->clear();
  Notebook->setCurrentIndex(0);
  QString name = QString::fromStdString(openImage_->FileName()).toLower();
  setWindowTitle(QString::fromStdString(Format("%s - %s", {"Resource Explorer", name.toStdString()})));
  std::vector<Damage> errors;
  AddResourceNodes(errors);
  TreeView->setFocus();
  if (TreeView->topLevelItemCount() > 0) TreeView->setCurrentItem(TreeView->topLevelItem(0));
  if (errors.empty()) return;
  // the damage of a file, each told once, in one box: the tree holds
  // everything else the walk could read
  std::string text;
  for (const Damage& e : errors) text += (text.empty() ? "" : "\n") + e.Message();
  throw EExeError(text);
}

// The tree as ovlix-resx lists it, from the same walk.
void TKSRE::AddResourceNodes(std::vector<Damage>& errors) {
  std::vector<QTreeWidgetItem*> parents;  // the node's ancestors, by depth
  WalkResources(
      *openImage_,
      [&](const WalkNode& n) {
        parents.resize(static_cast<std::size_t>(n.depth));
        auto* node = parents.empty() ? new QTreeWidgetItem(TreeView) : new QTreeWidgetItem(parents.back());
        node->setText(0, QString::fromUtf8(n.name.data(), static_cast<qsizetype>(n.name.size())));
        node->setData(0, kItemRole, QVariant::fromValue(reinterpret_cast<quintptr>(n.item)));
        node->setData(0, kOffsetRole, n.offset);
        node->setData(0, kSizeRole, n.size);
        node->setData(0, kListRole, n.list);
        node->setData(0, kTypeRole, QString::fromUtf8(n.typeName.data(), static_cast<qsizetype>(n.typeName.size())));
        node->setIcon(0, n.list ? folderIcon_ : nodeIcons_[ImageIndexFor(n.item->TypeCode())]);
        parents.push_back(node);
      },
      errors)
      .Check();
}

void TKSRE::TreeViewChange() {
  miSaveGroup->setEnabled(SelectedIconGroup() != nullptr);
  ShowSelection();
}

TIconResource* TKSRE::SelectedIconGroup() const {
  TResourceItem* item = ItemOf(TreeView->currentItem());
  return item && (item->TypeCode() == rtIcon || item->TypeCode() == rtCursor) ? dynamic_cast<TIconResource*>(item)
                                                                              : nullptr;
}

void TKSRE::ShowSelection() {
  QTreeWidgetItem* node = TreeView->currentItem();
  TResourceItem* item = ItemOf(node);
  if (!TreeView->isVisible() || item == nullptr) return;
  if (IsListNode(node)) {
    FillListView(*node);
  } else {
    switch (item->TypeCode()) {
      case rtCursorEntry:
      case rtBitmap:
      case rtIconEntry: {
        TPicture picture;
        item->AssignTo(picture).Check();
        QPixmap pixmap = PictureToPixmap(picture);
        // the page on view first: a scroll area that is hidden keeps the
        // size of the picture shown before, and a smaller one then sits off
        // its centre behind a needless scroll bar
        Notebook->setCurrentIndex(1);
        ImageViewer->setPixmap(pixmap);
        break;
      }
      case rtMenu:
      case rtString: ShowListing(*item); break;
      default: {
        if (showText_ && HasListing(item->TypeCode())) {
          ShowListing(*item);
          break;
        }
        Bytes bytes = item->ResourceData().Value();
        hexDumpView_->SetDataAddress(bytes.data(), bytes.size());
        hexDumpView_->SetDataSize(static_cast<std::int32_t>(bytes.size()));
        Notebook->setCurrentIndex(3);
      }
    }
  }
  UpdateStatus(*node);
}

// The leaf's listing on the memo page; damaged data shows the lines read
// before the damage, and the error.
void TKSRE::ShowListing(TResourceItem& item) {
  TListing listing;
  Damage damage = ListResource(item, listing);
  QStringList text;
  for (const std::string& line : listing.lines) text << LeftToRight(QString::fromStdString(line));
  StringViewer->setPlainText(text.join(QLatin1Char('\n')));
  StringViewer->moveCursor(QTextCursor::Start);
  Notebook->setCurrentIndex(2);
  if (!damage.Found()) return;
  UpdateStatus(*TreeView->currentItem());
  damage.Check();
}

void TKSRE::FillListView(const QTreeWidgetItem& node) {
  ListView->Clear();
  for (int i = 0; i < node.childCount(); ++i) {
    const QTreeWidgetItem* child = node.child(i);
    TResourceItem* item = ItemOf(child);
    int image = ImageIndexFor(item->TypeCode());
    ListView->AddRow(child->text(0), QString::fromStdString(Format("%.7x", {OffsetOf(child)})),
                     QString::fromStdString(Format("%.5x", {SizeOf(child)})), rowIcons_[image], item);
  }
  Notebook->setCurrentIndex(0);
}

void TKSRE::UpdateStatus(const QTreeWidgetItem& node) {
  if (IsListNode(&node)) {
    ListViewCaption->setText(QStringLiteral(" ") + node.text(0));
    StatusPanels[0]->setText(QString::fromStdString(Format(" %d objektů", {ListView->RowCount()})));
    StatusPanels[1]->setText(QString::fromStdString(Format(" Offset: %x", {OffsetOf(&node)})));
  } else {
    ListViewCaption->setText(QStringLiteral(" %1: %2").arg(node.data(0, kTypeRole).toString(), node.text(0)));
    StatusPanels[0]->clear();
    StatusPanels[1]->setText(
        QString::fromStdString(Format(" Offset: %x  Velikost: %x", {OffsetOf(&node), SizeOf(&node)})));
  }
}

void TKSRE::SaveResource() {
  TResourceItem* item = ItemOf(TreeView->currentItem());
  if (item == nullptr || item->IsList().Value()) item = ListView->SelectedItem();
  if (item == nullptr || item->IsList().Value()) throw Exception("Nejsou označeny žádné zdroje");
  int index = SaveFilterIndexFor(item->TypeCode());
  QString path =
      RunFileDialog(FileDialogKind::Save, QStringLiteral("FileSaveDialog"), QString::fromUtf8(kSaveFilter), index);
  if (path.isEmpty()) return;
  std::string bytes;
  item->SaveToStream(bytes).Check();
  // written beside the chosen name and renamed: a failure leaves what was there
  if (!platform::WriteFileAtomically(path.toStdString(), bytes, 0644))
    throw Exception(Format("Cannot create file %s", {path.toStdString()}));
}

void TKSRE::SaveIconGroup() {
  TIconResource* group = SelectedIconGroup();
  if (group == nullptr) throw Exception("Nejsou označeny žádné zdroje");
  bool cursors = group->TypeCode() == rtCursor;
  int index = 1;
  QString path =
      RunFileDialog(FileDialogKind::Save, QStringLiteral("FileSaveDialog"),
                    cursors ? QStringLiteral("Kurzory (*.CUR)|*.CUR") : QStringLiteral("Ikony (*.ICO)|*.ICO"), index);
  if (path.isEmpty()) return;
  // a name typed without an extension gets the one of the chosen filter
  if (QFileInfo(path).suffix().isEmpty()) path += cursors ? QStringLiteral(".cur") : QStringLiteral(".ico");
  std::vector<std::uint16_t> missing;
  std::string bytes = GroupIconFile(*group, missing).Value();
  if (!platform::WriteFileAtomically(path.toStdString(), bytes, 0644))
    throw Exception(Format("Cannot create file %s", {path.toStdString()}));
  if (missing.empty()) return;
  std::string ids;
  for (std::uint16_t id : missing) ids += (ids.empty() ? "" : ", ") + std::to_string(id);
  ShowBox(BoxKind::Warning,
          QString::fromStdString("Skupina uvádí obrázky, které v souboru nejsou (" + ids + "); uloženy jsou ostatní."));
}

void TKSRE::FileExit() { close(); }

void TKSRE::ViewMenuDropDown() {
  miViewStatusBar->setChecked(!StatusBar->isHidden());
  for (int tag = 0; tag < 4; ++tag) miViewStyle[tag]->setChecked(tag == ListView->Style());
}

void TKSRE::ToggleStatusBar() { StatusBar->setVisible(StatusBar->isHidden()); }

void TKSRE::ToggleTextView() {
  showText_ = !showText_;
  miViewText->setChecked(showText_);
  TIniFile(kSettingsFile).WriteString("RX", "Text", showText_ ? "1" : "0");
  ShowSelection();
}

void TKSRE::SelectListViewType(int tag) { ListView->SetStyle(tag); }

void TKSRE::ListViewEnter() {
  if (ListView->RowCount() > 1 && ListView->SelectedRow() < 0) ListView->SelectRow(0);
}

void TKSRE::NotebookEnter() {
  switch (Notebook->currentIndex()) {
    case 0: ListView->currentWidget()->setFocus(); break;
    case 2: StringViewer->setFocus(); break;
    case 3: hexDumpView_->setFocus(); break;
    default: break;  // the picture takes no focus
  }
}

void TKSRE::SplitterMouseDown(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && event->buttons() == Qt::LeftButton && event->modifiers() == Qt::NoModifier)
    splitControl_->BeginSizing(Splitter, TreeViewPanel);
}

void TKSRE::SplitterMouseMove(QMouseEvent* event) {
  if (splitControl_->SizingSplitter != nullptr)
    splitControl_->ChangeSizing(event->position().toPoint().x(), event->position().toPoint().y());
}

void TKSRE::SplitterMouseUp(QMouseEvent*) {
  if (splitControl_->SizingSplitter != nullptr) splitControl_->EndSizing();
}

bool TKSRE::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Splitter) {
    auto mouse = [event] { return static_cast<QMouseEvent*>(event); };  // only for the mouse's events
    switch (event->type()) {
      case QEvent::MouseButtonPress: Guard([&] { SplitterMouseDown(mouse()); }); break;
      case QEvent::MouseMove: Guard([&] { SplitterMouseMove(mouse()); }); break;
      case QEvent::MouseButtonRelease: Guard([&] { SplitterMouseUp(mouse()); }); break;
      default: break;
    }
  } else if (watched == Notebook && event->type() == QEvent::FocusIn) {
    Guard([this] { NotebookEnter(); });
  }
  return TForm::eventFilter(watched, event);
}
