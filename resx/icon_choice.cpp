#include "resx/icon_choice.h"

#include <algorithm>
#include <vector>

#include "resx/dib.h"
#include "resx/png_codec.h"

namespace {

// The image's bytes after a cursor's hot spot.
Bytes ImageBytes(TIconResEntry& image) {
  Bytes data = image.ResourceData();
  if (image.TypeCode() == rtCursorEntry) data = data.size() < 4 ? Bytes() : data.subspan(4);
  return data;
}

int BigEndian32(Bytes b, std::size_t at) {
  std::uint32_t v =
      std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 | std::uint32_t{b[at + 2]} << 8 | b[at + 3];
  return v > 0x7FFFFFFF ? 0 : static_cast<int>(v);
}

}  // namespace

std::optional<IconImageInfo> DescribeIconImage(TIconResEntry& image) {
  IconImageInfo info;
  try {
    Bytes data = ImageBytes(image);
    if (IsPng(data)) {
      if (data.size() < 26) return std::nullopt;
      info.png = true;
      info.width = BigEndian32(data, 16);
      info.height = BigEndian32(data, 20);
      // bits per channel times channels: grey, -, RGB, palette, grey+alpha, -, RGBA
      static constexpr int kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
      int type = data[25];
      if (type > 6 || kChannels[type] == 0) return std::nullopt;
      info.bits = data[24] * kChannels[type];
      info.colors = type == 3 ? ColorsForBitCount(data[24]) : 0;
    } else {
      DibInfo dib = ReadDibInfo(data);
      if (dib.width <= 0 || dib.height == 0 || dib.width > 0x7FFFFFFF) return std::nullopt;
      info.width = static_cast<int>(dib.width);
      info.height = static_cast<int>(std::min<std::int64_t>(std::abs(dib.height) / 2, 0x7FFFFFFF));
      info.bits = dib.bitCount;
      info.colors = ColorsForBitCount(dib.bitCount);
    }
  } catch (const EExeError&) {
    return std::nullopt;
  }
  if (info.width <= 0 || info.height <= 0) return std::nullopt;
  return info;
}

TIconResEntry* ChooseIconImage(TResourceList& images, int size, int maxSide, std::span<TIconResEntry* const> passOver) {
  TIconResEntry* best = nullptr;
  IconImageInfo chosen;
  for (TResourceItem* item : images.Items()) {
    auto* image = dynamic_cast<TIconResEntry*>(item);
    std::optional<IconImageInfo> info = image ? DescribeIconImage(*image) : std::nullopt;
    if (!info || info->width > maxSide || info->height > maxSide) continue;
    if (std::find(passOver.begin(), passOver.end(), image) != passOver.end()) continue;
    int side = std::max(info->width, info->height), bestSide = std::max(chosen.width, chosen.height);
    bool better;
    if (best == nullptr) {
      better = true;
    } else if (side == bestSide) {
      better = info->bits > chosen.bits;
    } else if (size <= 0) {
      better = side > bestSide;
    } else if ((side >= size) != (bestSide >= size)) {
      better = side >= size;  // large enough beats too small
    } else {
      better = side >= size ? side < bestSide : side > bestSide;
    }
    if (better) {
      best = image;
      chosen = *info;
    }
  }
  return best;
}

void IconPixels(TIconResEntry& image, TPicture& out) {
  image.AssignTo(out);
  if (!out.png.empty()) {
    std::span<const std::uint8_t> png = out.png;
    DecodePng(png, out);
  }
  if (out.pixels.empty()) throw EExeError("Icon image is not valid");
}

TIconResEntry* ReadableIconPixels(TResourceList& images, int size, int maxSide, TPicture& out) {
  std::vector<TIconResEntry*> damaged;
  while (TIconResEntry* chosen = ChooseIconImage(images, size, maxSide, damaged)) {
    try {
      IconPixels(*chosen, out);
      return chosen;
    } catch (const EExeError&) {
      damaged.push_back(chosen);
    }
  }
  return nullptr;
}
