#include "framework/window_frame.h"

#include <QEvent>
#include <QIcon>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <vector>

namespace {

bool ownFrames = false;

constexpr int kBarHeight = 26;
constexpr int kButtonSize = 20;
constexpr int kIconSize = 16;
constexpr int kSpacing = 6;

enum class Glyph { Minimise, Close };

// Drawn rather than taken from the style: the styles' title-bar icons are
// boxed and half the button's size.
QIcon GlyphIcon(Glyph glyph, const QColor& colour) {
  constexpr int kSide = 10;
  QIcon icon;
  for (int scale : {1, 2}) {
    QPixmap pixmap(kSide * scale, kSide * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 1.5, Qt::SolidLine, Qt::RoundCap));
    if (glyph == Glyph::Close) {
      painter.drawLine(QPointF(1, 1), QPointF(kSide - 1, kSide - 1));
      painter.drawLine(QPointF(kSide - 1, 1), QPointF(1, kSide - 1));
    } else {
      painter.drawLine(QPointF(1, kSide - 2), QPointF(kSide - 1, kSide - 2));
    }
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

// The outline of a frameless window: without it a dialog over a window of
// the same colour has no edge (the compositor draws no shadow for it).
class WindowOutline : public QWidget {
 public:
  explicit WindowOutline(QWidget* window) : QWidget(window) {
    setObjectName(QStringLiteral("WindowOutline"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
};

class WindowTitleBar : public QWidget {
 public:
  // `flags`: the window's own, for its buttons
  WindowTitleBar(QWidget* window, Qt::WindowFlags flags) : QWidget(window), window_(window) {
    setObjectName(QLatin1String("WindowTitleBar"));
    setFocusPolicy(Qt::NoFocus);
    if (flags & Qt::WindowMinimizeButtonHint)
      AddButton(Glyph::Minimise, QStringLiteral("Minimalizovat"), [window] { window->showMinimized(); });
    if (flags & Qt::WindowCloseButtonHint)
      AddButton(Glyph::Close, QStringLiteral("Zavřít"), [window] { window->close(); });
    outline_ = new WindowOutline(window);
    window->installEventFilter(this);
    Fit();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != window_) return false;
    switch (event->type()) {
      case QEvent::Resize: Fit(); break;
      case QEvent::WindowTitleChange:
      case QEvent::WindowIconChange:
      case QEvent::ActivationChange: update(); break;
      default: break;
    }
    return false;
  }

  // The compositor moves the window: a Wayland client cannot place itself.
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return;
    if (QWindow* handle = window_->windowHandle()) handle->startSystemMove();
  }

  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    QColor face = palette().color(QPalette::Window);
    painter.fillRect(rect(), window_->isActiveWindow() ? face.darker(115) : face.darker(104));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);

    int left = kSpacing;
    QIcon icon = window_->windowIcon();
    if (!icon.isNull()) {
      icon.paint(&painter, QRect(left, (height() - kIconSize) / 2, kIconSize, kIconSize));
      left += kIconSize + kSpacing;
    }
    int right = width() - kSpacing - static_cast<int>(buttons_.size()) * kButtonSize - kSpacing;
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    QFontMetrics metrics(bold);
    QString caption = metrics.elidedText(window_->windowTitle(), Qt::ElideRight, std::max(0, right - left));
    // centred on the bar where it fits, else from the icon on
    int textWidth = metrics.horizontalAdvance(caption);
    int x = std::clamp((width() - textWidth) / 2, left, std::max(left, right - textWidth));
    painter.setPen(
        palette().color(window_->isActiveWindow() ? QPalette::Active : QPalette::Inactive, QPalette::WindowText));
    painter.drawText(QRect(x, 0, right - x, height()), Qt::AlignLeft | Qt::AlignVCenter, caption);
  }

 private:
  template <class Action>
  void AddButton(Glyph glyph, const QString& name, Action action) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setIcon(GlyphIcon(glyph, palette().color(QPalette::WindowText)));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(name);
    button->setAccessibleName(name);
    button->setFixedSize(kButtonSize, kButtonSize);
    QObject::connect(button, &QToolButton::clicked, window_, action);
    buttons_.push_back(button);
  }

  void Fit() {
    setGeometry(0, 0, window_->width(), kBarHeight);
    int x = width() - kSpacing - static_cast<int>(buttons_.size()) * kButtonSize;
    for (QToolButton* button : buttons_) {
      button->move(x, (kBarHeight - kButtonSize) / 2);
      x += kButtonSize;
    }
    outline_->setGeometry(window_->rect());
    raise();
    outline_->raise();
  }

  QWidget* window_;
  WindowOutline* outline_;
  std::vector<QToolButton*> buttons_;
};

}  // namespace

void SetOwnWindowFrames(bool own) { ownFrames = own; }
bool OwnWindowFrames() { return ownFrames; }

void FrameFixedWindow(QWidget* window) {
  const QLatin1String kBarName("WindowTitleBar");
  if (!ownFrames || window->findChild<QWidget*>(kBarName, Qt::FindDirectChildrenOnly) != nullptr) return;
  const QList<QWidget*> contents = window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
  // Qt drops the frameless hint while any frame button or title is asked for
  const Qt::WindowFlags flags = window->windowFlags();
  window->setWindowFlags(
      (flags & ~(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint)) |
      Qt::FramelessWindowHint);
  if (window->layout() != nullptr) {
    QMargins margins = window->contentsMargins();
    margins.setTop(margins.top() + kBarHeight);
    window->setContentsMargins(margins);
  } else {
    for (QWidget* child : contents)
      if (!child->isWindow()) child->move(child->x(), child->y() + kBarHeight);
    QSize size(window->width(), window->height() + kBarHeight);
    if (window->minimumSize() == window->maximumSize())
      window->setFixedSize(size);
    else
      window->resize(size);
  }
  new WindowTitleBar(window, flags);
}
