// A number box: any text may be typed, and text that is not a number reads
// as 0 (the minimum). With minimum and maximum both 0 it has no bounds.
#pragma once

#include <QAbstractSpinBox>

class TSpinEdit : public QAbstractSpinBox {
  Q_OBJECT
 public:
  TSpinEdit(QWidget* parent, const QString& name, int value = 0);

  int Value() const;
  void SetValue(int value);
  QString Text() const;

  void stepBy(int steps) override;
  QValidator::State validate(QString& input, int& pos) const override;

 protected:
  StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
};
