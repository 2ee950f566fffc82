#include "gui/app/application.h"

#include "common/error.h"
#include "gui/app/exception_hook.h"

#include <QIcon>

#include <exception>

CorvaneApplication::CorvaneApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Corvane"));
    setApplicationDisplayName(QStringLiteral("Corvane"));
    setApplicationVersion(QStringLiteral("2.1.0.6"));
    setWindowIcon(QIcon(QStringLiteral(":/corvane/corvane.png")));
}

bool CorvaneApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const corvane::Error& error) {
        corvane::gui::AppException(QString::fromStdString(error.what()));
    } catch (const std::bad_alloc&) {
        corvane::gui::AppException(QStringLiteral("Not enough memory for this operation."));
    } catch (const std::exception& error) {
        corvane::gui::AppException(QString::fromStdString(error.what()));
    }
    return false;
}
