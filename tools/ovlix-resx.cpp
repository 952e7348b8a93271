// ovlix-resx: the resource extractor for scripts and batch work.
//   ovlix-resx list [--json] [--language LANGID | --all-languages] FILE...
//   ovlix-resx languages FILE
//   ovlix-resx save FILE NODE-PATH OUT
//   ovlix-resx extract FILE DIR
//   ovlix-resx icon FILE [GROUP-PATH] OUT
//   ovlix-resx png FILE NODE-PATH OUT [--size N]
//   ovlix-resx thumbnail [-s SIZE] FILE OUT
//   ovlix-resx show FILE NODE-PATH [--json]
//   ovlix-resx --help | --version

#include <unistd.h>

#include <algorithm>
#include <iterator>
#include <bit>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/confinement.h"
#include "platform/file_view.h"
#include "resx/ExeImage.h"
#include "resx/icon_choice.h"
#include "resx/icon_group_file.h"
#include "resx/image_batch.h"
#include "resx/json_writer.h"
#include "resx/language_names.h"
#include "resx/listing.h"
#include "resx/picture.h"
#include "resx/picture_scale.h"
#include "resx/png_codec.h"
#include "resx/resource_extract.h"
#include "resx/resource_walk.h"

namespace {

constexpr const char* kHelp =
    "Usage:\n"
    "  ovlix-resx list [--json] [--language LANGID | --all-languages] FILE...\n"
    "      The resource tree of each file as the Resource Explorer shows it: one\n"
    "      line per node, indented by depth, with its path, type name, offset\n"
    "      (%.7x) and size (%.5x) in hexadecimal. With --json one JSON document per\n"
    "      file: {\"file\", \"nodes\": [{\"path\", \"name\", \"type\", \"offset\", \"size\",\n"
    "      \"list\", \"depth\"}], \"errors\"}; icon and cursor images also have\n"
    "      \"image\": {\"width\", \"height\", \"colors\", \"bits\", \"png\"}, read from the image.\n"
    "      Each resource shows its first language; --language LANGID shows that\n"
    "      language where a resource has it (LANGID in hexadecimal, as 0x0405 or\n"
    "      405); --all-languages lists every language of every resource as its own\n"
    "      node, Type/Name/LANGID (0409: four digits).\n"
    "  ovlix-resx languages FILE\n"
    "      The languages of the file's resources: LANGID (four hexadecimal digits),\n"
    "      a tab and the language's name, one a line.\n"
    "  ovlix-resx save FILE NODE-PATH OUT\n"
    "      Writes one resource as the Resource Explorer's save does: a bitmap as\n"
    "      .BMP, an icon image as .ICO (PNG images held as PNG), a cursor image as\n"
    "      .CUR, anything else as its raw bytes. NODE-PATH is a path from list,\n"
    "      also one of --all-languages (Type/Name/LANGID).\n"
    "  ovlix-resx extract FILE DIR\n"
    "      Writes every resource below DIR, one folder per list; string tables\n"
    "      and menus also as .txt listings beside the raw .bin.\n"
    "  ovlix-resx icon FILE [GROUP-PATH] OUT\n"
    "      Writes a whole icon or cursor group as one .ICO or .CUR file: every\n"
    "      image of the group, in its order, as stored (PNG images as PNG).\n"
    "      Without GROUP-PATH the icon Windows shows for the file: its first icon\n"
    "      group. Images the group names but the file lacks are left out and\n"
    "      reported; the icon of the others is written and the status stays 0.\n"
    "      Exit status 2 when the file has no icon group.\n"
    "  ovlix-resx png FILE NODE-PATH OUT [--size N]\n"
    "      Writes an icon or cursor image, or a bitmap, as a PNG file with its\n"
    "      transparency. Of an icon or cursor group the image closest to N (the\n"
    "      smallest at least N pixels, else the largest; the deepest of a size),\n"
    "      without --size the largest. With --size the picture is scaled to fit\n"
    "      N x N.\n"
    "  ovlix-resx thumbnail [-s SIZE] FILE OUT\n"
    "      The freedesktop thumbnailer: the file's icon as a PNG of at most SIZE x\n"
    "      SIZE pixels (default 128), made from the image of its first icon group\n"
    "      closest to SIZE. Writes nothing and ends with status 1 for a file\n"
    "      without an icon, a damaged file or one that is not PE.\n"
    "  ovlix-resx show FILE NODE-PATH [--json]\n"
    "      The listing of a string table, menu, dialog, accelerator table,\n"
    "      message table, version information or manifest, as text or as one\n"
    "      JSON document. Damaged data: what was read, and the error.\n"
    "  ovlix-resx --help | --version\n"
    "      This text; the version and the licence.\n"
    "Errors go to standard error; the exit status is 1 when any file or\n"
    "resource could not be read or written, 2 for a wrong command line.\n";

// "%.7x" and "%.5x" as the window prints them, without a format parser in
// the way of a folder of files: upper case, zero-filled to `digits` (1 to
// 8). Stores 8 bytes at `to` and returns the end of the number.
inline char* PutHex(char* to, std::uint32_t value, int digits) {
  static_assert(std::endian::native == std::endian::little);
  // each nibble to a byte of its own, the lowest nibble in the lowest byte
  std::uint64_t x = value;
  x = (x | x << 16) & 0x0000FFFF0000FFFFu;
  x = (x | x << 8) & 0x00FF00FF00FF00FFu;
  x = (x | x << 4) & 0x0F0F0F0F0F0F0F0Fu;
  // '0' to '9', and 'A' to 'F' for the bytes above 9
  std::uint64_t letters = ((x + 0x0606060606060606u) >> 4) & 0x0101010101010101u;
  x = __builtin_bswap64(x + 0x3030303030303030u + letters * 7);  // the highest digit first
  int n = std::max(digits, static_cast<int>(std::bit_width(value) + 3) / 4);
  x >>= 8 * (8 - n);
  std::memcpy(to, &x, 8);
  return to + n;
}

void AppendHex(std::string& out, std::uint32_t value, int digits) {
  char buf[8];
  out.append(buf, PutHex(buf, value, digits));
}

void Report(const std::string& file, const std::string& message) {
  std::fprintf(stderr, "ovlix-resx: %s: %s\n", file.c_str(), message.c_str());
}

// Standard output through one buffer, written out in large pieces as it
// fills: a folder of files costs a write per 16 kB of text. A write that
// fails (a full disk, a reader gone) is reported once, and the rest of the
// text is dropped.
class Output {
 public:
  Output() : text_(std::make_unique_for_overwrite<char[]>(kSize)), capacity_(kSize) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);  // the buffer is this one
  }
  ~Output() { Flush(); }
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  // Room for `n` more bytes at the end of the text; Wrote(n) keeps them.
  char* Room(std::size_t n) {
    if (n > capacity_ - used_) {
      Flush();
      if (n > capacity_) {  // a line with a name longer than the buffer
        text_ = std::make_unique_for_overwrite<char[]>(n);
        capacity_ = n;
      }
    }
    return text_.get() + used_;
  }
  void Wrote(std::size_t n) { used_ += n; }
  void Put(std::string_view s) {
    std::memcpy(Room(s.size()), s.data(), s.size());
    Wrote(s.size());
  }
  // Writes out what is left; false when any of the text was lost.
  bool Finish() {
    Flush();
    return !failed_;
  }

 private:
  static constexpr std::size_t kSize = 1 << 14;  // few pages to fault in
  void Flush() {
    for (std::size_t done = 0; done < used_ && !failed_;) {
      ssize_t n = ::write(STDOUT_FILENO, text_.get() + done, used_ - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        std::fprintf(stderr, "ovlix-resx: cannot write the output: %s\n", std::strerror(n < 0 ? errno : EIO));
        failed_ = true;
      } else {
        done += static_cast<std::size_t>(n);
      }
    }
    used_ = 0;
  }
  std::unique_ptr<char[]> text_;
  std::size_t capacity_;
  std::size_t used_ = 0;
  bool failed_ = false;
};

