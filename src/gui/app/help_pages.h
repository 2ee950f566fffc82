// The manual (docs/manual, installed under share/doc/corvane/manual) stands in for the help
// file: Contents opens its index, F1 the page of the focused window's help context. Pages
// open through a replaceable function so that tests can see which page would be shown
// without starting a browser.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace corvane::gui {

// Help contexts: 10 the frame and the picture windows, 30 the mesh views, 40 the picture
// dialogs.
enum HelpContext : int {
    HelpContents = 0,
    HelpFrame = 10,
    HelpMeshView = 30,
    HelpPictureDialogs = 40
};

// The folder the manual is read from: the source tree's while developing, else the
// installed copy.
QString manualFolder();

// The page for a help context, as a file URL.
QUrl helpPageUrl(int helpContext);

// Opens a URL in the user's browser (or in whatever the test installed).
void openUrl(const QUrl& url);
using UrlOpener = std::function<void(const QUrl&)>;
// Installs another opener; an empty function goes back to the desktop's.
void setUrlOpener(UrlOpener opener);

// Marks a window with its help context; F1 looks for the nearest marked ancestor of the
// focused widget.
void setHelpContext(QWidget& window, int helpContext);
int helpContextOf(const QWidget* widget);

} // namespace corvane::gui
