// TfrmSplash: the picture shown for a moment while the program starts.
#pragma once

#include <QWidget>

class TfrmSplash : public QWidget {
public:
    TfrmSplash();
};