// A node's line: indented by depth; path, type name, offset, size.
void PutLine(Output& output, const WalkNode& n) {
  const std::size_t indent = 2 * static_cast<std::size_t>(n.depth);
  // room for the longest numbers and the pieces copied whole
  char* const start = output.Room(indent + n.path.size() + n.typeName.size() + 40);
  char* to = start;
  constexpr const char kSpaces[] = "                ";
  if (indent < sizeof kSpaces)
    std::memcpy(to, kSpaces, sizeof kSpaces);
  else
    std::memset(to, ' ', indent);
  to += indent;
  std::memcpy(to, n.path.data(), n.path.size());
  to += n.path.size();
  *to++ = '\t';
  std::memcpy(to, n.typeName.data(), n.typeName.size());
  to += n.typeName.size();
  *to++ = '\t';
  to = PutHex(to, n.offset, 7);
  *to++ = '\t';
  to = PutHex(to, n.size, 5);
  std::memcpy(to, n.list ? "\tlist\n" : "\n\0\0\0\0\0", 6);
  to += n.list ? 6 : 1;
  output.Wrote(static_cast<std::size_t>(to - start));
}

constexpr std::size_t kJsonPiece = 1 << 14;

// An icon or cursor image's own size and depth, for scripts to choose by.
void AddImageInfo(JsonWriter& json, const WalkNode& n) {
  if (n.list || (n.item->TypeCode() != rtIconEntry && n.item->TypeCode() != rtCursorEntry)) return;
  Read<IconImageInfo> info = DescribeIconImage(static_cast<TIconResEntry&>(*n.item));
  if (!info) return;
  json.BeginObject("image");
  json.Number("width", info->width);
  json.Number("height", info->height);
  json.Number("colors", info->colors);
  json.Number("bits", info->bits);
  json.Bool("png", info->png);
  json.End();
}

