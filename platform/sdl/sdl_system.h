// The saver on the Linux desktop: an SDL2 window showing the software
// raster, SDL's cursor and screen-saver inhibit, POSIX files.
#pragma once

#include <SDL.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/cursor_trust.h"
#include "platform/posix/posix_files.h"
#include "platform/soft/soft_canvas.h"
#include "platform/system.h"

namespace brenlow {

// Prints "brenlow: " and the line on standard error and ends the process
// with code 1: for what leaves the program nothing to show.
[[noreturn]] void ExitWithMessage(const std::string& line);

// Why no screen could be opened, as one line: DISPLAY unset, or the one it
// names unreachable.
std::string NoScreenMessage();

// Draws on a SoftCanvas and shows it in the window at most every 16 ms, so
// the drawing can be watched without slowing it down.
class PresentingCanvas : public Canvas {
 public:
  PresentingCanvas(SDL_Window* window, int width, int height);

  void SetRop2(int rop) override { soft_.SetRop2(rop); }
  void SetPenColour(Colour colour) override { soft_.SetPenColour(colour); }
  void SetPenWidth(int width) override { soft_.SetPenWidth(width); }
  void SetFillSolid(bool solid) override { soft_.SetFillSolid(solid); }
  void Arc(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override;
  void Rectangle(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override;
  void Line(float x1, float y1, float x2, float y2) override;
  void CopyPicture(const Picture& picture, float dest_x, float dest_y, float width, float height,
                   float src_x, float src_y) override;
  void SetFontSize(float points) override { soft_.SetFontSize(points); }
  void PrintText(float x, float y, const std::string& text) override;
  float ScaleWidth() const override { return soft_.ScaleWidth(); }
  float ScaleHeight() const override { return soft_.ScaleHeight(); }
  void Repaint() override;

  // Shows the canvas if the last showing is 16 ms old or more.
  void PresentIfDue();
  // Shows what was drawn since the last showing, at once.
  void PresentIfChanged() {
    if (changed_) Present();
  }
  void Present();
  // The window now has this size: the next fill (Repaint) makes the canvas
  // that size, the drawing under way goes on at the old one. Until then
  // the whole canvas is shown again at the next showing, as the window
  // may have lost what it showed.
  void Resize(int width, int height);

 private:
  // After a drawing call: shown once the last showing is 16 ms old, as
  // seen at the next look at the cursor or at every kCallsPerClockLook-th
  // call, or before the next wait. Asking the clock at every call cost 2 %
  // of the saver's time.
  void Drawn();
  static constexpr unsigned kCallsPerClockLook = 64;
  // The box a drawing call may have changed joins the region to show.
  void Touch(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom);
  void TouchAll() { Touch(0, 0, soft_.width(), soft_.height()); }

  SoftCanvas soft_;
  int next_width_, next_height_;
  SDL_Window* window_;
  SDL_Rect dirty_{};  // what changed since the last showing (w 0: nothing)
  std::chrono::steady_clock::time_point last_present_{};
  // Drawn on since the last showing.
  bool changed_ = false;
  unsigned calls_since_clock_ = 0;
  // The canvas is all black (repainted, nothing drawn since); the screen
  // shows black (the window's background, or a black canvas presented).
  bool canvas_black_ = true;
  bool screen_black_ = true;
};

class SdlSystem : public System {
 public:
  SdlSystem(int argc, char** argv);
  ~SdlSystem() override;

  std::string CommandLineArgs() override { return args_; }
  std::string WindowsDirectory() override;
  void SetScreenSaverActive(bool active) override;
  bool GetCursorPos(CursorPoint& point) override;
  void ShowCursor(bool show) override;
  double Timer() override;
  double Monotonic() override;
  void HoldPause(int max_ms) override;
  void BandPause(double seconds) override;
  Canvas& OpenSaverWindow() override;
  WindowEvents DoEvents() override;
  std::optional<Picture> LoadPicture(const std::string& path) override;
  void MessageBox(const std::string& text, const std::string& title) override;
  Files& files() override { return files_; }
  OptionsDialogWindow& OptionsDialog() override;
  [[noreturn]] void EndProcess(int exit_code) override;

 private:
  void InitVideo();
  // Where the displays are: the primary and the others, as XRandR tells
  // on X (SDL 2 learns of no mode change there), else as SDL tells.
  struct DisplayLayout {
    SDL_Rect primary{0, 0, 640, 480};
    std::vector<SDL_Rect> others;
    bool operator==(const DisplayLayout& b) const;
  };
  DisplayLayout CurrentDisplays() const;
  // Fits the saver window to the primary display and black windows to
  // every other one, moving the covers there are, making and destroying
  // covers for displays that came and went.
  void FitDisplays(const DisplayLayout& layout);
  // Fits the windows again if the displays changed; looks at most four
  // times a second unless an event said so.
  void WatchDisplays(bool told = false);
  // Sleeps until the X server says something or max_ms pass.
  void Wait(int max_ms);
  SDL_Window* OpenCover(const SDL_Rect& bounds);
  // Moves and sizes a window where it is not there already.
  static void PlaceWindow(SDL_Window* window, const SDL_Rect& bounds);
  static void PaintCover(SDL_Window* cover);
  // Makes a window cover its display, black until drawn on; true when the
  // X server keeps it black, false on other video drivers.
  static bool FillScreen(SDL_Window* window);
  // SDL's event filter: notes the pointer entering and leaving the saver's
  // windows (X events, which nothing else reads, are dropped).
  static int NoteCrossing(void* system, SDL_Event* event);

  std::string args_;
  PosixFiles files_;
  bool video_ = false;
  SDL_Window* window_ = nullptr;
  std::vector<SDL_Window*> covers_;
  DisplayLayout layout_;
  std::chrono::steady_clock::time_point last_display_look_{};
  bool paint_covers_ = false;  // the covers are painted by us, not the X server
  std::unique_ptr<PresentingCanvas> canvas_;
  std::unique_ptr<OptionsDialogWindow> options_dialog_;
  CursorPoint last_cursor_;
  CursorTrust cursor_trust_;
  // The pointer is over one of the saver's windows and no other program has
  // grabbed it (a grab takes it away with a leave): each move comes to us
  // as an event, so a hold that heard none needs no look at the cursor.
  bool pointer_inside_ = false;
};

}  // namespace brenlow
