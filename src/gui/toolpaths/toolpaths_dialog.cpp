// The "Create Regions" form: its controls, defaults and enabling rules, and the typing
// filter of the three unsigned number fields.
#include "gui/toolpaths/toolpaths_dialog.h"

#include "gui/app/dialog_title.h"
#include "gui/app/exception_hook.h"
#include "gui/app/frame.h"
#include "gui/app/help_pages.h"
#include "gui/app/shared_state.h"
#include "gui/mesh/dxf_view.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using corvane::gui::shared;

namespace {

QLineEdit* newEdit(QWidget* parent, const char* name, const char* text)
{
    auto* edit = new QLineEdit(QString::fromLatin1(text), parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setFixedWidth(72);
    return edit;
}

QGroupBox* radioGroup(QWidget* parent, const char* name, const QString& caption,
                      const QStringList& items, QButtonGroup*& buttons)
{
    auto* group = new QGroupBox(caption, parent);
    group->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(group);
    buttons = new QButtonGroup(group);
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items[i], group);
        layout->addWidget(radio);
        buttons->addButton(radio, i);
    }
    buttons->button(0)->setChecked(true);
    return group;
}

// Digits and "." only; every other typed character is dropped, Backspace too (Delete, which
// types nothing, still deletes). Keys that move the focus or press a button, and shortcuts
// such as paste, are not typing.
bool isRefusedTyping(const QKeyEvent& key)
{
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (key.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return false;
    case Qt::Key_Backspace:
        return true;
    default:
        break;
    }
    const QString text = key.text();
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (!(c.isDigit() && c.unicode() < 128) && c != QLatin1Char('.'))
            return true;
    return false;
}

} // namespace

