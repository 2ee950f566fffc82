#include "gui/picture/lambert_dialog.h"

#include "common/error.h"
#include "common/leading_number.h"
#include "gui/app/exception_hook.h"
#include "gui/app/frame.h"
#include "gui/app/gui_run_control.h"
#include "gui/app/help_pages.h"
#include "gui/app/hourglass.h"
#include "gui/app/prompts.h"
#include "gui/app/shared_state.h"
#include "gui/picture/picture_dialog_frame.h"
#include "gui/picture/picture_window.h"
#include "gui/picture/preview_support.h"
#include "gui/picture/twisted_pixel.h"
#include "gui/relief/run_input_guard.h"
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

TfrmLambert::TfrmLambert(TCorvaneFrame& frame, TfrmPicture& target)
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
    Edit1 = addEdit(QStringLiteral("Lattitude"),
                    QStringLiteral("Angle of Light Source Y Direction"), QStringLiteral("45"), 12);
    Edit2 = addEdit(QStringLiteral("Longitude"),
                    QStringLiteral("Angle of Light Source X Direction"), QStringLiteral("45"), 42);
    Edit3 = addEdit(QStringLiteral("Roughness"), QStringLiteral("Amount of Texture"),
                    QStringLiteral(".1"), 72);

    TP = new TTwistedPixel(this);
    TP->setObjectName(QStringLiteral("TP"));
    TP->setGeometry(215, 10, 160, 160);
    TP->SetFitToSize(true);

    auto addButton = [this](const QString& caption, const QString& hint, int x, int y) {
        auto* button = new QPushButton(caption, this);
        button->setToolTip(hint);
        button->setGeometry(x, y, 96, 25);
        return button;
    };
    Button1 = addButton(QStringLiteral("Preview"), QStringLiteral("Preview Settings"), 8, 112);
    Button2 = addButton(QStringLiteral("Reset"), QStringLiteral("Undo All Changes"), 108, 112);
    Button3 = addButton(QStringLiteral("Cancel"), QString(), 8, 145);
    Button4 = addButton(QStringLiteral("Apply"), QStringLiteral("Copy Preview Image to Work Image"),
                        108, 145);
    connect(Button1, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TfrmLambert::Button1Click));
    connect(Button2, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TfrmLambert::Button2Click));
    connect(Button3, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TfrmLambert::Button3Click));
    connect(Button4, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TfrmLambert::Button4Click));

    // FormCreate: the preview starts as the part of the picture the dialog works on.
    source_ = corvane::gui::takePreviewSource(*target.TP);
    TP->PastePicture(source_.picture);
    corvane::gui::placePictureDialog(frame_, *this, QSize(383, 181), target);
}

void TfrmLambert::Button1Click()
{
    const float latitude = float(corvane::leadingNumber(Edit1->text().toStdString(), true));
    const float longitude = float(corvane::leadingNumber(Edit2->text().toStdString(), true));
    const float roughness = float(corvane::leadingNumber(Edit3->text().toStdString(), false));
    if (const auto problem = shadeFieldProblem(latitude, longitude, roughness)) {
        corvane::gui::prompts().message(corvane::gui::MessageKind::Warning,
                                        QStringLiteral("Warning"), *problem,
                                        corvane::gui::ButtonOk);
        return;
    }
    // An Esc that closed some dialog earlier must not stop this job before it starts.
    corvane::gui::shared().EscapePressed = false;
    bool cancelled = false;
    {
        corvane::gui::Hourglass busy;
        // Events pass at the shading's checkpoints; only Esc may act until it is over.
        corvane::gui::RunInputGuard guard(nullptr);
        corvane::gui::GuiRunControl control(frame_.StatusBar1());
        try {
            TP->Process([&](const img::Picture& p) {
                return img::lambertShade(p, latitude, longitude, 3, roughness, control);
            });
        } catch (const corvane::Cancelled&) {
            cancelled = true;
        }
    }
    if (cancelled)
        frame_.StatusBar1().setText(0, QStringLiteral("Process Cancelled..."));
    else
        frame_.ShowReady();
}

void TfrmLambert::Button2Click()
{
    corvane::gui::undoAllPreviews(*TP, source_.picture);
}

void TfrmLambert::Button3Click()
{
    if (QMdiSubWindow* window = qobject_cast<QMdiSubWindow*>(parentWidget()))
        window->close();
}

void TfrmLambert::Button4Click()
{
    corvane::gui::applyPreview(target_, *TP, source_);
}

void TfrmLambert::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        Button3->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
