#include "gui/app/help_pages.h"

#include "gui/app/prompts.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QVariant>
#include <QWidget>

namespace corvane::gui {

namespace {

const char* const kHelpContextProperty = "corvaneHelpContext";
const char* const kHelpPageProperty = "corvaneHelpPage";

UrlOpener& installedOpener()
{
    static UrlOpener opener;
    return opener;
}

QString pageFor(int helpContext)
{
    switch (helpContext) {
    case HelpFrame:
        return QStringLiteral("frame.html");
    case HelpMeshView:
        return QStringLiteral("mesh.html");
    case HelpPictureDialogs:
        return QStringLiteral("dialogs.html");
    default:
        return QStringLiteral("index.html");
    }
}

} // namespace

QString manualFolder()
{
    // The source tree's copy while developing; then the copy installed beside the program
    // (which follows an install prefix chosen at install time); then the configured one.
    const QString candidates[] = {
        QStringLiteral(CORVANE_MANUAL_DIR),
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/doc/corvane/manual"),
    };
    for (const QString& folder : candidates)
        if (QFileInfo::exists(folder + QStringLiteral("/index.html")))
            return QDir(folder).absolutePath();
    return QStringLiteral(CORVANE_INSTALLED_MANUAL_DIR);
}

QUrl helpPageUrl(int helpContext)
{
    return manualPageUrl(pageFor(helpContext));
}

QUrl manualPageUrl(const QString& page)
{
    return QUrl::fromLocalFile(manualFolder() + QLatin1Char('/') + page);
}

bool openUrl(const QUrl& url)
{
    if (installedOpener()) {
        installedOpener()(url);
        return true;
    }
    return QDesktopServices::openUrl(url);
}

void showManualPage(const QUrl& url)
{
    if (openUrl(url))
        return;
    prompts().message(MessageKind::Information, QStringLiteral("Information"),
                      QStringLiteral("No web browser could be started to show the manual.\n"
                                     "The manual is at %1")
                          .arg(url.toLocalFile()),
                      ButtonOk);
}

void setUrlOpener(UrlOpener opener)
{
    installedOpener() = std::move(opener);
}

void setHelpContext(QWidget& window, int helpContext)
{
    window.setProperty(kHelpContextProperty, helpContext);
}

void setHelpPage(QWidget& window, const QString& page)
{
    window.setProperty(kHelpPageProperty, page);
}

QUrl helpPageOf(const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget()) {
        const QVariant page = widget->property(kHelpPageProperty);
        if (page.isValid())
            return manualPageUrl(page.toString());
        const QVariant context = widget->property(kHelpContextProperty);
        if (context.isValid())
            return helpPageUrl(context.toInt());
    }
    return helpPageUrl(HelpFrame);
}

} // namespace corvane::gui