// A node of list --json.
void AddNode(JsonWriter& json, const WalkNode& n) {
  char hex[8];
  json.BeginObject();
  json.String("path", n.path);
  json.String("name", n.name);
  json.String("type", n.typeName);
  json.String("offset", std::string_view(hex, PutHex(hex, n.offset, 7)));
  json.String("size", std::string_view(hex, PutHex(hex, n.size, 5)));
  json.Bool("list", n.list);
  json.Number("depth", n.depth);
  AddImageInfo(json, n);
  json.End();
}

struct ListOptions {
  bool json = false;
  std::optional<std::uint16_t> language;
  WalkLanguages languages = WalkLanguages::Standing;
};

int List(std::span<char* const> files, const ListOptions& options) {
  int status = 0;
  Output output;
  std::string out;  // a piece of a JSON document
  std::string file;
  ImageBatch images;
  for (std::size_t done = 0; done < files.size();) {
    const std::span<char* const> batch = files.subspan(done, std::min(ImageBatch::kSize, files.size() - done));
    done += batch.size();
    images.Open(batch, options.language);
    for (std::size_t i = 0; i < batch.size(); ++i) {
      file = batch[i];
      std::vector<Damage> damages;
      std::vector<std::string> errors;  // the messages, made when told
      JsonWriter json;
      if (options.json) {
        json.BeginObject();
        json.String("file", file);
        json.BeginArray("nodes");
      } else {
        output.Put(file);
        output.Put(":\n");
      }
      // the file was not opened, or has no resources
      Damage none = WalkResources(
          *images.Image(i),
          [&](const WalkNode& n) {
            if (!options.json) {
              PutLine(output, n);
              return;
            }
            AddNode(json, n);
            if (json.Text().size() >= kJsonPiece) {  // a large tree's document goes out as it grows
              out.clear();
              json.MoveTextTo(out);
              output.Put(out);
            }
          },
          damages, options.languages);
      for (const Damage& d : damages) errors.push_back(d.Message());
      if (none.Found()) errors.push_back(none.Message());
      images.Image(i).reset();  // its memory serves the next file
      for (const std::string& e : errors) Report(file, e);
      if (!errors.empty()) status = 1;
      if (options.json) {
        json.End();
        json.BeginArray("errors");
        for (const std::string& e : errors) json.String({}, e);
        json.CloseTo(0);
        out.clear();
        json.MoveTextTo(out);
        out += '\n';
        output.Put(out);
      }
    }
  }
  return output.Finish() ? status : 1;
}

// Runs a command on one file, opened by `open` (as TExeImage's opener):
// its errors reported, status 1.
template <class Open, class Command>
int OnOpened(const std::string& file, Open open, Command command) {
  try {
    TExeImage image(file, open);
    image.Opening().Check();
    return command(image);
  } catch (const EExeError& e) {
    Report(file, e.what());
    return 1;
  }
}

template <class Command>
int OnFile(const std::string& file, Command command) {
  return OnOpened(
      file, [&file](platform::FileView& view) { return view.Open(file); }, command);
}

int Languages(const std::string& file) {
  return OnFile(file, [](TExeImage& image) {
    std::string out;
    for (std::uint16_t id : image.Languages().Value()) {
      AppendHex(out, id, 4);
      out += '\t' + LanguageName(id) + '\n';
    }
    Output output;
    output.Put(out);
    return output.Finish() ? 0 : 1;
  });
}

// A thumbnail is read by its caller at once and kept elsewhere: it is not
// flushed to disk, as the files of an extraction are not.
enum class Flush { Yes, No };

