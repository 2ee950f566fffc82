// The surface dialog's form: its controls and their places, the defaults from the source
// picture, and the change handlers that keep the widgets and the model in step.
#include "gui/relief/surface_dialog.h"

#include "gui/app/exception_hook.h"
#include "gui/app/help_pages.h"
#include "gui/app/hourglass.h"
#include "gui/app/long_run.h"
#include "gui/app/machine_group.h"
#include "gui/app/shared_state.h"
#include "gui/app/window_frame.h"
#include "gui/picture/picture_window.h"
#include "gui/picture/save_as_rules.h"
#include "gui/picture/twisted_pixel.h"
#include "gui/relief/roughing_group.h"
#include "relief/parameter_checks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <algorithm>

using corvane::gui::shared;
using corvane::relief::SurfaceControl;
using corvane::relief::SurfaceDialogModel;
using corvane::relief::SurfaceEdit;
using corvane::relief::SurfaceMode;
using corvane::relief::SurfaceSource;

namespace {

// Form geometry in pixels. The left column holds the eight number edits, the right one the
// buttons, the two check boxes and the "Gouge Control" group, whose bottom right corner
// sets the window's size (in G-code mode the "Roughing" group's, across both columns
// underneath).
constexpr int kLabelLeft = 8;
constexpr int kLabelWidth = 84;
constexpr int kEditLeft = 96;
constexpr int kEditWidth = 72;
constexpr int kRowTop = 10;
constexpr int kRowPitch = 28;
constexpr int kFieldHeight = 22;
constexpr int kRightLeft = 184;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 4;
constexpr int kGroupTop = 94;
constexpr int kGroupWidth = 212;
constexpr int kGroupHeight = 134;
constexpr int kGroupLabelWidth = 100;
constexpr int kGroupFieldLeft = 112;
constexpr int kGroupFieldWidth = 90;
constexpr int kProgressHeight = 16;

// "Protect Moves Between Samples" as last set: kept for the session, off at start.
bool protectMovesChoice = false;

SurfaceMode modeOfCurrentJob()
{
    return shared().CurrentJob == corvane::gui::JobGCode ? SurfaceMode::GCode
                                                         : SurfaceMode::DxfSurface;
}

// The picture window that issued the command. The dialog is not in the child list yet, so
// the picture stands one place before where TargetChildIndex will find it later.
TfrmPicture* pictureBeforeDialogIsActive(const corvane::gui::WindowFrame& frame)
{
    const QList<QMdiSubWindow*> children = frame.ChildWindows();
    const int position = shared().TargetChildIndex - 1;
    if (position < 0 || position >= int(children.size()))
        return nullptr;
    return dynamic_cast<TfrmPicture*>(children[position]->widget());
}

// What the model needs of the picture. Without a picture window (it was closed, or the
// dialog was opened some other way) the grid gives the size and the resolution is unknown.
SurfaceSource sourceFor(const TfrmPicture* picture, SurfaceMode mode)
{
    if (picture && picture->TP->HasImage())
        return {picture->TP->ImageWidth(), picture->TP->ImageHeight(), picture->TP->ImageXRes(),
                picture->TP->ImageYRes()};
    const auto& grid = shared().HeightGrid;
    const int frame = mode == SurfaceMode::DxfSurface ? 2 : 0;
    return {std::max(grid.cols - frame, 0), std::max(grid.rows - frame, 0), 0, 0};
}

} // namespace

TDXF::TDXF(corvane::gui::WindowFrame& frame)
    : frame_(frame),
      model_(modeOfCurrentJob(), sourceFor(pictureBeforeDialogIsActive(frame), modeOfCurrentJob()))
{
    if (TfrmPicture* picture = pictureBeforeDialogIsActive(frame)) {
        sourceWindow_ = picture->SubWindow();
        if (!corvane::gui::isUntitledCaption(picture->Caption()))
            sourceFolder_ = QFileInfo(picture->Caption()).absolutePath();
    }
    setObjectName(QStringLiteral("DXF"));
    corvane::gui::setHelpPage(*this, QStringLiteral("surface.html"));
    heightGridStamp_ = shared().HeightGridStamp;
    buildControls();
    corvane::gui::LongRun::Options run;
    run.window = this;
    run.bar = progressBar_;
    run.stoppedStatus.clear(); // a stopped Create or Preview says "Ready..." itself
    run_ = std::make_unique<corvane::gui::LongRun>(frame_, run);
    FormCreate();
    placeInFrame();
    sizeXEdit_->setFocus();
}

