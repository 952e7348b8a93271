// TSplitControl: drags the border between a splitter panel and the panel it
// sizes. While the mouse is held a line follows it; on release the panel
// takes the new width (or height, for a horizontal splitter).
#pragma once

#include <QPoint>
#include <QWidget>

class TSplitControl {
 public:
  explicit TSplitControl(QWidget* window) : window_(window) {}
  ~TSplitControl();

  void BeginSizing(QWidget* splitter, QWidget* panel);
  void ChangeSizing(int x, int y);  // in the splitter's own coordinates
  void EndSizing();

  QWidget* SizingSplitter = nullptr;
  QWidget* SizedPanel = nullptr;
  bool Horizontal = false;
  QPoint SplitPoint;

 private:
  void DrawSizeLine();
  QWidget* window_;
  QWidget* line_ = nullptr;  // the size line, over the window
};
