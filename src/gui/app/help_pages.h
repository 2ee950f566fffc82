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

// The page of the manual with that file name ("surface.html"), as a file URL.
QUrl manualPageUrl(const QString& page);

// Opens a URL in the user's browser (or in whatever the test installed) through the desktop's
// opener program. `failed` runs when the opener cannot be started or ends in an error (no
// browser, or one that refuses to start, as browsers do for root); that is known only once
// the opener has ended, so it may run after this returns.
void openUrl(const QUrl& url, std::function<void()> failed);
// Opens a page of the manual; when no browser starts, tells the user where the manual is.
void showManualPage(const QUrl& url);
using UrlOpener = std::function<void(const QUrl&)>;
// Installs another opener; an empty function goes back to the desktop's.
void setUrlOpener(UrlOpener opener);
// The desktop's opener program, given the URL as its one argument ("xdg-open"); tests put
// another in its place.
void setOpenerProgram(const QString& program);

// Marks a window with its help context or its own page of the manual; F1 opens the page of
// the nearest marked ancestor of the focused widget (the frame's page when none is). A child
// window's sub-window (its frame and title bar, which hold the focus after a click on them)
// leads to the child's page.
void setHelpContext(QWidget& window, int helpContext);
void setHelpPage(QWidget& window, const QString& page);
QUrl helpPageOf(const QWidget* widget);

} // namespace corvane::gui
