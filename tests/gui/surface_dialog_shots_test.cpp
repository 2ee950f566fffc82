// Pictures of the surface dialog for the manual. Skipped unless CORVANE_MANUAL_IMAGES names
// the folder to write them to; run it on a real display (xvfb-run) so that the window frame
// and fonts look as the user sees them.
#include "surface_dialog_support.h"

#include <QDir>
#include <QEventLoop>

namespace corvane::gui::testing {
namespace {

using SurfaceDialogShots = SurfaceDialogTest;

void settle()
{
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST_F(SurfaceDialogShots, BothModesForTheManual)
{
    const QString images = qEnvironmentVariable("CORVANE_MANUAL_IMAGES");
    if (images.isEmpty())
        GTEST_SKIP() << "set CORVANE_MANUAL_IMAGES to write the manual's pictures";
    TfrmPicture* picture = OpenPicture(*frame, QStringLiteral(CORVANE_SAMPLES "/relief.bmp"));
    ASSERT_TRUE(picture->TP->HasImage());
    for (const bool gcode : {false, true}) {
        TDXF* dialog = openDialog(picture, gcode);
        dialog->SubWindow()->move(20, 20);
        settle();
        const QString name =
            gcode ? QStringLiteral("surface-gcode.png") : QStringLiteral("surface-dxf.png");
        EXPECT_TRUE(dialog->SubWindow()->grab().save(QDir(images).filePath(name)));
        dialog->SubWindow()->close();
        flushDeletes();
    }
}

} // namespace
} // namespace corvane::gui::testing
