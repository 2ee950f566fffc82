// The manual's pictures of the main window, a large scan and a mesh view, taken from the
// program as the user sees it. Skipped unless CORVANE_MANUAL_IMAGES names the folder to write
// them to; scripts/manual-pictures.sh runs these with every other "...ForTheManual" test on a
// virtual display, so that window frames and fonts are the real ones.
#include "gui/draw3d/view3d_window.h"
#include "gui/picture/picture_window.h"
#include "gui_test_support.h"

#include <QDir>
#include <QEventLoop>
#include <QImage>
#include <QMdiSubWindow>
#include <QPainter>
#include <QTimer>
#include <cstdlib>

namespace corvane::gui::testing {
namespace {

class ManualPictures : public FrameTest {
protected:
    void SetUp() override
    {
        images = qEnvironmentVariable("CORVANE_MANUAL_IMAGES");
        if (images.isEmpty())
            GTEST_SKIP() << "set CORVANE_MANUAL_IMAGES to write the manual's pictures";
        FrameTest::SetUp();
    }

    // Lets the windows lay themselves out and paint, then saves the whole main window.
    void shoot(const QString& name)
    {
        QEventLoop loop;
        QTimer::singleShot(500, &loop, &QEventLoop::quit);
        loop.exec();
        EXPECT_TRUE(frame->grab().save(QDir(images).filePath(name))) << name.toStdString();
    }

    QString images;
};

TEST_F(ManualPictures, MainWindowWithAPictureForTheManual)
{
    frame->OpenFile(QStringLiteral(CORVANE_SAMPLES "/relief.bmp"));
    ASSERT_NE(activeChild<TfrmPicture>(), nullptr);
    shoot(QStringLiteral("frame.png"));
}

TEST_F(ManualPictures, ScanLargerThanTheWindowForTheManual)
{
    // A 6000 x 4000 scan: opened with scroll bars, as it is larger than the main window.
    QImage scan(6000, 4000, QImage::Format_RGB32);
    QPainter painter(&scan);
    QLinearGradient sky(0, 0, 6000, 4000);
    sky.setColorAt(0, QColor(40, 70, 140));
    sky.setColorAt(1, QColor(230, 200, 150));
    painter.fillRect(scan.rect(), sky);
    painter.setPen(QPen(Qt::white, 40));
    for (int x = 0; x < 6000; x += 500)
        painter.drawEllipse(QPoint(x, 2000), 220, 220);
    painter.end();
    const QString path = folder.filePath(QStringLiteral("scan.png"));
    ASSERT_TRUE(scan.save(path));
    frame->OpenFile(path);
    ASSERT_NE(activeChild<TfrmPicture>(), nullptr);
    shoot(QStringLiteral("big-scan.png"));
}

TEST_F(ManualPictures, MeshInTheIsometricViewForTheManual)
{
    const QString mesh = folder.filePath(QStringLiteral("relief.dxf"));
    const QString command =
        QStringLiteral(CORVANE_CLI " surface " CORVANE_SAMPLES "/relief.bmp -o %1 --step-x .05 "
                                   "--step-y .05 2> /dev/null")
            .arg(mesh);
    ASSERT_EQ(std::system(command.toLocal8Bit().constData()), 0);
    // Wide enough for the whole status text of the load.
    frame->resize(960, 600);
    frame->OpenFile(mesh);
    auto* view = activeChild<TView3DWindow>();
    ASSERT_NE(view, nullptr);
    view->Isometric1Click();
    shoot(QStringLiteral("mesh-isometric.png"));
}

} // namespace
} // namespace corvane::gui::testing
