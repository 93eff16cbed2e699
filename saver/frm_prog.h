// frmProg: the saver's full-screen window, its shared members, its effect
// cycle and the ways it ends.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/canvas.h"
#include "platform/system.h"
#include "saver/dichiarazioni.h"
#include "saver/random.h"

namespace brenlow {

// The maker's web address printed under the logo.
inline constexpr const char* kMakerAddress = "www.brenlow.example";

// The logo's pace: one band every 0.6 ms, on any processor, so a 480-pixel
// picture (599 bands) is revealed in about a third of a second.
inline constexpr double kLogoBandSeconds = 0.0006;

// Lets a tool or a test follow the cycle without a screen.
class CycleObserver {
 public:
  virtual ~CycleObserver() = default;
  virtual void OnCycle() {}
  virtual void OnFactors(int /*red*/, int /*green*/, int /*blue*/) {}
  virtual void OnShape(int /*shape*/) {}
  virtual void OnFade(int /*style*/) {}
  virtual void OnCheck() {}
};

class frmProg {
 public:
  frmProg(System& system, Dichiarazioni& globals);

  // Start-up: run mode, dialog or close, screen-saver activity, settings.
  void Form_Load();
  // Start-up's last step: the settings file into PictureSetting and
  // ShapeSetting.
  void ReadSettingsFile();
  // Called by Form_Load in run mode 2 to show the settings dialog.
  std::function<void()> ShowOptions;

  // Run mode 1: opens the window and activates it; never returns.
  [[noreturn]] void ShowAndActivate();
  [[noreturn]] void Form_Activate();
  [[noreturn]] void DisegnaForm();
  // One pass of the cycle (the body of DisegnaForm).
  void DrawCycle();

  void Form_KeyDown(std::int16_t KeyCode, std::int16_t Shift);
  void Form_QueryUnload(std::int16_t Cancel, std::int16_t UnloadMode);
  // Closes the window; its close handler runs.
  void Close();
  bool closed() const { return closed_; }

  // The activity check: a sideways mouse movement closes the window.
  void CheckActivity();

  // Effects.
  void Sfondo();
  void Ovali();
  void Quadrati();
  void Triangoli();
  void Cerchi();
  void Ellissi();
  void DisegnaLogo();
  void Evanescenza();
  void ClosingPause();

  // Opens the window without activating it (tests and tools drive the
  // cycle themselves).
  void OpenWindow();
  void LoadLogo();

  // Set when a screen-saver host runs the saver in a window of its own: the
  // host owns the pointer and the keyboard and decides when the saver ends,
  // so the cursor stays as it is and no input closes the window.
  bool HostOwnsInput = false;

  void set_observer(CycleObserver* observer) { observer_ = observer; }
  Random& random() { return random_; }
  Canvas& canvas() { return *canvas_; }
  const Picture& Logo() const { return logo_; }

  // Shared members.
  CursorPoint StartCursor;
  CursorPoint CurrentCursor;
  std::int16_t ShapeChoice = 0;
  float LogoBands = 0;
  float Point1X = 0, Point1Y = 0, Point2X = 0, Point2Y = 0;
  float Point3X = 0, Point3Y = 0, Point4X = 0, Point4Y = 0;
  std::int32_t PauseStart = 0;
  double ColourStep = 0;
  float CanvasHeight = 0;
  std::int16_t CanvasWidth = 0;
  float RectLeft = 0, RectRight = 0, RectTop = 0, RectBottom = 0;
  std::int16_t RedFactor = 0, GreenFactor = 0, BlueFactor = 0;
  std::int16_t Counter = 0;

 private:
  // Holds until the clock reaches PauseStart + seconds, checking activity
  // on every pass; survives the clock's wrap at midnight, and never lasts
  // longer than the pause can (seconds + 0.5) by the monotonic clock, so a
  // wall clock set back does not freeze the screen.
  void HoldFor(int seconds);
  // The pause after a band of the logo: until the monotonic clock reaches
  // due, without spinning.
  void PaceBand(double due);
  // (x, y) of PolarPoint(radius, degrees) around the canvas centre.
  void PolarPoint(double radius, double degrees, float& x, float& y) const;
  // RGB with each component cut to 255.
  static Colour Rgb(int red, int green, int blue);
  void Ellipse(float left, float top, float right, float bottom);

  System& system_;
  Dichiarazioni& globals_;
  Canvas* canvas_ = nullptr;
  Picture logo_;
  Random random_;
  CycleObserver* observer_ = nullptr;
  bool closed_ = false;
  // Whether StartCursor holds a real reading: when activation's reading
  // fails (another desktop has the input as the saver starts), the first
  // reading that succeeds becomes the start position instead of ending the
  // saver.
  bool start_cursor_read_ = true;
};

// Derives the number of logo bands from the picture's height.
float LogoBandsFor(float height);

}  // namespace brenlow
