#include "platform/sdl/host_window.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace brenlow {

namespace {

// While set, X errors are counted instead of ending the program: for the
// requests whose failure has a better answer than "the window is gone".
bool g_trapping = false;
int g_trapped = 0;

int OnXError(Display* display, XErrorEvent* error) {
  if (g_trapping) {
    g_trapped = error->error_code;
    return 0;
  }
  char text[160] = "";
  XGetErrorText(display, error->error_code, text, sizeof text);
  ExitWithMessage("la finestra dello screen saver non è più utilizzabile (" + std::string(text) +
                  ")");
}

int OnXIOError(Display*) { ExitWithMessage("il collegamento con lo schermo si è interrotto"); }

class ErrorTrap {
 public:
  explicit ErrorTrap(Display* display) : display_(display) {
    XSync(display_, False);
    g_trapping = true;
    g_trapped = 0;
  }
  ~ErrorTrap() { g_trapping = false; }
  // The first error code since the trap was set, 0 for none.
  int End() {
    XSync(display_, False);
    g_trapping = false;
    return g_trapped;
  }

 private:
  Display* display_;
};

std::string WindowName(unsigned long window) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%lx", window);
  return text;
}

// The classic virtual-root rule: a window manager that draws the desktop in
// a window of its own marks it with __SWM_VROOT; savers draw there.
::Window VirtualRoot(Display* display) {
  const ::Window root = DefaultRootWindow(display);
  const Atom vroot = XInternAtom(display, "__SWM_VROOT", False);
  ::Window found = root;
  ::Window root_return = 0, parent = 0;
  ::Window* children = nullptr;
  unsigned int count = 0;
  ErrorTrap trap(display);  // a child may go away while it is asked
  if (XQueryTree(display, root, &root_return, &parent, &children, &count)) {
    for (unsigned int i = 0; i < count && found == root; ++i) {
      Atom type = 0;
      int format = 0;
      unsigned long items = 0, after = 0;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(display, children[i], vroot, 0, 1, False, XA_WINDOW, &type, &format,
                             &items, &after, &data) == Success &&
          data) {
        if (type == XA_WINDOW && items == 1) found = *reinterpret_cast<::Window*>(data);
        XFree(data);
      }
    }
    if (children) XFree(children);
  }
  trap.End();
  return found;
}

// Shift of an 8-bit colour mask; -1 when the mask is not 8 contiguous bits.
int ShiftOf(unsigned long mask) {
  if (mask == 0) return -1;
  const int shift = std::countr_zero(mask);
  return (mask >> shift) == 0xFF ? shift : -1;
}

}  // namespace

HostWindowCanvas::HostWindowCanvas(Display* display, ::Window window,
                                   const XWindowAttributes& attributes)
    : display_(display),
      window_(window),
      visual_(attributes.visual),
      depth_(attributes.depth),
      soft_(std::make_unique<SoftCanvas>(attributes.width, attributes.height)) {
  red_shift_ = ShiftOf(visual_->red_mask);
  green_shift_ = ShiftOf(visual_->green_mask);
  blue_shift_ = ShiftOf(visual_->blue_mask);
  if ((visual_->c_class != TrueColor && visual_->c_class != DirectColor) || red_shift_ < 0 ||
      green_shift_ < 0 || blue_shift_ < 0) {
    ExitWithMessage("la finestra " + WindowName(window_) +
                    " usa un formato di colore che brenlow non sa disegnare");
  }
  // A window with an alpha channel shows the canvas opaque.
  if (depth_ == 32) {
    opaque_bits_ = ~(visual_->red_mask | visual_->green_mask | visual_->blue_mask) & 0xFFFFFFFFul;
  }
  gc_ = XCreateGC(display_, window_, 0, nullptr);
  MakeImage();
}

HostWindowCanvas::~HostWindowCanvas() {
  FreeImage();
  if (gc_) XFreeGC(display_, gc_);
}

