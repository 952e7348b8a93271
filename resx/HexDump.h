// THexDump: a block of bytes as lines of hex values, with an address column
// and a character column; it shows, scrolls and keeps an unseen cursor line
// (the rules are HexDumpModel's). It never copies or writes the bytes.
//
// Painting allocates nothing: the glyphs of the three columns are drawn once
// per font and colour into an atlas, and a paint copies cells out of it.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QPainter>

#include "resx/hex_dump_model.h"

class THexDump : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit THexDump(QWidget* owner);

  void SetDataAddress(const std::uint8_t* address, std::size_t readable);
  void SetDataSize(std::int32_t size);

  bool ShowAddress() const { return model_.ShowAddress; }
  void SetShowAddress(bool show);
  bool ShowCharacters() const { return model_.ShowCharacters; }
  void SetShowCharacters(bool show);
  // 0 address, 1 hex data, 2 characters; another index is a range error.
  QColor Colors(int index) const;
  void SetColors(int index, QColor color);
  QColor Color() const { return background_; }
  // A thin single border (the default) or none.
  bool Border() const { return frameShape() != QFrame::NoFrame; }
  void SetBorder(bool single) { setFrameStyle(single ? QFrame::Box | QFrame::Plain : QFrame::NoFrame); }
  void SetColor(QColor color);

  const HexDumpModel& Model() const { return model_; }
  // The sender of WM_VSCROLL's codes (tests and the scroll bar).
  void VScroll(int code, int position = 0);

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Scrolling is the model's: the scroll bar's own moves repaint nothing.
  void scrollContentsBy(int, int) override {}
  // Every line of the view, on a painter that is already set up.
  void PaintLines(QPainter& painter);
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void FontChanged();
  void BuildAtlas();
  void UpdateScrollRange();
  void Apply(HexScroll scroll);
  void ScrollBarAction(int action);
  void DrawCells(QPainter& p, int x, int y, int atlasRow, const char* codes, int count, int stride);

  HexDumpModel model_;
  QColor colors_[3];
  QColor background_{Qt::white};
  QImage atlas_;  // rows: address, hex and character glyphs, 256 cells each; null until needed
  bool syncing_ = false;
};

// The hex dump of the resource explorer: filling `parent`, in the host's
// fixed-pitch font at the parent's size, with the character column on.
THexDump* NewHexDumpView(QWidget* parent);
