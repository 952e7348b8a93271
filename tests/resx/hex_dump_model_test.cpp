#include "resx/hex_dump_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// 9-pixel cells and 16-pixel lines; `width` decides the bytes per line.
struct Dump {
  explicit Dump(int size, int width = 1000, int height = 160) : bytes(static_cast<std::size_t>(size)) {
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
    model.SetCellMetrics(16, 9);
    model.SetClientSize(width, height);
    model.SetDataAddress(bytes.data(), bytes.size());
    model.SetDataSize(size);
  }
  std::vector<std::uint8_t> bytes;
  HexDumpModel model;
};

TEST(HexDumpLayout, LinesAndColumns) {
  Dump d(37);
  EXPECT_EQ(d.model.BytesPerLine(), 16);
  EXPECT_EQ(d.model.LineCount(), 3);
  EXPECT_EQ(d.model.LineByteCount(2), 5);
  EXPECT_EQ(std::string(d.model.FormatHexBytes(2), 14), "20\t21\t22\t23\t24");
  EXPECT_EQ(d.model.CharLeft(), 18 * 9 + 3 * 16 * 9);  // as on a full line
  EXPECT_EQ(Dump(32).model.LineCount(), 2);
  EXPECT_EQ(Dump(32, 10).model.BytesPerLine(), 1);
  EXPECT_EQ(Dump(32, 5000).model.BytesPerLine(), 16);
  // 600 pixels: 66 cells, 48 after the address, 12 bytes with characters
  EXPECT_EQ(Dump(100, 600).model.BytesPerLine(), 12);
  Dump plain(100, 600);
  plain.model.ShowAddress = false;
  plain.model.RecomputeLayout();
  EXPECT_EQ(plain.model.BytesPerLine(), 16);
  EXPECT_EQ(plain.model.HexLeft(), 1);
  EXPECT_EQ(plain.model.CharLeft(), 3 * 16 * 9);
  plain.model.ShowCharacters = false;
  plain.model.RecomputeLayout();
  EXPECT_EQ(plain.model.BytesPerLine(), 16);  // 66 / 3 = 22, at most 16
  EXPECT_EQ(d.model.LinesOnScreen(), 160 / 16 + 1);
}

TEST(HexDumpLayout, AddressesAndUnreadableBytes) {
  Dump d(40);
  std::string address = d.model.FormatAddress(1);
  ASSERT_EQ(address.size(), 17u);
  EXPECT_EQ(std::stoull(address.substr(0, 16), nullptr, 16), reinterpret_cast<std::uintptr_t>(d.bytes.data()) + 16);
  EXPECT_EQ(address.back(), ':');
  d.model.SetDataAddress(d.bytes.data(), 18);  // only 18 bytes can be read
  EXPECT_EQ(std::string(d.model.FormatHexBytes(1), 8), "10\t11\t??");
  EXPECT_EQ(d.model.ReadableOnLine(1), 2);
  EXPECT_EQ(d.model.ReadableOnLine(2), 0);
}

TEST(HexDumpScrolling, ScrollBarCodes) {
  Dump d(16 * 100);  // 100 lines, 11 on the screen
  EXPECT_EQ(d.model.VScroll(SB_LINEDOWN, 0), (HexScroll{HexScroll::Pixels, -1}));
  EXPECT_EQ(d.model.FirstVisibleLine(), 1);
  EXPECT_EQ(d.model.VScroll(SB_LINEUP, 0), (HexScroll{HexScroll::Pixels, 1}));
  EXPECT_EQ(d.model.VScroll(SB_LINEUP, 0), HexScroll{});  // clamped at 0: nothing
  EXPECT_EQ(d.model.VScroll(SB_PAGEDOWN, 0), (HexScroll{HexScroll::Whole, 0}));
  EXPECT_EQ(d.model.FirstVisibleLine(), 10);
  EXPECT_EQ(d.model.VScroll(SB_THUMBTRACK, 500), (HexScroll{HexScroll::Whole, 0}));
  EXPECT_EQ(d.model.FirstVisibleLine(), 99);
  d.model.VScroll(SB_THUMBPOSITION, 0x10005);  // the position is 16-bit
  EXPECT_EQ(d.model.FirstVisibleLine(), 5);
  EXPECT_EQ(d.model.VScroll(SB_TOP, 0), HexScroll{});
  EXPECT_EQ(d.model.VScroll(SB_ENDSCROLL, 0), HexScroll{});
  EXPECT_EQ(d.model.FirstVisibleLine(), 5);
  EXPECT_EQ(d.model.CursorLine(), 0);  // the scroll bar leaves the cursor
}

TEST(HexDumpScrolling, KeysAndClicksMoveTheCursor) {
  Dump d(16 * 100);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(d.model.Key(VK_DOWN), HexScroll{});
  EXPECT_EQ(d.model.CursorLine(), 9);  // the last fully visible line of 10
  EXPECT_EQ(d.model.Key(VK_DOWN), (HexScroll{HexScroll::Pixels, -1}));
  EXPECT_EQ(d.model.FirstVisibleLine(), 1);
  d.model.Key(VK_END);
  EXPECT_EQ(d.model.CursorLine(), 99);
  EXPECT_EQ(d.model.FirstVisibleLine(), 99 - 11 + 2);  // the end is the last fully visible line
  EXPECT_EQ(d.model.Key(VK_NEXT), HexScroll{});
  EXPECT_EQ(d.model.FirstVisibleLine(), 90);
  d.model.Key(VK_HOME);
  EXPECT_EQ(d.model.FirstVisibleLine(), 0);
  EXPECT_EQ(d.model.Key(0x25), HexScroll{});  // Left does nothing
  d.model.MouseDown(false, 50);
  EXPECT_EQ(d.model.CursorLine(), 0);  // a right click only takes the focus (the widget's part)
  Dump shortOne(16 * 3);
  shortOne.model.MouseDown(true, 150);  // below the last line
  EXPECT_EQ(shortOne.model.CursorLine(), 2);
  HexDumpModel empty;
  empty.SetCellMetrics(16, 9);
  empty.SetClientSize(300, 200);
  EXPECT_EQ(empty.Key(VK_DOWN), HexScroll{});
  EXPECT_EQ(empty.MouseDown(true, 40), HexScroll{});
  EXPECT_FALSE(empty.ValidLine(0));
}

TEST(HexDumpScrolling, StateSurvivesANewResource) {
  Dump d(16 * 100);
  d.model.VScroll(SB_THUMBTRACK, 80);
  std::vector<std::uint8_t> small(40);
  d.model.SetDataAddress(small.data(), small.size());
  d.model.SetDataSize(40);
  EXPECT_EQ(d.model.FirstVisibleLine(), 80);  // not clamped by the data change
  EXPECT_FALSE(d.model.ValidLine(80));
  EXPECT_EQ(d.model.VScroll(SB_LINEUP, 0), (HexScroll{HexScroll::Whole, 0}));
  EXPECT_EQ(d.model.FirstVisibleLine(), 2);  // clamped to the new last line
  d.model.SetDataSize(0);
  EXPECT_EQ(d.model.LineCount(), 0);
  d.model.VScroll(SB_LINEDOWN, 0);
  EXPECT_EQ(d.model.FirstVisibleLine(), 0);
}

}  // namespace
