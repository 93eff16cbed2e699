// "Impostazioni": a modeless dialog built from an empty in-memory template,
// its controls created at load from the twips layout of the form.
#include "platform/win32/options_dialog_win32.h"

#include <windows.h>
// windows.h first
#include <commctrl.h>
// The view's own MessageBox, not the user32 macro.
#undef MessageBox

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "platform/win32/options_files_win32.h"
#include "platform/win32/options_icons_win32.h"
#include "platform/win32/options_layout_win32.h"
#include "platform/win32/win32_callbacks.h"
#include "platform/win32/window_frame_win32.h"

namespace brenlow {

namespace {

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

struct ControlLayout {
  int id;
  const char* window_class;
  const char* text;
  DWORD style;
  DWORD ex_style;
  TwipsRect twips;
};

// In tab order.
const ControlLayout kControls[] = {
    {kCmdOk, "BUTTON", "&Ok", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, kCmdOkTwips},
    {kCmdAnn, "BUTTON", "&Annulla", BS_PUSHBUTTON | WS_TABSTOP, 0, kCmdAnnTwips},
    {kCombo1, "COMBOBOX", "", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0,
     kCombo1Twips},
    {kLabel1, "STATIC", "Forme", SS_LEFT, 0, kLabel1Twips},
    {kLabel2, "STATIC", "Immagine/Logo", SS_LEFT, 0, kLabel2Twips},
    {kText1, "EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, kText1Twips},
    {kDrive1, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, kDrive1Twips},
    {kDir1, "LISTBOX", "",
     LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL |
         WS_TABSTOP,
     WS_EX_CLIENTEDGE, kDir1Twips},
    {kFile1, "LISTBOX", "", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
     WS_EX_CLIENTEDGE, kFile1Twips},
    {kCmdsfoglia, "BUTTON", "", BS_PUSHBUTTON | WS_TABSTOP, 0, kCmdsfogliaTwips},
};

// The folder glyph drawn at the left of each row of Dir1.
constexpr int kGlyphPixels = 16;

// The drop-down parts of the combo boxes reach this far below their field.
constexpr int kDropDownPixels = 160;

class OptionsDialogWin32 : public OptionsDialogWindow {
 public:
  OptionsDialogWin32() : disk_(MakeWin32ChooserFileSystem()) {}

  ~OptionsDialogWin32() override {
    for (HICON icon : {grid_icon_, folder_, folder_grey_, closed_folder_}) {
      if (icon) DestroyIcon(icon);
    }
    if (images_) ImageList_Destroy(images_);
    if (font_) DeleteObject(font_);
  }

  void Load(OptionsDialogEvents& events) override {
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

  int Run() override {
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

  int TwipsPerPixelX() override { return tpp_x_; }
  int TwipsPerPixelY() override { return tpp_y_; }
  int ScreenWidth() override { return GetSystemMetrics(SM_CXSCREEN) * tpp_x_; }
  int ScreenHeight() override { return GetSystemMetrics(SM_CYSCREEN) * tpp_y_; }
  // The form's sizes are those it would have on the frame its layout was
  // made for: the client area stays what the layout needs on any frame.
  int FormWidth() override {
    const RECT r = WindowRect();
    return DesignOuter(r.right - r.left, Design().width, ActualFrame(hwnd_).width) * tpp_x_;
  }
  int FormHeight() override {
    const RECT r = WindowRect();
    return DesignOuter(r.bottom - r.top, Design().height, ActualFrame(hwnd_).height) * tpp_y_;
  }

  void SetFormWidth(int twips) override {
    const RECT r = WindowRect();
    const int width =
        FittedOuter(PixelsFromTwips(twips, tpp_x_), Design().width, ActualFrame(hwnd_).width);
    SetWindowPos(hwnd_, nullptr, 0, 0, width, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd_, nullptr, TRUE);
    RethrowCallbackError();
  }
  void SetFormHeight(int twips) override {
    const RECT r = WindowRect();
    const int height =
        FittedOuter(PixelsFromTwips(twips, tpp_y_), Design().height, ActualFrame(hwnd_).height);
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RethrowCallbackError();
  }
  void MoveForm(int left_twips, int top_twips) override {
    SetWindowPos(hwnd_, nullptr, PixelsFromTwips(left_twips, tpp_x_),
                 PixelsFromTwips(top_twips, tpp_y_), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RethrowCallbackError();
  }
  int ScaleWidth() override {
    RECT r;
    GetClientRect(hwnd_, &r);
    return r.right - r.left;
  }
  PixelRect Text1Rect() override { return PixelsFromTwips(kText1Twips, tpp_x_, tpp_y_); }
  void SetLine(int line, int x1, int x2, int y) override {
    lines_[line == 1 ? 0 : 1] = {x1, y, x2, y};
    InvalidateRect(hwnd_, nullptr, TRUE);
  }

  std::string Text1() override { return GetText(Control(kText1)); }
  void SetText1(const std::string& text) override { SetWindowTextA(Control(kText1), text.c_str()); }
  void SelectText1(int start, int length) override {
    SendMessageA(Control(kText1), EM_SETSEL, start, start + length);
  }
  std::string Combo1() override { return GetText(Control(kCombo1)); }
  // The list comes from the dialog's logic at load; the first entry is the
  // box's initial text.
  void SetCombo1List(const std::vector<std::string>& entries) override {
    HWND combo = Control(kCombo1);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : entries) {
      SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    if (!entries.empty()) SetWindowTextA(combo, entries.front().c_str());
  }
  void SetCombo1(const std::string& text) override {
    // A text that is one of the entries also selects it, so the arrow keys
    // move on from there.
    HWND combo = Control(kCombo1);
    const LRESULT index = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(combo, CB_SETCURSEL, index == CB_ERR ? static_cast<WPARAM>(-1) : index, 0);
    SetWindowTextA(combo, text.c_str());
  }

  void ShowDrives(const std::vector<std::string>& drives, int selected) override {
    HWND list = Control(kDrive1);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& drive : drives) {
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
    SendMessageA(list, CB_SETCURSEL, selected, 0);
  }

  void ShowFolders(const std::vector<FolderEntry>& folders, int selected) override {
    HWND list = Control(kDir1);
    folders_ = folders;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const FolderEntry& f : folders) {
      SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.name.c_str()));
    }
    SendMessageA(list, LB_SETCURSEL, selected, 0);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
  }

  void ShowFiles(const std::vector<std::string>& files) override {
    HWND list = Control(kFile1);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& f : files) {
      SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.c_str()));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
  }

