// The Win32 "Impostazioni" window, shared by the files that build it: this
// one drives it for the dialog's logic, options_dialog_controls_win32.cpp
// creates and draws its controls, options_dialog_messages_win32.cpp turns
// their messages into the logic's events.
#pragma once

#include <windows.h>
// windows.h first
#include <commctrl.h>
// The view's own MessageBox, not the user32 macro.
#undef MessageBox

#include <string>
#include <vector>

#include "platform/chooser_lists.h"
#include "platform/options_dialog.h"
#include "platform/win32/options_files_win32.h"
#include "platform/win32/options_layout_win32.h"
#include "platform/win32/window_frame_win32.h"

namespace brenlow::dialog_win32 {

enum ControlId : int {
  kCmdOk = IDOK,
  kCmdAnn = IDCANCEL,
  kCombo1 = 101,
  kLabel1,
  kLabel2,
  kText1,
  kDrive1,
  kDir1,
  kFile1,
  kCmdsfoglia,
};

constexpr UINT kActivateMessage = WM_APP + 1;
// PBS_DISABLED: the button state whose picture is the greyed glyph.
constexpr int kDisabledState = 4;

// The folder glyph drawn at the left of each row of Dir1.
constexpr int kGlyphPixels = 16;

// The drop-down parts of the combo boxes reach this far below their field.
constexpr int kDropDownPixels = 160;

class OptionsDialogWin32 : public OptionsDialogWindow {
 public:
  ~OptionsDialogWin32() override;
  void Load(OptionsDialogEvents& events) override;
  int Run() override;
  int TwipsPerPixelX() override { return tpp_x_; }
  int TwipsPerPixelY() override { return tpp_y_; }
  int ScreenWidth() override { return GetSystemMetrics(SM_CXSCREEN) * tpp_x_; }
  int ScreenHeight() override { return GetSystemMetrics(SM_CYSCREEN) * tpp_y_; }
  int FormWidth() override;
  int FormHeight() override;
  void SetFormWidth(int twips) override;
  void SetFormHeight(int twips) override;
  void MoveForm(int left_twips, int top_twips) override;
  int ScaleWidth() override;
  PixelRect Text1Rect() override { return PixelsFromTwips(kText1Twips, tpp_x_, tpp_y_); }
  void SetLine(int line, int x1, int x2, int y) override;
  std::string Text1() override { return GetText(Control(kText1)); }
  void SetText1(const std::string& text) override { SetWindowTextA(Control(kText1), text.c_str()); }
  void SelectText1(int start, int length) override;
  std::string Combo1() override { return GetText(Control(kCombo1)); }
  void SetCombo1List(const std::vector<std::string>& entries) override;
  void SetCombo1(const std::string& text) override;
  void ShowDrive(const std::string& drive) override;
  void ShowFolder(const std::string& folder) override;
  void ShowFiles(const std::string& folder, const std::string& pattern) override;
  std::string CurrentFolder() override { return ChooserCurrentFolder(); }
  std::variant<std::string, DriveError> DriveFolder(const std::string& drive) override {
    return ChooserDriveFolder(drive);
  }
  void MessageBox(const std::string& text, const std::string& title, MessageIcon icon) override;

 private:
  HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
  FrameExtra Design() const { return DesignFrame(1440 / tpp_x_, dpi_y_); }
  RECT WindowRect() const;
  static std::string GetText(HWND control);
  void CreateForm();
  void CreateDialogFont();
  int ListRowHeight(int at_least);
  void CreateControls();
  void Paint();
  void DrawFolder(const DRAWITEMSTRUCT& item);
  int Selected(int id, UINT get_selection, std::size_t entries);
  void DriveChosen();
  INT_PTR Command(int id, int code);
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam,
                                     LPARAM lparam) noexcept;
  static INT_PTR HandleDialog(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK Combo1EditProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                         UINT_PTR, DWORD_PTR data) noexcept;
  static LRESULT CALLBACK Text1Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                    DWORD_PTR data) noexcept;
  OptionsDialogEvents* events_ = nullptr;
  HWND hwnd_ = nullptr;
  int tpp_x_ = 15;
  int tpp_y_ = 15;
  int dpi_y_ = 96;
  int text_height_ = 13;  // of the dialog's font, in pixels
  RECT lines_[2] = {};
  // What the chooser's lists show, row by row.
  std::vector<std::string> drives_;
  std::vector<FolderEntry> folders_;
  std::string file_folder_;
  std::vector<std::string> files_;
  HFONT font_ = nullptr;
  HICON grid_icon_ = nullptr;
  HICON folder_ = nullptr;
  HICON folder_grey_ = nullptr;
  HICON closed_folder_ = nullptr;
  HIMAGELIST images_ = nullptr;
};

}  // namespace brenlow::dialog_win32
