#include "framework/edit_combo.h"

#include <QLineEdit>

TEditCombo::TEditCombo(QWidget* parent, const QString& name, const QString& text)
    : QComboBox(parent) {
  setObjectName(name);
  setAccessibleName(name);
  setEditable(true);
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
  ClearItems();
  for (const auto& item : items) AddItem(QString::fromStdString(item));
}

QStringList TEditCombo::Items() const {
  QStringList items;
  for (int i = 0; i < count(); ++i) items << itemText(i);
  return items;
}
