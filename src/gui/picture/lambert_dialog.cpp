#include "gui/picture/lambert_dialog.h"

#include "common/leading_number.h"
#include "gui/app/exception_hook.h"
#include "gui/app/help_pages.h"
#include "gui/app/long_run.h"
#include "gui/app/window_frame.h"
#include "gui/picture/picture_dialog_frame.h"
#include "gui/picture/preview_support.h"
#include "gui/picture/twisted_pixel.h"
#include "imaging/image_operations.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>

namespace img = corvane::imaging;

TfrmLambert::TfrmLambert(corvane::gui::WindowFrame& frame, const img::Picture& picture)
    : frame_(frame)
{
    setObjectName(QStringLiteral("frmLambert"));
    setWindowTitle(QStringLiteral("3D Texture Shade"));
    corvane::gui::setHelpPage(*this, QStringLiteral("dialogs.html"));

    auto addEdit = [this](const QString& label, const QString& hint, const QString& text, int top) {
        auto* caption = new QLabel(label, this);
        caption->setGeometry(8, top, 90, 21);
        auto* edit = new QLineEdit(text, this);
        edit->setToolTip(hint);
        edit->setGeometry(100, top, 100, 21);
        return edit;
    };
    latitudeEdit_ =
        addEdit(QStringLiteral("Lattitude"), QStringLiteral("Angle of Light Source Y Direction"),
                QStringLiteral("45"), 12);
    longitudeEdit_ =
        addEdit(QStringLiteral("Longitude"), QStringLiteral("Angle of Light Source X Direction"),
                QStringLiteral("45"), 42);
    roughnessEdit_ = addEdit(QStringLiteral("Roughness"), QStringLiteral("Amount of Texture"),
                             QStringLiteral(".1"), 72);

    preview_ = new TTwistedPixel(this);
    preview_->setObjectName(QStringLiteral("TP"));
    preview_->setGeometry(215, 10, 160, 160);
    preview_->SetFitToSize(true);

    auto addButton = [this](const QString& caption, const QString& hint, int x, int y) {
        auto* button = new QPushButton(caption, this);
        button->setToolTip(hint);
        button->setGeometry(x, y, 96, 25);
        return button;
    };
    previewButton_ =
        addButton(QStringLiteral("Preview"), QStringLiteral("Preview Settings"), 8, 112);
    resetButton_ = addButton(QStringLiteral("Reset"), QStringLiteral("Undo All Changes"), 108, 112);
    cancelButton_ = addButton(QStringLiteral("Cancel"), QString(), 8, 145);
    applyButton_ = addButton(QStringLiteral("Apply"),
                             QStringLiteral("Copy Preview Image to Work Image"), 108, 145);
    connect(previewButton_, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TfrmLambert::Button1Click));
    connect(resetButton_, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TfrmLambert::Button2Click));
    connect(cancelButton_, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TfrmLambert::Button3Click));
    connect(applyButton_, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TfrmLambert::Button4Click));

    // FormCreate: the preview starts as the picture.
    original_ = picture;
    preview_->PastePicture(picture);
    corvane::gui::placePictureDialog(frame_, *this, QSize(383, 181));
}

void TfrmLambert::Button1Click()
{
    const float latitude = float(corvane::leadingNumber(latitudeEdit_->text().toStdString(), true));
    const float longitude =
        float(corvane::leadingNumber(longitudeEdit_->text().toStdString(), true));
    const float roughness =
        float(corvane::leadingNumber(roughnessEdit_->text().toStdString(), false));
    // A run of its own: an Esc pressed before (to end an earlier job) does not stop it.
    corvane::gui::LongRun::Options options;
    options.window = this;
    corvane::gui::LongRun run(frame_, options);
    run.run([&](corvane::RunControl& control) {
        preview_->Process([&](const img::Picture& p) {
            return img::lambertShade(p, latitude, longitude, 3, roughness, control);
        });
        return true;
    });
}

void TfrmLambert::Button2Click()
{
    corvane::gui::undoAllPreviews(*preview_, original_);
}

void TfrmLambert::Button3Click()
{
    corvane::gui::closePictureDialog(*this);
}

void TfrmLambert::Button4Click()
{
    corvane::gui::applyPreview(frame_, *preview_);
}

void TfrmLambert::keyPressEvent(QKeyEvent* event)
{
    if (!corvane::gui::pressDialogKey(*event, nullptr, cancelButton_))
        QWidget::keyPressEvent(event);
}
