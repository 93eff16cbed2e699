#include "platform/sdl/wayland_framebuffer.h"

#include <SDL_syswm.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <bit>
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/sdl/pixel_rows.h"
#include "platform/sdl/screen_check.h"

namespace brenlow {
namespace {

// So many buffers at most: a compositor that holds them all has not shown
// the frames yet, and one more frame can wait for it.
constexpr std::size_t kMostBuffers = 3;

wl_surface* SurfaceOf(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_WAYLAND) {
    ExitWithMessage(std::string("la finestra non è una finestra Wayland: ") + SDL_GetError());
  }
  return info.info.wl.surface;
}

void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t) {
  auto* shm = static_cast<wl_shm**>(data);
  if (std::strcmp(interface, wl_shm_interface.name) == 0 && !*shm) {
    *shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
  }
}
void GlobalRemove(void*, wl_registry*, std::uint32_t) {}
constexpr wl_registry_listener kRegistryListener{Global, GlobalRemove};

}  // namespace

WaylandShm::WaylandShm(wl_display* display)
    : display_(display), queue_(wl_display_create_queue(display)) {
  // The registry is asked through a wrapper on our queue, so its events
  // (and those of the wl_shm and buffers made from it) never reach SDL.
  auto* wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
  wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), queue_);
  registry_ = wl_display_get_registry(wrapper);
  wl_proxy_wrapper_destroy(wrapper);
  wl_registry_add_listener(registry_, &kRegistryListener, &shm_);
  if (wl_display_roundtrip_queue(display_, queue_) < 0 || !shm_) {
    ExitWithMessage("il compositore Wayland non offre memoria condivisa (wl_shm)");
  }
}

WaylandShm::~WaylandShm() {
  for (const auto& [size, buffer] : black_) wl_buffer_destroy(buffer);
  if (shm_) wl_shm_destroy(shm_);
  wl_registry_destroy(registry_);
  wl_event_queue_destroy(queue_);
}

wl_buffer* WaylandShm::MakeBuffer(int width, int height, std::uint32_t** pixels) {
  const int stride = width * 4;
  const std::size_t size = static_cast<std::size_t>(stride) * height;
  const int fd = memfd_create("brenlow", MFD_CLOEXEC);
  if (fd < 0 || ftruncate(fd, static_cast<off_t>(size)) != 0) {
    ExitWithMessage(std::string("memoria per l'immagine della finestra non disponibile: ") +
                    std::strerror(errno));
  }
  if (pixels) {
    void* address = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (address == MAP_FAILED) {
      ExitWithMessage(std::string("memoria per l'immagine della finestra non disponibile: ") +
                      std::strerror(errno));
    }
    *pixels = static_cast<std::uint32_t*>(address);
  }
  wl_shm_pool* pool = wl_shm_create_pool(shm_, fd, static_cast<std::int32_t>(size));
  wl_buffer* buffer =
      wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
  // The buffer keeps the memory; the pool and the file are no longer needed.
  wl_shm_pool_destroy(pool);
  close(fd);
  return buffer;
}

void WaylandShm::Commit(wl_surface* surface, wl_buffer* buffer, int left, int top, int width,
                        int height) {
  wl_surface_attach(surface, buffer, 0, 0);
  if (wl_proxy_get_version(reinterpret_cast<wl_proxy*>(surface)) >=
      WL_SURFACE_DAMAGE_BUFFER_SINCE_VERSION) {
    wl_surface_damage_buffer(surface, left, top, width, height);
  } else {
    // SDL leaves the buffer's scale at 1: the surface's coordinates are
    // the buffer's.
    wl_surface_damage(surface, left, top, width, height);
  }
  wl_surface_commit(surface);
  wl_display_flush(display_);
}

void WaylandShm::PaintBlack(SDL_Window* window) {
  int width = 0, height = 0;
  SDL_GetWindowSize(window, &width, &height);
  if (width <= 0 || height <= 0) return;
  wl_buffer*& black = black_[{width, height}];
  if (!black) black = MakeBuffer(width, height, nullptr);
  Commit(SurfaceOf(window), black, 0, 0, width, height);
}

struct WaylandFramebuffer::Buffer {
  Buffer(WaylandShm& shm, int width, int height)
      : buffer(shm.MakeBuffer(width, height, &pixels)),
        bytes(static_cast<std::size_t>(width) * height * 4),
        stale{0, 0, width, height} {
    wl_buffer_add_listener(buffer, &kListener, this);
  }
  ~Buffer() {
    wl_buffer_destroy(buffer);
    munmap(pixels, bytes);
  }
  static void Release(void* data, wl_buffer*) { static_cast<Buffer*>(data)->held = false; }
  static constexpr wl_buffer_listener kListener{Release};

  std::uint32_t* pixels = nullptr;
  wl_buffer* buffer;
  std::size_t bytes;
  PixelBox stale;     // what the raster changed since this buffer was written
  bool held = false;  // by the compositor, which reads it
};

WaylandFramebuffer::WaylandFramebuffer(WaylandShm& shm, SDL_Window* window, int width, int height)
    : shm_(shm), surface_(SurfaceOf(window)), soft_(width, height) {}

WaylandFramebuffer::~WaylandFramebuffer() = default;

void WaylandFramebuffer::Show(const PixelBox& box) {
  for (const auto& buffer : buffers_) buffer->stale = buffer->stale.Join(box);
  // The releases SDL's reading of the connection has queued for us.
  wl_display_dispatch_queue_pending(shm_.display_, shm_.queue_);
  Buffer* ready = nullptr;
  for (const auto& buffer : buffers_) {
    if (!buffer->held) ready = buffer.get();
  }
  if (!ready && buffers_.size() < kMostBuffers) {
    buffers_.push_back(std::make_unique<Buffer>(shm_, soft_.width(), soft_.height()));
    ready = buffers_.back().get();
  }
  if (!ready) {
    // The compositor answers at once, with the releases it has for us.
    wl_display_roundtrip_queue(shm_.display_, shm_.queue_);
    for (const auto& buffer : buffers_) {
      if (!buffer->held) ready = buffer.get();
    }
    // Still none: the box stays stale in every buffer for the next frame.
    if (!ready) return;
  }
  const PixelBox& stale = ready->stale;
  const int width = soft_.width();
  PixelFormat32 format;  // XRGB8888 is 0x00RRGGBB in little-endian words
  format.swap_bytes = std::endian::native == std::endian::big;
  CopyPixelRows(soft_.pixels().data() + static_cast<std::size_t>(stale.top) * width + stale.left,
                width * 4, ready->pixels + static_cast<std::size_t>(stale.top) * width + stale.left,
                width * 4, stale.width(), stale.height(), format);
  ready->stale = {};
  ready->held = true;
  shm_.Commit(surface_, ready->buffer, box.left, box.top, box.width(), box.height());
}

void WaylandFramebuffer::Resize(int width, int height) {
  soft_.Resize(width, height);
  // New buffers of the new size come with the next frame, written whole.
  buffers_.clear();
}

}  // namespace brenlow
