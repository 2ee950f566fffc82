// TfrmAbout: who made the program and what it is built on. Closing only hides it.
#pragma once

#include <QDialog>

class TfrmAbout : public QDialog {
public:
    explicit TfrmAbout(QWidget* owner);
};
