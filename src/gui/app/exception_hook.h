// What happens to an error that escapes an event handler: the handler is abandoned, the
// user is told in one message box what failed, the status bar says so (never "Ready..."),
// and the active picture's imaging control recovers its state.
#pragma once

#include <QString>

namespace corvane::gui {

void AppException(const QString& what);

} // namespace corvane::gui
