// Call lists in brenlow-trace's line format (DrawCall::ToString), cut into
// cases, and the player that draws them on any canvas: shared by the GDI
// replay (Windows), the software replay (Linux) and the drawing benchmarks.
//
// Case lists add three header lines of their own:
//   case NAME                   starts a case (a fresh canvas)
//   size W H                    canvas size (default 640 480)
//   background black|pattern    starting pixels (pattern: PatternColour)
//   background previous         goes on from the previous case's pixels (same
//                               size): a moment later in the same drawing
// Any other line that is no drawing call (factors, shape, fade, check, ...)
// is left out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <istream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/bitmap_file.h"
#include "platform/canvas.h"
#include "platform/recording/recording_canvas.h"

namespace fidelity {

using brenlow::DrawCall;

struct Case {
  std::string name;
  int width = 640;
  int height = 480;
  bool pattern = false;
  bool continues = false;
  std::vector<DrawCall> calls;
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

// A case's starting pixels (the pattern's when asked), top row first.
inline std::vector<std::uint32_t> StartPixels(const Case& c, bool pattern) {
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) pixels.push_back(pattern ? PatternColour(x, y) : 0u);
  return pixels;
}

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
      if (!(in >> c.width >> c.height) || c.width <= 0 || c.height <= 0 ||
          c.width > brenlow::kMaxPictureSide || c.height > brenlow::kMaxPictureSide) {
        c.width = 640, c.height = 480;
        ++bad;
      }
    } else if (word == "background") {
      std::string kind;
      in >> kind;
      current().pattern = kind == "pattern";
      current().continues = kind == "previous";
    } else {
      bool malformed = false;
      if (auto call = DrawCall::Parse(line, &malformed)) current().calls.push_back(*call);
      bad += malformed;
    }
  }
  if (bad_lines) *bad_lines = bad;
  return cases;
}

// The replay programs' command line: "--picture BMP", "--time N" and
// "--min PERCENT" take a value, any other "--NAME" stands alone, the rest are
// files, the first of them the case list. Open reads the list and the
// picture (through the side's own loader) and says why it cannot.
struct Replay {
  std::map<std::string, std::string> options;
  std::vector<std::string> files;
  std::vector<Case> cases;
  std::optional<brenlow::Picture> given;  // --picture

  Replay(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
      const std::string a = argv[i];
      const bool valued = a == "--picture" || a == "--time" || a == "--min";
      if (valued && i + 1 < argc)
        options[a] = argv[++i];
      else if (a.rfind("--", 0) == 0)
        options[a];
      else
        files.push_back(a);
    }
  }
  bool Has(const std::string& option) const { return options.count(option) != 0; }
  double Number(const std::string& option, double otherwise) const {
    return Has(option) ? std::atof(options.at(option).c_str()) : otherwise;
  }
  bool Open(std::optional<brenlow::Picture> (*load)(const std::string&)) {
    if (Has("--picture") && !(given = load(options["--picture"]))) {
      std::fprintf(stderr, "cannot load %s\n", options["--picture"].c_str());
      return false;
    }
    std::ifstream in(files.at(0), std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", files[0].c_str());
      return false;
    }
    cases = ParseCases(in, files[0]);
    return true;
  }
  // The picture copies draw from: the one given, or else the pattern as
  // large as the case's canvas.
  const brenlow::Picture& PictureFor(const Case& c) {
    if (given) return *given;
    if (pattern.width != c.width || pattern.height != c.height) {
      pattern = {c.width, c.height, StartPixels(c, true)};
    }
    return pattern;
  }
  brenlow::Picture pattern;
};

// Draws the case's calls; returns how many it drew, text left out (its fonts
// differ).
inline std::size_t PlayCase(brenlow::Canvas& canvas, const Case& c,
                            const brenlow::Picture& picture) {
  std::size_t played = 0;
  for (const DrawCall& call : c.calls) {
    if (call.kind == DrawCall::kText) continue;
    ++played;
    if (call.kind == DrawCall::kRepaint) {
      canvas.Repaint();
    } else if (call.kind == DrawCall::kCopy) {
      canvas.CopyPicture(picture, call.v[0], call.v[1], call.v[2], call.v[3], call.v[4], call.v[5]);
    } else {
      canvas.SetRop2(call.rop);
      canvas.SetPenColour(call.colour);
      canvas.SetPenWidth(call.width);
      canvas.SetFillSolid(call.fill_solid);
      if (call.kind == DrawCall::kRect) {
        canvas.Rectangle(call.left, call.top, call.right, call.bottom);
      } else if (call.kind == DrawCall::kArc) {
        canvas.Arc(call.left, call.top, call.right, call.bottom);
      } else {
        canvas.Line(call.v[0], call.v[1], call.v[2], call.v[3]);
      }
    }
  }
  return played;
}

}  // namespace fidelity
