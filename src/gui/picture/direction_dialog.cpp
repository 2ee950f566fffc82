#include "gui/picture/direction_dialog.h"

#include "gui/app/help_pages.h"
#include "gui/app/shared_state.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

TfrmDirection::TfrmDirection(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmDirection"));
    setWindowTitle(QStringLiteral("Direction"));
    corvane::gui::setHelpContext(*this, corvane::gui::HelpPictureDialogs);
    setModal(true);
    setFixedSize(213, 165);

    auto* group = new QGroupBox(QStringLiteral("Select Direction"), this);
    group->setGeometry(8, 4, 197, 120);
    static const char* const captions[8] = {"North", "North East", "East", "South East",
                                            "South", "South West", "West", "North West"};
    for (int i = 0; i < 8; ++i) {
        // The left column holds 1 to 4, the right column 5 to 8.
        auto* radio = new QRadioButton(QString::fromLatin1(captions[i]), group);
        radio->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        radio->setGeometry(i < 4 ? 10 : 104, 20 + 24 * (i % 4), 90, 20);
        const auto direction = std::uint8_t(i + 1);
        // A click sets the direction at once.
        connect(radio, &QRadioButton::clicked, this,
                [direction] { corvane::gui::shared().LightDirection = direction; });
        directionButtons_[i] = radio;
    }
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setGeometry(69, 132, 75, 25);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    FormCreate();
}

void TfrmDirection::FormCreate()
{
    const int direction = corvane::gui::shared().LightDirection;
    if (direction >= 1 && direction <= 8)
        directionButtons_[direction - 1]->setChecked(true);
}

void TfrmDirection::showEvent(QShowEvent* event)
{
    // Centred on the screen each time it shows, and showing the direction in use.
    FormCreate();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}
