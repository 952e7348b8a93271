#include "resx/image_batch.h"

#include <algorithm>
#include <memory>

ImageBatch::ImageBatch(bool ring) : reads_(ring) {}

ImageBatch::~ImageBatch() {
  for (std::optional<TExeImage>& image : images_) image.reset();
  platform::ReadBatch::Close(open_);
}

void ImageBatch::Open(std::span<const char* const> paths, std::optional<std::uint16_t> language) {
  for (std::optional<TExeImage>& image : images_) image.reset();
  if (open_.size() + kSize > kHeldOpen) {
    platform::ReadBatch::Close(open_);
    open_.clear();
  }
  const std::size_t count = std::min(paths.size(), kSize);
  std::array<int, kSize> fds{};
  reads_.Open(paths.first(count), fds);
  std::array<std::unique_ptr<std::uint8_t[]>, kSize> heads;
  std::array<platform::PageRun, kSize> headRuns{};
  for (std::size_t i = 0; i < count; ++i) {
    headRuns[i] = {fds[i], 0, 0, nullptr};
    if (fds[i] < 0) continue;
    open_.push_back(fds[i]);
    heads[i] = std::make_unique_for_overwrite<std::uint8_t[]>(platform::FileView::kHeadSize);
    headRuns[i].size = platform::FileView::kHeadSize;
    headRuns[i].to = heads[i].get();
  }
  reads_.Read(std::span(headRuns).first(count), platform::ReadBatch::Files::Unknown);
  pages_.clear();
  std::array<std::size_t, kSize + 1> firstPage{};  // image i's runs: [firstPage[i], firstPage[i + 1])
  for (std::size_t i = 0; i < count; ++i) {
    firstPage[i] = pages_.size();
    images_[i].emplace(
        paths[i], [&](platform::FileView& file) { return file.Open(fds[i], std::move(heads[i]), headRuns[i].read); });
    if (language) images_[i]->SetLanguage(language);
    // names the pages a walk reads first; damage, of opening too, is told
    // by the walk
    if (images_[i]->Resources()) images_[i]->File().PagesToRead(pages_);
  }
  firstPage[count] = pages_.size();
  reads_.Read(pages_);
  for (std::size_t i = 0; i < count; ++i)
    for (std::size_t p = firstPage[i]; p < firstPage[i + 1]; ++p) images_[i]->File().PagesRead(pages_[p]);
}
