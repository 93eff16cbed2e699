// The trace format: every line DrawCall writes reads back as the same call,
// and the call-list reader shared by gdi_replay and fidelity_compare reads
// brenlow-trace's lines exactly and keeps the cases apart.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <sstream>

#include "platform/recording/headless_saver.h"
#include "saver_test_support.h"
#include "tests/fidelity/trace_format.h"

namespace fidelity {
namespace {

using brenlow::Box;
using brenlow::BoxOf;

// Calls before any "case" line are a case of the list's name; a size of
// zero is refused, and lines that look like calls but do not parse are
// dropped and counted.
TEST(SoftTraceFormat, ReadsEveryCallKindCasesHeadersAndBadLines) {
  std::istringstream in(
      "cycle\n"
      "factors 2 1 1\n"
      "check\n"
      "rect -3 4 100 2147483647 colour=1447445 rop=13 width=1 fill=solid\n"
      "arc 320 240 -5 7 colour=16711680 rop=5 width=1\n"
      "line 0.5 -12.25 1e+06 3.40282347e+38 colour=255 rop=1 width=7\n"
      "line -0.1 1e-30 16777217 0 colour=16777215 rop=16 width=7\n"
      "copy 0 1 200 1 0.5 1\n"
      "text 0 456 size=14 colour=16777215 www.brenlow.example 2\n"
      "case first/a\n"
      "size 48 32\n"
      "background pattern\n"
      "arc 1 2 3 4 colour=1 rop=7 width=1\n"
      "case second\n"
      "size 0 10\n"
      "arc 1 2 3\n"
      "line 1 2 x 4 colour=1 rop=13 width=1\n"
      "rect 1 2 3 4 colour=1 rop=13 width=1 fill=hollow\r\n");
  int bad = -1;
  const std::vector<Case> cases = ParseCases(in, "trace", &bad);
  EXPECT_EQ(bad, 3);
  ASSERT_EQ(cases.size(), 3u);
  std::vector<std::string> headers;
  for (const Case& c : cases) {
    headers.push_back(c.name + " " + std::to_string(c.width) + "x" + std::to_string(c.height) +
                      (c.pattern ? " pattern " : " ") + std::to_string(c.calls.size()));
  }
  EXPECT_EQ(headers, (std::vector<std::string>{"trace 640x480 7", "first/a 48x32 pattern 1",
                                               "second 640x480 1"}));
  EXPECT_FALSE(cases[2].calls[0].fill_solid);
  const Case& c = cases[0];
  // factors and check are not drawing calls; numbers come back as written.
  std::vector<std::string> lines;
  for (const DrawCall& call : c.calls) lines.push_back(call.ToString());
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "cycle",
                       "rect -3 4 100 2147483647 colour=1447445 rop=13 width=1 fill=solid",
                       "arc 320 240 -5 7 colour=16711680 rop=5 width=1",
                       "line 0.5 -12.25 1000000 3.40282347e+38 colour=255 rop=1 width=7",
                       "line -0.100000001 1e-30 16777216 0 colour=16777215 rop=16 width=7",
                       "copy 0 1 200 1 0.5 1",
                       "text 0 456 size=14 colour=16777215 www.brenlow.example 2",
                   }));
  // Each value lands where the players read it.
  EXPECT_EQ(BoxOf(c.calls[1]), (Box{-3, 4, 100, 2147483647}));
  EXPECT_TRUE(c.calls[1].fill_solid);
  EXPECT_EQ(c.calls[2].colour, 16711680u);
  EXPECT_EQ(c.calls[3].v[1], -12.25f);
  EXPECT_EQ(c.calls[3].width, 7);
  EXPECT_EQ(c.calls[5].v[4], 0.5f);
  EXPECT_EQ(c.calls[6].font_size, 14.0f);
}

// What a recorded saver writes reads back as the same calls: a whole cycle
// of every family at an odd size, with a logo.
TEST(SoftTraceFormat, WrittenLinesReadBackAsTheSameCalls) {
  std::vector<DrawCall> calls;
  for (const char* shape : {"Ovali", "Quadrati", "Triangoli", "Cerchi", "Ellissi"}) {
    brenlow::HeadlessSaver saver(97, 61, shape, "logo.bmp", [](const std::string&) {
      return brenlow::Picture{5, 3, std::vector<brenlow::Colour>(15, 0x123456)};
    });
    saver.system.keep_log = false;
    saver.system.canvas.sink = [&](const DrawCall& call) { calls.push_back(call); };
    saver.prog.DrawCycle();
  }
  std::set<int> kinds;
  for (const DrawCall& call : calls) {
    const std::string line = call.ToString();
    bool malformed = true;
    const std::optional<DrawCall> read = DrawCall::Parse(line, &malformed);
    ASSERT_TRUE(read.has_value()) << line;
    EXPECT_FALSE(malformed) << line;
    EXPECT_EQ(read->ToString(), line);
    kinds.insert(call.kind);
  }
  EXPECT_EQ(kinds.size(), 6u);
}

}  // namespace
}  // namespace fidelity
