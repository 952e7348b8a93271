#include "resx/HexDump.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>

#include "framework/exception.h"
#include "platform/codepage.h"

THexDump::THexDump(QWidget* owner) : QAbstractScrollArea(owner) {
  SetBorder(true);
  setLineWidth(1);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFocusPolicy(Qt::ClickFocus);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  resize(300, 200);
  connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &THexDump::ScrollBarAction);
  FontChanged();
}

THexDump* NewHexDumpView(QWidget* parent) {
  auto* view = new THexDump(parent);
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);  // the host's "FixedSys"
  font.setPointSizeF(parent->font().pointSizeF());
  view->setFont(font);
  view->SetShowCharacters(true);
  auto* layout = new QVBoxLayout(parent);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view);
  return view;
}

void THexDump::SetDataAddress(const std::uint8_t* address, std::size_t readable) {
  model_.SetDataAddress(address, readable);
  viewport()->update();
}

void THexDump::SetDataSize(std::int32_t size) {
  model_.SetDataSize(size);
  viewport()->update();
  UpdateScrollRange();
}

void THexDump::SetShowAddress(bool show) {
  if (show == model_.ShowAddress) return;
  model_.ShowAddress = show;  // the layout follows at the next size, font or data change
  viewport()->update();
}

void THexDump::SetShowCharacters(bool show) {
  if (show == model_.ShowCharacters) return;
  model_.ShowCharacters = show;
  viewport()->update();
}

QColor THexDump::Colors(int index) const {
  if (index < 0 || index > 2) throw Exception("Range check error");
  return colors_[index];
}

void THexDump::SetColors(int index, QColor color) {
  if (index < 0 || index > 2) throw Exception("Range check error");
  if (colors_[index] == color) return;
  colors_[index] = color;
  atlas_ = QImage();
  viewport()->update();
}

void THexDump::SetColor(QColor color) {
  background_ = color;
  atlas_ = QImage();
  viewport()->update();
}

void THexDump::FontChanged() {
  QFontMetrics metrics(font());
  model_.SetCellMetrics(metrics.height() + 2, metrics.horizontalAdvance(QLatin1Char('D')) + 1);
  model_.SetClientSize(viewport()->width(), viewport()->height());
  atlas_ = QImage();  // drawn again at the next paint
  UpdateScrollRange();
}

void THexDump::BuildAtlas() {
  int w = model_.CellWidth(), h = model_.LineHeight();
  atlas_ = QImage(256 * w, 3 * h, QImage::Format_ARGB32_Premultiplied);
  atlas_.fill(background_);
  QPainter p(&atlas_);
  p.setFont(font());
  int ascent = QFontMetrics(font()).ascent() + 1;
  for (int row = 0; row < 3; ++row) {
    p.setPen(colors_[row]);
    for (int code = 0; code < 256; ++code) {
      // the character column shows each byte as the font's glyph for it in
      // the Czech code page; the other rows only need digits, "?" and ":"
      QChar c = row == 2 ? QChar(static_cast<char16_t>(platform::Cp1250ToUnicode(static_cast<unsigned char>(code))))
                         : QChar(static_cast<char16_t>(code < 0x80 ? code : ' '));
      if (row == 2 && code < 0x20) continue;  // control codes have no glyph
      p.drawText(QPoint(code * w, row * h + ascent), QString(c));
    }
  }
}

void THexDump::UpdateScrollRange() {
  syncing_ = true;
  verticalScrollBar()->setRange(0, model_.LineCount() - 1);
  verticalScrollBar()->setPageStep(std::max(1, model_.LinesOnScreen() - 1));
  verticalScrollBar()->setValue(model_.FirstVisibleLine());
  syncing_ = false;
}

void THexDump::Apply(HexScroll scroll) {
  if (scroll.kind == HexScroll::None) return;
  syncing_ = true;
  verticalScrollBar()->setValue(model_.FirstVisibleLine());
  syncing_ = false;
  int h = model_.LineHeight();
  if (scroll.kind == HexScroll::Pixels) {
    // every shown line moves, the partly shown last one too; Qt clips the
    // move to the view and paints only the strip it uncovers (the top line
    // when the view moves up, the bottom one when it moves down)
    viewport()->scroll(0, scroll.delta * h, viewport()->rect());
  } else {
    viewport()->update();
  }
}

void THexDump::VScroll(int code, int position) { Apply(model_.VScroll(code, position)); }

void THexDump::ScrollBarAction(int action) {
  if (syncing_) return;
  int code;
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
    case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
    case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
    default: return;
  }
  HexScroll scroll = model_.VScroll(code, verticalScrollBar()->sliderPosition());
  // the bar shows the model's line, whatever the action asked for
  verticalScrollBar()->setSliderPosition(model_.FirstVisibleLine());
  Apply(scroll);
}

void THexDump::DrawCells(QPainter& p, int x, int y, int atlasRow, const char* codes, int count, int stride) {
  int w = model_.CellWidth(), h = model_.LineHeight();
  for (int i = 0; i < count; ++i, x += stride) {
    auto code = static_cast<unsigned char>(codes[i]);
    p.drawImage(QPoint(x, y), atlas_, QRect(code * w, atlasRow * h, w, h));
  }
}

void THexDump::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  PaintLines(p);
}

void THexDump::PaintLines(QPainter& p) {
  int h = model_.LineHeight(), w = model_.CellWidth(), width = viewport()->width();
  if (h < 1) return;
  // the glyphs are drawn once, when first needed (not at the program's start)
  if (atlas_.isNull()) BuildAtlas();
  for (int i = 0, top = 0; i < model_.LinesOnScreen(); ++i, top += h) {
    int line = model_.FirstVisibleLine() + i;
    p.fillRect(0, top, width, h, background_);
    if (!model_.ValidLine(line)) continue;
    if (model_.ShowAddress) DrawCells(p, 1, top, 0, model_.FormatAddress(line), 17, w);
    int n = model_.LineByteCount(line);
    // digit pairs on a grid of three cells from the start of the hex column
    const char* hex = model_.FormatHexBytes(line);
    for (int k = 0; k < n; ++k) DrawCells(p, model_.HexLeft() + 3 * k * w, top, 1, hex + 3 * k, 2, w);
    if (model_.ShowCharacters)
      DrawCells(p, model_.CharLeft(), top, 2, reinterpret_cast<const char*>(model_.LineBytes(line)),
                model_.ReadableOnLine(line), w);
  }
}

void THexDump::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  model_.SetClientSize(viewport()->width(), viewport()->height());
  UpdateScrollRange();
}

void THexDump::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) FontChanged();
}

bool THexDump::event(QEvent* event) {
  // arrow keys belong to the control, also inside a dialog
  if (event->type() == QEvent::ShortcutOverride) {
    int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      event->accept();
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

void THexDump::keyPressEvent(QKeyEvent* event) {
  int vk = 0;
  switch (event->key()) {
    case Qt::Key_PageUp: vk = VK_PRIOR; break;
    case Qt::Key_PageDown: vk = VK_NEXT; break;
    case Qt::Key_End: vk = VK_END; break;
    case Qt::Key_Home: vk = VK_HOME; break;
    case Qt::Key_Up: vk = VK_UP; break;
    case Qt::Key_Down: vk = VK_DOWN; break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
  }
  Apply(model_.Key(vk));
}

void THexDump::mousePressEvent(QMouseEvent* event) {
  if (!hasFocus()) setFocus(Qt::MouseFocusReason);
  Apply(model_.MouseDown(event->button() == Qt::LeftButton, event->position().toPoint().y()));
}
