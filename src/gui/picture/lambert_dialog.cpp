#include "gui/picture/lambert_dialog.h"

#include "common/leading_number.h"
#include "gui/app/exception_hook.h"
#include "gui/app/help_pages.h"
#include "gui/app/long_run.h"
#include "gui/app/prompts.h"
#include "gui/app/window_frame.h"
#include "gui/picture/picture_dialog_frame.h"
#include "gui/picture/picture_window.h"
#include "gui/picture/preview_support.h"
#include "gui/picture/twisted_pixel.h"
#include "imaging/image_operations.h"
#include "imaging/operation_table.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <algorithm>
#include <optional>

namespace img = corvane::imaging;

namespace {

// The shading's own ranges (its entry in the operation table), told in the dialog's words:
// the user sees "Lattitude", not the operation's argument name.
std::optional<QString> shadeFieldProblem(float latitude, float longitude, float roughness)
{
    const auto& operations = img::imageOperations();
    const auto shade = std::find_if(operations.begin(), operations.end(), [](const auto& op) {
        return std::string_view(op.name) == "lambert-shade";
    });
    if (shade == operations.end())
        return std::nullopt; // the shading itself still refuses what it cannot use
    const struct {
        const char* label;
        std::size_t argument;
        float value;
    } fields[] = {
        {"Lattitude", 0, latitude}, {"Longitude", 1, longitude}, {"Roughness", 3, roughness}};
    for (const auto& field : fields) {
        const img::OperationArgument& range = shade->arguments.at(field.argument);
        if (!(field.value >= range.low && field.value <= range.high))
            return QStringLiteral("%1 must be %2 to %3, not %4")
                .arg(QString::fromLatin1(field.label), QString::number(range.low),
                     QString::number(range.high), QString::number(double(field.value)));
    }
    return std::nullopt;
}

} // namespace

TfrmLambert::TfrmLambert(corvane::gui::WindowFrame& frame, TfrmPicture& target)
    : frame_(frame), target_(&target)
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

    // FormCreate: the preview starts as the part of the picture the dialog works on.
    source_ = corvane::gui::takePreviewSource(*target.TP);
    preview_->PastePicture(source_.picture);
    corvane::gui::placePictureDialog(frame_, *this, QSize(383, 181), target);
}

void TfrmLambert::Button1Click()
{
    const float latitude = float(corvane::leadingNumber(latitudeEdit_->text().toStdString(), true));
    const float longitude =
        float(corvane::leadingNumber(longitudeEdit_->text().toStdString(), true));
    const float roughness =
        float(corvane::leadingNumber(roughnessEdit_->text().toStdString(), false));
    if (const auto problem = shadeFieldProblem(latitude, longitude, roughness)) {
        corvane::gui::prompts().message(corvane::gui::MessageKind::Warning,
                                        QStringLiteral("Warning"), *problem,
                                        corvane::gui::ButtonOk);
        return;
    }
    // A run of its own: an Esc that closed some dialog earlier does not stop it before it
    // starts. Events pass at the shading's checkpoints; only Esc may act until it is over.
    corvane::gui::LongRun run(frame_);
    const corvane::gui::RunReport report = run.run([&](corvane::RunControl& control) {
        preview_->Process([&](const img::Picture& p) {
            return img::lambertShade(p, latitude, longitude, 3, roughness, control);
        });
        return true;
    });
    if (report.outcome == corvane::gui::RunOutcome::Completed)
        frame_.ShowReady();
}

void TfrmLambert::Button2Click()
{
    corvane::gui::undoAllPreviews(*preview_, source_.picture);
}

void TfrmLambert::Button3Click()
{
    corvane::gui::closePictureDialog(*this);
}

void TfrmLambert::Button4Click()
{
    corvane::gui::applyPreview(target_, *preview_, source_);
}

void TfrmLambert::keyPressEvent(QKeyEvent* event)
{
    if (!corvane::gui::pressDialogKey(*event, nullptr, cancelButton_))
        QWidget::keyPressEvent(event);
}
