#include "platform/wayland_frames.h"

#include <wayland-client.h>

#include <cstdint>
#include <cstring>

namespace platform {

namespace {

void Global(void* data, wl_registry*, std::uint32_t, const char* interface, std::uint32_t) {
  if (std::strcmp(interface, "zxdg_decoration_manager_v1") == 0) *static_cast<bool*>(data) = true;
}

void GlobalRemoved(void*, wl_registry*, std::uint32_t) {}

}  // namespace

bool CompositorDrawsFrames() {
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) return false;
  bool offered = false;
  static const wl_registry_listener kListener = {Global, GlobalRemoved};
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kListener, &offered);
  wl_display_roundtrip(display);
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  return offered;
}

}  // namespace platform
