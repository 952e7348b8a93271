#include "resx/hex_dump_model.h"

namespace {
constexpr char kDigits[] = "0123456789ABCDEF";
}

HexDumpModel::HexDumpModel() {
  for (char& c : hexLineBuffer_) c = '\t';  // only the digit pairs are ever rewritten
  addressBuffer_[0] = '\0';
}

void HexDumpModel::SetDataAddress(const std::uint8_t* address, std::size_t readable) {
  hasData_ = address != nullptr;
  data_ = address;
  readable_ = address ? readable : 0;
}

void HexDumpModel::SetDataSize(std::int32_t size) {
  dataSize_ = size;
  RecomputeLayout();
}

void HexDumpModel::SetCellMetrics(int lineHeight, int cellWidth) {
  lineHeight_ = lineHeight;
  cellWidth_ = cellWidth;
  RecomputeLayout();
}

void HexDumpModel::SetClientSize(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
  RecomputeLayout();
}

void HexDumpModel::RecomputeLayout() {
  if (lineHeight_ < 1 || cellWidth_ < 1) return;
  linesOnScreen_ = clientHeight_ / lineHeight_ + 1;
  int cells = clientWidth_ / cellWidth_;
  if (ShowAddress) cells -= kAddressCells;
  bytesPerLine_ = ShowCharacters ? cells / 4 : cells / 3;
  if (bytesPerLine_ < 1) bytesPerLine_ = 1;
  if (bytesPerLine_ > 16) bytesPerLine_ = 16;
  lineCount_ = dataSize_ / bytesPerLine_ + (dataSize_ % bytesPerLine_ != 0 ? 1 : 0);
  if (lineCount_ < 0) lineCount_ = 0;
}

int HexDumpModel::Clamp(int line) const {
  if (line >= lineCount_) line = lineCount_ - 1;
  return line < 0 ? 0 : line;
}

HexScroll HexDumpModel::SetFirstVisible(int line) {
  int delta = firstVisibleLine_ - line;
  firstVisibleLine_ = line;
  if (delta == 1 || delta == -1) return {HexScroll::Pixels, delta};
  return {HexScroll::Whole, 0};
}

HexScroll HexDumpModel::ScrollToLine(int line) {
  if (line == firstVisibleLine_) return {};
  return SetFirstVisible(Clamp(line));
}

HexScroll HexDumpModel::VScroll(int code, int position) {
  int line;
  switch (code) {
    case SB_LINEUP: line = firstVisibleLine_ - 1; break;
    case SB_LINEDOWN: line = firstVisibleLine_ + 1; break;
    case SB_PAGEUP: line = firstVisibleLine_ - (linesOnScreen_ - 1); break;
    case SB_PAGEDOWN: line = firstVisibleLine_ + (linesOnScreen_ - 1); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: line = static_cast<std::int16_t>(position); break;
    default: return {};
  }
  line = Clamp(line);
  if (line == firstVisibleLine_) return {};
  return SetFirstVisible(line);
}

HexScroll HexDumpModel::MoveCursorTo(int line) {
  if (line == cursorLine_) return {};
  cursorLine_ = Clamp(line);
  if (cursorLine_ < firstVisibleLine_) return ScrollToLine(cursorLine_);
  if (cursorLine_ >= firstVisibleLine_ + linesOnScreen_ - 1) return ScrollToLine(cursorLine_ - linesOnScreen_ + 2);
  return {};
}

HexScroll HexDumpModel::Key(int key) {
  if (!hasData_) return {};
  switch (key) {
    case VK_PRIOR: return MoveCursorTo(cursorLine_ - linesOnScreen_);
    case VK_NEXT: return MoveCursorTo(cursorLine_ + linesOnScreen_);
    case VK_END: return MoveCursorTo(lineCount_ - 1);
    case VK_HOME: return MoveCursorTo(0);
    case VK_UP: return MoveCursorTo(cursorLine_ - 1);
    case VK_DOWN: return MoveCursorTo(cursorLine_ + 1);
    default: return {};
  }
}

HexScroll HexDumpModel::MouseDown(bool left, int y) {
  if (!left || !hasData_ || lineHeight_ < 1) return {};
  return MoveCursorTo(y / lineHeight_ + firstVisibleLine_);
}

int HexDumpModel::LineByteCount(int line) const {
  int rest = dataSize_ % bytesPerLine_;
  return line == lineCount_ - 1 && rest > 0 ? rest : bytesPerLine_;
}

const char* HexDumpModel::FormatAddress(int line) {
  auto address = reinterpret_cast<std::uintptr_t>(data_) +
                 static_cast<std::uintptr_t>(line) * static_cast<std::uintptr_t>(bytesPerLine_);
  for (int i = 15; i >= 0; --i, address >>= 4) addressBuffer_[i] = kDigits[address & 0xF];
  addressBuffer_[16] = ':';
  addressBuffer_[17] = '\0';
  return addressBuffer_;
}

const char* HexDumpModel::FormatHexBytes(int line) {
  std::size_t first = static_cast<std::size_t>(line) * static_cast<std::size_t>(bytesPerLine_);
  int n = LineByteCount(line);
  for (int k = 0; k < n; ++k) {
    std::size_t at = first + static_cast<std::size_t>(k);
    if (at < readable_) {
      hexLineBuffer_[3 * k] = kDigits[data_[at] >> 4];
      hexLineBuffer_[3 * k + 1] = kDigits[data_[at] & 0xF];
    } else {
      hexLineBuffer_[3 * k] = hexLineBuffer_[3 * k + 1] = '?';
    }
  }
  return hexLineBuffer_;
}

const std::uint8_t* HexDumpModel::LineBytes(int line) const {
  return data_ + static_cast<std::size_t>(line) * static_cast<std::size_t>(bytesPerLine_);
}

int HexDumpModel::ReadableOnLine(int line) const {
  std::size_t first = static_cast<std::size_t>(line) * static_cast<std::size_t>(bytesPerLine_);
  if (first >= readable_) return 0;
  std::size_t left = readable_ - first;
  int n = LineByteCount(line);
  return left < static_cast<std::size_t>(n) ? static_cast<int>(left) : n;
}
