#include "resx/picture_scale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

using Sums = std::array<double, 4>;  // alpha-weighted blue, green, red; alpha

// One axis of an area average: for each target pixel, the source pixels
// under it, each with the part of it covered. Worked out once per axis,
// not once per pixel: a thumbnail averages tens of thousands.
struct Coverage {
  std::vector<int> first;  // of each target pixel, into the two below; one more at the end
  std::vector<int> source;
  std::vector<double> weight;
};

Coverage Cover(int from, int to) {
  Coverage c;
  double scale = static_cast<double>(from) / to;
  for (int t = 0; t < to; ++t) {
    c.first.push_back(static_cast<int>(c.source.size()));
    double begin = t * scale, end = (t + 1) * scale;
    for (int s = static_cast<int>(begin); s < from && s < end; ++s) {
      c.source.push_back(s);
      c.weight.push_back(std::min<double>(s + 1, end) - std::max<double>(s, begin));
    }
  }
  c.first.push_back(static_cast<int>(c.source.size()));
  return c;
}

void Add(Sums& sums, std::uint32_t pixel, double weight) {
  double alpha = (pixel >> 24) * weight;
  sums[0] += (pixel & 0xFF) * alpha;
  sums[1] += ((pixel >> 8) & 0xFF) * alpha;
  sums[2] += ((pixel >> 16) & 0xFF) * alpha;
  sums[3] += alpha;
}

// std::lround for the averages, which are never negative, without a call
// into the maths library for each of them: the fraction v - trunc(v) is
// exact, so the result is lround's to the bit.
long RoundAverage(double v) {
  if (!(v > 0)) return 0;
  auto whole = static_cast<long>(v);
  return whole + (v - static_cast<double>(whole) >= 0.5 ? 1 : 0);
}

std::uint32_t Pixel(const Sums& sums, double area) {
  if (sums[3] <= 0) return 0;
  auto channel = [](double v) { return static_cast<std::uint32_t>(std::min(RoundAverage(v), 255L)); };
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
  if (factor > 1) {
    for (int y = 0; y < out.height; ++y)
      for (int x = 0; x < out.width; ++x)
        out.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width) + static_cast<std::size_t>(x)] =
            source(x * in.width / out.width, y * in.height / out.height);
    return out;
  }
  const Coverage across = Cover(in.width, out.width), down = Cover(in.height, out.height);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      Sums sums{};
      double area = 0;
      for (int i = down.first[y]; i < down.first[y + 1]; ++i)
        for (int j = across.first[x]; j < across.first[x + 1]; ++j) {
          double w = across.weight[j] * down.weight[i];
          Add(sums, source(across.source[j], down.source[i]), w);
          area += w;
        }
      out.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width) + static_cast<std::size_t>(x)] =
          Pixel(sums, area);
    }
  return out;
}
