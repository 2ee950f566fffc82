// The surface dialog's form: its controls and their places, the defaults from the source
// picture, and the change handlers that keep the widgets and the model in step.
#include "gui/relief/surface_dialog.h"

#include "gui/app/exception_hook.h"
#include "gui/app/frame.h"
#include "gui/app/help_pages.h"
#include "gui/app/hourglass.h"
#include "gui/app/shared_state.h"
#include "gui/picture/picture_window.h"
#include "gui/picture/save_as_rules.h"
#include "gui/picture/twisted_pixel.h"
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

using corvane::gui::shared;
using corvane::relief::SurfaceControl;
using corvane::relief::SurfaceDialogModel;
using corvane::relief::SurfaceEdit;
using corvane::relief::SurfaceMode;
using corvane::relief::SurfaceSource;

namespace {

// Form geometry in pixels. The left column holds the eight number edits, the right one the
// buttons, the two check boxes and the "Gouge Control" group, whose bottom right corner
// sets the window's size.
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
TfrmPicture* pictureBeforeDialogIsActive(const TCorvaneFrame& frame)
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

TDXF::TDXF(TCorvaneFrame& frame)
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
    FormCreate();
    placeInFrame();
    sizeXEdit->setFocus();
}

TDXF::~TDXF() = default;

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
    sizeXEdit = addEdit(SurfaceEdit::SizeX, kRowTop);
    sizeYEdit = addEdit(SurfaceEdit::SizeY, kRowTop + kRowPitch);
    stepXEdit = addEdit(SurfaceEdit::StepX, kRowTop + 2 * kRowPitch);
    stepYEdit = addEdit(SurfaceEdit::StepY, kRowTop + 3 * kRowPitch);
    depthEdit = addEdit(SurfaceEdit::Depth, kRowTop + 4 * kRowPitch);
    depthPerPassEdit = addEdit(SurfaceEdit::DepthPerPass, kRowTop + 5 * kRowPitch);
    feedrateEdit = addEdit(SurfaceEdit::Feedrate, kRowTop + 6 * kRowPitch);
    rapidHeightEdit = addEdit(SurfaceEdit::RapidHeight, kRowTop + 7 * kRowPitch);
    sizeXEdit->setObjectName(QStringLiteral("sizeXEdit"));
    sizeYEdit->setObjectName(QStringLiteral("sizeYEdit"));
    stepXEdit->setObjectName(QStringLiteral("stepXEdit"));
    stepYEdit->setObjectName(QStringLiteral("stepYEdit"));
    depthEdit->setObjectName(QStringLiteral("depthEdit"));
    feedrateEdit->setObjectName(QStringLiteral("feedrateEdit"));
    depthPerPassEdit->setObjectName(QStringLiteral("depthPerPassEdit"));
    rapidHeightEdit->setObjectName(QStringLiteral("rapidHeightEdit"));

    createButton = new QPushButton(QStringLiteral("Create"), this);
    createButton->setObjectName(QStringLiteral("createButton"));
    createButton->setGeometry(kRightLeft, kRowTop, kButtonWidth, kButtonHeight);
    createButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setGeometry(kRightLeft + kGroupWidth - kButtonWidth, kRowTop, kButtonWidth,
                              kButtonHeight);

    // G-code mode fits a Preview button between the two, all three a third of the row.
    previewButton = new QPushButton(QStringLiteral("Preview"), this);
    previewButton->setObjectName(QStringLiteral("previewButton"));
    previewButton->setToolTip(
        QStringLiteral("Shows what the program will carve, without writing it"));
    if (model_.mode() == SurfaceMode::GCode) {
        const int third = (kGroupWidth - 2 * kButtonGap) / 3;
        createButton->setGeometry(kRightLeft, kRowTop, third, kButtonHeight);
        previewButton->setGeometry(kRightLeft + third + kButtonGap, kRowTop, third, kButtonHeight);
        cancelButton->setGeometry(kRightLeft + kGroupWidth - third, kRowTop, third, kButtonHeight);
    } else {
        previewButton->hide();
    }

    keepAspectCheck = new QCheckBox(QStringLiteral("Keep Aspect Ratio"), this);
    keepAspectCheck->setObjectName(QStringLiteral("keepAspectCheck"));
    keepAspectCheck->setGeometry(kRightLeft, kGroupTop - 48, kGroupWidth, kFieldHeight);
    keepAspectCheck->setToolTip(QStringLiteral("Keeps Width x Height Constant"));
    chkGouge = new QCheckBox(QStringLiteral("Use Gouge Control"), this);
    chkGouge->setObjectName(QStringLiteral("chkGouge"));
    chkGouge->setGeometry(kRightLeft, kGroupTop - 24, kGroupWidth, kFieldHeight);

    gougeGroup = new QGroupBox(QStringLiteral("Gouge Control"), this);
    gougeGroup->setObjectName(QStringLiteral("gougeGroup"));
    gougeGroup->setGeometry(kRightLeft, kGroupTop, kGroupWidth, kGroupHeight);
    auto groupRow = [this](const QString& caption, QWidget* field, int top) {
        auto* label = new QLabel(caption, gougeGroup);
        label->setGeometry(10, top + 3, kGroupLabelWidth, kFieldHeight - 4);
        label->setBuddy(field);
        field->setGeometry(kGroupFieldLeft, top, kGroupFieldWidth, kFieldHeight);
        labels_[field] = label;
    };
    cmbType = new QComboBox(gougeGroup);
    cmbType->setObjectName(QStringLiteral("cmbType"));
    cmbType->setEditable(true);
    cmbType->setInsertPolicy(QComboBox::NoInsert);
    groupRow(QStringLiteral("Tool Type"), cmbType, 24);
    txtDia = new QLineEdit(gougeGroup);
    txtDia->setObjectName(QStringLiteral("txtDia"));
    groupRow(QStringLiteral("Diameter"), txtDia, 58);
    edits_[SurfaceEdit::Diameter] = txtDia;
    txtIncluded = new QSpinBox(gougeGroup);
    txtIncluded->setObjectName(QStringLiteral("txtIncluded"));
    txtIncluded->setRange(corvane::relief::MinIncludedAngle, corvane::relief::MaxIncludedAngle);
    groupRow(QStringLiteral("Included Angle"), txtIncluded, 92);
    edits_[SurfaceEdit::IncludedAngle] = txtIncluded;
    chkProtectMoves = new QCheckBox(QStringLiteral("Protect Moves Between Samples"), gougeGroup);
    chkProtectMoves->setObjectName(QStringLiteral("chkProtectMoves"));
    chkProtectMoves->setToolTip(
        QStringLiteral("Keeps every move above the relief between the samples too"));
    if (model_.mode() == SurfaceMode::GCode) {
        chkProtectMoves->setGeometry(10, 120, kGroupWidth - 20, kFieldHeight);
        gougeGroup->setGeometry(kRightLeft, kGroupTop, kGroupWidth, kGroupHeight + 24);
    } else {
        chkProtectMoves->hide();
    }

    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setRange(0, 100);
    progressBar->setValue(0);
    progressBar->setTextVisible(false);
}

