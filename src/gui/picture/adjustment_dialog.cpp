#include "gui/picture/adjustment_dialog.h"

#include "common/round_half_even.h"
#include "gui/app/exception_hook.h"
#include "gui/app/help_pages.h"
#include "gui/app/hourglass.h"
#include "gui/app/window_frame.h"
#include "gui/picture/picture_dialog_frame.h"
#include "gui/picture/picture_window.h"
#include "gui/picture/preview_support.h"
#include "gui/picture/twisted_pixel.h"
#include "imaging/image_operations.h"
#include "imaging/picture_model.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace img = corvane::imaging;

TfrmAdjustment1::TfrmAdjustment1(corvane::gui::WindowFrame& frame, TfrmPicture& target)
    : frame_(frame), target_(&target)
{
    setObjectName(QStringLiteral("frmAdjustment1"));
    setWindowTitle(QStringLiteral("Color, Brightness, and Contrast Adjustment"));
    corvane::gui::setHelpPage(*this, QStringLiteral("dialogs.html"));

    redSlider_ = addSlider(QStringLiteral("Red"), QStringLiteral("Adjust Red Intensity"), 8, -100,
                           redPercent_);
    greenSlider_ = addSlider(QStringLiteral("Green"), QStringLiteral("Adjust Green Intensity"), 46,
                             -100, greenPercent_);
    blueSlider_ = addSlider(QStringLiteral("Blue"), QStringLiteral("Adjust Blue Intensity"), 84,
                            -100, bluePercent_);
    brightnessSlider_ = addSlider(QStringLiteral("Brightness"), QStringLiteral("Adjust Brightness"),
                                  122, -100, brightnessPercent_);
    contrastSlider_ = addSlider(QStringLiteral("Contrast"), QStringLiteral("Increase Contrast"),
                                160, 0, contrastPercent_);
    contrastSlider_->setTickInterval(10);

    preview_ = new TTwistedPixel(this);
    preview_->setObjectName(QStringLiteral("TP"));
    preview_->setGeometry(244, 8, 121, 122);
    preview_->SetFitToSize(true);

    auto* channels = new QGroupBox(QStringLiteral("Channel"), this);
    channels->setGeometry(244, 134, 121, 62);
    auto addRadio = [channels](const QString& caption, int x, int y) {
        auto* radio = new QRadioButton(caption, channels);
        radio->setGeometry(x, y, 56, 20);
        return radio;
    };
    redButton_ = addRadio(QStringLiteral("Red"), 6, 16);
    greenButton_ = addRadio(QStringLiteral("Green"), 62, 16);
    blueButton_ = addRadio(QStringLiteral("Blue"), 6, 36);
    allButton_ = addRadio(QStringLiteral("All"), 62, 36);
    auto* group = new QButtonGroup(this);
    const std::pair<QRadioButton*, std::uint8_t> channelOf[] = {
        {redButton_, 2}, {greenButton_, 1}, {blueButton_, 0}, {allButton_, 3}};
    for (const auto& [radio, channel] : channelOf) {
        group->addButton(radio);
        const std::uint8_t value = channel;
        connect(radio, &QRadioButton::clicked, this, [this, value] { channel_ = value; });
    }

    auto addButton = [this](const QString& caption, const QString& hint, int x) {
        auto* button = new QPushButton(caption, this);
        button->setToolTip(hint);
        button->setGeometry(x, 206, 84, 25);
        return button;
    };
    previewButton_ = addButton(QStringLiteral("Preview"), QStringLiteral("Preview Settings"), 8);
    resetButton_ =
        addButton(QStringLiteral("Reset"), QStringLiteral("Undo All Changes to Preview"), 98);
    cancelButton_ = addButton(QStringLiteral("Cancel"), QString(), 188);
    applyButton_ = addButton(QStringLiteral("Apply"),
                             QStringLiteral("Copy Adjusted Image to Work Image"), 281);
    previewButton_->setDefault(true);
    connect(previewButton_, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TfrmAdjustment1::Button1Click));
    connect(resetButton_, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TfrmAdjustment1::Button2Click));
    connect(cancelButton_, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TfrmAdjustment1::Button3Click));
    connect(applyButton_, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TfrmAdjustment1::Button4Click));

    FormCreate(target);
    corvane::gui::placePictureDialog(frame_, *this, QSize(373, 239), target);
}

QSlider* TfrmAdjustment1::addSlider(const QString& label, const QString& hint, int top, int minimum,
                                    QLabel*& percent)
{
    auto* caption = new QLabel(label, this);
    caption->setGeometry(8, top, 170, 14);
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setRange(minimum, 100);
    slider->setValue(0);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(20);
    slider->setToolTip(hint);
    slider->setGeometry(8, top + 14, 170, 22);
    percent = new QLabel(QStringLiteral("0%"), this);
    percent->setAlignment(Qt::AlignCenter);
    percent->setGeometry(182, top + 14, 52, 22);
    QLabel* shown = percent;
    connect(slider, &QSlider::valueChanged, this,
            [this, slider, shown] { SliderChange(slider, shown); });
    return slider;
}

void TfrmAdjustment1::FormCreate(TfrmPicture& target)
{
    source_ = corvane::gui::takePreviewSource(*target.TP);
    preview_->PastePicture(source_.picture);
    allButton_->setChecked(true);
    channel_ = 3;
    resetButton_->setEnabled(false);
    applyButton_->setEnabled(false);
}

void TfrmAdjustment1::SliderChange(QSlider* slider, QLabel* percent)
{
    percent->setText(QString::number(slider->value()) + QLatin1Char('%'));
    if (slider == contrastSlider_)
        resetButton_->setEnabled(true);
}

int TfrmAdjustment1::ContrastLow(int position)
{
    return int(corvane::roundHalfEven(position * 125.0 / 100.0));
}

void TfrmAdjustment1::Button1Click()
{
    resetButton_->setEnabled(true);
    corvane::gui::Hourglass busy;
    const int red = redSlider_->value(), green = greenSlider_->value(), blue = blueSlider_->value();
    const int channel = channel_;
    // Each call is one level of the preview's undo, so Reset can step back over all of them.
    if (red != 0 || green != 0 || blue != 0)
        preview_->Process(
            [=](const img::Picture& p) { return img::adjustColor(p, red, green, blue); });
    if (const int c = contrastSlider_->value(); c != 0) {
        const int low = ContrastLow(c);
        preview_->Process(
            [=](const img::Picture& p) { return img::adjustContrast(p, low, 255 - low, channel); });
    }
    const int brightness = brightnessSlider_->value();
    preview_->Process(
        [=](const img::Picture& p) { return img::adjustBrightness(p, brightness, channel); });
    applyButton_->setEnabled(true);
}

void TfrmAdjustment1::Button2Click()
{
    corvane::gui::undoAllPreviews(*preview_, source_.picture);
    resetButton_->setEnabled(false);
}

void TfrmAdjustment1::Button3Click()
{
    corvane::gui::closePictureDialog(*this);
}

void TfrmAdjustment1::Button4Click()
{
    corvane::gui::applyPreview(target_, *preview_, source_);
}

void TfrmAdjustment1::keyPressEvent(QKeyEvent* event)
{
    // Enter previews (the default button), Esc cancels, as in a dialog box.
    if (!corvane::gui::pressDialogKey(*event, previewButton_, cancelButton_))
        QWidget::keyPressEvent(event);
}
