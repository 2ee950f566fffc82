// What happens to an error that escapes an event handler: the handler is abandoned, the
// user is told in one message box what failed, the status bar says so (never "Ready..."),
// and the active child window recovers its state (a picture's imaging control, for one).
#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace corvane::gui {

void AppException(const QString& what);

// Runs a job whose failure the caller reports in its own way: the text of the error that
// escaped it (running out of memory in words), or nothing when it ran through.
std::optional<QString> failureOf(const std::function<void()>& job);

// Runs one event delivery; an error escaping it goes to AppException and the delivery
// counts as not handled.
bool deliverGuarded(const std::function<bool()>& deliver);

// A menu command or button handler that reports its errors itself, so that nothing is
// thrown through Qt's signal and event dispatch (which does not support it).
inline std::function<void()> guardedCall(std::function<void()> handler)
{
    return [handler = std::move(handler)] {
        deliverGuarded([&] {
            handler();
            return true;
        });
    };
}

template <class Object> std::function<void()> guardedCall(Object* object, void (Object::*handler)())
{
    return guardedCall([object, handler] { (object->*handler)(); });
}

} // namespace corvane::gui
