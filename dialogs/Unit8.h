// "Tipy a Triky pro systémy Windows": ten tips, each a rich-text (or plain
// text) file under "data\tipy" in the program folder, shown read-only.
#pragma once

#include <QPushButton>
#include <QTextEdit>
#include <QTreeWidget>

#include "framework/form.h"

struct TipTopic {
  const char* title;
  const char* compatibility;
  const char* file;  // relative to the program folder
};
extern const TipTopic TipTopics[10];

class TTipy : public TForm {
  Q_OBJECT
 public:
  explicit TTipy(QWidget* owner);

  // built when the window is first shown
  QTreeWidget* seznam = nullptr;
  QTextEdit* memo1 = nullptr;
  QPushButton* sButton1 = nullptr;  // "Odejít"

  void seznamClick();
  void sButton1Click();

 protected:
  void CreateControls() override;
  // A left click on the list, on an item or on empty space, as the list
  // view reports it: empty space leaves no item selected. Other buttons
  // load nothing.
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// Replaces the view's content with the file: rich text when the rich-text
// reader takes it, plain text otherwise. Fails with "Cannot open file %s"
// or "Failed to Load Stream".
void LoadTipFile(QTextEdit* view, const std::string& path);
