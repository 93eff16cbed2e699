// The settings dialog "Impostazioni" on the Linux desktop, in GTK 3: the
// shape box, the picture path, Ok and Annulla, and below them the desktop's
// own file chooser, unfolded by the picture button. frmOptions drives it
// through the same events as on Windows; the chooser browses by itself and
// names the picked file by its path.
//
// Built as a module (options_dialog_module.h), so only "/C" loads GTK.
#include <gtk/gtk.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/sdl/options_dialog_module.h"

namespace brenlow {

namespace {

// The dialog's own unit: sizes handed over in twips at 15 per pixel, as
// on most Windows screens.
constexpr int kTwipsPerPixel = 15;
// The chooser's size once unfolded, in pixels.
constexpr int kChooserWidth = 560;
constexpr int kChooserHeight = 280;

// The disk as frmOptions sees it here: one tree from "/", no drives. The
// GTK chooser lists folders and files itself; frmOptions names the folder
// it starts in and the files' pattern.
class DesktopDisk : public ChooserFileSystem {
 public:
  std::vector<std::string> Drives() override { return {}; }
  std::string CurrentFolder() override {
    std::vector<char> folder(4096);
    return getcwd(folder.data(), folder.size()) ? folder.data() : "/";
  }
  std::variant<std::string, DriveError> DriveFolder(const std::string&) override {
    return CurrentFolder();
  }
  std::vector<std::string> SubFolders(const std::string&) override { return {}; }
  std::vector<std::string> MatchingFiles(const std::string&, const std::string& pattern) override {
    pattern_ = pattern;
    return {};
  }
  const std::string& pattern() const { return pattern_; }

 private:
  std::string pattern_;
};

// "*.bmp" as a glob that also takes "LOGO.BMP": Windows matches names
// without regard to case.
std::string CaseFreeGlob(const std::string& pattern) {
  std::string glob;
  for (const char c : pattern) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (std::isalpha(u)) {
      glob += '[';
      glob += static_cast<char>(std::tolower(u));
      glob += static_cast<char>(std::toupper(u));
      glob += ']';
    } else {
      glob += c;
    }
  }
  return glob;
}

// The dialog's icon: a 4 x 4 grid of small coloured squares.
GdkPixbuf* MakeIcon() {
  GdkPixbuf* icon = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 32, 32);
  gdk_pixbuf_fill(icon, 0xC0C0C0FF);
  static const guint32 kColours[] = {0xC00000FF, 0x00A000FF, 0x0000C0FF, 0xC0C000FF};
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      GdkPixbuf* square = gdk_pixbuf_new_subpixbuf(icon, 1 + column * 8, 1 + row * 8, 6, 6);
      gdk_pixbuf_fill(square, kColours[(row + column) % 4]);
      g_object_unref(square);
    }
  }
  return icon;
}