bool Write(const std::string& file, const std::string& path, const std::string& bytes, Flush flush = Flush::Yes) {
  if (flush == Flush::Yes ? platform::WriteFileAtomically(path, bytes, 0644)
                          : platform::WriteFileWhole(path, bytes, 0644))
    return true;
  Report(file, "cannot write " + path + ": " + std::strerror(errno));
  return false;
}

// For the commands that make one file of a file a file manager hands over,
// most often without a sandbox: the input is opened and the output's
// temporary twin made, then the process confines itself
// (platform/confinement.h) before it reads a byte of the input, so a
// hostile file meets a parser that can open nothing, connect nowhere and
// run nothing.
template <class Command>
int OnFileConfined(const std::string& file, const std::string& out, Command command) {
  const int fd = platform::FileView::OpenForReading(file);
  platform::ConfineToOutput(out);
  int status = OnOpened(
      file, [fd](platform::FileView& view) { return view.Open(fd, nullptr, platform::PageRun::kNotRead); }, command);
  if (fd >= 0) ::close(fd);
  return status;
}

// The node at `nodePath`; nothing, and reported, when there is none.
TResourceItem* Find(TExeImage& image, const std::string& file, const std::string& nodePath) {
  TResourceItem* item = FindResource(image, nodePath).Value();
  if (item == nullptr) Report(file, "no resource at " + nodePath);
  return item;
}

// The leaf at `nodePath`; nothing, and reported, when there is none or it
// is a list.
TResourceItem* FindLeaf(TExeImage& image, const std::string& file, const std::string& nodePath) {
  TResourceItem* item = Find(image, file, nodePath);
  if (item == nullptr || !item->IsList().Value()) return item;
  Report(file, nodePath + " is a list, not a resource");
  return nullptr;
}

bool IsGroup(const TResourceItem& item) { return item.TypeCode() == rtIcon || item.TypeCode() == rtCursor; }

int Save(const std::string& file, const std::string& nodePath, const std::string& out) {
  return OnFile(file, [&](TExeImage& image) {
    TResourceItem* item = FindLeaf(image, file, nodePath);
    if (item == nullptr) return 1;
    std::string bytes;
    item->SaveToStream(bytes).Check();
    return Write(file, out, bytes) ? 0 : 1;
  });
}

int Icon(const std::string& file, const std::string* groupPath, const std::string& out) {
  return OnFileConfined(file, out, [&](TExeImage& image) {
    TIconResource* group = nullptr;
    if (groupPath == nullptr) {
      group = FirstIconGroup(image).Value();
      if (group == nullptr) {
        Report(file, "no icon group in this file");
        return 2;
      }
    } else {
      TResourceItem* item = Find(image, file, *groupPath);
      if (item == nullptr) return 1;
      if (IsGroup(*item)) group = dynamic_cast<TIconResource*>(item);
      if (group == nullptr) {
        Report(file, *groupPath + " is not an icon or cursor group");
        return 1;
      }
    }
    std::vector<std::uint16_t> missing;
    std::string bytes = GroupIconFile(*group, missing).Value();
    for (std::uint16_t id : missing)
      Report(file, "the group names image " + std::to_string(id) + ", which the file lacks");
    return Write(file, out, bytes) ? 0 : 1;
  });
}

// Thumbnails and PNG export pass over images larger than any icon holds, so
// that no file can make them decode a huge picture.
constexpr int kMaxIconSide = 1024;

// The picture of a leaf or a group for `png`: an icon or cursor group gives
// its image closest to `size`. A PNG image wanted at its own size is handed
// back as it is stored, in `stored`.
void PictureOf(TResourceItem& item, int size, TPicture& picture, std::string& stored) {
  TIconResEntry* image = nullptr;
  if (IsGroup(item)) {
    if (size > 0) {  // decoded to be scaled: the best image that decodes
      if (ReadableIconPixels(*item.SubList().Value(), size, kMaxIconSide, picture) == nullptr)
        throw EExeError("the group has no image that can be read");
      return;
    }
    image = ChooseIconImage(*item.SubList().Value(), size, kMaxIconSide);
    if (image == nullptr) throw EExeError("the group has no image that can be read");
  } else if (item.TypeCode() == rtIconEntry || item.TypeCode() == rtCursorEntry) {
    image = static_cast<TIconResEntry*>(&item);
  } else if (item.TypeCode() == rtBitmap) {
    item.AssignTo(picture).Check();
    return;
  } else {
    throw EExeError("not a picture: an icon, cursor or bitmap");
  }
  image->AssignTo(picture).Check();
  if (!picture.png.empty() && size <= 0) {
    stored.assign(picture.png.begin(), picture.png.end());
    return;
  }
  IconPixels(*image, picture).Check();
}

