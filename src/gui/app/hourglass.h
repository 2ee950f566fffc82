// The busy cursor for the length of a scope; restored however the scope is left.
#pragma once

#include <QApplication>

namespace corvane::gui {

class Hourglass {
public:
    Hourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QApplication::restoreOverrideCursor(); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

} // namespace corvane::gui
