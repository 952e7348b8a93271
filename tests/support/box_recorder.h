// Records the message boxes the program would show, instead of showing them.
#pragma once

#include <QString>
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

 private:
  std::vector<ShownBox> boxes_;
  BoxPresenter previous_;
};