int Png(const std::string& file, const std::string& nodePath, const std::string& out, int size) {
  return OnFileConfined(file, out, [&](TExeImage& image) {
    TResourceItem* item = Find(image, file, nodePath);
    if (item == nullptr) return 1;
    TPicture picture;
    std::string bytes;
    PictureOf(*item, size, picture, bytes);
    if (bytes.empty()) bytes = EncodePng(size > 0 ? ScaleToFit(picture, size) : picture).Value();
    return Write(file, out, bytes) ? 0 : 1;
  });
}

// Reads nothing but FILE and writes nothing but OUT (and its temporary
// twin beside it), as a thumbnailer in a desktop's sandbox must.
int Thumbnail(const std::string& file, const std::string& out, int size) {
  return OnFileConfined(file, out, [&](TExeImage& image) {
    TIconResource* group = FirstIconGroup(image).Value();
    if (group == nullptr) {
      Report(file, "no icon group in this file");
      return 1;
    }
    TPicture picture;
    if (ReadableIconPixels(*group->SubList().Value(), size, kMaxIconSide, picture) == nullptr) {
      Report(file, "the icon group has no image that can be read");
      return 1;
    }
    return Write(file, out, EncodePng(ScaleToFit(picture, size), PngCompression::Fast).Value(), Flush::No) ? 0 : 1;
  });
}

// Prints the listing of one leaf; a damaged one as far as it was read.
int Show(const std::string& file, const std::string& nodePath, bool json) {
  return OnFile(file, [&](TExeImage& image) {
    TResourceItem* item = FindLeaf(image, file, nodePath);
    if (item == nullptr) return 1;
    if (!HasListing(item->TypeCode())) {
      Report(file, nodePath + " has no listing (type " + item->TypeName().Value() + ")");
      return 1;
    }
    TListing listing;
    Damage damage = ListResource(*item, listing);
    Output output;
    if (json) {
      output.Put(ListingJson(listing, damage));
      output.Put("\n");
    } else {
      for (const std::string& line : listing.lines) {
        output.Put(line);
        output.Put("\n");
      }
    }
    bool written = output.Finish();
    if (!damage.Found()) return written ? 0 : 1;
    Report(file, nodePath + ": " + damage.Message());
    return 1;
  });
}

// A LANGID from the command line: hexadecimal, as LANGIDs are written, with
// or without "0x": 0x0405, 405.
std::optional<std::uint16_t> LanguageArgument(std::string_view text) {
  if (text.starts_with("0x") || text.starts_with("0X")) text.remove_prefix(2);
  if (text.empty() || text.size() > 4) return std::nullopt;
  std::uint16_t value = 0;
  for (char c : text) {
    int digit = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : -1;
    if (digit < 0) return std::nullopt;
    value = static_cast<std::uint16_t>(value << 4 | digit);
  }
  return value;
}

// The options of list before its files; nothing for a wrong one.
std::optional<ListOptions> ListArguments(std::span<char* const>& args) {
  ListOptions options;
  bool chosen = false;
  while (!args.empty() && args[0][0] == '-' && args[0][1] == '-') {
    std::string_view arg = args[0];
    args = args.subspan(1);
    if (arg == "--json") {
      options.json = true;
    } else if (arg == "--all-languages" && !chosen) {
      options.languages = WalkLanguages::Every;
      chosen = true;
    } else if (arg == "--language" && !chosen && !args.empty()) {
      options.language = LanguageArgument(args[0]);
      args = args.subspan(1);
      if (!options.language) return std::nullopt;
      chosen = true;
    } else {
      return std::nullopt;
    }
  }
  return options;
}

// A size from the command line: 1 to 4096 pixels.
std::optional<int> SizeArgument(std::string_view text) {
  int value = 0;
  if (text.empty() || text.size() > 4) return std::nullopt;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > 4096) return std::nullopt;
  return value;
}

int Extract(const std::string& file, const std::string& dir) {
  return OnFile(file, [&](TExeImage& image) {
    int status = 0;
    ExtractResources(image, dir, [&](const std::string& problem) {
      Report(file, problem);
      status = 1;
    }).Check();
    return status;
  });
}

