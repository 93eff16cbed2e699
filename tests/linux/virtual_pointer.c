/* A pointer for a headless wlroots compositor, which has none of its own:
 *   brenlow-virtual-pointer WIDTH HEIGHT     (the output layout's size)
 * then lines on stdin: "move X Y" places the pointer there (absolute),
 * "quit" ends. Each line is answered "ok" once the compositor has it. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wayland-client.h>

#include "virtual-pointer-v1-client-protocol.h"

struct globals {
  struct wl_seat* seat;
  struct zwlr_virtual_pointer_manager_v1* manager;
};

static void global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                   uint32_t version) {
  struct globals* g = data;
  (void)version;
  if (!g->seat && strcmp(interface, wl_seat_interface.name) == 0)
    g->seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
  else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
    g->manager = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
}

static void global_remove(void* data, struct wl_registry* registry, uint32_t name) {
  (void)data, (void)registry, (void)name;
}

static int fail(const char* why) {
  fprintf(stderr, "brenlow-virtual-pointer: %s\n", why);
  return 1;
}

int main(int argc, char** argv) {
  unsigned width = argc == 3 ? (unsigned)strtoul(argv[1], NULL, 10) : 0;
  unsigned height = argc == 3 ? (unsigned)strtoul(argv[2], NULL, 10) : 0;
  if (!width || !height) return fail("usage: brenlow-virtual-pointer WIDTH HEIGHT");
  struct wl_display* display = wl_display_connect(NULL);
  if (!display) return fail("no Wayland compositor (WAYLAND_DISPLAY)");
  struct globals g = {0};
  static const struct wl_registry_listener listener = {global, global_remove};
  wl_registry_add_listener(wl_display_get_registry(display), &listener, &g);
  wl_display_roundtrip(display);
  if (!g.seat || !g.manager)
    return fail("the compositor offers no seat or no zwlr_virtual_pointer_manager_v1");
  struct zwlr_virtual_pointer_v1* pointer =
      zwlr_virtual_pointer_manager_v1_create_virtual_pointer(g.manager, g.seat);
  if (wl_display_roundtrip(display) < 0) return fail("the compositor refused the pointer");
  puts("ready");
  fflush(stdout);

  char line[128];
  unsigned time = 0;
  while (fgets(line, sizeof line, stdin)) {
    unsigned x, y;
    if (strncmp(line, "quit", 4) == 0) break;
    if (sscanf(line, "move %u %u", &x, &y) != 2 || x > width || y > height) {
      fprintf(stderr, "brenlow-virtual-pointer: not understood: %s", line);
      return 1;
    }
    // Input times only have to grow.
    zwlr_virtual_pointer_v1_motion_absolute(pointer, time += 10, x, y, width, height);
    zwlr_virtual_pointer_v1_frame(pointer);
    if (wl_display_roundtrip(display) < 0) return fail("the connection to the compositor broke");
    puts("ok");
    fflush(stdout);
  }
  wl_display_disconnect(display);
  return 0;
}
