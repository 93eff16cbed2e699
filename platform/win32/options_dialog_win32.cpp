// "Impostazioni": a modeless dialog built from an empty in-memory template,
// its controls created at load from the twips layout of the form; here, what
// the dialog's logic asks of the window.
#include "platform/win32/options_dialog_win32.h"

#include <cctype>
#include <cstring>

#include "platform/win32/options_dialog_window_win32.h"
#include "platform/win32/win32_callbacks.h"

namespace brenlow {
namespace dialog_win32 {

OptionsDialogWin32::~OptionsDialogWin32() {
  for (HICON icon : {grid_icon_, folder_, folder_grey_, closed_folder_}) {
    if (icon) DestroyIcon(icon);
  }
  if (images_) ImageList_Destroy(images_);
  if (font_) DeleteObject(font_);
}

void OptionsDialogWin32::Load(OptionsDialogEvents& events) {
  events_ = &events;
  INITCOMMONCONTROLSEX init = {sizeof(init), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&init);
  MakeThreadSystemDpiAware();
  HDC screen = GetDC(nullptr);
  tpp_x_ = 1440 / GetDeviceCaps(screen, LOGPIXELSX);
  dpi_y_ = GetDeviceCaps(screen, LOGPIXELSY);
  tpp_y_ = 1440 / dpi_y_;
  ReleaseDC(nullptr, screen);
  CreateForm();
  RethrowCallbackError();
  events.Form_Load();
  // The fields are filled once the event loop runs, after start-up has
  // read the settings.
  PostMessageA(hwnd_, kActivateMessage, 0, 0);
}

int OptionsDialogWin32::Run() {
  if (!hwnd_) return 1;
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd_);
  SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(kCmdOk)), TRUE);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    RethrowCallbackError();
  }
  return 0;
}

// The form's sizes are those it would have on the frame its layout was
// made for: the client area stays what the layout needs on any frame.
int OptionsDialogWin32::FormWidth() {
  const RECT r = WindowRect();
  return DesignOuter(r.right - r.left, Design().width, ActualFrame(hwnd_).width) * tpp_x_;
}

int OptionsDialogWin32::FormHeight() {
  const RECT r = WindowRect();
  return DesignOuter(r.bottom - r.top, Design().height, ActualFrame(hwnd_).height) * tpp_y_;
}

void OptionsDialogWin32::SetFormWidth(int twips) {
  const RECT r = WindowRect();
  const int width =
      FittedOuter(PixelsFromTwips(twips, tpp_x_), Design().width, ActualFrame(hwnd_).width);
  SetWindowPos(hwnd_, nullptr, 0, 0, width, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, TRUE);
  RethrowCallbackError();
}

void OptionsDialogWin32::SetFormHeight(int twips) {
  const RECT r = WindowRect();
  const int height =
      FittedOuter(PixelsFromTwips(twips, tpp_y_), Design().height, ActualFrame(hwnd_).height);
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RethrowCallbackError();
}

void OptionsDialogWin32::MoveForm(int left_twips, int top_twips) {
  SetWindowPos(hwnd_, nullptr, PixelsFromTwips(left_twips, tpp_x_),
               PixelsFromTwips(top_twips, tpp_y_), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RethrowCallbackError();
}

int OptionsDialogWin32::ScaleWidth() {
  RECT r;
  GetClientRect(hwnd_, &r);
  return r.right - r.left;
}

void OptionsDialogWin32::SetLine(int line, int x1, int x2, int y) {
  lines_[line == 1 ? 0 : 1] = {x1, y, x2, y};
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void OptionsDialogWin32::SelectText1(int start, int length) {
  SendMessageA(Control(kText1), EM_SETSEL, start, start + length);
}

// The list comes from the dialog's logic at load; the first entry is the
// box's initial text.
void OptionsDialogWin32::SetCombo1List(const std::vector<std::string>& entries) {
  HWND combo = Control(kCombo1);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& entry : entries) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  }
  if (!entries.empty()) SetWindowTextA(combo, entries.front().c_str());
}

void OptionsDialogWin32::SetCombo1(const std::string& text) {
  // A text that is one of the entries also selects it, so the arrow keys
  // move on from there.
  HWND combo = Control(kCombo1);
  const LRESULT index = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageA(combo, CB_SETCURSEL, index == CB_ERR ? static_cast<WPARAM>(-1) : index, 0);
  SetWindowTextA(combo, text.c_str());
}

void OptionsDialogWin32::ShowDrive(const std::string& selected) {
  HWND list = Control(kDrive1);
  drives_ = ChooserDrives();
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  int selected_row = -1;
  for (std::size_t row = 0; row < drives_.size(); ++row) {
    const std::string& drive = drives_[row];
    if (drive == selected) selected_row = static_cast<int>(row);
    std::string text = drive;
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // Only fixed drives are asked for their name: a removable one would spin up.
    char label[MAX_PATH + 1] = "";
    const std::string root = drive + "\\";
    if (GetDriveTypeA(root.c_str()) == DRIVE_FIXED &&
        GetVolumeInformationA(root.c_str(), label, sizeof(label), nullptr, nullptr, nullptr,
                              nullptr, 0) &&
        label[0]) {
      text += std::string(" [") + label + "]";
    }
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  SendMessageA(list, CB_SETCURSEL, selected_row, 0);
}

namespace {

// Rows of a list, refilled without flicker.
void FillList(HWND list, const std::vector<std::string>& rows, int selected) {
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& row : rows) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
  }
  if (selected >= 0) SendMessageA(list, LB_SETCURSEL, selected, 0);
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

}  // namespace

void OptionsDialogWin32::ShowFolder(const std::string& folder) {
  folders_ = FolderListFor(folder, ChooserSubFolders(folder));
  std::vector<std::string> names;
  int selected = 0;
  for (const FolderEntry& f : folders_) {
    if (f.path == folder) selected = static_cast<int>(names.size());
    names.push_back(f.name);
  }
  FillList(Control(kDir1), names, selected);
}

void OptionsDialogWin32::ShowFiles(const std::string& folder, const std::string& pattern) {
  file_folder_ = folder;
  files_ = ChooserMatchingFiles(folder, pattern);
  FillList(Control(kFile1), files_, -1);
}

void OptionsDialogWin32::MessageBox(const std::string& text, const std::string& title,
                                    MessageIcon icon) {
  MessageBoxA(hwnd_, text.c_str(), title.c_str(),
              MB_OK | (icon == MessageIcon::kError ? MB_ICONERROR : 0));
  RethrowCallbackError();
}

RECT OptionsDialogWin32::WindowRect() const {
  RECT r;
  GetWindowRect(hwnd_, &r);
  return r;
}

std::string OptionsDialogWin32::GetText(HWND control) {
  const int length = GetWindowTextLengthA(control);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  GetWindowTextA(control, text.data(), length + 1);
  text.resize(std::strlen(text.c_str()));
  return text;
}

}  // namespace dialog_win32

std::unique_ptr<OptionsDialogWindow> MakeOptionsDialogWindow() {
  return std::make_unique<dialog_win32::OptionsDialogWin32>();
}

}  // namespace brenlow
