#include "platform/sdl/host_framebuffer.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <bit>
#include <cstdlib>

#include "platform/sdl/screen_check.h"
#include "platform/sdl/x_errors.h"

namespace brenlow {
namespace {

// Shift of an 8-bit colour mask; -1 when the mask is not 8 contiguous bits.
int ShiftOf(unsigned long mask) {
  if (mask == 0) return -1;
  const int shift = std::countr_zero(mask);
  return (mask >> shift) == 0xFF ? shift : -1;
}

}  // namespace

XImageFramebuffer::XImageFramebuffer(Display* display, ::Window window,
                                     const XWindowAttributes& attributes)
    : display_(display),
      window_(window),
      visual_(attributes.visual),
      depth_(attributes.depth),
      soft_(attributes.width, attributes.height) {
  format_.red_shift = ShiftOf(visual_->red_mask);
  format_.green_shift = ShiftOf(visual_->green_mask);
  format_.blue_shift = ShiftOf(visual_->blue_mask);
  if ((visual_->c_class != TrueColor && visual_->c_class != DirectColor) || format_.red_shift < 0 ||
      format_.green_shift < 0 || format_.blue_shift < 0) {
    ExitWithMessage("la finestra " + WindowName(window_) +
                    " usa un formato di colore che brenlow non sa disegnare");
  }
  // A window with an alpha channel shows the canvas opaque.
  if (depth_ == 32) {
    format_.alpha = static_cast<std::uint32_t>(
        ~(visual_->red_mask | visual_->green_mask | visual_->blue_mask) & 0xFFFFFFFFul);
  }
  gc_ = XCreateGC(display_, window_, 0, nullptr);
  MakeImage();
}

XImageFramebuffer::~XImageFramebuffer() {
  FreeImage();
  if (gc_) XFreeGC(display_, gc_);
}

void XImageFramebuffer::MakeImage() {
  const int width = soft_.width(), height = soft_.height();
  if (XShmQueryExtension(display_)) {
    image_ = XShmCreateImage(display_, visual_, depth_, ZPixmap, nullptr, &shm_, width, height);
    if (image_) {
      shm_.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image_->bytes_per_line) * height,
                          IPC_CREAT | 0600);
      void* address = shm_.shmid < 0 ? reinterpret_cast<void*>(-1) : shmat(shm_.shmid, nullptr, 0);
      // Marked for removal at once: the segment goes when both sides have
      // let go of it, however the program ends.
      if (shm_.shmid >= 0) shmctl(shm_.shmid, IPC_RMID, nullptr);
      if (address != reinterpret_cast<void*>(-1)) {
        shm_.shmaddr = image_->data = static_cast<char*>(address);
        shm_.readOnly = False;
        ErrorTrap trap(display_);
        // A server on another machine, or one that may not read this
        // user's memory, refuses: then the pixels go through the socket.
        shm_attached_ = XShmAttach(display_, &shm_) && trap.End() == 0;
        if (!shm_attached_) shmdt(address);
      }
      if (!shm_attached_) {
        image_->data = nullptr;
        XDestroyImage(image_);
        image_ = nullptr;
      }
    }
  }
  if (!image_) {
    image_ = XCreateImage(display_, visual_, depth_, ZPixmap, 0, nullptr, width, height, 32, 0);
    if (image_) {
      image_->data = static_cast<char*>(std::calloc(image_->bytes_per_line, height));
    }
  }
  if (!image_ || !image_->data || image_->bits_per_pixel != 32) {
    ExitWithMessage("la finestra " + WindowName(window_) +
                    " usa un formato di pixel che brenlow non sa disegnare");
  }
  format_.swap_bytes =
      (image_->byte_order == MSBFirst) != (std::endian::native == std::endian::big);
}

void XImageFramebuffer::FreeImage() {
  if (!image_) return;
  if (shm_attached_) {
    XShmDetach(display_, &shm_);
    XSync(display_, False);
    shmdt(shm_.shmaddr);
    image_->data = nullptr;
    shm_attached_ = false;
  }
  XDestroyImage(image_);
  image_ = nullptr;
}

void XImageFramebuffer::Show(const PixelBox& box) {
  const int pitch = soft_.width() * static_cast<int>(sizeof(Colour));
  const Colour* from =
      soft_.pixels().data() + static_cast<size_t>(box.top) * soft_.width() + box.left;
  auto* to = reinterpret_cast<std::uint32_t*>(
      image_->data + static_cast<size_t>(box.top) * image_->bytes_per_line + box.left * 4);
  CopyPixelRows(from, pitch, to, image_->bytes_per_line, box.width(), box.height(), format_);
  if (shm_attached_) {
    XShmPutImage(display_, window_, gc_, image_, box.left, box.top, box.left, box.top, box.width(),
                 box.height(), False);
  } else {
    XPutImage(display_, window_, gc_, image_, box.left, box.top, box.left, box.top, box.width(),
              box.height());
  }
  // The image is written again only once the server has read it; a window
  // that has gone shows up here, through the error handler.
  XSync(display_, False);
}

void XImageFramebuffer::Resize(int width, int height) {
  FreeImage();
  soft_.Resize(width, height);
  MakeImage();
}

}  // namespace brenlow
