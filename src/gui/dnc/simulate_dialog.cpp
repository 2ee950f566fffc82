#include "gui/dnc/simulate_dialog.h"

#include "common/error.h"
#include "gui/app/file_dialogs.h"
#include "gui/app/help_pages.h"
#include "gui/app/prompts.h"
#include "relief/tool_mask.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using corvane::simulation::SimulateField;

TfrmSimulate::TfrmSimulate(QWidget* parent, const corvane::simulation::SimulateDialogTexts& texts)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSimulate"));
    setWindowTitle(QStringLiteral("Simulate"));
    corvane::gui::setHelpPage(*this, QStringLiteral("preview.html"));

    auto* tool = new QGroupBox(QStringLiteral("Tool"), this);
    auto* toolForm = new QFormLayout(tool);
    toolTypeCombo_ = new QComboBox(tool);
    toolTypeCombo_->setObjectName(QStringLiteral("toolTypeCombo"));
    for (const std::string& name : corvane::relief::toolShapeNames())
        toolTypeCombo_->addItem(QString::fromStdString(name));
    toolTypeCombo_->setCurrentText(QString::fromStdString(texts.tool));
    toolForm->addRow(QStringLiteral("Tool Type"), toolTypeCombo_);
    for (SimulateField f : {SimulateField::Diameter, SimulateField::IncludedAngle,
                            SimulateField::CellSize, SimulateField::RapidRate})
        toolForm->addRow(QString::fromUtf8(corvane::simulation::simulateFieldLabel(f)),
                         addEdit(f, texts[f]));

    auto* stock = new QGroupBox(QStringLiteral("Stock"), this);
    stockGroup_ = stock;
    auto* stockForm = new QFormLayout(stock);
    for (SimulateField f :
         {SimulateField::StockMinX, SimulateField::StockMaxX, SimulateField::StockMinY,
          SimulateField::StockMaxY, SimulateField::StockTop})
        stockForm->addRow(QString::fromUtf8(corvane::simulation::simulateFieldLabel(f)),
                          addEdit(f, texts[f]));

    // The relief to compare with: without a picture the preview has no deviation.
    auto* target = new QGroupBox(QStringLiteral("Compare with"), this);
    auto* targetForm = new QFormLayout(target);
    pictureEdit_ = new QLineEdit(QString::fromStdString(texts.picture), target);
    pictureEdit_->setObjectName(QStringLiteral("pictureEdit"));
    pictureEdit_->setPlaceholderText(QStringLiteral("no picture"));
    auto* browse = new QPushButton(QStringLiteral("Browse..."), target);
    auto* pictureRow = new QHBoxLayout;
    pictureRow->addWidget(pictureEdit_, 1);
    pictureRow->addWidget(browse);
    targetForm->addRow(QStringLiteral("Picture"), pictureRow);
    for (SimulateField f :
         {SimulateField::TargetSizeX, SimulateField::TargetSizeY, SimulateField::TargetDepth})
        targetForm->addRow(QString::fromUtf8(corvane::simulation::simulateFieldLabel(f)),
                           addEdit(f, texts[f]));
    connect(browse, &QPushButton::clicked, this, [this] { browsePicture(); });
    connect(pictureEdit_, &QLineEdit::textChanged, this, [this] { showEnabling(); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TfrmSimulate::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfrmSimulate::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tool);
    layout->addWidget(stock);
    layout->addWidget(target);
    layout->addWidget(buttons);

    connect(toolTypeCombo_, &QComboBox::currentTextChanged, this, [this] { showEnabling(); });
    showEnabling();
}

QLineEdit* TfrmSimulate::addEdit(SimulateField field, const std::string& text)
{
    auto* edit = new QLineEdit(QString::fromStdString(text), this);
    edit->setObjectName(QString::fromUtf8(corvane::simulation::simulateFieldLabel(field)));
    edits_[field] = edit;
    return edit;
}

void TfrmSimulate::browsePicture()
{
    corvane::gui::FileDialogRequest request;
    request.title = QStringLiteral("Picture to compare with");
    request.filter = corvane::gui::imageFileFilter();
    request.fileName = pictureEdit_->text();
    if (const auto choice = corvane::gui::prompts().openFile(request))
        pictureEdit_->setText(choice->path);
}

QLineEdit* TfrmSimulate::Edit(SimulateField field) const
{
    return edits_.at(field);
}

void TfrmSimulate::showEnabling()
{
    // The angle matters to a V bit only.
    Edit(SimulateField::IncludedAngle)
        ->setEnabled(toolTypeCombo_->currentText() ==
                     QString::fromStdString(corvane::relief::toolShapeNames()[2]));
    // A picture sets the area itself; its relief's size and depth matter only with one.
    const bool compared = !pictureEdit_->text().isEmpty();
    stockGroup_->setEnabled(!compared);
    for (SimulateField f :
         {SimulateField::TargetSizeX, SimulateField::TargetSizeY, SimulateField::TargetDepth})
        Edit(f)->setEnabled(compared);
}

corvane::simulation::SimulateDialogTexts TfrmSimulate::Texts() const
{
    corvane::simulation::SimulateDialogTexts texts;
    texts.tool = toolTypeCombo_->currentText().toStdString();
    texts.picture = pictureEdit_->text().toStdString();
    for (const auto& [field, edit] : edits_)
        texts[field] = edit->text().toStdString();
    return texts;
}

void TfrmSimulate::accept()
{
    try {
        settings_ = corvane::simulation::readSimulateDialog(Texts());
        target_ = corvane::simulation::readTargetRequest(Texts());
    } catch (const corvane::Error& error) {
        corvane::gui::prompts().message(
            corvane::gui::MessageKind::Warning, QStringLiteral("Warning"),
            QString::fromStdString(error.what()), corvane::gui::ButtonOk);
        return;
    }
    QDialog::accept();
}