TDXF::~TDXF() = default;

bool TDXF::Busy() const
{
    return run_->running();
}

bool TDXF::StopRequested() const
{
    return run_->stopRequested();
}

QLineEdit* TDXF::addEdit(SurfaceEdit edit, int top)
{
    auto* label = new QLabel(QString::fromUtf8(SurfaceDialogModel::label(edit)), this);
    label->setGeometry(kLabelLeft, top + 3, kLabelWidth, kFieldHeight - 4);
    auto* field = new QLineEdit(this);
    field->setGeometry(kEditLeft, top, kEditWidth, kFieldHeight);
    field->setToolTip(QString::fromUtf8(SurfaceDialogModel::hint(edit)));
    label->setBuddy(field);
    labels_[field] = label;
    edits_[edit] = field;
    return field;
}

void TDXF::buildControls()
{
    // The edits in the order of the form, top to bottom; the G-code ones come last so that
    // hiding them in DXF mode leaves no hole between the others.
    sizeXEdit_ = addEdit(SurfaceEdit::SizeX, kRowTop);
    sizeYEdit_ = addEdit(SurfaceEdit::SizeY, kRowTop + kRowPitch);
    stepXEdit_ = addEdit(SurfaceEdit::StepX, kRowTop + 2 * kRowPitch);
    stepYEdit_ = addEdit(SurfaceEdit::StepY, kRowTop + 3 * kRowPitch);
    depthEdit_ = addEdit(SurfaceEdit::Depth, kRowTop + 4 * kRowPitch);
    depthPerPassEdit_ = addEdit(SurfaceEdit::DepthPerPass, kRowTop + 5 * kRowPitch);
    feedrateEdit_ = addEdit(SurfaceEdit::Feedrate, kRowTop + 6 * kRowPitch);
    rapidHeightEdit_ = addEdit(SurfaceEdit::RapidHeight, kRowTop + 7 * kRowPitch);
    sizeXEdit_->setObjectName(QStringLiteral("sizeXEdit"));
    sizeYEdit_->setObjectName(QStringLiteral("sizeYEdit"));
    stepXEdit_->setObjectName(QStringLiteral("stepXEdit"));
    stepYEdit_->setObjectName(QStringLiteral("stepYEdit"));
    depthEdit_->setObjectName(QStringLiteral("depthEdit"));
    feedrateEdit_->setObjectName(QStringLiteral("feedrateEdit"));
    depthPerPassEdit_->setObjectName(QStringLiteral("depthPerPassEdit"));
    rapidHeightEdit_->setObjectName(QStringLiteral("rapidHeightEdit"));
    if (model_.mode() == SurfaceMode::DxfSurface) {
        // In the row the hidden Depth / Pass leaves free: the base under an STL solid.
        const int top = kRowTop + 5 * kRowPitch;
        auto* label = new QLabel(QStringLiteral("Base Thickness"), this);
        // Its caption is longer than the others: the edit gives way, its right edge in line.
        const int labelWidth = std::max(kLabelWidth, label->sizeHint().width());
        label->setGeometry(kLabelLeft, top + 3, labelWidth, kFieldHeight - 4);
        const int editLeft = std::max(kEditLeft, kLabelLeft + labelWidth + 4);
        baseThicknessEdit_ = new QLineEdit(QStringLiteral("0.1"), this);
        baseThicknessEdit_->setObjectName(QStringLiteral("baseThicknessEdit"));
        baseThicknessEdit_->setGeometry(editLeft, top, kEditLeft + kEditWidth - editLeft,
                                        kFieldHeight);
        baseThicknessEdit_->setToolTip(
            QStringLiteral("Solid under the deepest point of an STL surface"));
        label->setBuddy(baseThicknessEdit_);
        labels_[baseThicknessEdit_] = label;
    }

    createButton_ = new QPushButton(QStringLiteral("Create"), this);
    createButton_->setObjectName(QStringLiteral("createButton"));
    createButton_->setGeometry(kRightLeft, kRowTop, kButtonWidth, kButtonHeight);
    createButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    cancelButton_->setGeometry(kRightLeft + kGroupWidth - kButtonWidth, kRowTop, kButtonWidth,
                               kButtonHeight);

    // G-code mode fits a Preview button between the two, all three a third of the row.
    previewButton_ = new QPushButton(QStringLiteral("Preview"), this);
    previewButton_->setObjectName(QStringLiteral("previewButton"));
    previewButton_->setToolTip(
        QStringLiteral("Shows what the program will carve, without writing it"));
    if (model_.mode() == SurfaceMode::GCode) {
        const int third = (kGroupWidth - 2 * kButtonGap) / 3;
        createButton_->setGeometry(kRightLeft, kRowTop, third, kButtonHeight);
        previewButton_->setGeometry(kRightLeft + third + kButtonGap, kRowTop, third, kButtonHeight);
        cancelButton_->setGeometry(kRightLeft + kGroupWidth - third, kRowTop, third, kButtonHeight);
    } else {
        previewButton_->hide();
    }

    keepAspectCheck_ = new QCheckBox(QStringLiteral("Keep Aspect Ratio"), this);
    keepAspectCheck_->setObjectName(QStringLiteral("keepAspectCheck"));
    keepAspectCheck_->setGeometry(kRightLeft, kGroupTop - 48, kGroupWidth, kFieldHeight);
    keepAspectCheck_->setToolTip(QStringLiteral("Keeps Width x Height Constant"));
    gougeCheck_ = new QCheckBox(QStringLiteral("Use Gouge Control"), this);
    gougeCheck_->setObjectName(QStringLiteral("chkGouge"));
    gougeCheck_->setGeometry(kRightLeft, kGroupTop - 24, kGroupWidth, kFieldHeight);

    gougeGroup_ = new QGroupBox(QStringLiteral("Gouge Control"), this);
    gougeGroup_->setObjectName(QStringLiteral("gougeGroup"));
    gougeGroup_->setGeometry(kRightLeft, kGroupTop, kGroupWidth, kGroupHeight);
    auto groupRow = [this](const QString& caption, QWidget* field, int top) {
        auto* label = new QLabel(caption, gougeGroup_);
        label->setGeometry(10, top + 3, kGroupLabelWidth, kFieldHeight - 4);
        label->setBuddy(field);
        field->setGeometry(kGroupFieldLeft, top, kGroupFieldWidth, kFieldHeight);
        labels_[field] = label;
    };
    toolTypeCombo_ = new QComboBox(gougeGroup_);
    toolTypeCombo_->setObjectName(QStringLiteral("cmbType"));
    toolTypeCombo_->setEditable(true);
    toolTypeCombo_->setInsertPolicy(QComboBox::NoInsert);
    groupRow(QStringLiteral("Tool Type"), toolTypeCombo_, 24);
    toolDiameterEdit_ = new QLineEdit(gougeGroup_);
    toolDiameterEdit_->setObjectName(QStringLiteral("txtDia"));
    groupRow(QStringLiteral("Diameter"), toolDiameterEdit_, 58);
    edits_[SurfaceEdit::Diameter] = toolDiameterEdit_;
    includedAngleSpin_ = new QSpinBox(gougeGroup_);
    includedAngleSpin_->setObjectName(QStringLiteral("txtIncluded"));
    includedAngleSpin_->setRange(corvane::relief::MinIncludedAngle,
                                 corvane::relief::MaxIncludedAngle);
    groupRow(QStringLiteral("Included Angle"), includedAngleSpin_, 92);
    edits_[SurfaceEdit::IncludedAngle] = includedAngleSpin_;
    protectMovesCheck_ =
        new QCheckBox(QStringLiteral("Protect Moves Between Samples"), gougeGroup_);
    protectMovesCheck_->setObjectName(QStringLiteral("chkProtectMoves"));
    protectMovesCheck_->setToolTip(
        QStringLiteral("Keeps every move above the relief between the samples too"));
    if (model_.mode() == SurfaceMode::GCode) {
        // The caption is longer than the group is wide in most fonts: the group (and with it
        // the dialog) grows to show it whole.
        const int width = std::max(kGroupWidth, protectMovesCheck_->sizeHint().width() + 20);
        protectMovesCheck_->setGeometry(10, 120, width - 20, kFieldHeight);
        gougeGroup_->setGeometry(kRightLeft, kGroupTop, width, kGroupHeight + 24);
    } else {
        protectMovesCheck_->hide();
    }

    buildRoughingGroup();
    if (model_.mode() == SurfaceMode::GCode) {
        // Below the Roughing group, as wide as the form.
        machineGroup_ =
            new corvane::gui::MachineGroup(this, corvane::gui::MachineGroup::Shape::Wide);
        const QRect above = roughingGroup_->geometry();
        machineGroup_->setGeometry(kLabelLeft, above.bottom() + 1 + 6,
                                   above.right() + 1 - kLabelLeft,
                                   machineGroup_->sizeHint().height());
    }

    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
}

