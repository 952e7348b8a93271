// Converting a 12-megapixel JPEG into the wallpaper BMP, beside Debian's
// `djpeg -bmp` (libjpeg-turbo-progs) on the same file; medians of ROUNDS.
//   jpeg_to_bmp [ROUNDS]
// A smoke run (bench/smoke.h) converts a small JPEG once.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "bench/smoke.h"
#include "platform/spawn.h"
#include "tests/support/jpeg_writer.h"
#include "tweaks/picture_conversion.h"

namespace {

template <class F>
double MedianMs(int rounds, F run) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    auto start = std::chrono::steady_clock::now();
    run();
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : bench::Sized(5, 1);
  const int width = bench::Sized(4000, 64), height = bench::Sized(3000, 48);
  auto dir = std::filesystem::temp_directory_path() / "ovlix-jpeg-bench";
  std::filesystem::create_directories(dir);
  std::string jpeg = (dir / "photo.jpg").string();
  std::ofstream(jpeg, std::ios::binary) << EncodeTestJpeg(width, height);
  std::string ours = (dir / "ours.bmp").string(), theirs = (dir / "djpeg.bmp").string();

  double ovlix = MedianMs(rounds, [&] { ConvertJpegToBmp(jpeg, ours); });
  ValidatedBmp(ReadPictureFile(ours));  // throws unless a BMP was written
  if (!bench::PeerAtHand("djpeg", "libjpeg-turbo-progs")) {
    std::printf("%d x %d JPEG to a 24-bit BMP: ovlix %.1f ms\n", width, height, ovlix);
    std::filesystem::remove_all(dir);
    return 0;
  }
  double djpeg = MedianMs(rounds, [&] {
    if (platform::RunAndWait({"djpeg", "-bmp", "-dct", "int", "-outfile", theirs, jpeg}) != 0) {
      std::fprintf(stderr, "djpeg (libjpeg-turbo-progs) did not run\n");
      std::exit(1);
    }
  });
  std::printf("%d x %d JPEG to a 24-bit BMP, median of %d\n", width, height, rounds);
  std::printf("  %-12s %8.1f ms\n  %-12s %8.1f ms\n  ratio (ovlix / djpeg) %.2f   target: <= 1.30\n", "ovlix", ovlix,
              "djpeg -bmp", djpeg, ovlix / djpeg);
  std::filesystem::remove_all(dir);
  return 0;
}