void HostWindowCanvas::MakeImage() {
  const int width = soft_->width(), height = soft_->height();
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
}

void HostWindowCanvas::FreeImage() {
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

void HostWindowCanvas::Present() {
  const int width = soft_->width(), height = soft_->height();
  const bool swap = (image_->byte_order == MSBFirst) != (std::endian::native == std::endian::big);
  const auto& pixels = soft_->pixels();
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(image_->data +
                                                 static_cast<size_t>(y) * image_->bytes_per_line);
    const Colour* source = pixels.data() + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      const Colour c = source[x];
      std::uint32_t value = static_cast<std::uint32_t>(
          ((c & 0xFFu) << red_shift_) | (((c >> 8) & 0xFFu) << green_shift_) |
          (((c >> 16) & 0xFFu) << blue_shift_) | opaque_bits_);
      if (swap) value = __builtin_bswap32(value);
      row[x] = value;
    }
  }
  if (shm_attached_) {
    XShmPutImage(display_, window_, gc_, image_, 0, 0, 0, 0, width, height, False);
  } else {
    XPutImage(display_, window_, gc_, image_, 0, 0, 0, 0, width, height);
  }
  // The image is drawn again only once the server has read it; a window
  // that has gone shows up here, through the error handler.
  XSync(display_, False);
  last_present_ = std::chrono::steady_clock::now();
  changed_ = false;
}

void HostWindowCanvas::ReadEvents() {
  int width = soft_->width(), height = soft_->height();
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == DestroyNotify && event.xdestroywindow.window == window_) {
      ExitWithMessage("la finestra " + WindowName(window_) + " dello screen saver è stata chiusa");
    }
    if (event.type == ConfigureNotify && event.xconfigure.window == window_) {
      width = event.xconfigure.width;
      height = event.xconfigure.height;
    }
    if (event.type == Expose) changed_ = true;
  }
  if (width != soft_->width() || height != soft_->height()) Resize(width, height);
}

void HostWindowCanvas::Resize(int width, int height) {
  auto resized = std::make_unique<SoftCanvas>(width, height);
  if (rop_) resized->SetRop2(*rop_);
  if (pen_colour_) resized->SetPenColour(*pen_colour_);
  if (pen_width_) resized->SetPenWidth(*pen_width_);
  if (fill_solid_) resized->SetFillSolid(*fill_solid_);
  if (font_points_) resized->SetFontSize(*font_points_);
  const int rows = std::min(height, soft_->height());
  const int columns = std::min(width, soft_->width());
  for (int y = 0; y < rows; ++y) {
    std::memcpy(resized->mutable_pixels().data() + static_cast<size_t>(y) * width,
                soft_->pixels().data() + static_cast<size_t>(y) * soft_->width(),
                static_cast<size_t>(columns) * sizeof(Colour));
  }
  FreeImage();
  soft_ = std::move(resized);
  MakeImage();
  changed_ = true;
}

void HostWindowCanvas::Service() {
  const auto now = std::chrono::steady_clock::now();
  if (now - last_service_ < std::chrono::milliseconds(4)) return;
  last_service_ = now;
  ReadEvents();
  if (changed_ && now - last_present_ >= std::chrono::milliseconds(16)) Present();
}

void HostWindowCanvas::ServiceNow() {
  last_service_ = std::chrono::steady_clock::now();
  ReadEvents();
  if (changed_) Present();
}

void HostWindowCanvas::Changed() {
  changed_ = true;
  Service();
}

void HostWindowCanvas::SetRop2(int rop) {
  rop_ = rop;
  soft_->SetRop2(rop);
}

void HostWindowCanvas::SetPenColour(Colour colour) {
  pen_colour_ = colour;
  soft_->SetPenColour(colour);
}

void HostWindowCanvas::SetPenWidth(int width) {
  pen_width_ = width;
  soft_->SetPenWidth(width);
}

void HostWindowCanvas::SetFillSolid(bool solid) {
  fill_solid_ = solid;
  soft_->SetFillSolid(solid);
}