void TDXF::FormCreate()
{
    {
        corvane::gui::Hourglass hourglass;
        // The defaults go in with the coupling off, so that filling one edit does not
        // rewrite the others.
        aspectRatio_ = 1;
        keepAspectCheck_->setChecked(false);
        if (TfrmPicture* picture = pictureBeforeDialogIsActive(frame_)) {
            if (picture->TP->HasImage()) {
                if (picture->TP->ImageXRes() != model_.xRes())
                    picture->TP->SetImageXRes(model_.xRes());
                if (picture->TP->ImageYRes() != model_.yRes())
                    picture->TP->SetImageYRes(model_.yRes());
            }
        }
        for (const auto& [edit, widget] : edits_)
            showModelText(edit);
        aspectRatio_ = model_.aspectRatio();
        keepAspectCheck_->setChecked(model_.keepAspectRatio());
        showRoughingDefaults();
    }
    gougeCheck_->setChecked(model_.useGougeControl());
    model_.setProtectMoves(protectMovesChoice);
    protectMovesCheck_->setChecked(protectMovesChoice);
    for (const std::string& item : SurfaceDialogModel::toolItems())
        toolTypeCombo_->addItem(QString::fromStdString(item));
    toolTypeCombo_->setCurrentIndex(model_.toolIndex());

    setWindowTitle(QString::fromUtf8(model_.caption()));
    for (const auto& [edit, widget] : edits_) {
        widget->setVisible(model_.isVisible(edit));
        labels_.at(widget)->setVisible(model_.isVisible(edit));
    }
    showEnabling();

    connect(sizeXEdit_, &QLineEdit::textChanged, this, &TDXF::Edit1Change);
    connect(sizeYEdit_, &QLineEdit::textChanged, this, &TDXF::Edit2Change);
    connect(stepXEdit_, &QLineEdit::textChanged, this, &TDXF::Edit3Change);
    connect(stepYEdit_, &QLineEdit::textChanged, this, &TDXF::Edit4Change);
    connect(depthEdit_, &QLineEdit::textChanged, this, &TDXF::Edit5Change);
    connect(feedrateEdit_, &QLineEdit::textChanged, this,
            [this] { editChanged(SurfaceEdit::Feedrate); });
    connect(depthPerPassEdit_, &QLineEdit::textChanged, this,
            [this] { editChanged(SurfaceEdit::DepthPerPass); });
    connect(rapidHeightEdit_, &QLineEdit::textChanged, this,
            [this] { editChanged(SurfaceEdit::RapidHeight); });
    connect(toolDiameterEdit_, &QLineEdit::textChanged, this,
            [this] { editChanged(SurfaceEdit::Diameter); });
    connect(includedAngleSpin_, &QSpinBox::textChanged, this,
            [this] { editChanged(SurfaceEdit::IncludedAngle); });
    connect(keepAspectCheck_, &QCheckBox::toggled, this,
            [this](bool checked) { model_.setKeepAspectRatio(checked); });
    connect(gougeCheck_, &QCheckBox::toggled, this, &TDXF::chkGougeClick);
    connect(protectMovesCheck_, &QCheckBox::toggled, this, [this](bool checked) {
        model_.setProtectMoves(checked);
        protectMovesChoice = checked;
    });
    connect(toolTypeCombo_, &QComboBox::editTextChanged, this, &TDXF::cmbTypeChange);
    connect(createButton_, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TDXF::Button1Click));
    connect(cancelButton_, &QPushButton::clicked, this, &TDXF::Button2Click);
    connect(previewButton_, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TDXF::PreviewClick));

    // Key preview: the dialog sees every key press before the control with the focus.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

