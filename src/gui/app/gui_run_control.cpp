#include "gui/app/gui_run_control.h"

#include "gui/app/shared_state.h"
#include "gui/app/status_panels.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QString>

namespace corvane::gui {

GuiRunControl::GuiRunControl(TStatusPanels& status, QProgressBar* dialogBar, bool* stopRequest,
                             const bool* abandoned)
    : status_(status), dialogBar_(dialogBar), stopRequest_(stopRequest), abandoned_(abandoned)
{
}

void GuiRunControl::showStatus(const std::string& text)
{
    status_.setText(0, QString::fromStdString(text));
    status_.repaintNow();
}

void GuiRunControl::showProgress(ProgressDisplay where, int percent)
{
    if (where == ProgressDisplay::Dialog && dialogBar_) {
        dialogBar_->setValue(percent);
        dialogBar_->repaint();
        return;
    }
    status_.setGaugeVisible(true);
    status_.setGaugePosition(percent);
    status_.repaintNow();
}

void GuiRunControl::endProgress(ProgressDisplay where)
{
    if (where == ProgressDisplay::Dialog && dialogBar_) {
        dialogBar_->setValue(0);
        return;
    }
    status_.setGaugeVisible(false);
    status_.repaintNow();
}

void GuiRunControl::checkpoint()
{
    QCoreApplication::processEvents();
}

bool GuiRunControl::escapePressed()
{
    return shared().EscapePressed || (abandoned_ && *abandoned_);
}

bool GuiRunControl::takeStopRequest()
{
    if (!stopRequest_ || !*stopRequest_)
        return false;
    *stopRequest_ = false;
    stopTaken_ = true;
    return true;
}

} // namespace corvane::gui
