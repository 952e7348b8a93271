// The hex dump's layout, scrolling and cursor, without widgets: lines of
// BytesPerLine bytes (1 to 16) as an address column, a hex column and a
// character column, a first visible line and an unseen cursor line moved by
// keys and clicks. The widget (HexDump.h) feeds it cell metrics, the client
// size and the input, and does what the returned HexScroll asks.
//
// Addresses on this platform are 64 bits wide: the address column shows all
// 16 hexadecimal digits and a colon, and takes 18 cells (the platform's
// 8 digits took 10).
#pragma once

#include <cstddef>
#include <cstdint>

// What the view must do after a change of the first visible line.
struct HexScroll {
  enum Kind { None, Whole, Pixels } kind = None;
  int delta = 0;  // Pixels: +1 moves the picture down one line (view up), -1 up
  bool operator==(const HexScroll&) const = default;
};

enum HexScrollCode {
  SB_LINEUP,
  SB_LINEDOWN,
  SB_PAGEUP,
  SB_PAGEDOWN,
  SB_THUMBPOSITION,
  SB_THUMBTRACK,
  SB_TOP,
  SB_BOTTOM,
  SB_ENDSCROLL
};
enum HexKey { VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_UP = 0x26, VK_DOWN = 0x28 };

class HexDumpModel {
 public:
  static constexpr int kAddressCells = 18;

  HexDumpModel();

  // The bytes shown; `readable` of them can be read (the rest show "??").
  void SetDataAddress(const std::uint8_t* address, std::size_t readable);
  void SetDataSize(std::int32_t size);
  void SetCellMetrics(int lineHeight, int cellWidth);
  void SetClientSize(int width, int height);
  void RecomputeLayout();

  HexScroll ScrollToLine(int line);
  HexScroll VScroll(int code, int position);
  HexScroll MoveCursorTo(int line);
  HexScroll Key(int virtualKey);
  HexScroll MouseDown(bool left, int y);

  std::int32_t DataSize() const { return dataSize_; }
  int FirstVisibleLine() const { return firstVisibleLine_; }
  int CursorLine() const { return cursorLine_; }
  int LinesOnScreen() const { return linesOnScreen_; }
  int LineCount() const { return lineCount_; }
  int BytesPerLine() const { return bytesPerLine_; }
  int LineHeight() const { return lineHeight_; }
  int CellWidth() const { return cellWidth_; }
  bool ShowAddress = true;
  bool ShowCharacters = true;

  // Where the columns begin, in client pixels.
  int AddressWidth() const { return ShowAddress ? kAddressCells * cellWidth_ : 0; }
  int HexLeft() const { return 1 + AddressWidth(); }
  // the full-line width of the hex column, also on a short last line
  int CharLeft() const { return AddressWidth() + 3 * bytesPerLine_ * cellWidth_; }

  bool ValidLine(int line) const { return hasData_ && line >= 0 && line < lineCount_; }
  // Bytes on a valid line: BytesPerLine, fewer on a short last line.
  int LineByteCount(int line) const;
  // The line's address as 16 digits and a colon, zero-terminated (17 characters).
  const char* FormatAddress(int line);
  // The line's bytes as digit pairs each followed by a TAB; the first
  // 3n - 1 characters are the text of the line. Unreadable bytes are "??".
  const char* FormatHexBytes(int line);
  // The line's bytes that can be read, from its first one (at most n).
  const std::uint8_t* LineBytes(int line) const;
  int ReadableOnLine(int line) const;

 private:
  int Clamp(int line) const;
  HexScroll SetFirstVisible(int line);
  bool hasData_ = false;
  const std::uint8_t* data_ = nullptr;
  std::size_t readable_ = 0;
  std::int32_t dataSize_ = 0;
  int firstVisibleLine_ = 0;
  int cursorLine_ = 0;
  int linesOnScreen_ = 0;
  int lineCount_ = 0;
  int bytesPerLine_ = 0;
  int lineHeight_ = 0;
  int cellWidth_ = 0;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  char hexLineBuffer_[48];
  char addressBuffer_[18];
};
