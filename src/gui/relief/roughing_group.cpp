#include "gui/relief/roughing_group.h"

#include "common/error.h"
#include "relief/edit_number.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <string>

namespace corvane::gui {

namespace {

// Two columns of label and field under the check box's row, in pixels.
constexpr int kColumnLeft[2] = {10, 200};
constexpr int kLabelWidth = 88;
constexpr int kFieldOffset = 92;
constexpr int kFieldWidth = 84;
constexpr int kFirstRowTop = 22;
constexpr int kRowPitch = 28;
constexpr int kFieldHeight = 22;

// Six significant digits: the defaults as a person would type them ("0.1", not
// "0.10000000000000001"). Only shown; reading takes the default's own value.
QString shown(double value)
{
    return QString::number(value, 'g', 6);
}

double readNumber(const QLineEdit* edit, const std::string& field)
{
    const std::string text = edit->text().toStdString();
    const std::optional<double> value = relief::readEditNumber(text);
    if (!value)
        throw Error(field + ": \"" + text + "\" is not a number");
    return *value;
}

} // namespace

RoughingGroup::RoughingGroup(QWidget* parent) : QGroupBox(QStringLiteral("Roughing"), parent)
{
    setObjectName(QStringLiteral("roughingGroup"));
    roughFirst_ = new QCheckBox(QStringLiteral("Rough First"), this);
    roughFirst_->setObjectName(QStringLiteral("roughFirstCheck"));
    roughFirst_->setGeometry(kColumnLeft[0], kFirstRowTop, kLabelWidth + kFieldOffset,
                             kFieldHeight);
    roughFirst_->setToolTip(QStringLiteral("Also writes a roughing program that takes the bulk "
                                           "away first; the finishing program then makes one "
                                           "depth pass"));

    auto* toolLabel = new QLabel(QStringLiteral("Tool"), this);
    toolLabel->setGeometry(kColumnLeft[1], kFirstRowTop + 3, kLabelWidth, kFieldHeight - 4);
    tool_ = new QComboBox(this);
    tool_->setObjectName(QStringLiteral("roughToolCombo"));
    tool_->setGeometry(kColumnLeft[1] + kFieldOffset, kFirstRowTop, kFieldWidth, kFieldHeight);
    for (const std::string& name : relief::toolShapeNames())
        tool_->addItem(QString::fromStdString(name));
    toolLabel->setBuddy(tool_);
    labels_[tool_] = toolLabel;

    const relief::RoughingParameters defaults = relief::defaultRoughing({});
    tool_->setCurrentIndex(int(defaults.tool) - 1); // the list in ToolShape order, from 1
    diameter_ = addField(QStringLiteral("Diameter"), 0, 1);
    angle_ = addField(QStringLiteral("Angle"), 1, 1);
    stock_ = addField(QStringLiteral("Stock to Leave"), 0, 2);
    stepOver_ = addField(QStringLiteral("Step Over"), 1, 2);
    stepDown_ = addField(QStringLiteral("Step Down"), 0, 3);
    feedrate_ = addField(QStringLiteral("Feedrate"), 1, 3);
    diameter_->setObjectName(QStringLiteral("roughDiameterEdit"));
    angle_->setObjectName(QStringLiteral("roughAngleEdit"));
    stock_->setObjectName(QStringLiteral("stockEdit"));
    stepOver_->setObjectName(QStringLiteral("roughStepOverEdit"));
    stepDown_->setObjectName(QStringLiteral("roughStepDownEdit"));
    feedrate_->setObjectName(QStringLiteral("roughFeedrateEdit"));
    angle_->setToolTip(QStringLiteral("The V bit's included angle, whole degrees"));
    stock_->setToolTip(QStringLiteral("The layer left above the relief for the finishing pass"));
    stepOver_->setToolTip(QStringLiteral("Distance between rows; 40 % of the Diameter unless "
                                         "typed"));
    stepDown_->setToolTip(QStringLiteral("Distance between levels; the Depth / Pass unless "
                                         "typed"));
    feedrate_->setToolTip(QStringLiteral("The roughing program's feed rate; the Feedrate "
                                         "unless typed"));
    diameter_->setText(shown(defaults.toolDiameter));
    angle_->setText(QString::number(defaults.includedAngle));
    stock_->setText(shown(defaults.stockToLeave));
    stepOver_->setText(shown(defaults.stepOver));

    connect(roughFirst_, &QCheckBox::toggled, this, &RoughingGroup::showEnabling);
    connect(tool_, &QComboBox::currentIndexChanged, this, &RoughingGroup::showEnabling);
    connect(diameter_, &QLineEdit::textEdited, this, &RoughingGroup::diameterTyped);
    connect(stepOver_, &QLineEdit::textEdited, this, [this] { stepOverTyped_ = true; });
    connect(stepDown_, &QLineEdit::textEdited, this, [this] { stepDownTyped_ = true; });
    connect(feedrate_, &QLineEdit::textEdited, this, [this] { feedrateTyped_ = true; });
    showEnabling();
}

QLineEdit* RoughingGroup::addField(const QString& caption, int column, int row)
{
    const int top = kFirstRowTop + row * kRowPitch;
    auto* label = new QLabel(caption, this);
    label->setGeometry(kColumnLeft[column], top + 3, kLabelWidth, kFieldHeight - 4);
    auto* field = new QLineEdit(this);
    field->setGeometry(kColumnLeft[column] + kFieldOffset, top, kFieldWidth, kFieldHeight);
    label->setBuddy(field);
    labels_[field] = label;
    return field;
}

QLabel* RoughingGroup::labelFor(const QWidget* field) const
{
    const auto found = labels_.find(field);
    return found == labels_.end() ? nullptr : found->second;
}

bool RoughingGroup::roughFirst() const
{
    return roughFirst_->isChecked();
}

void RoughingGroup::showEnabling()
{
    const bool on = roughFirst();
    const bool vBit =
        relief::toolShapeFromText(tool_->currentText().toStdString()) == relief::ToolShape::VBit;
    for (const auto& [field, label] : labels_) {
        const bool enabled = on && (field != angle_ || vBit);
        const_cast<QWidget*>(field)->setEnabled(enabled);
        label->setEnabled(enabled);
    }
}

void RoughingGroup::diameterTyped()
{
    if (stepOverTyped_)
        return;
    if (const std::optional<double> d = relief::readEditNumber(diameter_->text().toStdString()))
        stepOver_->setText(shown(relief::defaultStepOver(*d)));
}

void RoughingGroup::followFinishing(const QString& depthPerPass, const QString& feedrate)
{
    if (!stepDownTyped_)
        stepDown_->setText(depthPerPass);
    if (!feedrateTyped_)
        feedrate_->setText(feedrate);
}

relief::RoughingParameters RoughingGroup::read(const relief::ReliefParameters& finishing) const
{
    relief::RoughingParameters r = relief::defaultRoughing(finishing);
    r.tool = relief::toolShapeFromText(tool_->currentText().toStdString());
    r.toolDiameter = readNumber(diameter_, "Roughing Diameter");
    if (r.tool == relief::ToolShape::VBit) {
        const std::string text = angle_->text().toStdString();
        const std::optional<int> degrees = relief::readEditInteger(text);
        if (!degrees)
            throw Error("Roughing Included Angle: \"" + text +
                        "\" is not a whole number of degrees");
        r.includedAngle = *degrees;
    }
    r.stockToLeave = readNumber(stock_, "Stock to Leave");
    r.stepOver = stepOverTyped_ ? readNumber(stepOver_, "Step Over")
                                : relief::defaultStepOver(r.toolDiameter);
    if (stepDownTyped_)
        r.stepDown = readNumber(stepDown_, "Step Down");
    if (feedrateTyped_)
        r.feedRate = readNumber(feedrate_, "Roughing Feedrate");
    relief::checkRoughingParameters(r, finishing);
    return r;
}

} // namespace corvane::gui
