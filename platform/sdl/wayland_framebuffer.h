// The saver window and its covers on native Wayland: shared-memory buffers
// attached to SDL's own wl_surfaces. SDL has no software surface there, and
// showing the raster through GL costs a software GL renderer every frame on
// a machine without a GPU. SDL 2 still makes every Wayland window a GL one
// (EGL is loaded and a GL surface made), but nothing is drawn through it.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/screen/framebuffer.h"
#include "platform/soft/soft_canvas.h"

struct wl_buffer;
struct wl_display;
struct wl_event_queue;
struct wl_registry;
struct wl_shm;
struct wl_surface;

namespace brenlow {

// wl_shm on SDL's connection, on an event queue of its own: SDL dispatches
// only the default queue, and the buffers' releases are read here.
class WaylandShm {
 public:
  // Ends the program, saying why, when the compositor offers no wl_shm.
  explicit WaylandShm(wl_display* display);
  ~WaylandShm();
  WaylandShm(const WaylandShm&) = delete;
  WaylandShm& operator=(const WaylandShm&) = delete;

  // A cover: the window shows a black buffer of its size, one buffer for
  // every window of that size.
  void PaintBlack(SDL_Window* window);

 private:
  friend class WaylandFramebuffer;
  // XRGB8888 pixels in fresh (zeroed, so black) memory; mapped here when
  // pixels is given.
  wl_buffer* MakeBuffer(int width, int height, std::uint32_t** pixels);
  // Attaches the buffer, damages the box and commits.
  void Commit(wl_surface* surface, wl_buffer* buffer, int left, int top, int width, int height);

  wl_display* display_;
  wl_event_queue* queue_;
  wl_registry* registry_;
  wl_shm* shm_ = nullptr;
  std::map<std::pair<int, int>, wl_buffer*> black_;
};

class WaylandFramebuffer : public Framebuffer {
 public:
  WaylandFramebuffer(WaylandShm& shm, SDL_Window* window, int width, int height);
  ~WaylandFramebuffer() override;

  Canvas& raster() override { return soft_; }
  void Show(const PixelBox& box) override;
  void Resize(int width, int height) override;

 private:
  struct Buffer;

  WaylandShm& shm_;
  wl_surface* surface_;
  SoftCanvas soft_;
  // Usually one: the compositor lets go of a buffer once it has read it.
  std::vector<std::unique_ptr<Buffer>> buffers_;
};

}  // namespace brenlow
