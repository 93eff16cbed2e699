// The settings window's messages, passed on to the dialog's logic as the
// events of its controls.
#include "platform/win32/options_dialog_window_win32.h"
#include "platform/win32/win32_callbacks.h"

namespace brenlow::dialog_win32 {

// The row selected in a list, when it is one of the entries it was filled
// with; -1 otherwise.
int OptionsDialogWin32::Selected(int id, UINT get_selection, std::size_t entries) {
  const LRESULT row = SendMessageA(Control(id), get_selection, 0, 0);
  return row >= 0 && static_cast<std::size_t>(row) < entries ? static_cast<int>(row) : -1;
}

// The events name what was chosen, by copy: the logic's answer refills the
// list the entry came from.
void OptionsDialogWin32::DriveChosen() {
  // While the list is open the selection only follows the pointer.
  if (SendMessageA(Control(kDrive1), CB_GETDROPPEDSTATE, 0, 0)) return;
  const int row = Selected(kDrive1, CB_GETCURSEL, drives_.size());
  if (row >= 0) events_->Drive1_Pick(std::string(drives_[row]));
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
        const int row = Selected(kDir1, LB_GETCURSEL, folders_.size());
        if (row >= 0) events_->Dir1_Open(std::string(folders_[row].path));
      }
      return TRUE;
    case kFile1: {
      const int row = Selected(kFile1, LB_GETCURSEL, files_.size());
      if (row < 0) return TRUE;
      const std::string path = JoinChooserPath(file_folder_, files_[row]);
      if (code == LBN_SELCHANGE) events_->File1_Click(path);
      if (code == LBN_DBLCLK) events_->File1_DblClick(path);
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
