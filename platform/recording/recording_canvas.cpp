#include "platform/recording/recording_canvas.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace brenlow {

namespace {

// Nine significant digits: every float reads back as itself.
std::string Num(float value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(value));
  return buffer;
}

bool KeyValue(const std::string& token, const char* key, std::string& value) {
  const std::string prefix = std::string(key) + "=";
  if (token.compare(0, prefix.size(), prefix) != 0) return false;
  value = token.substr(prefix.size());
  return true;
}

void ReadPen(std::istringstream& in, DrawCall& call) {
  std::string token, value;
  while (in >> token) {
    if (KeyValue(token, "colour", value))
      call.colour = static_cast<Colour>(std::strtoul(value.c_str(), nullptr, 10));
    else if (KeyValue(token, "rop", value))
      call.rop = std::atoi(value.c_str());
    else if (KeyValue(token, "width", value))
      call.width = std::atoi(value.c_str());
    else if (KeyValue(token, "fill", value))
      call.fill_solid = value == "solid";
  }
}

bool ReadFloats(std::istringstream& in, float* out, int n) {
  for (int i = 0; i < n; ++i) {
    std::string token;
    if (!(in >> token)) return false;
    char* end = nullptr;
    out[i] = std::strtof(token.c_str(), &end);
    if (end == token.c_str()) return false;
  }
  return true;
}

bool ReadBox(std::istringstream& in, DrawCall& call) {
  long long v[4];
  if (!(in >> v[0] >> v[1] >> v[2] >> v[3])) return false;
  call.left = static_cast<std::int32_t>(v[0]);
  call.top = static_cast<std::int32_t>(v[1]);
  call.right = static_cast<std::int32_t>(v[2]);
  call.bottom = static_cast<std::int32_t>(v[3]);
  return true;
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
      return "cycle";
  }
  return {};
}

std::optional<DrawCall> DrawCall::Parse(const std::string& line, bool* malformed) {
  if (malformed) *malformed = false;
  std::istringstream in(!line.empty() && line.back() == '\r' ? line.substr(0, line.size() - 1)
                                                             : line);
  std::string word;
  in >> word;
  DrawCall call;
  call.rop = kRopCopyPen;
  call.width = 1;
  bool ok = true;
  if (word == "rect" || word == "arc") {
    call.kind = word == "rect" ? kRect : kArc;
    ok = ReadBox(in, call);
    ReadPen(in, call);
  } else if (word == "line") {
    call.kind = kLine;
    ok = ReadFloats(in, call.v, 4);
    ReadPen(in, call);
  } else if (word == "copy") {
    call.kind = kCopy;
    ok = ReadFloats(in, call.v, 6);
  } else if (word == "text") {
    call.kind = kText;
    ok = ReadFloats(in, call.v, 2);
    std::string token, value;
    for (int i = 0; ok && i < 2 && in >> token; ++i) {
      if (KeyValue(token, "size", value))
        call.font_size = std::strtof(value.c_str(), nullptr);
      else if (KeyValue(token, "colour", value))
        call.colour = static_cast<Colour>(std::strtoul(value.c_str(), nullptr, 10));
    }
    std::getline(in >> std::ws, call.text);
  } else if (word == "cycle") {
    call.kind = kRepaint;
  } else {
    return std::nullopt;
  }
  if (!ok) {
    if (malformed) *malformed = true;
    return std::nullopt;
  }
  return call;
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
