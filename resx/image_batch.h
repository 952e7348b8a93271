// Opens files as images a few at a time, for a listing of many: the files
// are opened, their heads read, then the pages each walk reads first, each
// step for all of them at once (platform::ReadBatch). Each image holds its
// pages at once, and a page touched for the first time costs here ten
// times a call: four save most.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/read_batch.h"
#include "resx/ExeImage.h"

class ImageBatch {
 public:
  static constexpr std::size_t kSize = 4;
  // `ring`: false opens and reads one file at a time (tests of the other
  // way).
  explicit ImageBatch(bool ring = true);
  ~ImageBatch();
  ImageBatch(const ImageBatch&) = delete;
  ImageBatch& operator=(const ImageBatch&) = delete;

  // Opens the first kSize of `paths` as images in `language` (SetLanguage),
  // in place of the batch before.
  void Open(std::span<const char* const> paths, std::optional<std::uint16_t> language);
  // The image of paths[i]; one not opened tells why with Opening(), and
  // its walk gives the same damage. Resetting it gives its memory to the
  // next.
  std::optional<TExeImage>& Image(std::size_t i) { return images_[i]; }

 private:
  // files the views read, closed together when this many (a call each
  // would cost a call per file)
  static constexpr std::size_t kHeldOpen = 64;
  platform::ReadBatch reads_;
  std::array<std::optional<TExeImage>, kSize> images_;
  std::vector<int> open_;
  std::vector<platform::PageRun> pages_;
};
