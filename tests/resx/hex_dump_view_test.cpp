// The hex dump widget: what it paints, what a one-line scroll repaints, and
// that painting a large resource allocates nothing (malloc is counted here,
// so this test has a program of its own).
#include <QPaintEvent>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "resx/HexDump.h"
#include "tests/support/shown_pixels.h"

#if !defined(__SANITIZE_ADDRESS__)
extern "C" void* __libc_malloc(std::size_t);
extern "C" void* __libc_calloc(std::size_t, std::size_t);
extern "C" void* __libc_realloc(void*, std::size_t);
static std::atomic<long> g_allocations{0};
extern "C" void* malloc(std::size_t n) {
  ++g_allocations;
  return __libc_malloc(n);
}
extern "C" void* calloc(std::size_t a, std::size_t b) {
  ++g_allocations;
  return __libc_calloc(a, b);
}
extern "C" void* realloc(void* p, std::size_t n) {
  ++g_allocations;
  return __libc_realloc(p, n);
}
#endif

namespace {

class Recording : public THexDump {
 public:
  using THexDump::PaintLines;
  using THexDump::THexDump;
  std::vector<QRegion> painted;

 protected:
  void paintEvent(QPaintEvent* event) override {
    painted.push_back(event->region());
    THexDump::paintEvent(event);
  }
};

std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  return bytes;
}

// A shown hex dump of `shared` (by default a megabyte of its own); views of
// the same bytes show the same addresses.
struct View {
  explicit View(const std::vector<std::uint8_t>* shared = nullptr)
      : own(shared ? std::vector<std::uint8_t>() : Pattern(1 << 20)) {
    const std::vector<std::uint8_t>& bytes = shared ? *shared : own;
    parent.resize(1100, 400);
    dump = new Recording(&parent);
    dump->resize(1100, 400);
    dump->SetDataAddress(bytes.data(), bytes.size());
    dump->SetDataSize(static_cast<std::int32_t>(bytes.size()));
    parent.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&parent));
  }
  std::vector<std::uint8_t> own;
  QWidget parent;
  Recording* dump;
};

TEST(HexDumpView, PaintsTheBytesAndAllocatesNothing) {
  View v;
  const HexDumpModel& m = v.dump->Model();
  ASSERT_GT(m.LineHeight(), 2);
  EXPECT_EQ(m.BytesPerLine(), 16);
  QImage image(v.dump->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  v.dump->PaintLines(painter);  // once to warm the raster engine
#if !defined(__SANITIZE_ADDRESS__)
  long before = g_allocations;
  for (int i = 0; i < 10; ++i) v.dump->PaintLines(painter);
  EXPECT_EQ(g_allocations - before, 0);
#endif
  painter.end();
  // ink where the first line's hex column is, none right of the character column
  auto inked = [&](int x0, int x1, int y0, int y1) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if (qGray(image.pixel(x, y)) < 128) return true;
    return false;
  };
  int h = m.LineHeight();
  EXPECT_TRUE(inked(m.HexLeft(), m.HexLeft() + 2 * m.CellWidth(), 0, h));
  EXPECT_TRUE(inked(1, 1 + m.AddressWidth(), 0, h));
  EXPECT_FALSE(inked(m.CharLeft() + 17 * m.CellWidth(), image.width(), 0, h));
}

TEST(HexDumpView, OneLineScrollsRepaintOneStrip) {
  View v;
  QCoreApplication::processEvents();
  v.dump->painted.clear();
  v.dump->VScroll(SB_LINEDOWN);
  QCoreApplication::processEvents();
  ASSERT_FALSE(v.dump->painted.empty());
  int h = v.dump->Model().LineHeight();
  for (const QRegion& r : v.dump->painted) EXPECT_LE(r.boundingRect().height(), h + 1) << r.boundingRect().height();
  EXPECT_EQ(v.dump->verticalScrollBar()->value(), 1);
  // the scroll bar's page is one line less than the keys' page
  v.dump->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(v.dump->Model().FirstVisibleLine(), 1 + v.dump->Model().LinesOnScreen() - 1);
  EXPECT_EQ(v.dump->verticalScrollBar()->value(), v.dump->Model().FirstVisibleLine());
}

