#include "gui/app/splash.h"

#include "gui/app/brand_picture.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

TfrmSplash::TfrmSplash()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(330, 180);
    auto* picture = new QLabel(this);
    picture->setPixmap(corvane::gui::brandPicture(size()));
    picture->setGeometry(rect());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}
