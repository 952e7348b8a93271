/* Presses keys and moves the pointer through KWin's fake-input protocol
 * (org_kde_kwin_fake_input), as a remote-control program would: the
 * events reach the compositor like a real keyboard's, so its global
 * shortcuts see them. KWin must run with KWIN_WAYLAND_NO_PERMISSION_CHECKS=1.
 *
 * Usage: fakeinput OP...   with OP one of
 *   kd CODE / ku CODE   key down / up (evdev code: 29 left Ctrl, 18 E, 67 F9, 1 Esc)
 *   m X Y               pointer to X,Y on the screen
 *   bd CODE / bu CODE   button down / up (272 left)
 *   s MS                wait MS milliseconds */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <wayland-client.h>

#include "fake-input-client-protocol.h"

static struct org_kde_kwin_fake_input* fake;
static uint32_t bound_version;

static void global_added(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                         uint32_t version) {
  (void)data;
  if (strcmp(interface, org_kde_kwin_fake_input_interface.name) != 0) return;
  bound_version = version < 4 ? version : 4;
  fake = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, bound_version);
}

static void global_removed(void* data, struct wl_registry* registry, uint32_t name) {
  (void)data;
  (void)registry;
  (void)name;
}

static const struct wl_registry_listener registry_listener = {global_added, global_removed};

static int number(const char* text) { return atoi(text); }

int main(int argc, char** argv) {
  struct wl_display* display = wl_display_connect(NULL);
  if (!display) {
    fprintf(stderr, "fakeinput: no Wayland display\n");
    return 2;
  }
  wl_registry_add_listener(wl_display_get_registry(display), &registry_listener, NULL);
  wl_display_roundtrip(display);
  if (!fake) {
    fprintf(stderr, "fakeinput: the compositor offers no org_kde_kwin_fake_input\n");
    return 3;
  }
  org_kde_kwin_fake_input_authenticate(fake, "ovlix session tests", "presses keys in a test session");
  wl_display_roundtrip(display);
  for (int i = 1; i < argc; ++i) {
    const char* op = argv[i];
    int args = !strcmp(op, "m") ? 2 : 1;
    if (i + args >= argc) {
      fprintf(stderr, "fakeinput: %s needs %d value(s)\n", op, args);
      return 1;
    }
    if (!strcmp(op, "kd") || !strcmp(op, "ku")) {
      if (bound_version < 4) {
        fprintf(stderr, "fakeinput: keys need version 4 of the protocol, the compositor has %u\n", bound_version);
        return 4;
      }
      org_kde_kwin_fake_input_keyboard_key(fake, (uint32_t)number(argv[++i]), op[1] == 'd');
    } else if (!strcmp(op, "bd") || !strcmp(op, "bu")) {
      org_kde_kwin_fake_input_button(fake, (uint32_t)number(argv[++i]), op[1] == 'd');
    } else if (!strcmp(op, "m")) {
      double x = atof(argv[i + 1]), y = atof(argv[i + 2]);
      i += 2;
      org_kde_kwin_fake_input_pointer_motion_absolute(fake, wl_fixed_from_double(x), wl_fixed_from_double(y));
    } else if (!strcmp(op, "s")) {
      wl_display_roundtrip(display);
      usleep((useconds_t)number(argv[++i]) * 1000);
      continue;
    } else {
      fprintf(stderr, "fakeinput: unknown operation %s\n", op);
      return 1;
    }
    /* one event at a time, as a hand would: the compositor sees each before the next */
    wl_display_roundtrip(display);
    usleep(30000);
  }
  wl_display_roundtrip(display);
  wl_display_disconnect(display);
  return 0;
}
