#include "gui/mesh/depth_map_dialog.h"

#include "common/error.h"
#include "gui/app/exception_hook.h"
#include "gui/app/help_pages.h"
#include "gui/app/prompts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

// A number typed in a field: "." is the decimal point in every locale, blanks around it are
// allowed, anything else is refused with the field's name.
double fieldNumber(const QLineEdit& edit, const char* field)
{
    bool ok = false;
    const double value = edit.text().trimmed().toDouble(&ok);
    if (!ok)
        throw corvane::Error(std::string(field) + " must be a number, not \"" +
                             edit.text().trimmed().toStdString() + "\"");
    return value;
}

} // namespace

TfrmDepthMap::TfrmDepthMap(QWidget& parent, const corvane::Extents3D& extents, Render render)
    : QDialog(&parent), extents_(extents), render_(std::move(render))
{
    setObjectName(QStringLiteral("frmDepthMap"));
    setWindowTitle(QStringLiteral("Depth Map"));
    setAttribute(Qt::WA_DeleteOnClose);
    corvane::gui::setHelpPage(*this, QStringLiteral("mesh.html"));

    const corvane::mesh::DepthMapLayout standard = layoutFor({});
    defaultPixelText_ = QString::number(standard.pitch, 'g', 6);
    pixelChoice_ = new QRadioButton(QStringLiteral("&Pixel Size"), this);
    pixelChoice_->setChecked(true);
    pixelEdit_ = new QLineEdit(defaultPixelText_, this);
    widthChoice_ = new QRadioButton(QStringLiteral("&Width (pixels)"), this);
    widthEdit_ = new QLineEdit(QString::number(standard.width), this);
    widthEdit_->setEnabled(false);
    invertCheck_ = new QCheckBox(QStringLiteral("&Invert"), this);
    invertCheck_->setToolTip(QStringLiteral("Off: white is highest. On: white is lowest."));
    sizeLabel_ = new QLabel(this);

    auto* fields = new QFormLayout;
    fields->addRow(pixelChoice_, pixelEdit_);
    fields->addRow(widthChoice_, widthEdit_);
    fields->addRow(invertCheck_);
    fields->addRow(sizeLabel_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton_ = buttons->button(QDialogButtonBox::Ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);

    connect(pixelChoice_, &QRadioButton::toggled, this, [this](bool pixel) {
        pixelEdit_->setEnabled(pixel);
        widthEdit_->setEnabled(!pixel);
        showSize();
    });
    connect(pixelEdit_, &QLineEdit::textChanged, this, [this] { showSize(); });
    connect(widthEdit_, &QLineEdit::textChanged, this, [this] { showSize(); });
    connect(okButton_, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TfrmDepthMap::OKClick));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    showSize();
}

corvane::mesh::DepthMapLayout
TfrmDepthMap::layoutFor(const corvane::mesh::DepthMapOptions& options) const
{
    // The top view's size depends on x and y alone: one triangle over the extents has them.
    const corvane::Point3D corners[3] = {{extents_.minX, extents_.minY, 0},
                                         {extents_.maxX, extents_.minY, 0},
                                         {extents_.maxX, extents_.maxY, 0}};
    return corvane::mesh::depthMapLayout(corners, options);
}

corvane::mesh::DepthMapOptions TfrmDepthMap::Options() const
{
    corvane::mesh::DepthMapOptions options;
    options.invert = invertCheck_->isChecked();
    if (widthChoice_->isChecked()) {
        const double width = fieldNumber(*widthEdit_, "Width");
        if (width != std::floor(width) || !(std::abs(width) < 1e9))
            throw corvane::Error("Width must be a whole number of pixels, not \"" +
                                 widthEdit_->text().trimmed().toStdString() + "\"");
        options.width = int(width);
        if (options.width == 0)
            throw corvane::Error("the depth map must be at least 2 pixels wide");
    } else if (pixelEdit_->text().trimmed() != defaultPixelText_) {
        // The proposal stands for the exact default, not for its rounded text.
        options.pixelSize = fieldNumber(*pixelEdit_, "Pixel Size");
        if (options.pixelSize == 0)
            throw corvane::Error("the pixel size must be a number greater than 0");
    }
    layoutFor(options); // the depth map's own checks
    return options;
}

void TfrmDepthMap::showSize()
{
    try {
        const corvane::mesh::DepthMapLayout layout = layoutFor(Options());
        sizeLabel_->setText(
            QStringLiteral("%1 x %2 pixels, 16 bits").arg(layout.width).arg(layout.height));
        okButton_->setEnabled(true);
    } catch (const corvane::Error& error) {
        sizeLabel_->setText(QString::fromStdString(error.reason()));
        okButton_->setEnabled(false);
    }
}

void TfrmDepthMap::OKClick()
{
    corvane::mesh::DepthMapOptions options;
    try {
        options = Options();
    } catch (const corvane::Error& error) {
        corvane::gui::prompts().message(
            corvane::gui::MessageKind::Warning, QStringLiteral("Warning"),
            QString::fromStdString(error.reason()), corvane::gui::ButtonOk);
        return;
    }
    Render render = render_;
    accept(); // closes (and later frees) the dialog before the long job starts
    render(options);
}
