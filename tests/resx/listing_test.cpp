#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cctype>
#include <cstdio>
#include <map>
#include <sstream>

#include "resx/listing.h"
#include "resx/parsed_resources.h"
#include "resx/resource_walk.h"
#include "tests/resx/fixtures.h"

namespace {

using platform::AsBytes;

std::string Joined(const TStrings& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

// The JSON document of a listing, parsed: it must be valid.
QJsonObject Parsed(TListing& listing, Damage damage = {}) {
  std::string text = ListingJson(listing, damage);
  QJsonParseError problem;
  QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &problem);
  EXPECT_EQ(problem.error, QJsonParseError::NoError) << text;
  return doc.object();
}

using Conversion = Damage (*)(Bytes, TListing&);

// Runs a conversion over damaged data: it must give "Damaged file: ..."
// and keep what it read before the damage, and its JSON must stay valid.
TListing Damaged(Conversion list, const std::string& data, const std::string& message) {
  TListing listing;
  listing.json.BeginObject();  // as ListResource opens it
  EXPECT_EQ(list(AsBytes(data), listing).Message(), "Damaged file: " + message);
  return listing;
}

const std::vector<VersionTable> kTables = {
    {u"040904B0", {{u"CompanyName", u"Acme"}, {u"FileVersion", u"1.2.3.4"}}},
    {u"040504E2", {{u"CompanyName", u"Firma s.r.o."}, {u"ProductName", u"Ovlix – nástroj"}}}};
const std::vector<std::uint32_t> kTranslations = {0x04B00409, 0x04E20405};

TEST(VersionListing, ListsFixedInfoEveryTableAndTheTranslations) {
  std::string data = VersionInfo(kTables, kTranslations);
  TListing listing;
  listing.json.BeginObject();
  ListVersionInfo(AsBytes(data), listing).Check();
  EXPECT_EQ(Joined(listing.lines),
            "FILEVERSION 1.2.3.4\n"
            "PRODUCTVERSION 1.2.0.0\n"
            "FILEFLAGSMASK 0x3F\n"
            "FILEFLAGS 0x3 (VS_FF_DEBUG | VS_FF_PRERELEASE)\n"
            "FILEOS 0x40004 (VOS_NT_WINDOWS32)\n"
            "FILETYPE 0x1 (VFT_APP)\n"
            "FILESUBTYPE 0x0\n"
            "BLOCK \"StringFileInfo\"\n"
            "  BLOCK \"040904B0\"  // language 0x0409, code page 1200\n"
            "    VALUE \"CompanyName\", \"Acme\"\n"
            "    VALUE \"FileVersion\", \"1.2.3.4\"\n"
            "  BLOCK \"040504E2\"  // language 0x0405, code page 1250\n"
            "    VALUE \"CompanyName\", \"Firma s.r.o.\"\n"
            "    VALUE \"ProductName\", \"Ovlix – nástroj\"\n"
            "BLOCK \"VarFileInfo\"\n"
            "  VALUE \"Translation\", 0x0409, 1200, 0x0405, 1250\n");
  QJsonObject json = Parsed(listing);
  QJsonObject fixed = json["fixedFileInfo"].toObject();
  EXPECT_EQ(fixed["fileVersion"].toString(), "1.2.3.4");
  EXPECT_EQ(fixed["productVersion"].toString(), "1.2.0.0");
  EXPECT_EQ(fixed["fileFlags"].toInt(), 3);
  EXPECT_EQ(fixed["fileFlagNames"].toArray().size(), 2);
  EXPECT_EQ(fixed["fileOSName"].toString(), "VOS_NT_WINDOWS32");
  EXPECT_EQ(fixed["fileTypeName"].toString(), "VFT_APP");
  QJsonArray tables = json["stringTables"].toArray();
  ASSERT_EQ(tables.size(), 2);
  EXPECT_EQ(tables[1].toObject()["language"].toInt(), 0x405);
  EXPECT_EQ(tables[1].toObject()["codePage"].toInt(), 1250);
  QJsonObject product = tables[1].toObject()["strings"].toArray()[1].toObject();
  EXPECT_EQ(product["key"].toString(), "ProductName");
  EXPECT_EQ(product["value"].toString(), QString::fromUtf8("Ovlix – nástroj"));
  QJsonArray translations = json["translations"].toArray();
  ASSERT_EQ(translations.size(), 2);
  EXPECT_EQ(translations[0].toObject()["language"].toInt(), 0x409);
  EXPECT_EQ(translations[0].toObject()["codePage"].toInt(), 1200);
}

TEST(VersionListing, DamageKeepsWhatWasRead) {
  std::string data = VersionInfo(kTables, kTranslations);
  // cut between the tables: the first table's lines stay
  std::size_t second = data.find(Utf16(u"040504E2")) - 6;
  TListing between = Damaged(ListVersionInfo, data.substr(0, second), "the version information is cut short");
  EXPECT_EQ(between.lines.size(), 11u);
  EXPECT_EQ(between.lines[9], "    VALUE \"CompanyName\", \"Acme\"");
  QJsonObject json = Parsed(between, Damage{Flaw::Data, 0, "x"});
  EXPECT_EQ(json["stringTables"].toArray().size(), 1);
  EXPECT_EQ(json["stringTables"].toArray()[0].toObject()["strings"].toArray().size(), 2);
  EXPECT_EQ(json["fixedFileInfo"].toObject()["fileVersion"].toString(), "1.2.3.4");
  EXPECT_EQ(json["error"].toString(), "Damaged file: x");
  // cut inside a key of the second table
  TListing inside =
      Damaged(ListVersionInfo, data.substr(0, second + 30), "a text in the version information has no end");
  EXPECT_EQ(inside.lines.size(), 12u);
  EXPECT_EQ(inside.lines.back(), "  BLOCK \"040504E2\"  // language 0x0405, code page 1250");
  // a length larger than the data: all is read, and the cut told
  std::string large = data;
  large[0] = static_cast<char>(0xFF), large[1] = static_cast<char>(0x7F);
  EXPECT_EQ(Damaged(ListVersionInfo, large, "the version information is cut short").lines.size(), 16u);
  // a string larger than its table
  std::string acmeBlock = data;
  std::size_t company = data.find(Utf16(u"CompanyName")) - 6;
  acmeBlock[company] = static_cast<char>(0xF0);
  EXPECT_EQ(Damaged(ListVersionInfo, acmeBlock, "a block of the version information does not fit").lines.size(), 9u);
  // a value without its terminator: the string block ends inside the text
  std::size_t acme = data.find(Utf16(u"Acme"));
  std::string unterminated = data;
  std::size_t block = data.rfind(Utf16(u"CompanyName"), acme) - 6;
  unterminated[block] = static_cast<char>(acme + 8 - block);  // the block's length ends right after "Acme"
  TListing open = Damaged(ListVersionInfo, unterminated, "a text in the version information has no end");
  EXPECT_EQ(open.lines.back(), "  BLOCK \"040904B0\"  // language 0x0409, code page 1200");
  // a key without its terminator
  EXPECT_TRUE(
      Damaged(ListVersionInfo, data.substr(0, 20), "a text in the version information has no end").lines.empty());
  std::string key = data.substr(0, 6) + Utf16(u"VS_VERSION");
  key[0] = static_cast<char>(key.size());
  Damaged(ListVersionInfo, key, "a text in the version information has no end");
  Damaged(ListVersionInfo, std::string(1, '\x10'), "the version information ends early");
}

// Parsing reports the damage as a value, beside what it read before it.
TEST(VersionListing, ParseGivesTheDamageAndWhatWasRead) {
  std::string data = VersionInfo(kTables, kTranslations);
  std::size_t second = data.find(Utf16(u"040504E2")) - 6;
  VersionResource version;
  Damage damage = Parse(AsBytes(data.substr(0, second + 30)), version);
  EXPECT_EQ(damage.Message(), "Damaged file: a text in the version information has no end");
  ASSERT_TRUE(version.fixed.has_value());
  EXPECT_EQ(version.fixed->fileMs, 0x00010002u);
  ASSERT_EQ(version.blocks.size(), 1u);
  ASSERT_EQ(version.blocks[0].tables.size(), 2u);
  EXPECT_EQ(version.blocks[0].tables[0].strings.size(), 2u);
  EXPECT_EQ(version.blocks[0].tables[1].codePage, 1250u);
  EXPECT_TRUE(version.blocks[0].tables[1].strings.empty());

  VersionResource whole;
  EXPECT_FALSE(Parse(AsBytes(data), whole).Found());
  ASSERT_EQ(whole.blocks.size(), 2u);
  EXPECT_FALSE(whole.blocks[1].strings);
  ASSERT_EQ(whole.blocks[1].vars.size(), 1u);
  EXPECT_EQ(whole.blocks[1].vars[0].key, "Translation");
  EXPECT_EQ(whole.blocks[1].vars[0].values[1].language, 0x0405);
}

TEST(ManifestListing, Utf8AndUtf16WithItsBom) {
  const std::string xml =
      "<?xml version=\"1.0\"?>\r\n<assembly>\r\n  <description>Příliš žluťoučký</description>\r\n</assembly>\r\n";
  const std::string expected =
      "<?xml version=\"1.0\"?>\n<assembly>\n  <description>Příliš žluťoučký</description>\n</assembly>\n";
  for (int form = 0; form < 3; ++form) {
    std::string data;
    if (form == 0) data = xml;
    if (form == 1) data = "\xEF\xBB\xBF" + xml;
    if (form == 2) {
      data = "\xFF\xFE" + Utf16(QString::fromUtf8(xml).toStdU16String());
    }
    TListing listing;
    listing.json.BeginObject();
    ListManifest(AsBytes(data), listing).Check();
    EXPECT_EQ(Joined(listing.lines), expected) << form;
    QJsonObject json = Parsed(listing);
    EXPECT_EQ(json["encoding"].toString(), form == 2 ? "UTF-16LE" : "UTF-8");
    EXPECT_EQ(json["text"].toString(), QString::fromUtf8(xml));
  }
  std::string odd = "\xFF\xFE" + Utf16(u"<a/>\n<b/>") + "x";
  TListing cut = Damaged(ListManifest, odd, "a UTF-16 manifest ends in half a character");
  EXPECT_EQ(Joined(cut.lines), "<a/>\n<b/>\n");
  Parsed(cut, Damage{Flaw::Data, 0, "x"});
}

std::string Accelerator(std::uint16_t flags, std::uint16_t key, std::uint16_t id) {
  std::string e;
  Put16(e, flags), Put16(e, key), Put16(e, id), Put16(e, 0);
  return e;
}

TEST(AcceleratorListing, KeysModifiersAndIds) {
  std::string data = Accelerator(0x09, 'O', 100) + Accelerator(0x1D, 0x70, 101) + Accelerator(0x00, 'a', 102) +
                     Accelerator(0x80 | 0x03, 0x2E, 103);
  TListing listing;
  listing.json.BeginObject();
  ListAccelerators(AsBytes(data), listing).Check();
  EXPECT_EQ(Joined(listing.lines),
            "\"O\", 100, VIRTKEY, CONTROL\n"
            "VK_F1, 101, VIRTKEY, CONTROL, SHIFT, ALT\n"
            "\"a\", 102, ASCII\n"
            "VK_DELETE, 103, VIRTKEY, NOINVERT\n");
  QJsonArray entries = Parsed(listing)["entries"].toArray();
  ASSERT_EQ(entries.size(), 4);
  EXPECT_EQ(entries[1].toObject()["key"].toInt(), 0x70);
  EXPECT_EQ(entries[1].toObject()["id"].toInt(), 101);
  EXPECT_EQ(entries[1].toObject()["modifiers"].toArray().size(), 3);
  EXPECT_FALSE(entries[2].toObject()["virtualKey"].toBool());
  // the entry flagged last ends the table, whatever follows it
  std::string trailing = data + Accelerator(0x01, 'X', 104);
  TListing ended;
  ListAccelerators(AsBytes(trailing), ended).Check();
  EXPECT_EQ(ended.lines.size(), 4u);
  TListing cut = Damaged(ListAccelerators, data.substr(0, 20), "an entry of the accelerator table is cut short");
  EXPECT_EQ(Joined(cut.lines), "\"O\", 100, VIRTKEY, CONTROL\nVK_F1, 101, VIRTKEY, CONTROL, SHIFT, ALT\n");
  EXPECT_EQ(Parsed(cut, Damage{Flaw::Data, 0, "x"})["entries"].toArray().size(), 2);
}

TEST(DialogListing, DialogAndDialogExWithEveryControlKind) {
  const std::string controls =
      "BEGIN\n"
      "  CONTROL \"OK\", 1, BUTTON, 0x50010001, 7, 20, 50, 14\n"
      "  CONTROL \"\", 100, EDIT, 0x50810080, 7, 1010, 50, 14, 0x00000200\n"
      "  CONTROL 101, -1, STATIC, 0x50000003, 7, 0, 50, 14\n"
      "  CONTROL \"\", 101, LISTBOX, 0x50A10001, 7, 1020, 50, 14\n"
      "  CONTROL \"\", 102, SCROLLBAR, 0x50000001, 7, 1030, 50, 14\n"
      "  CONTROL \"\", 103, COMBOBOX, 0x50210003, 7, 1040, 50, 14\n"
      "  CONTROL \"Seznam\", 104, \"SysListView32\", 0x50010001, 7, 1050, 50, 14\n"
      "END\n";
  for (bool extended : {false, true}) {
    std::string data = DialogTemplate(extended);
    TListing listing;
    listing.json.BeginObject();
    ListDialog(AsBytes(data), listing).Check();
    EXPECT_EQ(Joined(listing.lines),
              std::string(extended ? "DIALOGEX" : "DIALOG") +
                  " 10, 20, 200, 100\n"
                  "STYLE 0x80C800C8\n"
                  "CAPTION \"O programu\"\n" +
                  (extended ? "FONT 8, \"MS Sans Serif\", 400, 0, 0x1\n" : "FONT 8, \"MS Sans Serif\"\n") + controls);
    QJsonObject json = Parsed(listing);
    EXPECT_EQ(json["extended"].toBool(), extended);
    EXPECT_EQ(json["caption"].toString(), "O programu");
    EXPECT_EQ(json["width"].toInt(), 200);
    EXPECT_EQ(json["font"].toObject()["face"].toString(), "MS Sans Serif");
    QJsonArray list = json["controls"].toArray();
    ASSERT_EQ(list.size(), 7);
    EXPECT_EQ(list[2].toObject()["class"].toString(), "STATIC");
    EXPECT_EQ(list[2].toObject()["text"].toInt(), 101);
    EXPECT_EQ(list[2].toObject()["id"].toInt(), -1);
    EXPECT_EQ(list[6].toObject()["class"].toString(), "SysListView32");
    EXPECT_EQ(list[1].toObject()["exStyle"].toInt(), 0x200);
  }
}

TEST(DialogListing, DamageKeepsTheControlsRead) {
  for (bool extended : {false, true}) {
    std::string data = DialogTemplate(extended);
    // cut inside the last control's class name: six controls are listed
    std::string cut = data.substr(0, data.find(Utf16(u"SysListView32")) + 6);
    TListing listing = Damaged(ListDialog, cut, "a text in the dialog has no end");
    EXPECT_EQ(listing.lines.size(), 4u + 1 + 6) << extended;
    EXPECT_EQ(listing.lines.back().substr(0, 24), "  CONTROL \"\", 103, COMBO");
    EXPECT_EQ(Parsed(listing, Damage{Flaw::Data, 0, "x"})["controls"].toArray().size(), 6);
    // a count of controls larger than the template holds
    std::string counted = data;
    counted[extended ? 16 : 8] = 9;
    TListing more = Damaged(ListDialog, counted, "the dialog ends early");
    EXPECT_EQ(more.lines.size(), 4u + 1 + 7);
    // cut inside the header
    EXPECT_TRUE(Damaged(ListDialog, data.substr(0, 12), "the dialog ends early").lines.empty());
    // a caption without its terminator
    std::string caption = data.substr(0, data.find(Utf16(u"O programu")) + 8);
    Damaged(ListDialog, caption, "a text in the dialog has no end");
  }
}

std::string MessageEntry(const std::string& text, bool unicode) {
  std::string body = unicode ? Utf16(QString::fromUtf8(text).toStdU16String()) + std::string(2, '\0') : text + '\0';
  body.resize((body.size() + 3) / 4 * 4, '\0');
  std::string e;
  Put16(e, static_cast<std::uint32_t>(body.size() + 4)), Put16(e, unicode ? 1 : 0);
  return e + body;
}

// Two blocks: ids 1 and 2 (ANSI, code page 1250), 0x10 (Unicode).
std::string MessageTable() {
  std::string entries1 = MessageEntry("Hotovo.\r\n", false) + MessageEntry("Chyba \x9A", false);
  std::string entries2 = MessageEntry("Soubor „%1“ chybí.\r\n", true);
  std::string t;
  Put32(t, 2);
  Put32(t, 1), Put32(t, 2), Put32(t, 28);
  Put32(t, 0x10), Put32(t, 0x10), Put32(t, static_cast<std::uint32_t>(28 + entries1.size()));
  return t + entries1 + entries2;
}

TEST(MessageTableListing, AnsiAndUnicodeEntries) {
  std::string data = MessageTable();
  TListing listing;
  listing.json.BeginObject();
  ListMessageTable(AsBytes(data), listing).Check();
  EXPECT_EQ(Joined(listing.lines),
            "0x00000001  \"Hotovo.\\r\\n\"\n"
            "0x00000002  \"Chyba š\"\n"
            "0x00000010  \"Soubor „%1“ chybí.\\r\\n\"\n");
  QJsonArray messages = Parsed(listing)["messages"].toArray();
  ASSERT_EQ(messages.size(), 3);
  EXPECT_EQ(messages[0].toObject()["text"].toString(), "Hotovo.\r\n");
  EXPECT_FALSE(messages[0].toObject()["unicode"].toBool());
  EXPECT_EQ(messages[2].toObject()["id"].toInt(), 16);
  EXPECT_TRUE(messages[2].toObject()["unicode"].toBool());
}

TEST(MessageTableListing, DamageKeepsTheMessagesRead) {
  std::string data = MessageTable();
  // the second block's entry cut short
  TListing cut = Damaged(ListMessageTable, data.substr(0, data.size() - 6), "a message runs past the end of the table");
  EXPECT_EQ(cut.lines.size(), 2u);
  EXPECT_EQ(Parsed(cut, Damage{Flaw::Data, 0, "x"})["messages"].toArray().size(), 2);
  // more blocks than the data holds
  std::string blocks = data;
  Poke32(blocks, 0, 0x10000000);
  EXPECT_TRUE(Damaged(ListMessageTable, blocks, "the message table names more blocks than it holds").lines.empty());
  // a block naming more ids than it has entries runs into the next block's
  // entry and then to the end
  std::string ids = data;
  Poke32(ids, 8, 0xFFFFFFFF);
  TListing many = Damaged(ListMessageTable, ids, "the message table ends early");
  EXPECT_EQ(many.lines.size(), 3u);
  // blocks naming the same entries again and again stop at what the data could hold
  std::string again;
  Put32(again, 16);
  for (int i = 0; i < 16; ++i) Put32(again, 1), Put32(again, 4), Put32(again, 4 + 16 * 12);
  for (int i = 0; i < 4; ++i) again += MessageEntry("x", false);
  TListing repeated = Damaged(ListMessageTable, again, "the message table names more messages than it holds");
  EXPECT_EQ(repeated.lines.size(), again.size() / 4);
  Damaged(ListMessageTable, "ab", "the message table ends early");
}

// Leaves listed through their items: the listing's type, strings and menus
// as the window shows them, and leaves without a listing.
TEST(ResourceListing, EveryTypeWithAListing) {
  std::vector<std::u16string> table(16);
  table[3] = u"Ahoj";
  std::string menu(4, '\0');
  Put16(menu, 0x80), Put16(menu, 7);
  menu += Utf16(u"Konec") + std::string(2, '\0');
  PeFile file = BuildPe({Dir(4u, {Named(1u, menu)}), Dir(5u, {Named(1u, DialogTemplate(true))}),
                         Dir(6u, {Named(1u, StringBlock(table))}), Dir(10u, {Named(1u, "raw")}),
                         Dir(16u, {Named(1u, VersionInfo(kTables, kTranslations))}), Dir(24u, {Named(1u, "<a/>")})});
  TExeImage image("listing.dll", AsBytes(file.bytes));
  auto leaf = [&](std::size_t type) -> TResourceItem& {
    return *image.Resources().Value()->Items()[type]->SubList().Value()->Items()[0];
  };
  struct Expect {
    std::size_t type;
    const char* name;
    const char* firstLine;
  } cases[] = {{0, "Menu", "MENUITEM \"Konec\",  7"},
               {1, "Dialog", "DIALOGEX 10, 20, 200, 100"},
               {2, "String", "3,  \"Ahoj\""},
               {4, "Version", "FILEVERSION 1.2.3.4"},
               {5, "24", "<a/>"}};
  for (const Expect& c : cases) {
    TListing listing;
    ListResource(leaf(c.type), listing).Check();
    ASSERT_FALSE(listing.lines.empty()) << c.name;
    EXPECT_EQ(listing.lines[0], c.firstLine);
    QJsonObject json = Parsed(listing);
    EXPECT_EQ(json["type"].toString(), c.name);
    EXPECT_FALSE(json.contains("error"));
  }
  TListing strings;
  ListResource(leaf(2), strings).Check();
  EXPECT_EQ(Parsed(strings)["lines"].toArray()[0].toString(), "3,  \"Ahoj\"");
  TListing raw;
  EXPECT_EQ(ListResource(leaf(3), raw).flaw, Flaw::NoListing);
  EXPECT_EQ(ListResource(*image.Resources().Value()->Items()[0], raw).flaw, Flaw::NoListing);  // a list
  EXPECT_FALSE(HasListing(rtRCData));
  EXPECT_FALSE(HasListing(rtBitmap));
}

TEST(ResourceListing, DamagedStringTableKeepsItsLines) {
  std::vector<std::u16string> table(16);
  table[0] = u"A", table[1] = u"B";
  std::string block = StringBlock(table);
  PeFile file = BuildPe({Dir(6u, {Named(1u, block.substr(0, 2 + 2 + 2 + 2 + 1))})});
  TExeImage image("strings.dll", AsBytes(file.bytes));
  TListing listing;
  Damage damage = ListResource(*image.Resources().Value()->Items()[0]->SubList().Value()->Items()[0], listing);
  EXPECT_EQ(damage.Message(), "Damaged file: a string table ends early");
  EXPECT_EQ(listing.lines, (TStrings{"0,  \"A\"", "1,  \"B\""}));
  QJsonObject json = Parsed(listing, damage);
  EXPECT_EQ(json["lines"].toArray().size(), 2);
  EXPECT_EQ(json["error"].toString(), "Damaged file: a string table ends early");
}

// Version information, dialogs and accelerators as a real resource
// compiler lays them out (tests/resx/listings.rc), 32 and 64 bit.
TEST(ResourceListing, ListingsOfARealResourceCompiler) {
  const std::string controls =
      "BEGIN\n"
      "  CONTROL \"OK\", 1, BUTTON, 0x50010001, 120, 70, 50, 14\n"
      "  CONTROL \"\", 100, EDIT, 0x50810000, 10, 10, 100, 12\n"
      "  CONTROL 1, -1, STATIC, 0x50000003, 10, 30, 0, 0\n"
      "  CONTROL \"\", 101, LISTBOX, 0x50800001, 10, 50, 60, 30\n"
      "  CONTROL \"\", 102, SCROLLBAR, 0x50000000, 120, 10, 10, 50\n"
      "  CONTROL \"\", 103, COMBOBOX, 0x50010001, 80, 50, 30, 60\n"
      "  CONTROL \"Seznam\", 104, \"SYSLISTVIEW32\", 0x50010001, 10, 60, 50, 20\n"
      "END\n";
  const std::map<std::string, std::string> expected = {
      {"Version/1",
       "FILEVERSION 2.7.1300.7\n"
       "PRODUCTVERSION 2.7.0.0\n"
       "FILEFLAGSMASK 0x3F\n"
       "FILEFLAGS 0x2 (VS_FF_PRERELEASE)\n"
       "FILEOS 0x40004 (VOS_NT_WINDOWS32)\n"
       "FILETYPE 0x2 (VFT_DLL)\n"
       "FILESUBTYPE 0x0\n"
       "BLOCK \"StringFileInfo\"\n"
       "  BLOCK \"040504E2\"  // language 0x0405, code page 1250\n"
       "    VALUE \"CompanyName\", \"Ovlix\"\n"
       "    VALUE \"FileDescription\", \"Nástroje systému\"\n"
       "  BLOCK \"040904B0\"  // language 0x0409, code page 1200\n"
       "    VALUE \"FileDescription\", \"System tools\"\n"
       "BLOCK \"VarFileInfo\"\n"
       "  VALUE \"Translation\", 0x0405, 1250, 0x0409, 1200\n"},
      {"Dialog/1",
       "DIALOG 0, 0, 180, 90\nSTYLE 0x80C800C8\nCAPTION \"O programu\"\nFONT 8, \"MS Sans Serif\"\n" + controls},
      {"Dialog/2",
       "DIALOGEX 0, 0, 180, 90\nSTYLE 0x80C800C8\nCAPTION \"Nastavení\"\nFONT 8, \"MS Shell Dlg\", 400, 0, 0x1\n" +
           controls},
      {"Accelerators/1",
       "\"O\", 100, VIRTKEY, CONTROL\nVK_F1, 101, VIRTKEY, SHIFT, ALT\n\"a\", 102, ASCII\n\"C\", 103, VIRTKEY, "
       "CONTROL\n"}};
  for (const char* name : {"listings32.dll", "listings64.dll"}) {
    TExeImage image(std::string(OVLIX_TOOLCHAIN_DLLS) + name);
    for (const auto& [path, text] : expected) {
      TResourceItem* item = FindResource(image, path).Value();
      ASSERT_NE(item, nullptr) << name << " " << path;
      TListing listing;
      ListResource(*item, listing).Check();
      EXPECT_EQ(Joined(listing.lines), text) << name << " " << path;
      Parsed(listing);
    }
  }
}

// The menus of tests/resx/listings.rc, every item flag of a classic menu
// and the ids, types, states and help ids of an extended one, as the
// resource compiler itself decompiles them: its text, with BEGIN left out
// and END written ENDPOPUP, is the listing.
std::map<std::string, TStrings> CompilersMenus(const std::string& object) {
  std::map<std::string, TStrings> menus;
  std::string command = std::string(OVLIX_WINDRES) + " -i '" + object + "' -O rc";
  std::string text;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) text.append(buf, n);
    ::pclose(pipe);
  }
  std::istringstream in(text);
  std::string line, name;
  while (std::getline(in, line)) {
    if (line.ends_with(" MENU") || line.ends_with(" MENUEX")) {
      name = "Menu/" + line.substr(0, line.find(' '));
      std::getline(in, line);  // the menu's own BEGIN
      continue;
    }
    if (name.empty()) continue;
    if (line == "END") {
      name.clear();
      continue;
    }
    line.erase(0, 2);
    std::size_t indent = line.find_first_not_of(' ');
    std::string body = line.substr(indent);
    if (body == "BEGIN") continue;
    if (body == "END") body = "ENDPOPUP";
    // the listing puts two blanks between an item's text and its id
    std::size_t close = body.rfind('"');
    if (close != std::string::npos && body.compare(close, 3, "\", ") == 0 && close + 3 < body.size() &&
        (std::isdigit(static_cast<unsigned char>(body[close + 3])) || body[close + 3] == '-'))
      body.insert(close + 2, " ");
    menus[name].push_back(line.substr(0, indent) + body);
  }
  return menus;
}

TEST(ResourceListing, MenusAsTheResourceCompilerDecompilesThem) {
  for (const char* bits : {"32", "64"}) {
    const std::string dir = OVLIX_TOOLCHAIN_DLLS;
    std::map<std::string, TStrings> expected = CompilersMenus(dir + "listings" + bits + ".o");
    ASSERT_EQ(expected.size(), 2u) << bits;
    TExeImage image(dir + "listings" + bits + ".dll");
    for (const auto& [path, lines] : expected) {
      TResourceItem* item = FindResource(image, path).Value();
      ASSERT_NE(item, nullptr) << bits << " " << path;
      TStrings listed;
      item->AssignTo(listed).Check();
      EXPECT_EQ(listed, lines) << bits << " " << path;
    }
  }
}

}  // namespace
