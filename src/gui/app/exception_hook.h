// What happens to an error that escapes an event handler: the handler is abandoned, the
// user is told in one message box what failed, the status bar says so (never "Ready..."),
// and the active picture's imaging control recovers its state.
#pragma once

#include <QString>
#include <functional>

namespace corvane::gui {

void AppException(const QString& what);

// Runs one event delivery; an error escaping it goes to AppException and the delivery
// counts as not handled.
bool deliverGuarded(const std::function<bool()>& deliver);

} // namespace corvane::gui
