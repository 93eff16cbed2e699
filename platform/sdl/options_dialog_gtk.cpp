// The settings dialog "Impostazioni" on the Linux desktop, in GTK 3: the
// shape box, the picture path, Ok and Annulla, and below them the desktop's
// own file chooser, unfolded by the picture button. frmOptions drives it
// through the same calls and events as on Windows: the chooser starts in
// the folder and with the pattern frmOptions names, browses by itself and
// names the picked file by its path.
//
// Built as a module (options_dialog_module.h), so only "/C" loads GTK.
#include <gtk/gtk.h>
#include <unistd.h>

#include <cctype>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/sdl/options_dialog_gtk_layout.h"
#include "platform/sdl/options_dialog_module.h"

namespace brenlow {

namespace {

// The dialog's own unit: sizes handed over in twips at 15 per pixel, as
// on most Windows screens.
constexpr int kTwipsPerPixel = 15;

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

class OptionsDialogGtk : public OptionsDialogWindow {
 public:
  OptionsDialogGtk() : w_(dialog_gtk::BuildDialogWidgets()) {
    g_signal_connect(w_.window, "delete-event", G_CALLBACK(OnClose), this);
    g_signal_connect_after(w_.window, "key-press-event", G_CALLBACK(OnWindowKey), this);
    g_signal_connect(w_.cmdok, "clicked", G_CALLBACK(OnOk), this);
    g_signal_connect(w_.cmdann, "clicked", G_CALLBACK(OnAnnulla), this);
    g_signal_connect(w_.cmdsfoglia, "clicked", G_CALLBACK(OnSfoglia), this);
    g_signal_connect(w_.combo1_entry, "key-press-event", G_CALLBACK(OnCombo1Key), this);
    g_signal_connect(w_.combo1_entry, "paste-clipboard", G_CALLBACK(OnCombo1Paste), this);
    g_signal_connect(w_.combo1_entry, "button-press-event", G_CALLBACK(OnCombo1Button), this);
    g_signal_connect(w_.text1, "button-release-event", G_CALLBACK(OnText1Click), this);
    g_signal_connect(w_.chooser, "selection-changed", G_CALLBACK(OnFileSelected), this);
    g_signal_connect(w_.chooser, "file-activated", G_CALLBACK(OnFileActivated), this);
  }

  void Load(OptionsDialogEvents& events) override {
    events_ = &events;
    events.Form_Load();
  }

  int Run() override {
    events_->Form_Activate();
    gtk_widget_show_all(GTK_WIDGET(w_.window));
    gtk_widget_grab_default(w_.cmdok);
    gtk_widget_grab_focus(w_.cmdok);
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
      gtk_widget_show(w_.chooser);
    } else {
      gtk_widget_hide(w_.chooser);
    }
  }
  // GTK centres the window itself when it is shown.
  void MoveForm(int, int) override {}
  int ScaleWidth() override { return width_ / kTwipsPerPixel; }
  PixelRect Text1Rect() override {
    GtkAllocation a;
    gtk_widget_get_allocation(w_.text1, &a);
    return {a.x, a.y, a.width, a.height};
  }
  // The separator is a GtkSeparator, drawn by the theme.
  void SetLine(int, int, int, int) override {}

  std::string Text1() override { return gtk_entry_get_text(GTK_ENTRY(w_.text1)); }
  void SetText1(const std::string& text) override {
    gtk_entry_set_text(GTK_ENTRY(w_.text1), text.c_str());
  }
  void SelectText1(int start, int length) override {
    // After GTK's own handling of the click that asked for it.
    selection_ = {start, start + length};
    g_idle_add(ApplySelection, this);
  }
  std::string Combo1() override { return gtk_entry_get_text(GTK_ENTRY(w_.combo1_entry)); }
  void SetCombo1(const std::string& text) override {
    gtk_entry_set_text(GTK_ENTRY(w_.combo1_entry), text.c_str());
  }
  void SetCombo1List(const std::vector<std::string>& entries) override {
    gtk_combo_box_text_remove_all(GTK_COMBO_BOX_TEXT(w_.combo1));
    for (const std::string& entry : entries) {
      gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(w_.combo1), entry.c_str());
    }
  }

  // One tree from "/": no drive list, and no drive has a folder.
  void ShowDrive(const std::string&) override {}
  std::variant<std::string, DriveError> DriveFolder(const std::string& drive) override {
    return DriveError{false, drive + ": nessuna unità con questo nome"};
  }
  // The chooser is Dir1 and File1 in one: it goes where File1 is sent, shows
  // the files of the pattern there, and browses from there by itself.
  void ShowFolder(const std::string&) override {}
  void ShowFiles(const std::string& folder, const std::string& pattern) override {
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, pattern.c_str());
    gtk_file_filter_add_pattern(filter, CaseFreeGlob(pattern).c_str());
    gtk_file_chooser_set_filter(GTK_FILE_CHOOSER(w_.chooser), filter);
    gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(w_.chooser), folder.c_str());
  }
  std::string CurrentFolder() override {
    std::vector<char> folder(4096);
    return getcwd(folder.data(), folder.size()) ? folder.data() : "/";
  }

  void MessageBox(const std::string& text, const std::string& title, MessageIcon icon) override {
    GtkWidget* box =
        gtk_message_dialog_new(w_.window, GTK_DIALOG_MODAL,
                               icon == MessageIcon::kError ? GTK_MESSAGE_ERROR : GTK_MESSAGE_OTHER,
                               GTK_BUTTONS_OK, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), title.c_str());
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
  }

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
    gtk_editable_select_region(GTK_EDITABLE(self->w_.text1), self->selection_.first,
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
    if (!path.empty()) Self(data)->events_->File1_Click(path);
  }
  static void OnFileActivated(GtkFileChooser* chooser, gpointer data) {
    const std::string path = PickedFile(chooser);
    if (!path.empty()) Self(data)->events_->File1_DblClick(path);
  }

  OptionsDialogEvents* events_ = nullptr;
  dialog_gtk::DialogWidgets w_;
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
