// Loading the system's font configuration (fontconfig parses its whole
// configuration and font caches on first use) costs several milliseconds
// and is needed before the first window can measure a caption. It depends
// on nothing of the toolkit, so it runs on a second thread while the
// toolkit starts, and the first window finds it done.
#pragma once

#include <thread>

namespace platform {

class FontConfigWarmup {
 public:
  FontConfigWarmup();
  ~FontConfigWarmup() { Wait(); }
  FontConfigWarmup(const FontConfigWarmup&) = delete;
  FontConfigWarmup& operator=(const FontConfigWarmup&) = delete;
  // Returns when the configuration is loaded; before any font is used, so
  // that the toolkit does not load it a second time alongside.
  void Wait();

 private:
  std::thread loader_;
};

}  // namespace platform