// A command's run over its arguments (those after the command's name).
// kWrongLine, with what is wrong in `wrong`, when they are not the
// command's.
constexpr int kWrongLine = -1;
using Run = int (*)(std::span<char* const> args, std::string& wrong);

struct Command {
  std::string_view name;
  Run run;
};

int WrongArguments(std::string_view command, std::string& wrong) {
  wrong = "wrong arguments for \"" + std::string(command) + "\"";
  return kWrongLine;
}

// A size option's value into `size`; false, and why in `wrong`, when it
// is not 1 to 4096 pixels.
bool SizeOption(const char* text, int& size, std::string& wrong) {
  std::optional<int> value = SizeArgument(text);
  if (!value) wrong = std::string("not a size of 1 to 4096 pixels: ") + text;
  size = value.value_or(size);
  return value.has_value();
}

const Command kCommands[] = {
    {"list",
     [](std::span<char* const> args, std::string& wrong) {
       std::optional<ListOptions> options = ListArguments(args);
       if (!options || args.empty()) return WrongArguments("list", wrong);
       return List(args, *options);
     }},
    {"languages",
     [](std::span<char* const> args, std::string& wrong) {
       return args.size() == 1 ? Languages(args[0]) : WrongArguments("languages", wrong);
     }},
    {"save",
     [](std::span<char* const> args, std::string& wrong) {
       return args.size() == 3 ? Save(args[0], args[1], args[2]) : WrongArguments("save", wrong);
     }},
    {"show",
     [](std::span<char* const> args, std::string& wrong) {
       const bool json = args.size() == 3 && std::string_view(args[2]) == "--json";
       return args.size() == 2 || json ? Show(args[0], args[1], json) : WrongArguments("show", wrong);
     }},
    {"extract",
     [](std::span<char* const> args, std::string& wrong) {
       return args.size() == 2 ? Extract(args[0], args[1]) : WrongArguments("extract", wrong);
     }},
    {"png",
     [](std::span<char* const> args, std::string& wrong) {
       if (args.size() != 3 && (args.size() != 5 || std::string_view(args[3]) != "--size"))
         return WrongArguments("png", wrong);
       int size = 0;
       if (args.size() == 5 && !SizeOption(args[4], size, wrong)) return kWrongLine;
       return Png(args[0], args[1], args[2], size);
     }},
    {"thumbnail",
     [](std::span<char* const> args, std::string& wrong) {
       if (args.size() != 2 && (args.size() != 4 || std::string_view(args[0]) != "-s"))
         return WrongArguments("thumbnail", wrong);
       int size = 128;
       if (args.size() == 4 && !SizeOption(args[1], size, wrong)) return kWrongLine;
       return Thumbnail(args[args.size() - 2], args.back(), size);
     }},
    {"icon",
     [](std::span<char* const> args, std::string& wrong) {
       if (args.size() != 2 && args.size() != 3) return WrongArguments("icon", wrong);
       std::string group = args.size() == 3 ? args[1] : "";
       return Icon(args[0], args.size() == 3 ? &group : nullptr, args.back());
     }},
};

constexpr const char* kVersion = "ovlix-resx (Ovlix) " OVLIX_VERSION
                                 "\n"
                                 "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
                                 "This is free software: you are free to change and redistribute it.\n"
                                 "There is NO WARRANTY, to the extent permitted by law.\n";

// Standard output's text for --help and --version; 1 when it is lost.
int Print(const char* text) {
  Output output;
  output.Put(text);
  return output.Finish() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  // a reader gone is a write that fails, reported, not a silent end
  std::signal(SIGPIPE, SIG_IGN);
  // a folder of files is not copied
  std::span<char* const> args(argv + 1, static_cast<std::size_t>(argc - 1));
  std::string wrong = "missing command";
  if (!args.empty()) {
    const std::string_view name = args[0];
    if (name == "--help" || name == "-h" || name == "help") return Print(kHelp);
    if (name == "--version") return Print(kVersion);
    const Command* command =
        std::find_if(std::begin(kCommands), std::end(kCommands), [&](const Command& c) { return c.name == name; });
    if (command == std::end(kCommands)) {
      wrong = "unknown command \"" + std::string(name) + "\"";
    } else if (int status = command->run(args.subspan(1), wrong); status != kWrongLine) {
      return status;
    }
  }
  // as GNU programs answer a wrong command line: what is wrong, and where
  // the usage is
  std::fprintf(stderr, "ovlix-resx: %s\nTry 'ovlix-resx --help' for more information.\n", wrong.c_str());
  return 2;
}
