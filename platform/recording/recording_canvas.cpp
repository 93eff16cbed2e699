#include "platform/recording/recording_canvas.h"

#include <cstdio>

namespace brenlow {

namespace {

std::string Num(float value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(value));
  return buffer;
}

}  // namespace

std::string DrawCall::ToString() const {
  const std::string pen = " colour=" + std::to_string(colour) + " rop=" + std::to_string(rop) +
                          " width=" + std::to_string(width);
  const auto box = [&] {
    return std::to_string(left) + " " + std::to_string(top) + " " + std::to_string(right) + " " +
           std::to_string(bottom);
  };
  switch (kind) {
    case kRect:
      return "rect " + box() + pen + (fill_solid ? " fill=solid" : " fill=hollow");
    case kArc:
      return "arc " + box() + pen;
    case kLine:
      return "line " + Num(v[0]) + " " + Num(v[1]) + " " + Num(v[2]) + " " + Num(v[3]) + pen;
    case kCopy:
      return "copy " + Num(v[0]) + " " + Num(v[1]) + " " + Num(v[2]) + " " + Num(v[3]) + " " +
             Num(v[4]) + " " + Num(v[5]);
    case kText:
      return "text " + Num(v[0]) + " " + Num(v[1]) + " size=" + Num(font_size) +
             " colour=" + std::to_string(colour) + " " + text;
    case kRepaint:
      return "repaint";
  }
  return {};
}

DrawCall RecordingCanvas::Begin(DrawCall::Kind kind) const {
  DrawCall call;
  call.kind = kind;
  call.colour = colour_;
  call.rop = rop_;
  call.width = pen_width_;
  call.fill_solid = fill_solid_;
  call.font_size = font_size_;
  return call;
}

void RecordingCanvas::Emit(DrawCall call) {
  if (sink) {
    sink(call);
  } else {
    calls.push_back(std::move(call));
  }
}

void RecordingCanvas::Arc(std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom) {
  DrawCall call = Begin(DrawCall::kArc);
  call.left = left, call.top = top, call.right = right, call.bottom = bottom;
  Emit(std::move(call));
  if (forward) forward->Arc(left, top, right, bottom);
}

void RecordingCanvas::Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                                std::int32_t bottom) {
  DrawCall call = Begin(DrawCall::kRect);
  call.left = left, call.top = top, call.right = right, call.bottom = bottom;
  Emit(std::move(call));
  if (forward) forward->Rectangle(left, top, right, bottom);
}

void RecordingCanvas::Line(float x1, float y1, float x2, float y2) {
  DrawCall call = Begin(DrawCall::kLine);
  call.v[0] = x1, call.v[1] = y1, call.v[2] = x2, call.v[3] = y2;
  Emit(std::move(call));
  if (forward) forward->Line(x1, y1, x2, y2);
}

void RecordingCanvas::CopyPicture(const Picture& picture, float dest_x, float dest_y, float width,
                                  float height, float src_x, float src_y) {
  DrawCall call = Begin(DrawCall::kCopy);
  call.v[0] = dest_x, call.v[1] = dest_y, call.v[2] = width, call.v[3] = height;
  call.v[4] = src_x, call.v[5] = src_y;
  Emit(std::move(call));
  if (forward) forward->CopyPicture(picture, dest_x, dest_y, width, height, src_x, src_y);
}

void RecordingCanvas::PrintText(float x, float y, const std::string& text) {
  DrawCall call = Begin(DrawCall::kText);
  call.v[0] = x, call.v[1] = y;
  call.text = text;
  Emit(std::move(call));
  if (forward) forward->PrintText(x, y, text);
}

void RecordingCanvas::Repaint() {
  Emit(Begin(DrawCall::kRepaint));
  if (forward) forward->Repaint();
}

}  // namespace brenlow
