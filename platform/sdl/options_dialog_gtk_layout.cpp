// The GTK settings window's widgets and their layout.
#include "platform/sdl/options_dialog_gtk_layout.h"

#include <initializer_list>

namespace brenlow::dialog_gtk {

namespace {

// The chooser's size once unfolded, in pixels.
constexpr int kChooserWidth = 560;
constexpr int kChooserHeight = 280;

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

}  // namespace

DialogWidgets BuildDialogWidgets() {
  DialogWidgets w{};
  w.window = GTK_WINDOW(gtk_window_new(GTK_WINDOW_TOPLEVEL));
  gtk_window_set_title(w.window, "Impostazioni");
  gtk_window_set_resizable(w.window, FALSE);
  gtk_window_set_type_hint(w.window, GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_position(w.window, GTK_WIN_POS_CENTER);
  GdkPixbuf* icon = MakeIcon();
  gtk_window_set_icon(w.window, icon);
  g_object_unref(icon);

  // The upper part in a grid; the separator and the chooser below it,
  // the chooser shown only while the dialog is unfolded.
  GtkWidget* dialog = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
  g_object_set(dialog, "margin", 12, nullptr);
  gtk_container_add(GTK_CONTAINER(w.window), dialog);
  GtkWidget* grid = gtk_grid_new();
  gtk_grid_set_row_spacing(GTK_GRID(grid), 4);
  gtk_grid_set_column_spacing(GTK_GRID(grid), 8);
  gtk_box_pack_start(GTK_BOX(dialog), grid, FALSE, FALSE, 0);

  GtkWidget* label1 = gtk_label_new("Forme");
  gtk_widget_set_halign(label1, GTK_ALIGN_START);
  w.combo1 = gtk_combo_box_text_new_with_entry();
  w.combo1_entry = gtk_bin_get_child(GTK_BIN(w.combo1));
  gtk_entry_set_activates_default(GTK_ENTRY(w.combo1_entry), TRUE);
  gtk_widget_set_halign(w.combo1, GTK_ALIGN_START);
  GtkWidget* label2 = gtk_label_new("Immagine/Logo");
  gtk_widget_set_halign(label2, GTK_ALIGN_START);
  gtk_widget_set_margin_top(label2, 8);
  w.text1 = gtk_entry_new();
  // Only a pick in the chooser changes the saved path: typing here would
  // be thrown away, so the box does not take it.
  gtk_editable_set_editable(GTK_EDITABLE(w.text1), FALSE);
  gtk_entry_set_width_chars(GTK_ENTRY(w.text1), 44);
  gtk_entry_set_activates_default(GTK_ENTRY(w.text1), TRUE);
  gtk_widget_set_hexpand(w.text1, TRUE);
  w.cmdsfoglia = gtk_button_new_from_icon_name("document-open", GTK_ICON_SIZE_MENU);
  gtk_widget_set_tooltip_text(w.cmdsfoglia, "Sfoglia");
  w.cmdok = gtk_button_new_with_mnemonic("_Ok");
  w.cmdann = gtk_button_new_with_mnemonic("_Annulla");
  gtk_widget_set_can_default(w.cmdok, TRUE);
  gtk_widget_set_valign(w.cmdok, GTK_ALIGN_START);
  gtk_widget_set_valign(w.cmdann, GTK_ALIGN_START);
  GtkWidget* separator = gtk_separator_new(GTK_ORIENTATION_HORIZONTAL);
  w.chooser = gtk_file_chooser_widget_new(GTK_FILE_CHOOSER_ACTION_OPEN);
  gtk_widget_set_size_request(w.chooser, kChooserWidth, kChooserHeight);
  gtk_widget_set_no_show_all(w.chooser, TRUE);

  //           column 0      column 1    column 2
  // row 0     Forme                     Ok
  // row 1     Combo1                    Annulla
  // row 2     Immagine/Logo
  // row 3     Text1 (0-1)               Sfoglia
  gtk_grid_attach(GTK_GRID(grid), label1, 0, 0, 2, 1);
  gtk_grid_attach(GTK_GRID(grid), w.combo1, 0, 1, 2, 1);
  gtk_grid_attach(GTK_GRID(grid), w.cmdok, 2, 0, 1, 1);
  gtk_grid_attach(GTK_GRID(grid), w.cmdann, 2, 1, 1, 1);
  gtk_grid_attach(GTK_GRID(grid), label2, 0, 2, 2, 1);
  gtk_grid_attach(GTK_GRID(grid), w.text1, 0, 3, 2, 1);
  gtk_grid_attach(GTK_GRID(grid), w.cmdsfoglia, 2, 3, 1, 1);
  gtk_box_pack_start(GTK_BOX(dialog), separator, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(dialog), w.chooser, TRUE, TRUE, 0);

  // The dialog's tab order: Ok, Annulla, the shape box, the path, the
  // picture button, then the chooser.
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  GList* chain = nullptr;
  for (GtkWidget* widget : {w.cmdok, w.cmdann, w.combo1, w.text1, w.cmdsfoglia}) {
    chain = g_list_append(chain, widget);
  }
  gtk_container_set_focus_chain(GTK_CONTAINER(grid), chain);
  g_list_free(chain);
  G_GNUC_END_IGNORE_DEPRECATIONS

  return w;
}

}  // namespace brenlow::dialog_gtk
