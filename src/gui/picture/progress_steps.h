// How the picture window turns the imaging control's progress reports into the status-bar
// gauge. The gauge moves only when the percentage passes the shared ProgressStep, which
// then advances by ten, so a flood of reports repaints the gauge about ten times a run; a
// report above 95 percent ends the run.
#pragma once

namespace corvane::gui {

struct ProgressUpdate {
    bool moveGauge = false; // show the gauge and set it to percent
    int percent = 0;
    bool runFinished = false; // hide the gauge and show "Done"
};

// Updates progressStep (the shared ProgressStep) for one report of done out of total.
// A report with a total of zero or less reports nothing.
ProgressUpdate advanceProgress(int& progressStep, long done, long total);

// done / total as a whole percentage, an exact half going to the even neighbour.
int roundedPercent(long done, long total);

} // namespace corvane::gui
