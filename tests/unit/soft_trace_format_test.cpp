// The trace format: every line DrawCall writes reads back as the same call,
// and the call-list reader shared by gdi_replay and fidelity_compare reads
// brenlow-trace's lines exactly and keeps the cases apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
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

TEST(SoftTraceFormat, ReadsEveryCallKind) {
  std::istringstream in(
      "cycle\n"
      "factors 2 1 1\n"
      "check\n"
      "rect -3 4 100 2147483647 colour=1447445 rop=13 width=1 fill=solid\n"
      "arc 320 240 -5 7 colour=16711680 rop=5 width=1\n"
      "line 0.5 -12.25 1e+06 3.40282347e+38 colour=255 rop=1 width=7\n"
      "copy 0 1 200 1 0.5 1\n"
      "text 0 456 size=14 colour=16777215 www.brenlow.example 2\n");
  int bad = -1;
  const std::vector<Case> cases = ParseCases(in, "trace", &bad);
  ASSERT_EQ(cases.size(), 1u);
  EXPECT_EQ(bad, 0);
  const Case& c = cases[0];
  EXPECT_EQ(c.name, "trace");
  EXPECT_EQ(c.width, 640);
  EXPECT_EQ(c.height, 480);
  EXPECT_FALSE(c.pattern);
  // factors and check are not drawing calls; numbers come back as written.
  std::vector<std::string> lines;
  for (const DrawCall& call : c.calls) lines.push_back(call.ToString());
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "cycle",
                       "rect -3 4 100 2147483647 colour=1447445 rop=13 width=1 fill=solid",
                       "arc 320 240 -5 7 colour=16711680 rop=5 width=1",
                       "line 0.5 -12.25 1000000 3.40282347e+38 colour=255 rop=1 width=7",
                       "copy 0 1 200 1 0.5 1",
                       "text 0 456 size=14 colour=16777215 www.brenlow.example 2",
                   }));
  // Each value lands where the players read it.
  ASSERT_EQ(c.calls.size(), 6u);
  EXPECT_EQ(BoxOf(c.calls[1]), (Box{-3, 4, 100, 2147483647}));
  EXPECT_TRUE(c.calls[1].fill_solid);
  EXPECT_EQ(c.calls[2].colour, 16711680u);
  EXPECT_EQ(c.calls[3].v[1], -12.25f);
  EXPECT_EQ(c.calls[3].width, 7);
  EXPECT_EQ(c.calls[4].v[4], 0.5f);
  EXPECT_EQ(c.calls[5].font_size, 14.0f);
}

TEST(SoftTraceFormat, CasesHeadersAndBadLines) {
  std::istringstream in(
      "case first/a\n"
      "size 48 32\n"
      "background pattern\n"
      "arc 1 2 3 4 colour=1 rop=7 width=1\n"
      "case second\n"
      "size 0 10\n"
      "arc 1 2 3\n"
      "line 1 2 x 4 colour=1 rop=13 width=1\n"
      "rect 1 2 3 4 colour=1 rop=13 width=1 fill=hollow\r\n");
  int bad = 0;
  const std::vector<Case> cases = ParseCases(in, "unused", &bad);
  ASSERT_EQ(cases.size(), 2u);
  EXPECT_EQ(cases[0].name, "first/a");
  EXPECT_EQ(cases[0].width, 48);
  EXPECT_EQ(cases[0].height, 32);
  EXPECT_TRUE(cases[0].pattern);
  EXPECT_EQ(cases[0].calls.size(), 1u);
  EXPECT_EQ(cases[1].name, "second");
  EXPECT_EQ(cases[1].width, 640);  // a size of zero is refused
  EXPECT_FALSE(cases[1].pattern);
  ASSERT_EQ(cases[1].calls.size(), 1u);  // the short arc and the bad line are dropped
  EXPECT_FALSE(cases[1].calls[0].fill_solid);
  EXPECT_EQ(bad, 3);
}

// What a recorded saver writes reads back as the same calls: a whole cycle
// of every family at an odd size, with a logo, and values at the edges of
// the format.
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
  DrawCall edges;
  edges.kind = DrawCall::kLine;
  const float values[] = {-0.1f, 1e-30f, 3.40282347e+38f, 16777217.0f};
  std::copy(std::begin(values), std::end(values), edges.v);
  edges.colour = 0xffffff;
  edges.rop = 16;
  edges.width = 7;
  calls.push_back(edges);
  std::set<int> kinds;
  for (const DrawCall& call : calls) {
    const std::string line = call.ToString();
    bool malformed = true;
    const std::optional<DrawCall> read = DrawCall::Parse(line, &malformed);
    ASSERT_TRUE(read.has_value()) << line;
    EXPECT_FALSE(malformed) << line;
    EXPECT_EQ(read->kind, call.kind) << line;
    EXPECT_EQ(read->ToString(), line);
    kinds.insert(call.kind);
  }
  EXPECT_EQ(kinds.size(), 6u);
  EXPECT_FALSE(DrawCall::Parse("factors 2 1 1").has_value());
}

}  // namespace
}  // namespace fidelity
