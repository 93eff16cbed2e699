// brenlow.scr with a failure injected into one event of the settings
// dialog, for the tests of the error path under Wine. The event named by
// the environment variable BRENLOW_FAULT (CmdOk_Click, Text1_Click,
// Combo1_KeyPress, ...) throws std::bad_alloc when the dialog's window
// procedure, or one of its subclass procedures, delivers it:
//   BRENLOW_FAULT=CmdOk_Click brenlow_fault.exe /c
// In the running saver (/s) the faults below strike at the first hold
// after the file C:\brenlow-fault.now appears, so a test can look at the
// running saver first:
//   crash      an access violation on the saver's thread
//   error      a std::runtime_error out of the cycle (the saver's error path)
//   terminate  an exception no handler takes (the terminate handler)
#include <cstdlib>
#include <exception>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

// The dialog window's header takes windows.h's MessageBox macro away, as its
// own sources do; the saver's system was built with it, so it comes back.
#include "platform/win32/options_dialog_window_win32.h"
#define MessageBox MessageBoxA
#include "platform/win32/saver_process_win32.h"
#include "platform/win32/win32_system.h"
#include "saver/app.h"

namespace brenlow {
namespace {

// The real dialog window, delivering its events through itself: each passes
// on to the real one, or throws when it is the one named.
class FaultyDialog : public dialog_win32::OptionsDialogWin32, OptionsDialogEvents {
 public:
  explicit FaultyDialog(std::string event) : event_(std::move(event)) {}
  void Load(OptionsDialogEvents& events) override {
    inner_ = &events;
    OptionsDialogWin32::Load(*this);
  }

#define BRENLOW_RELAY(event, params, args)        \
  void event params override {                    \
    if (event_ == #event) throw std::bad_alloc(); \
    inner_->event args;                           \
  }
  BRENLOW_RELAY(Form_Load, (), ())
  BRENLOW_RELAY(Form_Activate, (), ())
  BRENLOW_RELAY(CmdOk_Click, (), ())
  BRENLOW_RELAY(CmdAnn_Click, (), ())
  BRENLOW_RELAY(Combo1_KeyPress, (int& key), (key))
  BRENLOW_RELAY(Text1_Click, (), ())
  BRENLOW_RELAY(Cmdsfoglia_Click, (), ())
  BRENLOW_RELAY(Drive1_Pick, (const std::string& drive), (drive))
  BRENLOW_RELAY(Dir1_Open, (const std::string& folder), (folder))
  BRENLOW_RELAY(File1_Click, (const std::string& path), (path))
  BRENLOW_RELAY(File1_DblClick, (const std::string& path), (path))
#undef BRENLOW_RELAY

 private:
  std::string event_;
  OptionsDialogEvents* inner_ = nullptr;
};

// Not a std::exception: the saver's own handlers let it pass.
struct Unexpected {};

bool Armed() { return ::GetFileAttributesA("C:\\brenlow-fault.now") != INVALID_FILE_ATTRIBUTES; }

class FaultySystem : public Win32System {
 public:
  explicit FaultySystem(std::string event) : event_(std::move(event)) {}
  OptionsDialogWindow& OptionsDialog() override {
    if (!dialog_) dialog_ = std::make_unique<FaultyDialog>(event_);
    return *dialog_;
  }
  void HoldPause(int max_ms) override {
    if (Armed()) {
      if (event_ == "crash") ::RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 0, nullptr);
      if (event_ == "error") throw std::runtime_error("injected error");
      if (event_ == "terminate") throw Unexpected{};
    }
    Win32System::HoldPause(max_ms);
  }

 private:
  std::string event_;
  std::unique_ptr<FaultyDialog> dialog_;
};

}  // namespace
}  // namespace brenlow

// As brenlow.scr's own WinMain.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  brenlow::GuardSaverProcess();
  const char* event = std::getenv("BRENLOW_FAULT");
  brenlow::FaultySystem system(event ? event : "");
  return brenlow::RunBrenlow(system);
}
