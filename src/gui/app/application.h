// CorvaneApplication: the QApplication of the desktop program. It catches errors that
// escape an event handler, so that a failed read or write is reported (AppException)
// instead of ending the program or passing as success.
#pragma once

#include <QApplication>

class CorvaneApplication : public QApplication {
public:
    CorvaneApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// The program's name, as settings and the window system see it.
void nameApplication();
