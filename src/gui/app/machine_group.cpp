#include "gui/app/machine_group.h"

#include "common/error.h"
#include "relief/edit_number.h"
#include "relief/parameter_checks.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSignalBlocker>
#include <QStringList>
#include <algorithm>
#include <limits>

namespace corvane::gui {

namespace {

using machine::Machine;

// The remembered values: names rather than positions, so that a setting survives a change
// in the order of the lists, and the fields as typed.
const QString kMachineKey = QStringLiteral("Machine/Machine");
const QString kUnitsKey = QStringLiteral("Machine/Units");
const QString kSpindleKey = QStringLiteral("Machine/SpindleSpeed");
const QString kPlungeKey = QStringLiteral("Machine/PlungeFeedrate");

// NaN for a text that is not a number, so the core's check names the field. An empty text
// reads as 0.
double numberOf(const QLineEdit& edit)
{
    const std::optional<double> value = relief::readEditNumber(edit.text().toStdString());
    return value ? *value : std::numeric_limits<double>::quiet_NaN();
}

QString filterEntry(Machine machine)
{
    const machine::Controller& controller = machine::controllerOf(machine);
    QStringList patterns;
    for (const std::string& extension : controller.extensions)
        patterns << QStringLiteral("*.") + QString::fromStdString(extension);
    return QString::fromStdString(controller.filterName) + QLatin1Char('|') +
           patterns.join(QLatin1Char(';'));
}

} // namespace

MachineGroup::MachineGroup(QWidget* parent, Shape shape)
    : QGroupBox(QStringLiteral("Machine"), parent)
{
    setObjectName(QStringLiteral("machineGroup"));
    machineCombo_ = new QComboBox(this);
    machineCombo_->setObjectName(QStringLiteral("machineCombo"));
    for (const std::string& name : machine::machineNames())
        machineCombo_->addItem(QString::fromStdString(name));
    machineCombo_->setToolTip(
        QStringLiteral("The controller the program is written for; As Written adds nothing"));
    unitsCombo_ = new QComboBox(this);
    unitsCombo_->setObjectName(QStringLiteral("unitsCombo"));
    for (const std::string& name : machine::unitsNames())
        unitsCombo_->addItem(QString::fromStdString(name));
    unitsCombo_->setPlaceholderText(QStringLiteral("choose"));
    unitsCombo_->setToolTip(QStringLiteral("What the program's numbers mean (G20 or G21)"));
    spindleEdit_ = new QLineEdit(this);
    spindleEdit_->setObjectName(QStringLiteral("spindleSpeedEdit"));
    spindleEdit_->setToolTip(QStringLiteral("Revolutions per minute (M3 S)"));
    plungeEdit_ = new QLineEdit(this);
    plungeEdit_->setObjectName(QStringLiteral("plungeFeedrateEdit"));
    plungeEdit_->setToolTip(
        QStringLiteral("Feedrate of the moves that go down; empty: the Feedrate"));
    // The lists as wide as their longest item; the edits as wide as the lists.
    const int width = std::max(machineCombo_->sizeHint().width(), shape == Shape::Wide ? 84 : 72);
    for (QWidget* field :
         std::initializer_list<QWidget*>{machineCombo_, unitsCombo_, spindleEdit_, plungeEdit_})
        field->setFixedWidth(width);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 4, 8, 6);
    grid->setVerticalSpacing(4);
    int place = 0;
    const auto addRow = [this, grid, shape, &place](const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        const int row = shape == Shape::Wide ? place / 2 : place;
        const int column = shape == Shape::Wide ? 2 * (place % 2) : 0;
        grid->addWidget(label, row, column);
        grid->addWidget(field, row, column + 1);
        ++place;
        return label;
    };
    addRow(QStringLiteral("Machine"), machineCombo_);
    unitsLabel_ = addRow(QStringLiteral("Units"), unitsCombo_);
    spindleLabel_ = addRow(QStringLiteral("Spindle Speed"), spindleEdit_);
    plungeLabel_ = addRow(QStringLiteral("Plunge Feedrate"), plungeEdit_);

