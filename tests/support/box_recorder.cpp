#include "tests/support/box_recorder.h"

#include <QStringList>

BoxRecorder::BoxRecorder() {
  previous_ = SetBoxPresenter([this](BoxKind kind, const QString& caption, const QString& text) {
    boxes_.push_back({kind, caption, text});
  });
  previousAsker_ = SetQuestionPresenter([this](const QString&, const QString& text) {
    questions_ << text;
    return answer;
  });
}

BoxRecorder::~BoxRecorder() {
  SetBoxPresenter(previous_);
  SetQuestionPresenter(previousAsker_);
}

QStringList BoxRecorder::texts() const {
  QStringList out;
  for (const auto& box : boxes_) out << box.text;
  return out;
}