void TDXF::placeInFrame()
{
    // A fixed single border with only the system menu: no minimise, maximise or resizing.
    auto* window =
        new QMdiSubWindow(nullptr, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                       Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window->setWidget(this);
    window->setWindowIcon(frame_.Widget().windowIcon());
    auto* systemMenu = new QMenu(window);
    systemMenu->addAction(QStringLiteral("&Close"), window, &QMdiSubWindow::close);
    window->setSystemMenu(systemMenu);
    frame_.AddChildWindow(window);
    QRect group = gougeGroup_->geometry();
    if (model_.mode() == SurfaceMode::GCode)
        group = group.united(roughingGroup_->geometry());
    if (machineGroup_)
        group = group.united(machineGroup_->geometry());
    window->setFixedSize(group.right() + 1 + 10, group.bottom() + 1 + 55);
    frame_.KeepChildInside(window);
}

QMdiSubWindow* TDXF::SubWindow() const
{
    return qobject_cast<QMdiSubWindow*>(parentWidget());
}

QLabel* TDXF::LabelFor(const QWidget* control) const
{
    const auto found = labels_.find(control);
    return found == labels_.end() ? nullptr : found->second;
}

void TDXF::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    progressBar_->setGeometry(0, height() - kProgressHeight, width(), kProgressHeight);
}

