#include "gui/app/status_panels.h"

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <algorithm>

namespace corvane::gui {

namespace {

// A panel that shows as much of a long text as fits, with the middle left out, so that the
// end of "Loading /a/long/path/picture.bmp... Esc to Cancel." stays readable.
class ElidedPanel : public QLabel {
public:
    using QLabel::QLabel;

    void setFullText(const QString& text)
    {
        full_ = text;
        showElided();
    }
    const QString& fullText() const { return full_; }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        showElided();
    }

private:
    void showElided()
    {
        const int room = std::max(0, contentsRect().width() - 2 * margin());
        QLabel::setText(fontMetrics().elidedText(full_, Qt::ElideMiddle, room));
        setToolTip(QLabel::text() == full_ ? QString() : full_);
    }

    QString full_;
};

ElidedPanel* makeTextPanel(QStatusBar& bar, int width, int stretch)
{
    auto* label = new ElidedPanel(&bar);
    label->setObjectName(QStringLiteral("StatusPanel"));
    // A panel may shrink below its text so that a long message never holds the frame wide;
    // the message panel takes the room it is given, up to its width.
    label->setMinimumWidth(1);
    label->setMaximumWidth(width);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar.addWidget(label, stretch);
    return label;
}

ElidedPanel* elided(QLabel* label)
{
    return static_cast<ElidedPanel*>(label);
}

} // namespace

TStatusPanels::TStatusPanels(QStatusBar& bar) : bar_(bar)
{
    bar.setSizeGripEnabled(false);
    panel0_ = makeTextPanel(bar, 200, 1);
    panel1_ = makeTextPanel(bar, 50, 0);
    panel1_->setMinimumWidth(50);
    // Its width is its own (setWidth): a layout that may ignore it lays the gauge over it.
    panel1_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    gauge_ = new QProgressBar(&bar);
    gauge_->setRange(0, 100);
    gauge_->setValue(0);
    gauge_->setAlignment(Qt::AlignCenter);
    gauge_->setFixedWidth(50);
    gauge_->setTextVisible(false);
    // The gauge's place is kept while it is hidden: showing it in the middle of a long job
    // (which paints the bar at once, before any layout runs) must not lay it over panel 1.
    QSizePolicy keepPlace = gauge_->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    gauge_->setSizePolicy(keepPlace);
    bar.addWidget(gauge_);
    gauge_->setVisible(false);
}

void TStatusPanels::setText(int panel, const QString& text)
{
    elided(panel == 0 ? panel0_ : panel1_)->setFullText(text);
}

QString TStatusPanels::text(int panel) const
{
    return elided(panel == 0 ? panel0_ : panel1_)->fullText();
}

void TStatusPanels::setWidth(int panel, int width)
{
    width = std::max(width, 1);
    if (panel == 2)
        gauge_->setFixedWidth(width);
    else if (panel == 1)
        panel1_->setFixedWidth(width);
    else
        panel0_->setMaximumWidth(width);
}

int TStatusPanels::width(int panel) const
{
    if (panel == 2)
        return gauge_->maximumWidth();
    return (panel == 0 ? panel0_ : panel1_)->maximumWidth();
}

void TStatusPanels::setGaugeVisible(bool visible)
{
    // setVisible on a child of a hidden frame only records the wish; isHidden reads it back.
    gauge_->setVisible(visible);
}

bool TStatusPanels::gaugeVisible() const
{
    return !gauge_->isHidden();
}

void TStatusPanels::setGaugePosition(int percent)
{
    gauge_->setValue(std::clamp(percent, 0, 100));
}

int TStatusPanels::gaugePosition() const
{
    return gauge_->value();
}

void TStatusPanels::repaintNow()
{
    bar_.repaint();
}

} // namespace corvane::gui