TfrmToolPaths::TfrmToolPaths(TCorvaneFrame& frame) : QDialog(&frame), frame_(frame)
{
    setObjectName(QStringLiteral("frmToolPaths"));
    setWindowTitle(QStringLiteral("Create Regions"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    corvane::gui::setHelpPage(*this, QStringLiteral("toolpaths.html"));
    buildControls();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmToolPaths::buildControls()
{
    widthEdit = newEdit(this, "widthEdit", "1");
    depthEdit = newEdit(this, "depthEdit", "1");
    opDepthEdit = newEdit(this, "opDepthEdit", "0");
    zStepEdit = newEdit(this, "zStepEdit", "0");
    cutDepthEdit = newEdit(this, "cutDepthEdit", "0");
    feedrateEdit = newEdit(this, "feedrateEdit", "10");
    rapidEdit = newEdit(this, "rapidEdit", ".25");
    for (QLineEdit* unsignedField : {opDepthEdit, zStepEdit, feedrateEdit})
        unsignedField->installEventFilter(this);

    auto* fields = new QGridLayout;
    const std::pair<const char*, QLineEdit*> rows[] = {
        {"Width", widthEdit},  {"Depth", depthEdit},        {"Op Depth", opDepthEdit},
        {"Z Step", zStepEdit}, {"Cut Depth", cutDepthEdit}, {"Feedrate", feedrateEdit},
        {"Rapid", rapidEdit}};
    int row = 0;
    for (const auto& [caption, edit] : rows) {
        auto* label = new QLabel(QString::fromLatin1(caption), this);
        label->setBuddy(edit);
        fields->addWidget(label, row, 0);
        fields->addWidget(edit, row, 1);
        ++row;
    }

    styleGroup = radioGroup(
        this, "styleGroup", QStringLiteral("Style"),
        {QStringLiteral("Single Depth"), QStringLiteral("Topography"), QStringLiteral("Vectorize")},
        styleButtons_);
    TopGroup =
        radioGroup(this, "TopGroup", QStringLiteral("Region Depths"),
                   {QStringLiteral("One Depth"), QStringLiteral("Multiple Depths")}, depthButtons_);
    connect(styleButtons_, &QButtonGroup::idClicked, this, &TfrmToolPaths::RadioGroup1Click);
    connect(depthButtons_, &QButtonGroup::idClicked, this, &TfrmToolPaths::TopGroupClick);

    auto* post = new QGridLayout;
    auto postRow = [this, post](int at, const char* name, const QString& caption, QLineEdit*& edit,
                                const char* editName, const char* text,
                                void (TfrmToolPaths::*handler)()) {
        auto* box = new QCheckBox(caption, this);
        box->setObjectName(QString::fromLatin1(name));
        edit = newEdit(this, editName, text);
        edit->setEnabled(false);
        connect(box, &QCheckBox::clicked, this, handler);
        post->addWidget(box, at, 0);
        post->addWidget(edit, at, 1);
        return box;
    };
    reduceCheck = postRow(0, "reduceCheck", QStringLiteral("Reduce"), reduceEdit, "reduceEdit", "2",
                          &TfrmToolPaths::CheckBox2Click);
    curveFitCheck = postRow(1, "curveFitCheck", QStringLiteral("Curve Fit"), curveFitEdit,
                            "curveFitEdit", "1", &TfrmToolPaths::CheckBox1Click);
    filterCheck = postRow(2, "filterCheck", QStringLiteral("Filter"), filterEdit, "filterEdit", "5",
                          &TfrmToolPaths::CheckBox3Click);

    auto button = [this](const char* name, const QString& caption,
                         void (TfrmToolPaths::*handler)()) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, corvane::gui::guardedCall(this, handler));
        return b;
    };
    createButton = button("createButton", QStringLiteral("Create"), &TfrmToolPaths::Button1Click);
    createButton->setDefault(true);
    undoButton = button("undoButton", QStringLiteral("Undo"), &TfrmToolPaths::Button3Click);
    btnClear = button("btnClear", QStringLiteral("Clear"), &TfrmToolPaths::btnClearClick);
    cancelButton = button("cancelButton", QStringLiteral("Cancel"), &TfrmToolPaths::Button2Click);
    undoButton->setEnabled(false);

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addStretch();
    auto* middle = new QVBoxLayout;
    middle->addWidget(styleGroup);
    middle->addWidget(TopGroup);
    middle->addLayout(post);
    middle->addStretch();
    auto* right = new QVBoxLayout;
    for (QPushButton* b : {createButton, undoButton, btnClear, cancelButton})
        right->addWidget(b);
    right->addStretch();
    auto* all = new QHBoxLayout(this);
    all->addLayout(left);
    all->addLayout(middle);
    all->addLayout(right);
}

int TfrmToolPaths::StyleIndex() const
{
    return styleButtons_->checkedId();
}

int TfrmToolPaths::RegionDepthsIndex() const
{
    return depthButtons_->checkedId();
}

void TfrmToolPaths::SetStyleIndex(int item)
{
    styleButtons_->button(item)->setChecked(true);
    RadioGroup1Click();
}

void TfrmToolPaths::SetRegionDepthsIndex(int item)
{
    depthButtons_->button(item)->setChecked(true);
    TopGroupClick();
}

corvane::toolpaths::ToolpathsFields TfrmToolPaths::Fields() const
{
    corvane::toolpaths::ToolpathsFields f;
    f.width = widthEdit->text().toStdString();
    f.depth = depthEdit->text().toStdString();
    f.opDepth = opDepthEdit->text().toStdString();
    f.zStep = zStepEdit->text().toStdString();
    f.cutDepth = cutDepthEdit->text().toStdString();
    f.feedrate = feedrateEdit->text().toStdString();
    f.rapid = rapidEdit->text().toStdString();
    f.style = StyleIndex();
    f.regionDepths = RegionDepthsIndex();
    f.reduce = reduceCheck->isChecked();
    f.curveFit = curveFitCheck->isChecked();
    f.filter = filterCheck->isChecked();
    f.reduceValue = reduceEdit->text().toStdString();
    f.curveFitValue = curveFitEdit->text().toStdString();
    f.filterValue = filterEdit->text().toStdString();
    return f;
}

TfrmDXFView* TfrmToolPaths::TargetView() const
{
    return target_;
}

// --- showing ---

void TfrmToolPaths::ShowFor(TfrmDXFView& view)
{
    // Asked again for the view it shows already, it keeps what the user typed.
    const bool fresh = isHidden() || target_ != &view;
    disconnect(targetTitle_);
    target_ = &view;
    const auto showTitle = [this] {
        if (target_)
            setWindowTitle(
                corvane::gui::dialogTitleFor(QStringLiteral("Create Regions"), *target_));
    };
    showTitle();
    targetTitle_ = connect(&view, &QWidget::windowTitleChanged, this, showTitle);
    if (fresh)
        FormShow(view);
    show();
    raise();
    placeInsideFrame();
}

void TfrmToolPaths::ViewClosing(const TfrmDXFView& view)
{
    if (target_ != &view)
        return;
    target_ = nullptr;
    hide();
}

void TfrmToolPaths::FormShow(const TfrmDXFView& view)
{
    undoButton->setEnabled(false);
    opDepthEdit->setEnabled(true);
    cutDepthEdit->setEnabled(true);
    for (QLineEdit* off : {zStepEdit, reduceEdit, curveFitEdit, filterEdit, widthEdit, depthEdit})
        off->setEnabled(false);
    styleButtons_->button(0)->setChecked(true);
    depthButtons_->button(0)->setChecked(true);
    TopGroup->setEnabled(false);
    if (view.IsVectorConversion()) {
        widthEdit->setEnabled(true);
        depthEdit->setEnabled(true);
    }
    opDepthEdit->setText(
        QString::fromStdString(corvane::toolpaths::proposedOpDepth(view.Mesh().extents)));
}

void TfrmToolPaths::placeInsideFrame()
{
    // Inside the visible part of the frame's child area, at its top right when it has to move.
    const QMdiArea& area = frame_.MdiArea();
    const QRect visible(area.viewport()->mapToGlobal(QPoint(0, 0)), area.viewport()->size());
    QRect placed = frameGeometry();
    if (visible.contains(placed))
        return;
    placed.moveTopRight(visible.topRight() + QPoint(-8, 8));
    if (placed.left() < visible.left())
        placed.moveLeft(visible.left());
    move(placed.topLeft() + (pos() - frameGeometry().topLeft()));
}

// --- enabling rules ---

void TfrmToolPaths::RadioGroup1Click()
{
    opDepthEdit->setEnabled(false);
    zStepEdit->setEnabled(false);
    cutDepthEdit->setEnabled(false);
    const bool oneDepth = RegionDepthsIndex() == 0;
    switch (StyleIndex()) {
    case 0: // Single Depth
        opDepthEdit->setEnabled(true);
        cutDepthEdit->setEnabled(true);
        TopGroup->setEnabled(false);
        break;
    case 1: // Topography
        opDepthEdit->setEnabled(true);
        zStepEdit->setEnabled(true);
        TopGroup->setEnabled(true);
        cutDepthEdit->setEnabled(oneDepth);
        break;
    default: // Vectorize
        TopGroup->setEnabled(true);
        cutDepthEdit->setEnabled(oneDepth);
        break;
    }
}

void TfrmToolPaths::TopGroupClick()
{
    cutDepthEdit->setEnabled(RegionDepthsIndex() == 0);
}

void TfrmToolPaths::CheckBox1Click()
{
    curveFitEdit->setEnabled(curveFitCheck->isChecked());
}

void TfrmToolPaths::CheckBox2Click()
{
    reduceEdit->setEnabled(reduceCheck->isChecked());
}

void TfrmToolPaths::CheckBox3Click()
{
    filterEdit->setEnabled(filterCheck->isChecked());
}

// --- keys ---

bool TfrmToolPaths::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && isRefusedTyping(*static_cast<QKeyEvent*>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TfrmToolPaths::keyPressEvent(QKeyEvent* event)
{
    // Esc stops a running Create, and the dialog stays open to show how it ended; otherwise
    // Esc dismisses the dialog as Cancel does, whatever window is active.
    if (event->key() == Qt::Key_Escape) {
        shared().EscapePressed = true;
        if (!running_)
            hide();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
