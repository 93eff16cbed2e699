// The GTK settings window's widgets: built here, driven for the dialog's
// logic by options_dialog_gtk.cpp.
#pragma once

#include <gtk/gtk.h>

namespace brenlow::dialog_gtk {

struct DialogWidgets {
  GtkWindow* window;
  GtkWidget* combo1;
  GtkWidget* combo1_entry;
  GtkWidget* text1;
  GtkWidget* cmdsfoglia;
  GtkWidget* cmdok;
  GtkWidget* cmdann;
  GtkWidget* chooser;
};

// The window "Impostazioni" with its icon: the shape box, the picture path,
// Ok and Annulla in a grid, and below the separator the desktop's own file
// chooser, which stays hidden until it is shown.
DialogWidgets BuildDialogWidgets();

}  // namespace brenlow::dialog_gtk
