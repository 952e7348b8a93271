// A small reader for rich text (RTF) and plain text, for the tips viewer.
//
// Understood: groups, paragraphs (\par, \pard, \ql \qc \qr \qj), line breaks
// and tabs, bold, italic and underline, font sizes (\fs), the colour table
// and \cf, \plain, \'hh escapes in code page 1250 (the file's \ansicpg is not
// consulted), \uN with \ucN fallbacks, the usual typographic symbols. Font
// tables, style sheets, pictures, objects, \* destinations and other
// non-text destinations are skipped. Text is UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct RichFormat {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int halfPoints = 24;                 // \fs: the size in half points
  std::optional<std::uint32_t> color;  // 0xRRGGBB; none is the view's own
  bool operator==(const RichFormat&) const = default;
};

struct RichRun {
  std::string text;  // "\n" is a line break inside the paragraph
  RichFormat format;
};

enum class RichAlign { Left, Center, Right, Justify };

struct RichParagraph {
  std::vector<RichRun> runs;
  RichAlign align = RichAlign::Left;
};

struct RichDocument {
  std::vector<RichParagraph> paragraphs;  // at least one
};

// Nothing when the bytes are not rich text: they do not begin with "{\rtf",
// the outermost group is not closed, or groups nest deeper than any real
// document does.
std::optional<RichDocument> ParseRichText(std::string_view bytes);

// The bytes as text: UTF-8 when they are valid UTF-8 (a byte-order mark is
// dropped), code page 1250 otherwise; CRLF becomes LF. Nothing for binary
// data (a NUL byte).
std::optional<std::string> DecodePlainText(std::string_view bytes);
