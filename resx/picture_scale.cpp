#include "resx/picture_scale.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using Sums = std::array<double, 4>;  // alpha-weighted blue, green, red; alpha

// One axis of an area average: the source pixels under target pixel `t`,
// each with the part of it covered.
template <class Visit>
void Cover(int t, int from, int to, Visit visit) {
  double scale = static_cast<double>(from) / to;
  double begin = t * scale, end = (t + 1) * scale;
  for (int s = static_cast<int>(begin); s < from && s < end; ++s)
    visit(s, std::min<double>(s + 1, end) - std::max<double>(s, begin));
}

void Add(Sums& sums, std::uint32_t pixel, double weight) {
  double alpha = (pixel >> 24) * weight;
  sums[0] += (pixel & 0xFF) * alpha;
  sums[1] += ((pixel >> 8) & 0xFF) * alpha;
  sums[2] += ((pixel >> 16) & 0xFF) * alpha;
  sums[3] += alpha;
}

std::uint32_t Pixel(const Sums& sums, double area) {
  if (sums[3] <= 0) return 0;
  auto channel = [](double v) { return static_cast<std::uint32_t>(std::clamp(std::lround(v), 0L, 255L)); };
  return channel(sums[3] / area) << 24 | channel(sums[2] / sums[3]) << 16 | channel(sums[1] / sums[3]) << 8 |
         channel(sums[0] / sums[3]);
}

}  // namespace

TPicture ScaleToFit(const TPicture& in, int size) {
  if (in.width <= 0 || in.height <= 0 || size <= 0) return in;
  double factor = static_cast<double>(size) / std::max(in.width, in.height);
  TPicture out;
  out.width = std::max(1, static_cast<int>(std::lround(in.width * factor)));
  out.height = std::max(1, static_cast<int>(std::lround(in.height * factor)));
  if (out.width == in.width && out.height == in.height) return in;
  out.pixels.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
  auto source = [&](int x, int y) {
    return in.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(in.width) + static_cast<std::size_t>(x)];
  };
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      std::uint32_t& pixel =
          out.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width) + static_cast<std::size_t>(x)];
      if (factor > 1) {
        pixel = source(x * in.width / out.width, y * in.height / out.height);
        continue;
      }
      Sums sums{};
      double area = 0;
      Cover(y, in.height, out.height, [&](int sy, double wy) {
        Cover(x, in.width, out.width, [&](int sx, double wx) {
          Add(sums, source(sx, sy), wx * wy);
          area += wx * wy;
        });
      });
      pixel = Pixel(sums, area);
    }
  return out;
}
