#include "gui/picture/adjustment_dialog.h"

#include "common/round_half_even.h"
#include "gui/app/exception_hook.h"
#include "gui/app/frame.h"
#include "gui/app/help_pages.h"
#include "gui/app/hourglass.h"
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

TfrmAdjustment1::TfrmAdjustment1(TCorvaneFrame& frame, TfrmPicture& target)
    : frame_(frame), target_(&target)
{
    setObjectName(QStringLiteral("frmAdjustment1"));
    setWindowTitle(QStringLiteral("Color, Brightness, and Contrast Adjustment"));
    corvane::gui::setHelpPage(*this, QStringLiteral("dialogs.html"));

    Slider1 =
        addSlider(QStringLiteral("Red"), QStringLiteral("Adjust Red Intensity"), 8, -100, Percent1);
    Slider2 = addSlider(QStringLiteral("Green"), QStringLiteral("Adjust Green Intensity"), 46, -100,
                        Percent2);
    Slider3 = addSlider(QStringLiteral("Blue"), QStringLiteral("Adjust Blue Intensity"), 84, -100,
                        Percent3);
    Slider4 = addSlider(QStringLiteral("Brightness"), QStringLiteral("Adjust Brightness"), 122,
                        -100, Percent4);
    Slider5 = addSlider(QStringLiteral("Contrast"), QStringLiteral("Increase Contrast"), 160, 0,
                        Percent5);
    Slider5->setTickInterval(10);

    TP = new TTwistedPixel(this);
    TP->setObjectName(QStringLiteral("TP"));
    TP->setGeometry(244, 8, 121, 122);
    TP->SetFitToSize(true);

    auto* channels = new QGroupBox(QStringLiteral("Channel"), this);
    channels->setGeometry(244, 134, 121, 62);
    auto addRadio = [channels](const QString& caption, int x, int y) {
        auto* radio = new QRadioButton(caption, channels);
        radio->setGeometry(x, y, 56, 20);
        return radio;
    };
    RadioButton1 = addRadio(QStringLiteral("Red"), 6, 16);
    RadioButton2 = addRadio(QStringLiteral("Green"), 62, 16);
    RadioButton3 = addRadio(QStringLiteral("Blue"), 6, 36);
    RadioButton4 = addRadio(QStringLiteral("All"), 62, 36);
    auto* group = new QButtonGroup(this);
    const std::pair<QRadioButton*, std::uint8_t> channelOf[] = {
        {RadioButton1, 2}, {RadioButton2, 1}, {RadioButton3, 0}, {RadioButton4, 3}};
    for (const auto& [radio, channel] : channelOf) {
        group->addButton(radio);
        const std::uint8_t value = channel;
        connect(radio, &QRadioButton::clicked, this, [this, value] { Channel = value; });
    }

    auto addButton = [this](const QString& caption, const QString& hint, int x) {
        auto* button = new QPushButton(caption, this);
        button->setToolTip(hint);
        button->setGeometry(x, 206, 84, 25);
        return button;
    };
    Button1 = addButton(QStringLiteral("Preview"), QStringLiteral("Preview Settings"), 8);
    Button2 = addButton(QStringLiteral("Reset"), QStringLiteral("Undo All Changes to Preview"), 98);
    Button3 = addButton(QStringLiteral("Cancel"), QString(), 188);
    Button4 = addButton(QStringLiteral("Apply"),
                        QStringLiteral("Copy Adjusted Image to Work Image"), 281);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TfrmAdjustment1::Button1Click));
    connect(Button2, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TfrmAdjustment1::Button2Click));
    connect(Button3, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TfrmAdjustment1::Button3Click));
    connect(Button4, &QPushButton::clicked, this,
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
    TP->PastePicture(source_.picture);
    RadioButton4->setChecked(true);
    Channel = 3;
    Button2->setEnabled(false);
    Button4->setEnabled(false);
}

void TfrmAdjustment1::SliderChange(QSlider* slider, QLabel* percent)
{
    percent->setText(QString::number(slider->value()) + QLatin1Char('%'));
    if (slider == Slider5)
        Button2->setEnabled(true);
}

int TfrmAdjustment1::ContrastLow(int position)
{
    return int(corvane::roundHalfEven(position * 125.0 / 100.0));
}

void TfrmAdjustment1::Button1Click()
{
    Button2->setEnabled(true);
    corvane::gui::Hourglass busy;
    const int red = Slider1->value(), green = Slider2->value(), blue = Slider3->value();
    const int channel = Channel;
    // Each call is one level of the preview's undo, so Reset can step back over all of them.
    if (red != 0 || green != 0 || blue != 0)
        TP->Process([=](const img::Picture& p) { return img::adjustColor(p, red, green, blue); });
    if (const int c = Slider5->value(); c != 0) {
        const int low = ContrastLow(c);
        TP->Process(
            [=](const img::Picture& p) { return img::adjustContrast(p, low, 255 - low, channel); });
    }
    const int brightness = Slider4->value();
    TP->Process(
        [=](const img::Picture& p) { return img::adjustBrightness(p, brightness, channel); });
    Button4->setEnabled(true);
}

void TfrmAdjustment1::Button2Click()
{
    corvane::gui::undoAllPreviews(*TP, source_.picture);
    Button2->setEnabled(false);
}

void TfrmAdjustment1::Button3Click()
{
    if (QMdiSubWindow* window = qobject_cast<QMdiSubWindow*>(parentWidget()))
        window->close();
}

void TfrmAdjustment1::Button4Click()
{
    corvane::gui::applyPreview(target_, *TP, source_);
}

void TfrmAdjustment1::keyPressEvent(QKeyEvent* event)
{
    // Enter previews (the default button), Esc cancels, as in a dialog box.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Button1->click();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        Button3->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
