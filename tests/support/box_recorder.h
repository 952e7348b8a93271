// Records the message boxes the program would show, instead of showing them,
// and the questions it would ask, answering each with `answer`.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "framework/message_box.h"

struct ShownBox {
  BoxKind kind;
  QString caption;
  QString text;
};

class BoxRecorder {
 public:
  BoxRecorder();
  ~BoxRecorder();
  const std::vector<ShownBox>& boxes() const { return boxes_; }
  QStringList texts() const;
  const QStringList& questions() const { return questions_; }
  bool answer = false;

 private:
  std::vector<ShownBox> boxes_;
  QStringList questions_;
  BoxPresenter previous_;
  QuestionPresenter previousAsker_;
};
