// An editable drop-down box whose text is its own: it may name no item
// (ItemIndex -1), and clearing or filling the list leaves it as it was.
#pragma once

#include <QComboBox>
#include <string>
#include <vector>

class TEditCombo : public QComboBox {
  Q_OBJECT
 public:
  TEditCombo(QWidget* parent, const QString& name, const QString& text = {});

  QString Text() const { return currentText(); }
  void SetText(const QString& text);
  void ClearItems();
  void AddItem(const QString& item);
  void SetItems(const std::vector<std::string>& items);
  QStringList Items() const;
  int ItemIndex() const { return currentIndex(); }
};
