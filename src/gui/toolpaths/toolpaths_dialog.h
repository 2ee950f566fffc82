// TfrmToolPaths: the dialog that builds region toolpaths over a mesh view. It is created
// once at start-up and kept for the whole run; its controls arrive with the toolpath work.
#pragma once

#include <QDialog>

class TfrmToolPaths : public QDialog {
public:
    explicit TfrmToolPaths(QWidget* owner);
};