  void MessageBox(const std::string& text, const std::string& title, MessageIcon icon) override {
    MessageBoxA(hwnd_, text.c_str(), title.c_str(),
                MB_OK | (icon == MessageIcon::kError ? MB_ICONERROR : 0));
    RethrowCallbackError();
  }

  ChooserFileSystem& FileSystem() override { return *disk_; }

 private:
  HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
  FrameExtra Design() const { return DesignFrame(1440 / tpp_x_, dpi_y_); }
  RECT WindowRect() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return r;
  }
  static std::string GetText(HWND control) {
    const int length = GetWindowTextLengthA(control);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(control, text.data(), length + 1);
    text.resize(std::strlen(text.c_str()));
    return text;
  }

  void CreateForm() {
    // An empty dialog template: the controls are added at WM_INITDIALOG.
    struct {
      DLGTEMPLATE header;
      WORD menu, window_class;
      wchar_t title[13];
    } tmpl = {};
    tmpl.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK;
    std::memcpy(tmpl.title, L"Impostazioni", sizeof(tmpl.title));
    hwnd_ =
        CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &tmpl.header, nullptr,
                                   &OptionsDialogWin32::DialogProc, reinterpret_cast<LPARAM>(this));
  }

  // The font the twips layout was made for, at the screen's resolution (the
  // system's message font, Segoe UI 9 points on Windows 7 and later, is
  // taller and clips the path box and the folder rows).
  void CreateDialogFont() {
    font_ = CreateFontA(-FontPixels(kDialogFontPoints, dpi_y_), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                        FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                        DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, kDialogFontFace);
    if (!font_) {
      NONCLIENTMETRICSA metrics = {};
      metrics.cbSize = sizeof(metrics);
      SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
      font_ = CreateFontIndirectA(&metrics.lfMessageFont);
    }
  }

  // A list row holds a line of text of the dialog's font (and in Dir1 the
  // folder glyph, when it is taller) and two pixels to spare: a smoothed
  // descender reaches a pixel below the font's own descent.
  int ListRowHeight(int at_least) {
    TEXTMETRICA metrics = {};
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, font_);
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    text_height_ = metrics.tmHeight;
    return std::max<int>(at_least, metrics.tmHeight) + 2;
  }

  void CreateControls() {
    CreateDialogFont();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    for (const ControlLayout& c : kControls) {
      const PixelRect r = PixelsFromTwips(c.twips, tpp_x_, tpp_y_);
      int height = r.height;
      if (std::strcmp(c.window_class, "COMBOBOX") == 0) height += kDropDownPixels;
      HWND control =
          CreateWindowExA(c.ex_style, c.window_class, c.text, WS_CHILD | WS_VISIBLE | c.style,
                          r.left, r.top, r.width, height, hwnd_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
      SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    SendMessageA(Control(kDir1), LB_SETITEMHEIGHT, 0, ListRowHeight(kGlyphPixels));
    SendMessageA(Control(kFile1), LB_SETITEMHEIGHT, 0, ListRowHeight(0));

    // The combo's edit field: characters pass through the key filter.
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    if (GetComboBoxInfo(Control(kCombo1), &info) && info.hwndItem) {
      SetWindowSubclass(info.hwndItem, &OptionsDialogWin32::Combo1EditProc, 1,
                        reinterpret_cast<DWORD_PTR>(this));
    }
    SetWindowSubclass(Control(kText1), &OptionsDialogWin32::Text1Proc, 1,
                      reinterpret_cast<DWORD_PTR>(this));

    grid_icon_ = MakeGridIcon(32);
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(grid_icon_));
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(grid_icon_));

    // The picture button: the glyph in every state but disabled, which shows
    // the greyed copy.
    folder_ = MakeFolderGlyph(false);
    folder_grey_ = MakeFolderGlyph(true);
    closed_folder_ = MakeClosedFolderGlyph();
    HWND browse = Control(kCmdsfoglia);
    images_ = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 6, 0);
    for (int state = 1; state <= 6; ++state) {
      ImageList_AddIcon(images_, state == kDisabledState ? folder_grey_ : folder_);
    }
    BUTTON_IMAGELIST button_images = {images_, {0, 0, 0, 0}, BUTTON_IMAGELIST_ALIGN_CENTER};
    if (!SendMessageA(browse, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&button_images))) {
      SetWindowLongPtrA(browse, GWL_STYLE, GetWindowLongPtrA(browse, GWL_STYLE) | BS_ICON);
      SendMessageA(browse, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(folder_));
    }
    HWND tip =
        CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance, nullptr);
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(browse);
    tool.lpszText = const_cast<char*>("Sfoglia");
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }

  void Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    const int colours[2] = {COLOR_WINDOWTEXT, COLOR_WINDOW};
    for (int i = 0; i < 2; ++i) {
      HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(colours[i]));
      HGDIOBJ old = SelectObject(dc, pen);
      MoveToEx(dc, lines_[i].left, lines_[i].top, nullptr);
      LineTo(dc, lines_[i].right + 1, lines_[i].bottom);
      SelectObject(dc, old);
      DeleteObject(pen);
    }
    EndPaint(hwnd_, &ps);
  }

  void DrawFolder(const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= folders_.size()) return;
    const FolderEntry& f = folders_[item.itemID];
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const int x = item.rcItem.left + 2 + f.depth * 8;
    const int glyph_top =
        item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - kGlyphPixels) / 2;
    DrawIconEx(item.hDC, x, glyph_top, f.open ? folder_ : closed_folder_, kGlyphPixels,
               kGlyphPixels, 0, nullptr, DI_NORMAL);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT text = item.rcItem;
    text.left = x + 19;
    // The line sits in the middle of the row less the spare pixel at its
    // foot, which the descenders may take.
    const int rows = item.rcItem.bottom - item.rcItem.top;
    text.top += std::max(0, (rows - 1 - text_height_) / 2);
    DrawTextA(item.hDC, f.name.c_str(), -1, &text,
              DT_SINGLELINE | DT_TOP | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
  }

  void DriveChosen() {
    HWND drive = Control(kDrive1);
    // While the list is open the selection only follows the pointer.
    if (SendMessageA(drive, CB_GETDROPPEDSTATE, 0, 0)) return;
    events_->Drive1_Pick(static_cast<int>(SendMessageA(drive, CB_GETCURSEL, 0, 0)));
  }

  INT_PTR Command(int id, int code) {
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

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam,
                                     LPARAM lparam) noexcept {
    return Guarded<INT_PTR>(FALSE, [&] { return HandleDialog(hwnd, message, wparam, lparam); });
  }

  static INT_PTR HandleDialog(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
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

  static LRESULT CALLBACK Combo1EditProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                         UINT_PTR, DWORD_PTR data) noexcept {
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

  static LRESULT CALLBACK Text1Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                    DWORD_PTR data) noexcept {
    return Guarded<LRESULT>(0, [&] {
      const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
      if (message == WM_LBUTTONUP) {
        reinterpret_cast<OptionsDialogWin32*>(data)->events_->Text1_Click();
      }
      return result;
    });
  }

  std::unique_ptr<ChooserFileSystem> disk_;
  OptionsDialogEvents* events_ = nullptr;
  HWND hwnd_ = nullptr;
  int tpp_x_ = 15;
  int tpp_y_ = 15;
  int dpi_y_ = 96;
  int text_height_ = 13;  // of the dialog's font, in pixels
  RECT lines_[2] = {};
  std::vector<FolderEntry> folders_;
  HFONT font_ = nullptr;
  HICON grid_icon_ = nullptr;
  HICON folder_ = nullptr;
  HICON folder_grey_ = nullptr;
  HICON closed_folder_ = nullptr;
  HIMAGELIST images_ = nullptr;
};

}  // namespace

std::unique_ptr<OptionsDialogWindow> MakeOptionsDialogWindow() {
  return std::make_unique<OptionsDialogWin32>();
}

}  // namespace brenlow
