// The key to the cut preview's deviation colours: a bar from ten tolerances of gouge (red)
// through the band within the tolerance (white) to ten tolerances of leftover (blue), with
// the values at its ends and edges.
#pragma once

#include <QWidget>

namespace corvane::gui {

class TDeviationLegend : public QWidget {
public:
    explicit TDeviationLegend(QWidget* parent = nullptr);
    void SetTolerance(double tolerance);
    double Tolerance() const { return tolerance_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double tolerance_ = 0;
};

} // namespace corvane::gui
