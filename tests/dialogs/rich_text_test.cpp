#include "dialogs/rich_text.h"

#include <gtest/gtest.h>

namespace {

std::string Text(const RichDocument& doc) {
  std::string out;
  for (std::size_t i = 0; i < doc.paragraphs.size(); ++i) {
    if (i) out += '|';
    for (const RichRun& run : doc.paragraphs[i].runs) out += run.text;
  }
  return out;
}

RichDocument Parse(std::string_view rtf) {
  std::optional<RichDocument> doc = ParseRichText(rtf);
  EXPECT_TRUE(doc.has_value()) << rtf;
  return doc.value_or(RichDocument{});
}

TEST(RichText, TextParagraphsAndEscapes) {
  EXPECT_EQ(Text(Parse("{\\rtf1 Jedna\\par Dv\\'e9\r\n\\par\\par{\\b tu\\'e8n\\'e1}}")), "Jedna|Dvé||tučná");
  EXPECT_EQ(Text(Parse("{\\rtf1 a\\\\b\\{c\\}d\\~e\\-f}")),
            "a\\b{c}d\xC2\xA0"
            "ef");
  EXPECT_EQ(Text(Parse("{\\rtf1 \\'8a\\'9e\\'fd}")), "Šžý");  // code page 1250
  EXPECT_EQ(Text(Parse("{\\rtf1 x\\line y\\tab z}")), "x\ny\tz");
  EXPECT_EQ(Text(Parse("{\\rtf1 \\ldblquote a\\rdblquote \\endash \\emdash}")), "“a”–—");
  // the delimiting blank of a control word is not text; a second one is
  EXPECT_EQ(Text(Parse("{\\rtf1 \\b  x}")), " x");
  // the rest of the file after the outermost group is not read
  EXPECT_EQ(Text(Parse("{\\rtf1 a}junk{")), "a");
}

TEST(RichText, UnicodeWithItsFallback) {
  EXPECT_EQ(Text(Parse("{\\rtf1 \\u268?\\u345?k}")), "Čřk");
  EXPECT_EQ(Text(Parse("{\\rtf1\\uc2 \\u8364\\'80\\'80x}")), "€x");
  EXPECT_EQ(Text(Parse("{\\rtf1\\uc0 \\u-3988 a}")),
            "\xEF\x81\xAC"
            "a");                                                             // negative: 65536 - 3988
  EXPECT_EQ(Text(Parse("{\\rtf1 \\u55357?\\u56832?}")), "\xF0\x9F\x98\x80");  // a surrogate pair
  // \uc is scoped to its group
  EXPECT_EQ(Text(Parse("{\\rtf1 {\\uc2 a}\\u269?b}")), "ačb");
}

TEST(RichText, FormatsFollowGroupsAndTheColourTable) {
  RichDocument doc = Parse(
      "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}"
      "{\\*\\generator Pisatel;}{\\info{\\title Nadpis}}"
      "\\fs20 a{\\b\\i\\ul\\fs28\\cf1 b}{\\cf2 c\\plain d}\\ul e\\ulnone f\\cf9 g}");
  ASSERT_EQ(doc.paragraphs.size(), 1u);
  const std::vector<RichRun>& runs = doc.paragraphs[0].runs;
  ASSERT_EQ(runs.size(), 6u);
  EXPECT_EQ(runs[0].text, "a");
  EXPECT_EQ(runs[0].format, (RichFormat{false, false, false, 20, std::nullopt}));
  EXPECT_EQ(runs[1].format, (RichFormat{true, true, true, 28, 0xFF0000}));
  EXPECT_EQ(runs[2].format.color, 0x000080u);
  EXPECT_EQ(runs[3].format, RichFormat{});  // \plain
  EXPECT_TRUE(runs[4].format.underline);
  EXPECT_FALSE(runs[5].format.underline);
  EXPECT_EQ(runs[5].text, "fg");  // a colour beyond the table is the view's own
}

TEST(RichText, Alignment) {
  RichDocument doc = Parse("{\\rtf1\\qc a\\par b\\par\\pard c\\qr\\par\\qj d}");
  ASSERT_EQ(doc.paragraphs.size(), 4u);
  EXPECT_EQ(doc.paragraphs[0].align, RichAlign::Center);
  EXPECT_EQ(doc.paragraphs[1].align, RichAlign::Center);  // inherited
  EXPECT_EQ(doc.paragraphs[2].align, RichAlign::Right);
  EXPECT_EQ(doc.paragraphs[3].align, RichAlign::Justify);
}

TEST(RichText, WhatIsNotRichTextIsRejected) {
  EXPECT_FALSE(ParseRichText("Obyčejný text"));
  EXPECT_FALSE(ParseRichText(" {\\rtf1 a}"));
  EXPECT_FALSE(ParseRichText("{\\rtf1 neuzavřená skupina"));
  EXPECT_FALSE(ParseRichText("{\\rtf1 {a}"));
  EXPECT_FALSE(ParseRichText(""));
  EXPECT_FALSE(ParseRichText(std::string("{\\rtf1 ") + std::string(100000, '{')));  // no stack exhaustion
  EXPECT_TRUE(ParseRichText("{\\rtf1 " + std::string(150, '{') + std::string(151, '}')));
  // a file cut in the middle of an escape or a control word
  EXPECT_FALSE(ParseRichText("{\\rtf1 \\'e"));
  EXPECT_FALSE(ParseRichText("{\\rtf1 \\u12"));
}

TEST(PlainText, Utf8OrCodePage1250) {
  EXPECT_EQ(DecodePlainText("\xEF\xBB\xBFŽluťoučký\r\nkůň\n"), "Žluťoučký\nkůň\n");
  EXPECT_EQ(DecodePlainText("\x8e\x6c\x75\x9d\x6f\x75\xe8\x6b\xfd"), "Žluťoučký");  // not UTF-8: code page 1250
  EXPECT_EQ(DecodePlainText("\xC3\x28"), "Ă(");              // an invalid sequence is not taken as UTF-8
  EXPECT_EQ(DecodePlainText("\xED\xA0\x80"), "í\xC2\xA0€");  // nor an encoded surrogate
  EXPECT_EQ(DecodePlainText(""), "");
  EXPECT_FALSE(DecodePlainText(std::string("MZ\0\0", 4)));
}

}  // namespace
