// Stand-in for the settings dialog until its real window is written: a
// plain window captioned "Impostazioni" that ends the program when closed.
#include "platform/win32/options_dialog_win32.h"

#include <windows.h>

#include <type_traits>

namespace brenlow {
namespace {

constexpr UINT kActivate = WM_APP + 1;

class PlaceholderDialog : public OptionsDialogWindow {
 public:
  void Load(OptionsDialogEvents& events) override {
    events_ = &events;
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = instance;
    window_class.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = "brenlow_options";
    ::RegisterClassExA(&window_class);
    window_ = ::CreateWindowExA(0, "brenlow_options", "Impostazioni",
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                                CW_USEDEFAULT, 400, 300, nullptr, nullptr, instance, this);
  }

  int Run() override {
    if (!window_) return 1;
    ::ShowWindow(window_, SW_SHOW);
    ::UpdateWindow(window_);
    // Activation runs from the queue, after start-up has read the settings.
    ::PostMessageA(window_, kActivate, 0, 0);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    return 0;
  }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
      ::SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<PlaceholderDialog*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    try {
      if (message == kActivate && self && self->events_) {
        self->events_->Form_Activate();
        return 0;
      }
      if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
      }
    } catch (...) {
      ::PostQuitMessage(1);
      return 0;
    }
    return ::DefWindowProcA(window, message, wparam, lparam);
  }

  OptionsDialogEvents* events_ = nullptr;
  HWND window_ = nullptr;
};

// The window interface grows with the real dialog; a stand-in that no
// longer covers it is left out rather than breaking the build.
template <class Window>
std::unique_ptr<OptionsDialogWindow> MakeIfComplete() {
  if constexpr (std::is_abstract_v<Window>) {
    return nullptr;
  } else {
    return std::make_unique<Window>();
  }
}

}  // namespace

std::unique_ptr<OptionsDialogWindow> MakeOptionsDialogWindow() {
  return MakeIfComplete<PlaceholderDialog>();
}

}  // namespace brenlow
