// brenlow-trace: runs the saver's cycle headless and prints every drawing
// call, one per line, so the drawing can be checked without a screen.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/tool_common.h"
#include "tools/tool_platform.h"

namespace {

constexpr const char* kUsage = "--size WxH --shape NAME [--seed N] [--cycles N] [--picture FILE]";

void Print(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
}

// The cycle's other moments, between its drawing calls.
class Printer : public brenlow::CycleObserver {
 public:
  void OnFactors(int red, int green, int blue) override {
    Print("factors " + std::to_string(red) + " " + std::to_string(green) + " " +
          std::to_string(blue));
  }
  void OnShape(int shape) override { Print("shape " + std::to_string(shape)); }
  void OnFade(int style) override { Print("fade " + std::to_string(style)); }
  void OnCheck() override { Print("check"); }
};

}  // namespace

int main(int argc, char** argv) {
  const auto options = brenlow::ParseToolOptions(argc, argv, kUsage, false);
  if (!options) return 2;
  brenlow::UseBinaryStdout();
  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);

  const auto saver = brenlow::MakeToolSaver(*options);
  Printer printer;
  saver->prog.set_observer(&printer);
  saver->system.canvas.sink = [](const brenlow::DrawCall& call) { Print(call.ToString()); };
  try {
    for (int i = 0; i < options->cycles; ++i) saver->prog.DrawCycle();
  } catch (const std::exception& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "brenlow-trace: %s\n", error.what());
    return 1;
  }
  // A full disk or a closed pipe: the trace is incomplete, and says so.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "brenlow-trace: cannot write the trace: %s\n", std::strerror(errno));
    return 1;
  }
  return 0;
}
