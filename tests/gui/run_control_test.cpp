// The run control handed to long core work, and the hook for errors that escape a handler.
#include "common/error.h"
#include "gui/app/exception_hook.h"
#include "gui/app/gui_run_control.h"
#include "gui/app/long_run.h"
#include "gui_test_support.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProgressBar>

namespace corvane::gui::testing {
namespace {

using GuiRunControlTest = FrameTest;

TEST_F(GuiRunControlTest, TextsAndGaugeGoToTheStatusBar)
{
    GuiRunControl run(frame->StatusBar1());
    run.showStatus("Pass 2");
    EXPECT_EQ(frame->StatusBar1().text(0), QStringLiteral("Pass 2"));
    run.showProgress(ProgressDisplay::Gauge, 40);
    EXPECT_TRUE(frame->StatusBar1().gaugeVisible());
    EXPECT_EQ(frame->StatusBar1().gaugePosition(), 40);
    run.showProgress(ProgressDisplay::Dialog, 70); // no dialog bar: the gauge shows it
    EXPECT_EQ(frame->StatusBar1().gaugePosition(), 70);
    run.endProgress(ProgressDisplay::Gauge);
    EXPECT_FALSE(frame->StatusBar1().gaugeVisible());
}

TEST_F(GuiRunControlTest, DialogBarEscapeAndStopRequest)
{
    QProgressBar bar;
    bool stop = false;
    GuiRunControl run(frame->StatusBar1(), &bar, &stop);
    run.showProgress(ProgressDisplay::Dialog, 55);
    EXPECT_EQ(bar.value(), 55);
    EXPECT_FALSE(frame->StatusBar1().gaugeVisible());
    run.endProgress(ProgressDisplay::Dialog);
    EXPECT_EQ(bar.value(), 0);

    EXPECT_FALSE(run.escapePressed());
    shared().EscapePressed = true;
    run.checkpoint();
    EXPECT_TRUE(run.escapePressed());

    EXPECT_FALSE(run.takeStopRequest());
    stop = true;
    EXPECT_TRUE(run.takeStopRequest());
    EXPECT_FALSE(stop) << "reading the request consumes it";
    EXPECT_FALSE(run.takeStopRequest());
}

using LongRunTest = FrameTest;

// The one life cycle of the Esc flag, and the three ends of a long job.
TEST_F(LongRunTest, EscFromBeforeIsClearedAndAnEscThatStopsIsConsumed)
{
    LongRun run(*frame);
    shared().EscapePressed = true; // the Esc that ended an earlier job
    bool sawEsc = true;
    RunReport report = run.run([&](RunControl& control) {
        sawEsc = control.escapePressed();
        return true;
    });
    EXPECT_FALSE(sawEsc);
    EXPECT_EQ(report.outcome, RunOutcome::Completed);

    // Esc during the job: the frame's key filter sets the flag, the job stops on it, and
    // the flag has done its work once the run reports the stop.
    report = run.run([&](RunControl& control) {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(frame.get(), &esc);
        control.checkpoint();
        return !control.escapePressed();
    });
    EXPECT_EQ(report.outcome, RunOutcome::Stopped);
    EXPECT_FALSE(shared().EscapePressed);
    EXPECT_EQ(frame->StatusBar1().text(0), QStringLiteral("Process Cancelled..."));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(LongRunTest, CancelStopsAtTheNextRequestAndAFailureIsToldOnce)
{
    LongRun run(*frame);
    RunReport report = run.run([&](RunControl& control) {
        EXPECT_TRUE(run.running());
        run.requestStop(); // the window's Cancel, clicked at a checkpoint
        EXPECT_TRUE(run.run([](RunControl&) { return true; }).outcome == RunOutcome::Stopped)
            << "no second run inside the first";
        return !control.takeStopRequest();
    });
    EXPECT_EQ(report.outcome, RunOutcome::Stopped);
    EXPECT_FALSE(run.running());
    EXPECT_FALSE(run.stopRequested());

    report = run.run([](RunControl&) -> bool { throw corvane::Error("disk full"); });
    EXPECT_EQ(report.outcome, RunOutcome::Failed);
    EXPECT_EQ(report.text, QStringLiteral("disk full"));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("disk full"));
    EXPECT_EQ(frame->StatusBar1().text(0), QStringLiteral("Failed: disk full"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

using ExceptionHookTest = FrameTest;

TEST_F(ExceptionHookTest, AnEscapingErrorIsShownOnceAndTheStatusSaysItFailed)
{
    frame->New1Click();
    frame->ShowReady();
    bool ran = false;
    const bool handled = deliverGuarded([&]() -> bool {
        ran = true;
        throw corvane::Error("/tmp/out.dxf", "No space left on device");
    });
    EXPECT_TRUE(ran);
    EXPECT_FALSE(handled);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("/tmp/out.dxf: No space left on device"));
    EXPECT_EQ(frame->StatusBar1().text(0),
              QStringLiteral("Failed: /tmp/out.dxf: No space left on device"));
    EXPECT_FALSE(QApplication::overrideCursor());
}

TEST_F(ExceptionHookTest, OtherExceptionsAreCaughtAndNormalDeliveriesPassThrough)
{
    EXPECT_TRUE(deliverGuarded([] { return true; }));
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_FALSE(deliverGuarded([]() -> bool { throw std::runtime_error("bad number"); }));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("bad number"));
}

} // namespace
} // namespace corvane::gui::testing
