// The settings window's messages, passed on to the dialog's logic as the
// events of its controls.
#include "platform/win32/options_dialog_window_win32.h"
#include "platform/win32/win32_callbacks.h"

namespace brenlow::dialog_win32 {

void OptionsDialogWin32::DriveChosen() {
  HWND drive = Control(kDrive1);
  // While the list is open the selection only follows the pointer.
  if (SendMessageA(drive, CB_GETDROPPEDSTATE, 0, 0)) return;
  events_->Drive1_Pick(static_cast<int>(SendMessageA(drive, CB_GETCURSEL, 0, 0)));
}

INT_PTR OptionsDialogWin32::Command(int id, int code) {
  switch (id) {
    case kCmdOk:
      if (code == BN_CLICKED) events_->CmdOk_Click();
      return TRUE;
    case kCmdAnn:
      if (code == BN_CLICKED) events_->CmdAnn_Click();
      return TRUE;
    case kCmdsfoglia:
      if (code == BN_CLICKED) events_->Cmdsfoglia_Click();
      return TRUE;
    case kDrive1:
      if (code == CBN_SELCHANGE || code == CBN_CLOSEUP) DriveChosen();
      return TRUE;
    case kDir1:
      if (code == LBN_DBLCLK) {
        events_->Dir1_Open(static_cast<int>(SendMessageA(Control(kDir1), LB_GETCURSEL, 0, 0)));
      }
      return TRUE;
    case kFile1: {
      const int index = static_cast<int>(SendMessageA(Control(kFile1), LB_GETCURSEL, 0, 0));
      if (code == LBN_SELCHANGE) events_->File1_Click(index);
      if (code == LBN_DBLCLK) events_->File1_DblClick(index);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK OptionsDialogWin32::DialogProc(HWND hwnd, UINT message, WPARAM wparam,
                                                LPARAM lparam) noexcept {
  return Guarded<INT_PTR>(FALSE, [&] { return HandleDialog(hwnd, message, wparam, lparam); });
}

INT_PTR OptionsDialogWin32::HandleDialog(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<OptionsDialogWin32*>(lparam);
    SetWindowLongPtrA(hwnd, DWLP_USER, lparam);
    self->hwnd_ = hwnd;
    self->CreateControls();
    return FALSE;
  }
  auto* self = reinterpret_cast<OptionsDialogWin32*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  if (!self) return FALSE;
  switch (message) {
    case kActivateMessage:
      self->events_->Form_Activate();
      return TRUE;
    case WM_COMMAND:
      return self->Command(LOWORD(wparam), HIWORD(wparam));
    case WM_PAINT:
      self->Paint();
      return TRUE;
    case WM_DRAWITEM:
      if (wparam == kDir1) {
        self->DrawFolder(*reinterpret_cast<DRAWITEMSTRUCT*>(lparam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

LRESULT CALLBACK OptionsDialogWin32::Combo1EditProc(HWND hwnd, UINT message, WPARAM wparam,
                                                    LPARAM lparam, UINT_PTR,
                                                    DWORD_PTR data) noexcept {
  return Guarded<LRESULT>(0, [&] {
    if (message == WM_CHAR) {
      auto* self = reinterpret_cast<OptionsDialogWin32*>(data);
      int key = static_cast<int>(wparam);
      self->events_->Combo1_KeyPress(key);
      if (key == 0) return LRESULT{0};
      wparam = static_cast<WPARAM>(key);
    }
    return DefSubclassProc(hwnd, message, wparam, lparam);
  });
}

LRESULT CALLBACK OptionsDialogWin32::Text1Proc(HWND hwnd, UINT message, WPARAM wparam,
                                               LPARAM lparam, UINT_PTR, DWORD_PTR data) noexcept {
  return Guarded<LRESULT>(0, [&] {
    const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
    if (message == WM_LBUTTONUP) {
      reinterpret_cast<OptionsDialogWin32*>(data)->events_->Text1_Click();
    }
    return result;
  });
}

}  // namespace brenlow::dialog_win32
