#include "gui/app/application.h"

#include "gui/app/exception_hook.h"

#include <QIcon>

CorvaneApplication::CorvaneApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Corvane"));
    setApplicationDisplayName(QStringLiteral("Corvane"));
    setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    setWindowIcon(QIcon(QStringLiteral(":/corvane/corvane.png")));
}

bool CorvaneApplication::notify(QObject* receiver, QEvent* event)
{
    // The last resort only: commands and buttons catch their own errors (guardedCall).
    return corvane::gui::deliverGuarded([&] { return QApplication::notify(receiver, event); });
}
