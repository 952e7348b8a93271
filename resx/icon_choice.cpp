#include "resx/icon_choice.h"

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "resx/dib.h"
#include "resx/png_codec.h"
#include "resx/resource_walk.h"

namespace {

// The image's bytes after a cursor's hot spot.
Read<Bytes> ImageBytes(TIconResEntry& image) {
  Read<Bytes> data = image.ResourceData();
  if (data && image.TypeCode() == rtCursorEntry) data.value = data->size() < 4 ? Bytes() : data->subspan(4);
  return data;
}

int BigEndian32(Bytes b, std::size_t at) {
  std::uint32_t v =
      std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 | std::uint32_t{b[at + 2]} << 8 | b[at + 3];
  return v > 0x7FFFFFFF ? 0 : static_cast<int>(v);
}

Read<IconImageInfo> Describe(Bytes data) {
  IconImageInfo info;
  if (IsPng(data)) {
    if (data.size() < 26) return Damage{Flaw::IconImage};
    info.png = true;
    info.width = BigEndian32(data, 16);
    info.height = BigEndian32(data, 20);
    // bits per channel times channels: grey, -, RGB, palette, grey+alpha, -, RGBA
    static constexpr int kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
    int type = data[25];
    if (type > 6 || kChannels[type] == 0) return Damage{Flaw::IconImage};
    info.bits = data[24] * kChannels[type];
    info.colors = type == 3 ? ColorsForBitCount(data[24]) : 0;
  } else {
    Read<DibInfo> dib = ReadDibInfo(data);
    if (!dib || dib->width <= 0 || dib->height == 0 || dib->width > 0x7FFFFFFF) return Damage{Flaw::IconImage};
    info.width = static_cast<int>(dib->width);
    info.height = static_cast<int>(std::min<std::int64_t>(std::abs(dib->height) / 2, 0x7FFFFFFF));
    info.bits = dib->bitCount;
    info.colors = ColorsForBitCount(dib->bitCount);
  }
  if (info.width <= 0 || info.height <= 0) return Damage{Flaw::IconImage};
  return info;
}

}  // namespace

Read<IconImageInfo> DescribeIconImage(TIconResEntry& image) {
  Read<Bytes> bytes = ImageBytes(image);
  if (!bytes) return bytes.damage;
  return Describe(*bytes);
}

namespace {

struct Candidate {
  TIconResEntry* image;
  IconImageInfo info;
};

// The images that can be described and are no larger than `maxSide`, each
// read once. Images of the same bytes (a group may name one image many
// times, or many images share their data) are one candidate, the first:
// they decode alike, and a damaged one is tried once.
std::vector<Candidate> Candidates(TResourceList& images, int maxSide) {
  std::vector<Candidate> candidates;
  std::set<std::pair<const std::uint8_t*, std::size_t>> seen;
  std::vector<Damage> errors;  // an image that cannot be read is passed over
  WalkList(
      images,
      [&](WalkNode& n) {
        n.next = WalkOn::Over;
        auto* image = n.damaged ? nullptr : dynamic_cast<TIconResEntry*>(n.item);
        if (image == nullptr) return;
        Read<Bytes> bytes = ImageBytes(*image);
        if (!bytes || !seen.emplace(bytes->data(), bytes->size()).second) return;
        Read<IconImageInfo> info = Describe(*bytes);
        if (info && info->width <= maxSide && info->height <= maxSide) candidates.push_back({image, *info});
      },
      errors);
  return candidates;
}

// How well an image fits `size`, lower is better: the smallest at least
// that large, else the largest; among equal sizes the deepest.
std::tuple<int, int, int> Rank(const IconImageInfo& info, int size) {
  const int side = std::max(info.width, info.height);
  if (size <= 0) return {0, -side, -info.bits};
  return side >= size ? std::tuple{0, side, -info.bits} : std::tuple{1, -side, -info.bits};
}

auto Better(int size) {
  return [size](const Candidate& a, const Candidate& b) { return Rank(a.info, size) < Rank(b.info, size); };
}

}  // namespace

TIconResEntry* ChooseIconImage(TResourceList& images, int size, int maxSide) {
  std::vector<Candidate> candidates = Candidates(images, maxSide);
  auto best = std::min_element(candidates.begin(), candidates.end(), Better(size));  // the first of equals
  return best == candidates.end() ? nullptr : best->image;
}

Damage IconPixels(TIconResEntry& image, TPicture& out) {
  if (Damage damage = image.AssignTo(out); damage.Found()) return damage;
  if (!out.png.empty()) {
    std::span<const std::uint8_t> png = out.png;
    if (Damage damage = DecodePng(png, out); damage.Found()) return damage;
  }
  if (out.pixels.empty()) return {Flaw::IconImage};
  return {};
}

TIconResEntry* ReadableIconPixels(TResourceList& images, int size, int maxSide, TPicture& out) {
  // in the order ChooseIconImage would choose them, each tried once
  std::vector<Candidate> candidates = Candidates(images, maxSide);
  std::stable_sort(candidates.begin(), candidates.end(), Better(size));
  for (const Candidate& c : candidates)
    if (!IconPixels(*c.image, out).Found()) return c.image;  // else damaged: the next best
  return nullptr;
}
