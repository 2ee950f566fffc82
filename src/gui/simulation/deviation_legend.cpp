#include "gui/simulation/deviation_legend.h"

#include "common/number_format.h"
#include "simulation/cut_comparison.h"

#include <QPainter>

namespace corvane::gui {

namespace {

constexpr int Margin = 8;
constexpr int BarHeight = 12;
constexpr double Span = 10; // tolerances each way

QString number(double v)
{
    return QString::fromStdString(fixedText(v, 4));
}

} // namespace

TDeviationLegend::TDeviationLegend(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("deviationLegend"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TDeviationLegend::SetTolerance(double tolerance)
{
    tolerance_ = tolerance;
    update();
}

QSize TDeviationLegend::sizeHint() const
{
    return {300, Margin + BarHeight + 2 * fontMetrics().height() + Margin / 2};
}

void TDeviationLegend::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const int width = std::max(this->width() - 2 * Margin, 10);
    const QRect bar(Margin, Margin / 2, width, BarHeight);
    // Each column shows the colour of the deviation it stands for, as the surface has it.
    for (int x = 0; x < width; ++x) {
        const double deviation = tolerance_ * Span * (2.0 * (x + 0.5) / width - 1);
        const simulation::DeviationColour c = simulation::deviationColour(deviation, tolerance_);
        painter.fillRect(bar.left() + x, bar.top(), 1, BarHeight, QColor(c.r, c.g, c.b));
    }
    painter.setPen(palette().windowText().color());
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(bar.adjusted(0, 0, -1, -1));

    const int line = fontMetrics().height();
    const QRect values(Margin, bar.bottom() + 2, width, line);
    painter.drawText(values, Qt::AlignLeft, number(-Span * tolerance_));
    painter.drawText(values, Qt::AlignHCenter,
                     QStringLiteral("within ") + QChar(0x00B1) + number(tolerance_));
    painter.drawText(values, Qt::AlignRight, QStringLiteral("+") + number(Span * tolerance_));
    const QRect names(Margin, values.bottom() + 1, width, line);
    painter.drawText(names, Qt::AlignLeft, QStringLiteral("Gouge (below the relief)"));
    painter.drawText(names, Qt::AlignRight, QStringLiteral("Leftover (above)"));
}

} // namespace corvane::gui
