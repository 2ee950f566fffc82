// StatusBar1 of the frame: panel 0 the message line ("Ready..." and the texts of running
// work), panel 1 a short result ("Done"), panel 2 a 0..100 gauge shown only while progress
// is reported (its place stays empty otherwise). Other windows write to it through the frame.
#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QProgressBar;
class QStatusBar;

namespace corvane::gui {

class TStatusPanels {
public:
    // Fills the given status bar with the three panels.
    explicit TStatusPanels(QStatusBar& bar);

    void setText(int panel, const QString& text); // panel 0 or 1
    QString text(int panel) const;

    // Widths in pixels; a panel never grows past its width but may shrink with the window.
    void setWidth(int panel, int width);
    int width(int panel) const;

    void setGaugeVisible(bool visible);
    bool gaugeVisible() const;
    void setGaugePosition(int percent);
    int gaugePosition() const;

    // Paints the status bar now, so texts show while a long loop keeps the event loop busy.
    void repaintNow();

private:
    QStatusBar& bar_;
    QLabel* panel0_;
    QLabel* panel1_;
    QProgressBar* gauge_;
};

} // namespace corvane::gui
