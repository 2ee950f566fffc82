// Cursor shapes for the length of a scope; the previous cursor comes back however the scope
// is left. Hourglass marks a long operation; NormalCursor shows the arrow again for a prompt
// that a long operation puts up.
#pragma once

#include <QApplication>

namespace corvane::gui {

class ScopedCursor {
public:
    explicit ScopedCursor(Qt::CursorShape shape) { QApplication::setOverrideCursor(shape); }
    ~ScopedCursor() { QApplication::restoreOverrideCursor(); }
    ScopedCursor(const ScopedCursor&) = delete;
    ScopedCursor& operator=(const ScopedCursor&) = delete;
};

class Hourglass : public ScopedCursor {
public:
    Hourglass() : ScopedCursor(Qt::WaitCursor) {}
};

class NormalCursor : public ScopedCursor {
public:
    NormalCursor() : ScopedCursor(Qt::ArrowCursor) {}
};

} // namespace corvane::gui
