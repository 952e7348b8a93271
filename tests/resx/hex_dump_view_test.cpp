// The hex dump widget: what it paints, what a one-line scroll repaints, and
// that painting a large resource allocates nothing (malloc is counted here,
// so this test has a program of its own).
#include <QPaintEvent>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "resx/HexDump.h"

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
  using THexDump::THexDump;
  using THexDump::PaintLines;
  std::vector<QRegion> painted;

 protected:
  void paintEvent(QPaintEvent* event) override {
    painted.push_back(event->region());
    THexDump::paintEvent(event);
  }
};

struct View {
  View() : bytes(1 << 20) {
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
    parent.resize(1100, 400);
    dump = new Recording(&parent);
    dump->resize(1100, 400);
    dump->SetDataAddress(bytes.data(), bytes.size());
    dump->SetDataSize(static_cast<std::int32_t>(bytes.size()));
    parent.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&parent));
  }
  std::vector<std::uint8_t> bytes;
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
