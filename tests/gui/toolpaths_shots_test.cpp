// Pictures of the toolpaths dialog and of regions over a mesh for the manual. Skipped unless
// CORVANE_MANUAL_IMAGES names the folder to write them to; run it on a real display
// (xvfb-run) so that the window frame and fonts look as the user sees them.
#include "gui/mesh/dxf_view.h"
#include "gui/toolpaths/toolpaths_dialog.h"
#include "gui_test_support.h"

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>
#include <cmath>

namespace corvane::gui::testing {
namespace {

using ToolpathsShots = FrameTest;

void settle()
{
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
}

// Two round hills on a 30 x 20 plate, as 3DFACEs of one unit each.
QByteArray hillsDxf()
{
    const auto z = [](int x, int y) {
        const double a = std::hypot(x - 9.0, y - 10.0), b = std::hypot(x - 21.0, y - 9.0);
        return std::max(0.0, 2.5 * std::cos(std::min(a / 8.0, 1.0) * M_PI / 2) +
                                 1.8 * std::cos(std::min(b / 6.0, 1.0) * M_PI / 2));
    };
    QByteArray dxf = "0\r\nSECTION\r\n2\r\nENTITIES\r\n";
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            const int corners[4][2] = {{x, y}, {x + 1, y}, {x + 1, y + 1}, {x, y + 1}};
            dxf += "0\r\n3DFACE\r\n8\r\n0\r\n";
            for (int c = 0; c < 4; ++c) {
                const int px = corners[c][0], py = corners[c][1];
                dxf += QByteArray::number(10 + c) + "\r\n" + QByteArray::number(px) + "\r\n" +
                       QByteArray::number(20 + c) + "\r\n" + QByteArray::number(py) + "\r\n" +
                       QByteArray::number(30 + c) + "\r\n" + QByteArray::number(z(px, py)) + "\r\n";
            }
        }
    return dxf + "0\r\nENDSEC\r\n0\r\nEOF\r\n";
}

TEST_F(ToolpathsShots, RegionsOverAMeshForTheManual)
{
    const QString images = qEnvironmentVariable("CORVANE_MANUAL_IMAGES");
    if (images.isEmpty())
        GTEST_SKIP() << "set CORVANE_MANUAL_IMAGES to write the manual's pictures";
    frame->resize(900, 640);
    const QString path = folder.filePath(QStringLiteral("hills.dxf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(hillsDxf());
    file.close();
    prompts.answerOpen(FileChoice{path, 1});
    frame->ImportDXFMesh1Click();
    auto* view = dynamic_cast<TfrmDXFView*>(frame->ActiveChild()->widget());
    ASSERT_NE(view, nullptr);
    view->SubWindow()->setGeometry(0, 0, 620, 440);
    view->MenuItem(QStringLiteral("Toolpaths1"))->trigger();
    TfrmToolPaths& dialog = toolpathsDialog();
    dialog.SetStyleIndex(1);
    dialog.SetRegionDepthsIndex(1); // each ring at its own height, on the hills
    dialog.opDepthEdit()->setText(QStringLiteral("2.5"));
    dialog.zStepEdit()->setText(QStringLiteral("0.25"));
    dialog.createButton()->click();
    ASSERT_GT(view->Regions().regions.size(), 5u);
    settle();
    EXPECT_TRUE(view->SubWindow()->grab().save(QDir(images).filePath("toolpaths-regions.png")));
    EXPECT_TRUE(dialog.grab().save(QDir(images).filePath("toolpaths-dialog.png")));
}

} // namespace
} // namespace corvane::gui::testing
