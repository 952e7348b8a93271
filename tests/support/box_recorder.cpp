#include "tests/support/box_recorder.h"

#include <QStringList>

BoxRecorder::BoxRecorder() {
  previous_ = SetBoxPresenter([this](BoxKind kind, const QString& caption, const QString& text) {
    boxes_.push_back({kind, caption, text});
  });
}

BoxRecorder::~BoxRecorder() { SetBoxPresenter(previous_); }

QStringList BoxRecorder::texts() const {
  QStringList out;
  for (const auto& box : boxes_) out << box.text;
  return out;
}
