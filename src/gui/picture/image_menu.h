// The "&Image" menu of a picture window: the image processing commands. Each item carries
// its handler's name as object name (mnuSharpen, Popularity1, ...) so the window can
// wire its commands to them.
#pragma once

#include <QString>
#include <map>

class QAction;
class QMenu;
class QWidget;

namespace corvane::gui {

// Builds the menu and adds every item to items, by name.
QMenu* buildImageMenu(QWidget* owner, std::map<QString, QAction*>& items);

} // namespace corvane::gui
