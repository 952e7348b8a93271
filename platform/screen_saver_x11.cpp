#include "platform/screen_saver_x11.h"

#include <X11/Xlib.h>

#include <algorithm>

namespace platform {
namespace {

// The protocol carries the timeout as a signed 16-bit count of seconds.
constexpr int kLongestTimeout = 32767;

class X11ScreenSaverTimer : public ScreenSaverTimer {
 public:
  explicit X11ScreenSaverTimer(Display* display) : display_(display) {}

  void SetTimeout(int seconds) override {
    if (seconds < 0) return;  // the server refuses it, and 0 already means never
    int timeout = 0, interval = 0, blanking = 0, exposures = 0;
    XGetScreenSaver(display_, &timeout, &interval, &blanking, &exposures);
    XSetScreenSaver(display_, std::min(seconds, kLongestTimeout), interval, blanking, exposures);
    XFlush(display_);
  }

 private:
  Display* display_;
};

}  // namespace

std::unique_ptr<ScreenSaverTimer> MakeX11ScreenSaverTimer(_XDisplay* display) {
  return std::make_unique<X11ScreenSaverTimer>(display);
}

}  // namespace platform