void HostWindowCanvas::SetFontSize(float points) {
  font_points_ = points;
  soft_->SetFontSize(points);
}

void HostWindowCanvas::Arc(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
  soft_->Arc(l, t, r, b);
  Changed();
}

void HostWindowCanvas::Rectangle(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
  soft_->Rectangle(l, t, r, b);
  Changed();
}

void HostWindowCanvas::Line(float x1, float y1, float x2, float y2) {
  soft_->Line(x1, y1, x2, y2);
  Changed();
}

void HostWindowCanvas::CopyPicture(const Picture& picture, float dest_x, float dest_y, float width,
                                   float height, float src_x, float src_y) {
  soft_->CopyPicture(picture, dest_x, dest_y, width, height, src_x, src_y);
  Changed();
}

void HostWindowCanvas::PrintText(float x, float y, const std::string& text) {
  soft_->PrintText(x, y, text);
  Changed();
}

void HostWindowCanvas::Repaint() {
  soft_->Repaint();
  Changed();
}

HostedSystem::HostedSystem(int argc, char** argv, const HostCommandLine& request)
    : SdlSystem(argc, argv), request_(request) {}

HostedSystem::~HostedSystem() {
  canvas_.reset();
  if (display_) XCloseDisplay(display_);
}

void HostedSystem::Connect() {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) ExitWithMessage(NoScreenMessage());
  display_ = XOpenDisplay(nullptr);
  if (!display_) ExitWithMessage(NoScreenMessage());
  XSetErrorHandler(OnXError);
  XSetIOErrorHandler(OnXIOError);
  // The host ends the saver with SIGTERM and expects it gone at once; a
  // disposition inherited from whoever started the host must not delay it.
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);
  window_ = TargetWindow();
  XWindowAttributes attributes;
  ErrorTrap trap(display_);
  const Status found = XGetWindowAttributes(display_, window_, &attributes);
  if (trap.End() != 0 || !found) {
    ExitWithMessage("la finestra " + WindowName(window_) +
                    " indicata dallo screen saver non esiste");
  }
  // Its size and its end; the host keeps its own input.
  XSelectInput(display_, window_, StructureNotifyMask | ExposureMask);
  XSync(display_, False);
}

::Window HostedSystem::TargetWindow() {
  if (request_.window) return static_cast<::Window>(*request_.window);
  return VirtualRoot(display_);
}

Canvas& HostedSystem::OpenSaverWindow() {
  XWindowAttributes attributes;
  XGetWindowAttributes(display_, window_, &attributes);
  canvas_ = std::make_unique<HostWindowCanvas>(display_, window_, attributes);
  canvas_->Repaint();
  return *canvas_;
}

bool HostedSystem::GetCursorPos(CursorPoint& point) {
  // The host watches the pointer; asking keeps the window served.
  if (canvas_) canvas_->Service();
  point = {0, 0};
  return true;
}

void HostedSystem::HoldPause(int max_ms) {
  // The host owns the input: nothing wakes the wait but the window's own
  // events (a resize, an exposure), which are served at once.
  if (canvas_) canvas_->ServiceNow();
  if (XEventsQueued(display_, QueuedAlready) == 0) {
    pollfd connection{ConnectionNumber(display_), POLLIN, 0};
    poll(&connection, 1, max_ms);
  }
}

void HostedSystem::BandPause(double seconds) {
  if (seconds > 0) HoldPause(static_cast<int>(std::ceil(seconds * 1000.0)));
  if (canvas_) canvas_->Service();
}

WindowEvents HostedSystem::DoEvents() {
  if (canvas_) canvas_->ServiceNow();
  return {};
}

void HostedSystem::MessageBox(const std::string& text, const std::string& title) {
  // Nothing may cover the host's screen: the text goes to the host's log.
  std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
}

void HostedSystem::EndProcess(int exit_code) {
  if (display_) XFlush(display_);
  std::_Exit(exit_code);
}

}  // namespace brenlow