// --- the edits and the model ---

void TDXF::showModelText(SurfaceEdit edit)
{
    QWidget* widget = edits_.at(edit);
    const QString text = QString::fromStdString(model_.text(edit));
    const QSignalBlocker quiet(widget);
    if (auto* line = qobject_cast<QLineEdit*>(widget))
        line->setText(text);
    else if (auto* spin = qobject_cast<QSpinBox*>(widget))
        spin->setValue(text.toInt());
}

void TDXF::editChanged(SurfaceEdit edit)
{
    if (updating_)
        return;
    QWidget* widget = edits_.at(edit);
    QString text;
    if (auto* line = qobject_cast<QLineEdit*>(widget))
        text = line->text();
    else if (auto* spin = qobject_cast<QSpinBox*>(widget))
        text = spin->text();
    const std::vector<SurfaceEdit> rewritten = model_.setText(edit, text.toStdString());
    // The rewritten edits are refreshed without running their own handlers.
    updating_ = true;
    for (SurfaceEdit other : rewritten)
        showModelText(other);
    showRoughingDefaults();
    updating_ = false;
}

void TDXF::Edit1Change()
{
    editChanged(SurfaceEdit::SizeX);
}
void TDXF::Edit2Change()
{
    editChanged(SurfaceEdit::SizeY);
}
void TDXF::Edit3Change()
{
    editChanged(SurfaceEdit::StepX);
}
void TDXF::Edit4Change()
{
    editChanged(SurfaceEdit::StepY);
}
void TDXF::Edit5Change()
{
    editChanged(SurfaceEdit::Depth);
}

void TDXF::chkGougeClick()
{
    model_.setUseGougeControl(gougeCheck_->isChecked());
    showEnabling();
}

void TDXF::cmbTypeChange()
{
    model_.setToolText(toolTypeCombo_->currentText().toStdString());
    showEnabling();
}

void TDXF::showEnabling()
{
    const auto enable = [this](QWidget* control, bool on) {
        control->setEnabled(on);
        if (QLabel* label = LabelFor(control))
            label->setEnabled(on);
    };
    gougeGroup_->setEnabled(model_.isEnabled(SurfaceControl::GougeGroup));
    enable(toolTypeCombo_, model_.isEnabled(SurfaceControl::ToolList));
    enable(toolDiameterEdit_, model_.isEnabled(SurfaceControl::DiameterEdit));
    enable(includedAngleSpin_, model_.isEnabled(SurfaceControl::IncludedAngleEdit));
}
