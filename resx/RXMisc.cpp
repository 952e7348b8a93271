#include "resx/RXMisc.h"

TSplitControl::~TSplitControl() { delete line_; }

void TSplitControl::BeginSizing(QWidget* splitter, QWidget* panel) {
  SizingSplitter = splitter;
  SizedPanel = panel;
  splitter->grabMouse();
  Horizontal = splitter->width() > splitter->height();
  SplitPoint = QPoint(0, 0);
  if (line_ == nullptr) {
    line_ = new QWidget(window_);
    line_->setAttribute(Qt::WA_TransparentForMouseEvents);
    line_->setAutoFillBackground(true);
    QPalette palette = line_->palette();
    palette.setColor(QPalette::Window, Qt::gray);
    line_->setPalette(palette);
  }
  DrawSizeLine();
  line_->show();
  line_->raise();
}

void TSplitControl::DrawSizeLine() {
  // from the split point to the splitter's far edge, in window coordinates
  QPoint from = SizingSplitter->mapTo(window_, SplitPoint);
  if (Horizontal)
    line_->setGeometry(from.x(), from.y(), SizingSplitter->width() - SplitPoint.x(), SizingSplitter->height());
  else
    line_->setGeometry(from.x(), from.y(), SizingSplitter->width(), SizingSplitter->height() - SplitPoint.y());
}

void TSplitControl::ChangeSizing(int x, int y) {
  if (Horizontal)
    SplitPoint.setY(y);
  else
    SplitPoint.setX(x);
  DrawSizeLine();
}

void TSplitControl::EndSizing() {
  // through the screen: the panel is the splitter's sibling
  QPoint at = SizedPanel->mapFromGlobal(SizingSplitter->mapToGlobal(SplitPoint));
  SizingSplitter->releaseMouse();
  SizingSplitter = nullptr;
  line_->hide();
  // the panel ends where the splitter now begins; kept within the window
  if (Horizontal)
    SizedPanel->setFixedHeight(std::clamp(at.y(), 0, window_->height()));
  else
    SizedPanel->setFixedWidth(std::clamp(at.x(), 0, window_->width()));
}
