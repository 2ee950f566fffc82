#include "gui/app/status_panels.h"

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <algorithm>

namespace corvane::gui {

namespace {

QLabel* makeTextPanel(QStatusBar& bar, int width)
{
    auto* label = new QLabel(&bar);
    label->setObjectName(QStringLiteral("StatusPanel"));
    // A panel may shrink below its text so that a long message never holds the frame wide.
    label->setMinimumWidth(1);
    label->setMaximumWidth(width);
    label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar.addWidget(label);
    return label;
}

} // namespace

TStatusPanels::TStatusPanels(QStatusBar& bar) : bar_(bar)
{
    bar.setSizeGripEnabled(false);
    panel0_ = makeTextPanel(bar, 200);
    panel1_ = makeTextPanel(bar, 50);
    gauge_ = new QProgressBar(&bar);
    gauge_->setRange(0, 100);
    gauge_->setValue(0);
    gauge_->setAlignment(Qt::AlignCenter);
    gauge_->setFixedWidth(50);
    gauge_->setTextVisible(false);
    bar.addWidget(gauge_);
    gauge_->setVisible(false);
}

void TStatusPanels::setText(int panel, const QString& text)
{
    (panel == 0 ? panel0_ : panel1_)->setText(text);
}

QString TStatusPanels::text(int panel) const
{
    return (panel == 0 ? panel0_ : panel1_)->text();
}

void TStatusPanels::setWidth(int panel, int width)
{
    width = std::max(width, 1);
    if (panel == 2)
        gauge_->setFixedWidth(width);
    else
        (panel == 0 ? panel0_ : panel1_)->setMaximumWidth(width);
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
