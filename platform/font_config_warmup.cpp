#include "platform/font_config_warmup.h"

#include <fontconfig/fontconfig.h>

namespace platform {

// FcInit sets the process-wide configuration once, safely from any thread;
// the toolkit's own FcInit then finds it there.
FontConfigWarmup::FontConfigWarmup() : loader_([] { FcInit(); }) {}

void FontConfigWarmup::Wait() {
  if (loader_.joinable()) loader_.join();
}

}  // namespace platform
