#include "gui/app/help_pages.h"

#include "gui/app/prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QProcess>
#include <QVariant>
#include <QWidget>
#include <memory>

namespace corvane::gui {

namespace {

const char* const kHelpContextProperty = "corvaneHelpContext";
const char* const kHelpPageProperty = "corvaneHelpPage";

UrlOpener& installedOpener()
{
    static UrlOpener opener;
    return opener;
}

QString& openerProgram()
{
    static QString program = QStringLiteral("xdg-open");
    return program;
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

void openUrl(const QUrl& url, std::function<void()> failed)
{
    if (installedOpener()) {
        installedOpener()(url);
        return;
    }
    // QDesktopServices reports only that the opener started, not that a browser did: the
    // opener's exit status tells. The process frees itself when it ends; one still running
    // when the program ends (a browser kept in the foreground) is left to run.
    auto* opener = new QProcess(QCoreApplication::instance());
    opener->setProcessChannelMode(QProcess::ForwardedChannels);
    auto reported = std::make_shared<bool>(false);
    const auto fail = [failed = std::move(failed), reported] {
        if (*reported)
            return;
        *reported = true;
        if (failed)
            failed();
    };
    QObject::connect(opener, &QProcess::errorOccurred, opener,
                     [opener, fail](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         fail();
                         opener->deleteLater();
                     });
    QObject::connect(opener, &QProcess::finished, opener,
                     [opener, fail](int exitCode, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || exitCode != 0)
                             fail();
                         opener->deleteLater();
                     });
    opener->start(openerProgram(), {url.toString(QUrl::FullyEncoded)});
}

void showManualPage(const QUrl& url)
{
    const QString where = url.toLocalFile();
    openUrl(url, [where] {
        prompts().message(MessageKind::Information, QStringLiteral("Information"),
                          QStringLiteral("No web browser could be started to show the manual.\n"
                                         "The manual is at %1")
                              .arg(where),
                          ButtonOk);
    });
}

void setUrlOpener(UrlOpener opener)
{
    installedOpener() = std::move(opener);
}

void setOpenerProgram(const QString& program)
{
    openerProgram() = program;
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
    // The sub-window's own marks are its child's.
    if (const auto* window = qobject_cast<const QMdiSubWindow*>(widget); window && window->widget())
        widget = window->widget();
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
