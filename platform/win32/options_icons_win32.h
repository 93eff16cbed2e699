// The settings dialog's pictures, drawn in code so that they need no
// resource file: the window icon and the open-folder glyph.
#pragma once

#include <windows.h>

namespace brenlow {

// 32x32, 16 colours: a grid of small squares.
HICON MakeGridIcon(int size);
// 16x16 open folder; grey is the greyed copy shown while disabled.
HICON MakeFolderGlyph(bool grey);
// 16x16 closed folder, for the folder list.
HICON MakeClosedFolderGlyph();

}  // namespace brenlow
