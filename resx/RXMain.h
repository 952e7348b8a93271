// "Ovlix: Resource Extractor": browse the resources of a PE executable or
// library as a tree, list a node's children with offsets and sizes, show a
// resource as a picture, a text listing or a hex dump, and save it.
#pragma once

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTreeView>
#include <QTreeWidget>
#include <memory>
#include <optional>

#include "framework/form.h"
#include "resx/ExeImage.h"
#include "resx/HexDump.h"
#include "resx/RXMisc.h"

// The list view of the right-hand side in its four styles: 0 large icons,
// 1 small icons, 2 list, 3 details (the columns "Name", "Offset", "Size").
class TResourceListView : public QStackedWidget {
  Q_OBJECT
 public:
  explicit TResourceListView(QWidget* parent);
  void Clear();
  // `icon` holds the small (16) and the large (32) image
  void AddRow(const QString& caption, const QString& offset, const QString& size, const QIcon& icon,
              TResourceItem* item);
  int RowCount() const { return model_.rowCount(); }
  int Style() const { return style_; }
  void SetStyle(int style);
  TResourceItem* SelectedItem() const;
  int SelectedRow() const;
  void SelectRow(int row);
  QString Text(int row, int column) const { return model_.item(row, column)->text(); }

  QTreeView* details;
  QListView* icons;

 signals:
  void Entered();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QStandardItemModel model_;
  std::vector<TResourceItem*> items_;
  int style_ = 3;
};

class TKSRE : public TForm {
  Q_OBJECT
 public:
  explicit TKSRE(QWidget* owner);
  ~TKSRE() override;

  // built when the window is first shown
  QStatusBar* StatusBar = nullptr;
  QLabel* StatusPanels[2] = {};
  QWidget* TreeViewPanel = nullptr;
  QLabel* Panel1 = nullptr;  // "Zdroje"
  QTreeWidget* TreeView = nullptr;
  QWidget* Splitter = nullptr;
  QWidget* ListViewPanel = nullptr;
  QLabel* ListViewCaption = nullptr;
  QStackedWidget* Notebook = nullptr;
  TResourceListView* ListView = nullptr;
  QLabel* ImageViewer = nullptr;
  QPlainTextEdit* StringViewer = nullptr;
  QAction* miOpen = nullptr;
  QAction* miSave = nullptr;
  QAction* miSaveGroup = nullptr;  // enabled on an icon or cursor group
  QAction* miExit = nullptr;
  QAction* miViewStatusBar = nullptr;
  QAction* miViewText = nullptr;  // "Zobrazit jako text"
  QAction* miViewStyle[4] = {};
  QMenu* ViewMenu = nullptr;
  // "Jazyk zdrojů": "První v souboru (výchozí)", then each language of the
  // open file ("0405 Czech"), exclusive; rebuilt for each opened file
  QMenu* LanguageMenu = nullptr;

  void FormCreate();
  void FormDestroy();
  void FileOpen();
  void FileExit();
  void SaveResource();
  // The selected icon or cursor group as one .ICO or .CUR file.
  void SaveIconGroup();
  void ViewMenuDropDown();
  void ToggleStatusBar();
  // Dialogs, accelerators, message tables, versions and manifests as text
  // listings instead of hex dumps; kept in the settings file.
  void ToggleTextView();
  bool ShowsText() const { return showText_; }
  void SelectListViewType(int tag);
  // Shows the tree again with `language` standing for each resource that
  // has it (none: the first language of each), keeping the selected node
  // where the new tree has its path.
  void SelectLanguage(std::optional<std::uint16_t> language);
  void TreeViewChange();
  void ListViewEnter();
  void NotebookEnter();
  void SplitterMouseDown(QMouseEvent* event);
  void SplitterMouseMove(QMouseEvent* event);
  void SplitterMouseUp(QMouseEvent* event);
  TSplitControl* SplitControl() const { return splitControl_.get(); }

  // Opens `fileName` as the current image (FileOpen after its dialog).
  void OpenFile(const QString& fileName);
  // A file named when the program was started: the window comes to the
  // front with it open.
  void ShowFile(const QString& fileName);
  TExeImage* OpenImage() const { return openImage_.get(); }
  THexDump* HexDumpView() const { return hexDumpView_; }

  static const char* const kOpenFilter;
  static const char* const kSaveFilter;

 protected:
  void CreateControls() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void LoadResources();
  void FillLanguageMenu();
  void AddResourceNodes(std::vector<Damage>& errors);
  void ShowSelection();
  void ShowListing(TResourceItem& item);
  TIconResource* SelectedIconGroup() const;
  void FillListView(const QTreeWidgetItem& node);
  void UpdateStatus(const QTreeWidgetItem& node);

  std::unique_ptr<TExeImage> openImage_;
  THexDump* hexDumpView_ = nullptr;
  std::unique_ptr<TSplitControl> splitControl_;
  // of each image index (ImageIndexFor): the tree's, and the list view's
  // with its large image too
  static constexpr int kImages = 6;
  QIcon folderIcon_, nodeIcons_[kImages], rowIcons_[kImages];
  bool showText_ = false;
  QActionGroup* languageGroup_ = nullptr;
};

// The image index of a type code: 4 cursor, 5 bitmap, 3 icon, 2 any other.
int ImageIndexFor(std::uint32_t typeCode);
// The save dialog's filter index of a type code.
int SaveFilterIndexFor(std::uint32_t typeCode);
