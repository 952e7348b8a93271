#include "framework/spin_edit.h"

#include <QLineEdit>
#include <climits>

#include "framework/convert.h"

TSpinEdit::TSpinEdit(QWidget* parent, const QString& name, int value) : QAbstractSpinBox(parent) {
  setObjectName(name);
  setAccessibleName(name);
  SetValue(value);
}

int TSpinEdit::Value() const { return StrToIntDef(Text().toStdString(), 0); }

void TSpinEdit::SetValue(int value) { lineEdit()->setText(QString::number(value)); }

QString TSpinEdit::Text() const { return lineEdit()->text(); }

void TSpinEdit::stepBy(int steps) {
  long long next = static_cast<long long>(Value()) + steps;
  SetValue(static_cast<int>(std::clamp<long long>(next, INT_MIN, INT_MAX)));
}

QValidator::State TSpinEdit::validate(QString&, int&) const { return QValidator::Acceptable; }
