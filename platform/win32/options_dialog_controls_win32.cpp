// The settings window's controls: made at WM_INITDIALOG from the twips
// layout, and the parts the window draws itself (the two lines, the rows of
// Dir1).
#include <algorithm>
#include <cstring>

#include "platform/win32/options_dialog_window_win32.h"
#include "platform/win32/options_icons_win32.h"

namespace brenlow::dialog_win32 {
namespace {

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

}  // namespace

void OptionsDialogWin32::CreateForm() {
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
void OptionsDialogWin32::CreateDialogFont() {
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
int OptionsDialogWin32::ListRowHeight(int at_least) {
  TEXTMETRICA metrics = {};
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = SelectObject(dc, font_);
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  text_height_ = metrics.tmHeight;
  return std::max<int>(at_least, metrics.tmHeight) + 2;
}

void OptionsDialogWin32::CreateControls() {
  CreateDialogFont();
  HINSTANCE instance = GetModuleHandleA(nullptr);
  for (const ControlLayout& c : kControls) {
    const PixelRect r = PixelsFromTwips(c.twips, tpp_x_, tpp_y_);
    int height = r.height;
    if (std::strcmp(c.window_class, "COMBOBOX") == 0) height += kDropDownPixels;
    HWND control = CreateWindowExA(
        c.ex_style, c.window_class, c.text, WS_CHILD | WS_VISIBLE | c.style, r.left, r.top, r.width,
        height, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
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
  HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
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

void OptionsDialogWin32::Paint() {
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

void OptionsDialogWin32::DrawFolder(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1) || item.itemID >= folders_.size()) return;
  const FolderEntry& f = folders_[item.itemID];
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const int x = item.rcItem.left + 2 + f.depth * 8;
  const int glyph_top = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - kGlyphPixels) / 2;
  DrawIconEx(item.hDC, x, glyph_top, f.open ? folder_ : closed_folder_, kGlyphPixels, kGlyphPixels,
             0, nullptr, DI_NORMAL);
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

}  // namespace brenlow::dialog_win32