// After every way of scrolling the screen shows what a fresh view at the
// same first line paints: a moved picture leaves no stale row behind.
TEST(HexDumpView, ScrollingShowsWhatAFreshViewPaints) {
  // fewer lines than a scroll message's 16-bit position reaches, so that a
  // fresh view can be put on any of them
  std::vector<std::uint8_t> bytes = Pattern(1 << 18);
  View v(&bytes);
  THexDump* dump = v.dump;
  QScrollBar* bar = dump->verticalScrollBar();
  // the last line is shown in part, so a one-line move also uncovers part of a line
  ASSERT_NE(dump->viewport()->height() % dump->Model().LineHeight(), 0);
  auto matchesFresh = [&](const char* step) {
    View fresh(&bytes);
    fresh.dump->VScroll(SB_THUMBPOSITION, dump->Model().FirstVisibleLine());
    fresh.dump->viewport()->update();  // all of it, however it got there
    ASSERT_EQ(fresh.dump->Model().FirstVisibleLine(), dump->Model().FirstVisibleLine()) << step;
    QImage shown = ShownPixels(dump->viewport()), painted = ShownPixels(fresh.dump->viewport());
    ASSERT_EQ(shown.size(), dump->viewport()->size()) << step;
    int h = dump->Model().LineHeight(), stale = -1;
    for (int y = 0; y < shown.height() && stale < 0; ++y)
      if (std::memcmp(shown.constScanLine(y), painted.constScanLine(y), static_cast<std::size_t>(shown.bytesPerLine())))
        stale = y;
    EXPECT_EQ(stale, -1) << step << ": line " << dump->Model().FirstVisibleLine() << ", first wrong row at y " << stale
                         << " (line strip " << stale / h << ")";
  };
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // the scroll bar's arrow
  matchesFresh("one line down");
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  matchesFresh("one line up");
  dump->setFocus();
  for (int i = 0; i < 45; ++i) {  // the last ones scroll line by line, each shown
    QTest::keyClick(dump, Qt::Key_Down);
    PaintNextFrame(dump);
  }
  ASSERT_GT(dump->Model().FirstVisibleLine(), 1);
  matchesFresh("45 x Down");
  QTest::keyClick(dump, Qt::Key_Up);
  for (int i = 0; i < 3; ++i) {
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    PaintNextFrame(dump);
  }
  matchesFresh("three lines up");
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  matchesFresh("a page down");
  // dragging the thumb: line by line, then a jump, then one line back
  bar->setSliderDown(true);
  int at = bar->sliderPosition();
  for (int to : {at + 1, at + 2, at + 3, at + 40, at + 39}) {
    bar->setSliderPosition(to);
    PaintNextFrame(dump);
  }
  bar->setSliderDown(false);
  EXPECT_EQ(dump->Model().FirstVisibleLine(), at + 39);
  matchesFresh("a drag of the thumb");
  QTest::keyClick(dump, Qt::Key_End);
  EXPECT_EQ(dump->Model().FirstVisibleLine(), dump->Model().LineCount() - dump->Model().LinesOnScreen() + 1);
  matchesFresh("End");
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  matchesFresh("back by one line");
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  matchesFresh("forward by one line at the end");
}

TEST(HexDumpView, KeysClicksAndColours) {
  View v;
  v.dump->setFocus();
  QTest::keyClick(v.dump, Qt::Key_End);
  EXPECT_EQ(v.dump->Model().CursorLine(), v.dump->Model().LineCount() - 1);
  QTest::keyClick(v.dump, Qt::Key_Home);
  EXPECT_EQ(v.dump->Model().FirstVisibleLine(), 0);
  QTest::mouseClick(v.dump->viewport(), Qt::RightButton, {}, QPoint(20, 100));
  EXPECT_EQ(v.dump->Model().CursorLine(), 0);
  QTest::mouseClick(v.dump->viewport(), Qt::LeftButton, {}, QPoint(20, 3 * v.dump->Model().LineHeight() + 2));
  EXPECT_EQ(v.dump->Model().CursorLine(), 3);
  v.dump->SetColors(1, Qt::red);
  EXPECT_EQ(v.dump->Colors(1), QColor(Qt::red));
  EXPECT_THROW(v.dump->SetColors(3, Qt::red), std::exception);
  EXPECT_TRUE(v.dump->Border());
  v.dump->SetBorder(false);
  EXPECT_FALSE(v.dump->Border());
  int perLine = v.dump->Model().BytesPerLine();
  v.dump->resize(500, 400);
  ASSERT_LT(v.dump->Model().BytesPerLine(), perLine);
  perLine = v.dump->Model().BytesPerLine();
  v.dump->SetShowAddress(false);
  EXPECT_EQ(v.dump->Model().BytesPerLine(), perLine);  // the layout waits for the next resize
}

}  // namespace
