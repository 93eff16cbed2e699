// A canvas that draws nothing and remembers every call, with the drawing
// state in force at the time.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace brenlow {

struct DrawCall {
  enum Kind { kRect, kArc, kLine, kCopy, kText, kRepaint };
  Kind kind = kRepaint;
  // rect/arc: the integers handed to GDI.
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  // line: x1 y1 x2 y2; copy: dest_x dest_y width height src_x src_y; text: x y.
  float v[6] = {0, 0, 0, 0, 0, 0};
  Colour colour = 0;
  int rop = 0;
  int width = 0;
  bool fill_solid = false;
  float font_size = 0;
  std::string text;

  // One line in the trace format; brenlow-trace prints these, the fidelity
  // tests and the benchmarks read them back with Parse:
  //   rect L T R B colour=C rop=O width=P fill=solid|hollow
  //   arc L T R B colour=C rop=O width=P
  //   line X1 Y1 X2 Y2 colour=C rop=O width=P
  //   copy DX DY W H SX SY
  //   text X Y size=S colour=C TEXT
  //   cycle                   (the repaint to black that opens every cycle)
  std::string ToString() const;

  // The call a line of that format holds; nothing for any other line.
  // malformed, when given, tells a line that names a call but whose values
  // do not read.
  static std::optional<DrawCall> Parse(const std::string& line, bool* malformed = nullptr);
};

class RecordingCanvas : public Canvas {
 public:
  RecordingCanvas(float width, float height) : width_(width), height_(height) {}

  void SetRop2(int rop) override {
    rop_ = rop;
    if (forward) forward->SetRop2(rop);
  }
  void SetPenColour(Colour colour) override {
    colour_ = colour;
    if (forward) forward->SetPenColour(colour);
  }
  void SetPenWidth(int width) override {
    pen_width_ = width;
    if (forward) forward->SetPenWidth(width);
  }
  void SetFillSolid(bool solid) override {
    fill_solid_ = solid;
    if (forward) forward->SetFillSolid(solid);
  }
  void Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override;
  void Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                 std::int32_t bottom) override;
  void Line(float x1, float y1, float x2, float y2) override;
  void CopyPicture(const Picture& picture, float dest_x, float dest_y, float width, float height,
                   float src_x, float src_y) override;
  void SetFontSize(float points) override {
    font_size_ = points;
    if (forward) forward->SetFontSize(points);
  }
  void PrintText(float x, float y, const std::string& text) override;
  float ScaleWidth() const override { return width_; }
  float ScaleHeight() const override { return height_; }
  void Repaint() override;

  void Resize(float width, float height) {
    width_ = width;
    height_ = height;
  }

  // Every call so far, unless a sink takes them instead.
  std::vector<DrawCall> calls;
  // When set, calls go here and are not kept.
  std::function<void(const DrawCall&)> sink;
  // Also draw on this canvas (the render tool records and paints at once).
  Canvas* forward = nullptr;

  int rop() const { return rop_; }
  Colour colour() const { return colour_; }
  int pen_width() const { return pen_width_; }
  bool fill_solid() const { return fill_solid_; }

 private:
  DrawCall Begin(DrawCall::Kind kind) const;
  void Emit(DrawCall call);

  float width_, height_;
  int rop_ = kInitialDrawingState.rop;
  Colour colour_ = kInitialDrawingState.pen_colour;
  int pen_width_ = kInitialDrawingState.pen_width;
  bool fill_solid_ = kInitialDrawingState.fill_solid;
  float font_size_ = kInitialDrawingState.font_points;
};

}  // namespace brenlow
