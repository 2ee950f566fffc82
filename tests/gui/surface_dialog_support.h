// Shared set-up of the surface dialog tests: a picture window holding a small patterned
// picture, the dialog opened from it the way the user opens it, and the command line run
// on the same picture for comparison.
#pragma once

#include "gui/picture/picture_window.h"
#include "gui/picture/twisted_pixel.h"
#include "gui/relief/surface_dialog.h"
#include "gui_test_support.h"

#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace corvane::gui::testing {

// Every grey from black to white, in bands that change along both axes, so that facets and
// passes differ from cell to cell; the green and blue bytes differ from the red one, which
// alone gives the height.
inline imaging::Picture patternPicture(int width, int height)
{
    imaging::Picture picture = solidPicture(width, height, {0, 0, 0});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = picture.row(y) + 3 * x;
            const bool white = (x / 7 + y / 5) % 3 == 0;
            pixel[0] =
                white ? 255 : std::uint8_t((x * 255 / std::max(width - 1, 1) + y * 13) % 256);
            pixel[1] = 77;
            pixel[2] = std::uint8_t(255 - pixel[0]);
        }
    return picture;
}

inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

class SurfaceDialogTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        // The G-code header's timestamp, the same for the dialog and the command line.
        qputenv("SOURCE_DATE_EPOCH", "1700000000");
    }
    void TearDown() override
    {
        FrameTest::TearDown();
        qunsetenv("SOURCE_DATE_EPOCH");
    }

    TfrmPicture* loadPicture(int width, int height,
                             const QString& name = QStringLiteral("relief.bmp"))
    {
        picturePath = writeBmp(folder, name, patternPicture(width, height));
        TfrmPicture* picture = OpenPicture(*frame, picturePath);
        EXPECT_TRUE(picture->TP->HasImage());
        return picture;
    }

    // Create > DXF Surface or G-Code on the picture window, as the user chooses it.
    TDXF* openDialog(TfrmPicture* picture, bool gcode)
    {
        frame->MdiArea().setActiveSubWindow(picture->SubWindow());
        if (gcode)
            picture->GCode1Click();
        else
            picture->DXFSurface1Click();
        auto* dialog = dynamic_cast<TDXF*>(frame->ActiveChild()->widget());
        EXPECT_NE(dialog, nullptr);
        return dialog;
    }

    static void type(QLineEdit* edit, const QString& text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    // Runs `action` at the first point where the running job lets events through.
    void duringRun(std::function<void()> action)
    {
        QTimer::singleShot(0, frame.get(), std::move(action));
    }

    void answerSave(const QString& path) { prompts.answerSave(FileChoice{path, 1}); }

    bool isOpen(const QWidget* dialog) const
    {
        for (QMdiSubWindow* window : frame->MdiArea().subWindowList())
            if (window->widget() == dialog)
                return true;
        return false;
    }

    // corvane-cli surface|gcode on the loaded picture; returns its exit code.
    int runCli(const QStringList& arguments)
    {
        QProcess cli;
        cli.start(QStringLiteral(CORVANE_CLI), arguments);
        if (!cli.waitForFinished(60000))
            return -1;
        cliErrors = cli.readAllStandardError();
        return cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    }

    QString statusText() const { return frame->StatusBar1().text(0); }

    QString picturePath;
    QByteArray cliErrors;
};

} // namespace corvane::gui::testing
