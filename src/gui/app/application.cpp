#include "gui/app/application.h"

#include "gui/app/exception_hook.h"

#include <QIcon>

CorvaneApplication::CorvaneApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    nameApplication();
    setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    setWindowIcon(QIcon(QStringLiteral(":/corvane/corvane.png")));
}

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("Corvane"));
    // No display name: the window system would add it to every title that does not end in
    // it, and a maximised child's "Corvane - [picture]" would read "... — Corvane".
}

bool CorvaneApplication::notify(QObject* receiver, QEvent* event)
{
    // The last resort only: commands and buttons catch their own errors (guardedCall).
    return corvane::gui::deliverGuarded([&] { return QApplication::notify(receiver, event); });
}