    load();
    connect(machineCombo_, &QComboBox::currentIndexChanged, this, [this] {
        showEnabling();
        save();
    });
    connect(unitsCombo_, &QComboBox::currentIndexChanged, this, [this] { save(); });
    connect(spindleEdit_, &QLineEdit::textChanged, this, [this] { save(); });
    connect(plungeEdit_, &QLineEdit::textChanged, this, [this] { save(); });
}

machine::MachineSettings MachineGroup::read(double feedRate) const
{
    machine::MachineSettings settings;
    settings.machine = Machine(std::max(machineCombo_->currentIndex(), 0));
    if (settings.machine == Machine::AsWritten)
        return settings;
    const std::string& name = machine::machineName(settings.machine);
    if (unitsCombo_->currentIndex() < 0)
        throw Error("Units must be chosen for " + name + ": inch or mm");
    settings.units = machine::Units(unitsCombo_->currentIndex());
    settings.spindleSpeed = numberOf(*spindleEdit_);
    if (!plungeEdit_->text().trimmed().isEmpty()) {
        // A typed 0 is refused rather than read as "the Feedrate": that is the empty field.
        settings.plungeFeedrate = numberOf(*plungeEdit_);
        relief::checkSize(settings.plungeFeedrate, "Plunge Feedrate");
    }
    machine::checkMachineSettings(settings, feedRate);
    return settings;
}

void MachineGroup::load()
{
    const auto settings = programSettings();
    const auto chosen =
        machine::machineFromName(settings->value(kMachineKey).toString().toStdString());
    const auto units = machine::unitsFromName(settings->value(kUnitsKey).toString().toStdString());
    loading_ = true;
    {
        const QSignalBlocker quiet(machineCombo_);
        machineCombo_->setCurrentIndex(int(chosen.value_or(Machine::AsWritten)));
    }
    unitsCombo_->setCurrentIndex(units ? int(*units) : -1);
    spindleEdit_->setText(settings->value(kSpindleKey).toString());
    plungeEdit_->setText(settings->value(kPlungeKey).toString());
    loading_ = false;
    showEnabling();
}

void MachineGroup::save() const
{
    if (loading_)
        return;
    const auto settings = programSettings();
    settings->setValue(kMachineKey, machineCombo_->currentText());
    if (unitsCombo_->currentIndex() >= 0)
        settings->setValue(kUnitsKey, unitsCombo_->currentText());
    settings->setValue(kSpindleKey, spindleEdit_->text());
    settings->setValue(kPlungeKey, plungeEdit_->text());
}

void MachineGroup::showEnabling()
{
    const bool profile = machineCombo_->currentIndex() > 0;
    for (QWidget* control : std::initializer_list<QWidget*>{
             unitsCombo_, spindleEdit_, plungeEdit_, unitsLabel_, spindleLabel_, plungeLabel_})
        control->setEnabled(profile);
}

void MachineGroup::showEvent(QShowEvent* event)
{
    load();
    QGroupBox::showEvent(event);
}

ProgramSaveKinds programSaveKinds(Machine machine)
{
    if (machine == Machine::AsWritten)
        return {filterEntry(Machine::AsWritten),
                QString::fromStdString(machine::controllerOf(Machine::AsWritten).extensions[0])};
    QStringList entries{filterEntry(machine)};
    for (Machine other : {Machine::AsWritten, Machine::Grbl, Machine::LinuxCnc, Machine::Mach3})
        if (other != machine)
            entries << filterEntry(other);
    return {entries.join(QLatin1Char('|')),
            QString::fromStdString(machine::controllerOf(machine).extensions[0])};
}

std::unique_ptr<QSettings> programSettings()
{
    return std::make_unique<QSettings>(QSettings::UserScope, QStringLiteral("Corvane"),
                                       QCoreApplication::applicationName());
}

} // namespace corvane::gui
