#include "framework/edit_combo.h"

#include <QLineEdit>

TEditCombo::TEditCombo(QWidget* parent, const QString& name, const QString& text) : QComboBox(parent) {
  setObjectName(name);
  setAccessibleName(name);
  // editable through a line edit of our own: setEditable would also build
  // the drop-down list's window, which is needed only when it first opens
  setLineEdit(new QLineEdit(this));
  setInsertPolicy(QComboBox::NoInsert);
  setCompleter(nullptr);
  SetText(text);
}

void TEditCombo::SetText(const QString& text) {
  setCurrentIndex(-1);
  setEditText(text);
}

void TEditCombo::ClearItems() {
  QString text = Text();
  clear();
  SetText(text);
}

void TEditCombo::AddItem(const QString& item) {
  QString text = Text();
  int index = currentIndex();
  addItem(item);
  setCurrentIndex(index);
  setEditText(text);
}

void TEditCombo::SetItems(const std::vector<std::string>& items) {
  QStringList list;
  list.reserve(static_cast<qsizetype>(items.size()));
  for (const auto& item : items) list << QString::fromStdString(item);
  QString text = Text();
  clear();
  addItems(list);  // in one insertion, not one each
  SetText(text);
}

QStringList TEditCombo::Items() const {
  QStringList items;
  for (int i = 0; i < count(); ++i) items << itemText(i);
  return items;
}
