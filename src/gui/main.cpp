// Start-up: the splash, the frame composed with the windows it opens, then the event loop.
// Files named on the command line open in their own windows.
#include "common/temporary_files.h"
#include "gui/app/application.h"
#include "gui/app/frame.h"
#include "gui/app/splash.h"
#include "gui/compose/compose_windows.h"

#include <QEventLoop>
#include <QStringList>
#include <QTimer>
#include <memory>

namespace {

void waitMilliseconds(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// CORVANE_SCREENSHOT=file.png: grab the frame once it has settled, save it and quit
// (for the manual's pictures). Returns whether a screenshot was asked for.
bool scheduleScreenshot(TCorvaneFrame& frame, bool& taken)
{
    const QString path = qEnvironmentVariable("CORVANE_SCREENSHOT");
    if (path.isEmpty())
        return false;
    QTimer::singleShot(2000, &frame, [&frame, &taken, path] {
        frame.grab().save(path);
        taken = true;
        QApplication::exit(0); // also ends a message box that is waiting for the user
    });
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // A save that Ctrl+C or a logout interrupts leaves no hidden temporary file behind.
    corvane::removeTemporaryFilesOnInterrupt();
    CorvaneApplication app(argc, argv);

    std::unique_ptr<TfrmSplash> splash;
    if (qEnvironmentVariableIsEmpty("CORVANE_NO_SPLASH")) {
        splash = std::make_unique<TfrmSplash>();
        splash->show();
        splash->repaint();
        QApplication::processEvents();
    }

    TCorvaneFrame frame;
    corvane::gui::composeWindows(frame);

    if (splash) {
        waitMilliseconds(1000);
        splash.reset();
    }

    frame.show();
    // Before the files: a file that fails to open shows a box, whose loop must fire it too.
    bool screenshotTaken = false;
    scheduleScreenshot(frame, screenshotTaken);
    const QStringList files = app.arguments().mid(1);
    for (const QString& file : files)
        frame.OpenFile(file);
    // A quit inside a message box's loop does not reach an event loop started later.
    if (screenshotTaken)
        return 0;
    return app.exec();
}
