// The tool-bar and menu icons (ImageList1), drawn rather than shipped so they stay sharp and
// need no licence: index 0 new, 1 open, 2 save, 3 cut, 4 copy, 5 paste, 6 undo, 7 help.
#pragma once

#include <QIcon>

namespace corvane::gui {

enum ToolIcon : int {
    IconNew = 0,
    IconOpen = 1,
    IconSave = 2,
    IconCut = 3,
    IconCopy = 4,
    IconPaste = 5,
    IconUndo = 6,
    IconHelp = 7,
};

QIcon toolIcon(ToolIcon which);

} // namespace corvane::gui
