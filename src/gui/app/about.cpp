#include "gui/app/about.h"

#include "gui/app/brand_picture.h"

#include <Magick++.h>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QLabel* boldLabel(const QString& text, int pixelSize, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    if (pixelSize > 0)
        font.setPixelSize(pixelSize);
    label->setFont(font);
    return label;
}

QString creditLine()
{
    return QStringLiteral("Built with Qt %1 and ImageMagick (Magick++ %2).")
        .arg(QString::fromLatin1(qVersion()), QStringLiteral(MagickLibVersionText));
}

} // namespace

TfrmAbout::TfrmAbout(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Corvane"));

    auto* picture = new QLabel(this);
    picture->setPixmap(corvane::gui::reliefEmblem(QSize(120, 120)));

    auto* text = new QVBoxLayout;
    text->addWidget(boldLabel(QStringLiteral("Corvane"), 42, this));
    text->addWidget(boldLabel(QStringLiteral("Version " CORVANE_VERSION), 0, this));
    auto* credit = new QLabel(creditLine(), this);
    credit->setObjectName(QStringLiteral("lblCredit"));
    credit->setWordWrap(true);
    text->addWidget(credit);
    text->addStretch();

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addLayout(text);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(ok, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(200, 100));
}
