#include "gui/app/application.h"

#include "gui/app/exception_hook.h"

#include <QIcon>

CorvaneApplication::CorvaneApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Corvane"));
    setApplicationDisplayName(QStringLiteral("Corvane"));
    setApplicationVersion(QStringLiteral("2.1.0.6"));
    setWindowIcon(QIcon(QStringLiteral(":/corvane/corvane.png")));
}

bool CorvaneApplication::notify(QObject* receiver, QEvent* event)
{
    return corvane::gui::deliverGuarded([&] { return QApplication::notify(receiver, event); });
}