class OptionsDialogGtk : public OptionsDialogWindow {
 public:
  OptionsDialogGtk() {
    window_ = GTK_WINDOW(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    gtk_window_set_title(window_, "Impostazioni");
    gtk_window_set_resizable(window_, FALSE);
    gtk_window_set_type_hint(window_, GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_position(window_, GTK_WIN_POS_CENTER);
    GdkPixbuf* icon = MakeIcon();
    gtk_window_set_icon(window_, icon);
    g_object_unref(icon);

    // The upper part in a grid; the separator and the chooser below it,
    // the chooser shown only while the dialog is unfolded.
    GtkWidget* dialog = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
    g_object_set(dialog, "margin", 12, nullptr);
    gtk_container_add(GTK_CONTAINER(window_), dialog);
    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid), 4);
    gtk_grid_set_column_spacing(GTK_GRID(grid), 8);
    gtk_box_pack_start(GTK_BOX(dialog), grid, FALSE, FALSE, 0);

    GtkWidget* label1 = gtk_label_new("Forme");
    gtk_widget_set_halign(label1, GTK_ALIGN_START);
    combo1_ = gtk_combo_box_text_new_with_entry();
    combo1_entry_ = gtk_bin_get_child(GTK_BIN(combo1_));
    gtk_entry_set_activates_default(GTK_ENTRY(combo1_entry_), TRUE);
    gtk_widget_set_halign(combo1_, GTK_ALIGN_START);
    GtkWidget* label2 = gtk_label_new("Immagine/Logo");
    gtk_widget_set_halign(label2, GTK_ALIGN_START);
    gtk_widget_set_margin_top(label2, 8);
    text1_ = gtk_entry_new();
    // Only a pick in the chooser changes the saved path: typing here would
    // be thrown away, so the box does not take it.
    gtk_editable_set_editable(GTK_EDITABLE(text1_), FALSE);
    gtk_entry_set_width_chars(GTK_ENTRY(text1_), 44);
    gtk_entry_set_activates_default(GTK_ENTRY(text1_), TRUE);
    gtk_widget_set_hexpand(text1_, TRUE);
    cmdsfoglia_ = gtk_button_new_from_icon_name("document-open", GTK_ICON_SIZE_MENU);
    gtk_widget_set_tooltip_text(cmdsfoglia_, "Sfoglia");
    cmdok_ = gtk_button_new_with_mnemonic("_Ok");
    cmdann_ = gtk_button_new_with_mnemonic("_Annulla");
    gtk_widget_set_can_default(cmdok_, TRUE);
    gtk_widget_set_valign(cmdok_, GTK_ALIGN_START);
    gtk_widget_set_valign(cmdann_, GTK_ALIGN_START);
    GtkWidget* separator = gtk_separator_new(GTK_ORIENTATION_HORIZONTAL);
    chooser_ = gtk_file_chooser_widget_new(GTK_FILE_CHOOSER_ACTION_OPEN);
    gtk_widget_set_size_request(chooser_, kChooserWidth, kChooserHeight);
    gtk_widget_set_no_show_all(chooser_, TRUE);

    //           column 0      column 1    column 2
    // row 0     Forme                     Ok
    // row 1     Combo1                    Annulla
    // row 2     Immagine/Logo
    // row 3     Text1 (0-1)               Sfoglia
    gtk_grid_attach(GTK_GRID(grid), label1, 0, 0, 2, 1);
    gtk_grid_attach(GTK_GRID(grid), combo1_, 0, 1, 2, 1);
    gtk_grid_attach(GTK_GRID(grid), cmdok_, 2, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), cmdann_, 2, 1, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), label2, 0, 2, 2, 1);
    gtk_grid_attach(GTK_GRID(grid), text1_, 0, 3, 2, 1);
    gtk_grid_attach(GTK_GRID(grid), cmdsfoglia_, 2, 3, 1, 1);
    gtk_box_pack_start(GTK_BOX(dialog), separator, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(dialog), chooser_, TRUE, TRUE, 0);

    // The dialog's tab order: Ok, Annulla, the shape box, the path, the
    // picture button, then the chooser.
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    GList* chain = nullptr;
    for (GtkWidget* widget : {cmdok_, cmdann_, combo1_, text1_, cmdsfoglia_}) {
      chain = g_list_append(chain, widget);
    }
    gtk_container_set_focus_chain(GTK_CONTAINER(grid), chain);
    g_list_free(chain);
    G_GNUC_END_IGNORE_DEPRECATIONS

    g_signal_connect(window_, "delete-event", G_CALLBACK(OnClose), this);
    g_signal_connect_after(window_, "key-press-event", G_CALLBACK(OnWindowKey), this);
    g_signal_connect(cmdok_, "clicked", G_CALLBACK(OnOk), this);
    g_signal_connect(cmdann_, "clicked", G_CALLBACK(OnAnnulla), this);
    g_signal_connect(cmdsfoglia_, "clicked", G_CALLBACK(OnSfoglia), this);
    g_signal_connect(combo1_entry_, "key-press-event", G_CALLBACK(OnCombo1Key), this);
    g_signal_connect(combo1_entry_, "paste-clipboard", G_CALLBACK(OnCombo1Paste), this);
    g_signal_connect(combo1_entry_, "button-press-event", G_CALLBACK(OnCombo1Button), this);
    g_signal_connect(text1_, "button-release-event", G_CALLBACK(OnText1Click), this);
    g_signal_connect(chooser_, "selection-changed", G_CALLBACK(OnFileSelected), this);
    g_signal_connect(chooser_, "file-activated", G_CALLBACK(OnFileActivated), this);
  }

  void Load(OptionsDialogEvents& events) override {
    events_ = &events;
    events.Form_Load();
    if (!disk_.pattern().empty()) {
      GtkFileFilter* filter = gtk_file_filter_new();
      gtk_file_filter_set_name(filter, disk_.pattern().c_str());
      gtk_file_filter_add_pattern(filter, CaseFreeGlob(disk_.pattern()).c_str());
      gtk_file_chooser_set_filter(GTK_FILE_CHOOSER(chooser_), filter);
    }
  }

  int Run() override {
    events_->Form_Activate();
    gtk_widget_show_all(GTK_WIDGET(window_));
    gtk_widget_grab_default(cmdok_);
    gtk_widget_grab_focus(cmdok_);
    gtk_main();
    return 0;
  }

  int TwipsPerPixelX() override { return kTwipsPerPixel; }
  int TwipsPerPixelY() override { return kTwipsPerPixel; }
  int ScreenWidth() override { return ScreenSize().width * kTwipsPerPixel; }
  int ScreenHeight() override { return ScreenSize().height * kTwipsPerPixel; }
  int FormWidth() override { return width_; }
  int FormHeight() override { return height_; }
  void SetFormWidth(int twips) override { width_ = twips; }
  // The first height is the collapsed one; a greater one unfolds the
  // chooser, the collapsed one folds it again. GTK sizes the window.
  void SetFormHeight(int twips) override {
    if (collapsed_height_ < 0) collapsed_height_ = twips;
    height_ = twips;
    if (twips > collapsed_height_) {
      gtk_widget_show(chooser_);
    } else {
      gtk_widget_hide(chooser_);
    }
  }
  // GTK centres the window itself when it is shown.
  void MoveForm(int, int) override {}
  int ScaleWidth() override { return width_ / kTwipsPerPixel; }
  PixelRect Text1Rect() override {
    GtkAllocation a;
    gtk_widget_get_allocation(text1_, &a);
    return {a.x, a.y, a.width, a.height};
  }
  // The separator is a GtkSeparator, drawn by the theme.
  void SetLine(int, int, int, int) override {}

  std::string Text1() override { return gtk_entry_get_text(GTK_ENTRY(text1_)); }
  void SetText1(const std::string& text) override {
    gtk_entry_set_text(GTK_ENTRY(text1_), text.c_str());
  }
  void SelectText1(int start, int length) override {
    // After GTK's own handling of the click that asked for it.
    selection_ = {start, start + length};
    g_idle_add(ApplySelection, this);
  }
  std::string Combo1() override { return gtk_entry_get_text(GTK_ENTRY(combo1_entry_)); }
  void SetCombo1(const std::string& text) override {
    gtk_entry_set_text(GTK_ENTRY(combo1_entry_), text.c_str());
  }
  void SetCombo1List(const std::vector<std::string>& entries) override {
    gtk_combo_box_text_remove_all(GTK_COMBO_BOX_TEXT(combo1_));
    for (const std::string& entry : entries) {
      gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(combo1_), entry.c_str());
    }
  }

  void ShowDrives(const std::vector<std::string>&, int) override {}
  // The chooser starts in the folder frmOptions names and browses from there.
  void ShowFolders(const std::vector<FolderEntry>& folders, int selected) override {
    if (selected < 0 || selected >= static_cast<int>(folders.size())) return;
    gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(chooser_), folders[selected].path.c_str());
  }
  void ShowFiles(const std::vector<std::string>&) override {}

  void MessageBox(const std::string& text, const std::string& title, MessageIcon icon) override {
    GtkWidget* box =
        gtk_message_dialog_new(window_, GTK_DIALOG_MODAL,
                               icon == MessageIcon::kError ? GTK_MESSAGE_ERROR : GTK_MESSAGE_OTHER,
                               GTK_BUTTONS_OK, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), title.c_str());
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
  }

  ChooserFileSystem& FileSystem() override { return disk_; }

 private:
  struct Size {
    int width, height;
  };
  Size ScreenSize() {
    GdkMonitor* monitor = gdk_display_get_primary_monitor(gdk_display_get_default());
    if (!monitor) monitor = gdk_display_get_monitor(gdk_display_get_default(), 0);
    GdkRectangle area{0, 0, 1024, 768};
    if (monitor) gdk_monitor_get_geometry(monitor, &area);
    return {area.width, area.height};
  }

  static OptionsDialogGtk* Self(gpointer data) { return static_cast<OptionsDialogGtk*>(data); }

  // Closing the window by its frame writes nothing; it is the program's
  // last window, so the program ends.
  static gboolean OnClose(GtkWidget*, GdkEvent*, gpointer) {
    gtk_main_quit();
    return TRUE;
  }
  static gboolean OnWindowKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    if (event->keyval != GDK_KEY_Escape) return FALSE;
    Self(data)->events_->CmdAnn_Click();
    return TRUE;
  }
  static void OnOk(GtkButton*, gpointer data) { Self(data)->events_->CmdOk_Click(); }
  static void OnAnnulla(GtkButton*, gpointer data) { Self(data)->events_->CmdAnn_Click(); }
  static void OnSfoglia(GtkButton*, gpointer data) { Self(data)->events_->Cmdsfoglia_Click(); }

  // Characters typed into the shape box go through Combo1_KeyPress, which
  // may discard them; keys without a character keep their usual effect.
  // Enter, Esc and Tab belong to the dialog, not to the box.
  bool Combo1Character(int character) {
    events_->Combo1_KeyPress(character);
    return character == 0;
  }
  static gboolean OnCombo1Key(GtkWidget*, GdkEventKey* event, gpointer data) {
    switch (event->keyval) {
      case GDK_KEY_Return:
      case GDK_KEY_KP_Enter:
      case GDK_KEY_Escape:
      case GDK_KEY_Tab:
      case GDK_KEY_ISO_Left_Tab:
        return FALSE;
      default:
        break;
    }
    guint32 character = gdk_keyval_to_unicode(event->keyval);
    if (character == 0) return FALSE;
    // Ctrl with a letter types a control character (Ctrl+V is 22).
    if ((event->state & GDK_CONTROL_MASK) && character < 128 &&
        std::isalpha(static_cast<int>(character))) {
      character = static_cast<guint32>(std::toupper(static_cast<int>(character))) - '@';
    }
    return Self(data)->Combo1Character(static_cast<int>(character));
  }
  // Pasting is typing too: Shift+Insert and the context menu (Ctrl+V's 22).
  static void OnCombo1Paste(GtkEntry* entry, gpointer data) {
    if (Self(data)->Combo1Character(22)) g_signal_stop_emission_by_name(entry, "paste-clipboard");
  }
  // The middle button pastes the selection.
  static gboolean OnCombo1Button(GtkWidget*, GdkEventButton* event, gpointer data) {
    return event->button == 2 && Self(data)->Combo1Character(22);
  }

  static gboolean OnText1Click(GtkWidget*, GdkEventButton* event, gpointer data) {
    if (event->button == 1) Self(data)->events_->Text1_Click();
    return FALSE;
  }
  static gboolean ApplySelection(gpointer data) {
    OptionsDialogGtk* self = Self(data);
    gtk_editable_select_region(GTK_EDITABLE(self->text1_), self->selection_.first,
                               self->selection_.second);
    return G_SOURCE_REMOVE;
  }

  // A file of the list, not a folder the user is passing through.
  static std::string PickedFile(GtkFileChooser* chooser) {
    gchar* name = gtk_file_chooser_get_filename(chooser);
    std::string path = name ? name : "";
    g_free(name);
    if (path.empty() || !g_file_test(path.c_str(), G_FILE_TEST_IS_REGULAR)) return {};
    return path;
  }
  static void OnFileSelected(GtkFileChooser* chooser, gpointer data) {
    const std::string path = PickedFile(chooser);
    if (!path.empty()) Self(data)->events_->File1_ClickPath(path);
  }
  static void OnFileActivated(GtkFileChooser* chooser, gpointer data) {
    const std::string path = PickedFile(chooser);
    if (!path.empty()) Self(data)->events_->File1_DblClickPath(path);
  }

  OptionsDialogEvents* events_ = nullptr;
  DesktopDisk disk_;
  GtkWindow* window_ = nullptr;
  GtkWidget* combo1_ = nullptr;
  GtkWidget* combo1_entry_ = nullptr;
  GtkWidget* text1_ = nullptr;
  GtkWidget* cmdsfoglia_ = nullptr;
  GtkWidget* cmdok_ = nullptr;
  GtkWidget* cmdann_ = nullptr;
  GtkWidget* chooser_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int collapsed_height_ = -1;
  std::pair<int, int> selection_{0, 0};
};

}  // namespace

}  // namespace brenlow

extern "C" __attribute__((visibility("default"))) brenlow::OptionsDialogWindow*
brenlow_create_options_dialog() {
  if (!gtk_init_check(nullptr, nullptr)) return nullptr;
  return new brenlow::OptionsDialogGtk();
}