void TDXF::FormCreate()
{
    SurfaceMode = model_.mode();
    {
        corvane::gui::Hourglass hourglass;
        // The defaults go in with the coupling off, so that filling one edit does not
        // rewrite the others.
        AspectRatio = 1;
        keepAspectCheck->setChecked(false);
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
        AspectRatio = model_.aspectRatio();
        keepAspectCheck->setChecked(model_.keepAspectRatio());
    }
    chkGouge->setChecked(model_.useGougeControl());
    model_.setProtectMoves(protectMovesChoice);
    chkProtectMoves->setChecked(protectMovesChoice);
    for (const std::string& item : SurfaceDialogModel::toolItems())
        cmbType->addItem(QString::fromStdString(item));
    cmbType->setCurrentIndex(model_.toolIndex());

    setWindowTitle(QString::fromUtf8(model_.caption()));
    for (const auto& [edit, widget] : edits_) {
        widget->setVisible(model_.isVisible(edit));
        labels_.at(widget)->setVisible(model_.isVisible(edit));
    }
    showEnabling();

    connect(sizeXEdit, &QLineEdit::textChanged, this, &TDXF::Edit1Change);
    connect(sizeYEdit, &QLineEdit::textChanged, this, &TDXF::Edit2Change);
    connect(stepXEdit, &QLineEdit::textChanged, this, &TDXF::Edit3Change);
    connect(stepYEdit, &QLineEdit::textChanged, this, &TDXF::Edit4Change);
    connect(depthEdit, &QLineEdit::textChanged, this, &TDXF::Edit5Change);
    connect(feedrateEdit, &QLineEdit::textChanged, this,
            [this] { editChanged(SurfaceEdit::Feedrate); });
    connect(depthPerPassEdit, &QLineEdit::textChanged, this,
            [this] { editChanged(SurfaceEdit::DepthPerPass); });
    connect(rapidHeightEdit, &QLineEdit::textChanged, this,
            [this] { editChanged(SurfaceEdit::RapidHeight); });
    connect(txtDia, &QLineEdit::textChanged, this, [this] { editChanged(SurfaceEdit::Diameter); });
    connect(txtIncluded, &QSpinBox::textChanged, this,
            [this] { editChanged(SurfaceEdit::IncludedAngle); });
    connect(keepAspectCheck, &QCheckBox::toggled, this,
            [this](bool checked) { model_.setKeepAspectRatio(checked); });
    connect(chkGouge, &QCheckBox::toggled, this, &TDXF::chkGougeClick);
    connect(chkProtectMoves, &QCheckBox::toggled, this, [this](bool checked) {
        model_.setProtectMoves(checked);
        protectMovesChoice = checked;
    });
    connect(cmbType, &QComboBox::editTextChanged, this, &TDXF::cmbTypeChange);
    connect(createButton, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TDXF::Button1Click));
    connect(cancelButton, &QPushButton::clicked, this, &TDXF::Button2Click);
    connect(previewButton, &QPushButton::clicked, this,
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
    window->setWindowIcon(frame_.windowIcon());
    auto* systemMenu = new QMenu(window);
    systemMenu->addAction(QStringLiteral("&Close"), window, &QMdiSubWindow::close);
    window->setSystemMenu(systemMenu);
    frame_.AddChildWindow(window);
    const QRect group = gougeGroup->geometry();
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
    progressBar->setGeometry(0, height() - kProgressHeight, width(), kProgressHeight);
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
    if (Updating)
        return;
    QWidget* widget = edits_.at(edit);
    QString text;
    if (auto* line = qobject_cast<QLineEdit*>(widget))
        text = line->text();
    else if (auto* spin = qobject_cast<QSpinBox*>(widget))
        text = spin->text();
    const std::vector<SurfaceEdit> rewritten = model_.setText(edit, text.toStdString());
    // The rewritten edits are refreshed without running their own handlers.
    Updating = true;
    for (SurfaceEdit other : rewritten)
        showModelText(other);
    Updating = false;
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
    model_.setUseGougeControl(chkGouge->isChecked());
    showEnabling();
}

void TDXF::cmbTypeChange()
{
    model_.setToolText(cmbType->currentText().toStdString());
    showEnabling();
}

void TDXF::showEnabling()
{
    const auto enable = [this](QWidget* control, bool on) {
        control->setEnabled(on);
        if (QLabel* label = LabelFor(control))
            label->setEnabled(on);
    };
    gougeGroup->setEnabled(model_.isEnabled(SurfaceControl::GougeGroup));
    enable(cmbType, model_.isEnabled(SurfaceControl::ToolList));
    enable(txtDia, model_.isEnabled(SurfaceControl::DiameterEdit));
    enable(txtIncluded, model_.isEnabled(SurfaceControl::IncludedAngleEdit));
}
