#include "gui/app/exception_hook.h"

#include "common/error.h"
#include "gui/app/child_window.h"
#include "gui/app/frame.h"
#include "gui/app/prompts.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <exception>
#include <new>

namespace corvane::gui {

void AppException(const QString& what)
{
    // Any busy cursor of the abandoned handler would otherwise stay for good.
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    if (TCorvaneFrame* frame = CorvaneFrame()) {
        if (QMdiSubWindow* window = frame->ActiveChild())
            if (auto* child = dynamic_cast<TChildWindow*>(window->widget()))
                child->RecoverFromError();
        frame->StatusBar1().setGaugeVisible(false);
        frame->StatusBar1().setText(0, QStringLiteral("Failed: ") + what);
    }
    prompts().message(MessageKind::Error, QStringLiteral("Warning"), what, ButtonOk);
}

std::optional<QString> failureOf(const std::function<void()>& job)
{
    try {
        job();
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Not enough memory for this operation.");
    } catch (const std::exception& error) {
        return QString::fromStdString(error.what());
    }
    return std::nullopt;
}

bool deliverGuarded(const std::function<bool()>& deliver)
{
    bool handled = false;
    if (const auto failure = failureOf([&] { handled = deliver(); })) {
        AppException(*failure);
        return false;
    }
    return handled;
}

} // namespace corvane::gui
