// The title of a dialog that works on one document window, so that the user sees which one:
// "Create Regions - m.dxf". A document window's title is its file's full name (or a name
// such as "New Picture"); the dialog shows it without the folder and without the modified
// marker.
#pragma once

#include <QFileInfo>
#include <QString>
#include <QWidget>

namespace corvane::gui {

inline QString dialogTitleFor(const QString& dialog, const QWidget& document)
{
    QString name = document.windowTitle();
    name.remove(QStringLiteral("[*]"));
    return dialog + QStringLiteral(" - ") + QFileInfo(name).fileName();
}

} // namespace corvane::gui
