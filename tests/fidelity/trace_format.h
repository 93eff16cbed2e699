// Reading drawing-call lists in the trace line format, shared by the GDI
// replay (Windows) and the software replay (Linux).
//
//   rect L T R B colour=C rop=O width=P fill=solid|hollow
//   arc L T R B colour=C rop=O width=P
//   line X1 Y1 X2 Y2 colour=C rop=O width=P
//   copy DX DY W H SX SY
//   text X Y size=S colour=C TEXT
//   cycle                       (the canvas was just repainted black)
//
// Case lists add three header lines of their own:
//   case NAME                   starts a case (a fresh canvas)
//   size W H                    canvas size (default 640 480)
//   background black|pattern    starting pixels (pattern: PatternColour)
// Any other line (factors, shape, fade, check, ...) is ignored.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <istream>
#include <sstream>
#include <string>
#include <vector>

namespace fidelity {

enum class Op { kRect, kArc, kLine, kCopy, kText, kCycle };

struct Call {
  Op op = Op::kCycle;
  std::int32_t box[4] = {0, 0, 0, 0};    // rect, arc
  float values[6] = {0, 0, 0, 0, 0, 0};  // line, copy, text position
  std::uint32_t colour = 0;
  int rop = 13;
  int width = 1;
  bool solid = false;
  float size = 0;
  std::string text;
};

struct Case {
  std::string name;
  int width = 640;
  int height = 480;
  bool pattern = false;
  std::vector<Call> calls;
};

// A fixed, busy, non-black starting picture so that ROPs that read the
// destination show what they did. COLORREF layout.
inline std::uint32_t PatternColour(int x, int y) {
  std::uint32_t h =
      static_cast<std::uint32_t>(x) * 0x9E3779B1u ^ static_cast<std::uint32_t>(y) * 0x85EBCA77u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  return h & 0x00ffffffu;
}

namespace detail {

inline bool KeyValue(const std::string& token, const char* key, std::string& value) {
  const std::string prefix = std::string(key) + "=";
  if (token.compare(0, prefix.size(), prefix) != 0) return false;
  value = token.substr(prefix.size());
  return true;
}

inline void ReadPen(std::istringstream& in, Call& call) {
  std::string token, value;
  while (in >> token) {
    if (KeyValue(token, "colour", value))
      call.colour = std::strtoul(value.c_str(), nullptr, 10);
    else if (KeyValue(token, "rop", value))
      call.rop = std::atoi(value.c_str());
    else if (KeyValue(token, "width", value))
      call.width = std::atoi(value.c_str());
    else if (KeyValue(token, "fill", value))
      call.solid = value == "solid";
  }
}

inline bool ReadFloats(std::istringstream& in, float* out, int n) {
  for (int i = 0; i < n; ++i) {
    std::string token;
    if (!(in >> token)) return false;
    char* end = nullptr;
    out[i] = std::strtof(token.c_str(), &end);
    if (end == token.c_str()) return false;
  }
  return true;
}

}  // namespace detail

// Parses a whole list; a list without "case" lines is one case named
// default_name. bad_lines counts lines that looked like calls but did not parse.
inline std::vector<Case> ParseCases(std::istream& input, const std::string& default_name,
                                    int* bad_lines = nullptr) {
  std::vector<Case> cases;
  std::string line;
  int bad = 0;
  auto current = [&]() -> Case& {
    if (cases.empty()) {
      cases.emplace_back();
      cases.back().name = default_name;
    }
    return cases.back();
  };
  while (std::getline(input, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream in(line);
    std::string word;
    if (!(in >> word)) continue;
    if (word == "case") {
      cases.emplace_back();
      std::getline(in >> std::ws, cases.back().name);
    } else if (word == "size") {
      Case& c = current();
      if (!(in >> c.width >> c.height) || c.width <= 0 || c.height <= 0 || c.width > 16384 ||
          c.height > 16384) {
        c.width = 640, c.height = 480;
        ++bad;
      }
    } else if (word == "background") {
      std::string kind;
      in >> kind;
      current().pattern = kind == "pattern";
    } else if (word == "rect" || word == "arc") {
      Call call;
      call.op = word == "rect" ? Op::kRect : Op::kArc;
      long long v[4];
      if (!(in >> v[0] >> v[1] >> v[2] >> v[3])) {
        ++bad;
        continue;
      }
      for (int i = 0; i < 4; ++i) call.box[i] = static_cast<std::int32_t>(v[i]);
      detail::ReadPen(in, call);
      current().calls.push_back(call);
    } else if (word == "line") {
      Call call;
      call.op = Op::kLine;
      if (!detail::ReadFloats(in, call.values, 4)) {
        ++bad;
        continue;
      }
      detail::ReadPen(in, call);
      current().calls.push_back(call);
    } else if (word == "copy") {
      Call call;
      call.op = Op::kCopy;
      if (!detail::ReadFloats(in, call.values, 6)) {
        ++bad;
        continue;
      }
      current().calls.push_back(call);
    } else if (word == "text") {
      Call call;
      call.op = Op::kText;
      if (!detail::ReadFloats(in, call.values, 2)) {
        ++bad;
        continue;
      }
      std::string token, value;
      for (int i = 0; i < 2 && in >> token; ++i) {
        if (detail::KeyValue(token, "size", value))
          call.size = std::strtof(value.c_str(), nullptr);
        else if (detail::KeyValue(token, "colour", value))
          call.colour = std::strtoul(value.c_str(), nullptr, 10);
      }
      std::getline(in >> std::ws, call.text);
      current().calls.push_back(call);
    } else if (word == "cycle") {
      Call call;
      call.op = Op::kCycle;
      current().calls.push_back(call);
    }
  }
  if (bad_lines) *bad_lines = bad;
  return cases;
}

// The replay result file: per case W, H, N and N (index, COLORREF) pairs of
// pixels that differ from the case's starting picture; all little-endian int32.
inline std::uint32_t StartColour(const Case& c, int x, int y) {
  return c.pattern ? PatternColour(x, y) : 0u;
}

}  // namespace fidelity
