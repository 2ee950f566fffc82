// The 3D panel: where known points land for each view option, what the buffer saves, and the
// picture the clipboard gets.
#include "gui/draw3d/draw3d_panel.h"
#include "gui/draw3d/thin_lines.h"
#include "gui/mesh/mesh_paint.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <gtest/gtest.h>

namespace corvane::gui {
namespace {

class Draw3DPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        panel.resize(202, 102); // a bevel of 1: drawing area 200 x 100, centre (101, 51)
    }
    void expectAt(int x, int y, int z, double sx, double sy)
    {
        const ScreenPoint p = panel.Project(x, y, z);
        EXPECT_NEAR(p.x, sx, 1e-9) << x << "," << y << "," << z;
        EXPECT_NEAR(p.y, sy, 1e-9) << x << "," << y << "," << z;
    }
    TDraw3D panel;
};

TEST_F(Draw3DPanel, ProjectionOfKnownPoints)
{
    // Top view: canvas x and y as they are; depth does not show.
    expectAt(10, 20, -50, 10, 20);
    panel.SetZoom(200); // about the centre
    expectAt(111, 51, 0, 121, 51);
    panel.SetZoom(0); // refused
    EXPECT_EQ(panel.Zoom(), 200);
    panel.SetView({90, 0, 0, 100, 5, -7}); // a quarter turn left, then the offsets
    expectAt(111, 51, 0, 106, 34);
    panel.SetView({0, 300, 0, 100, 0, 0});                       // looking from the front and above
    expectAt(101, 61, 0, 101, 56);                               // y foreshortened by cos 60
    expectAt(101, 51, -100, 101, 51 + 100 * std::sqrt(3.0) / 2); // depth goes down
    panel.SetView({0, 0, 180, 100, 0, 0});                       // tilt half a turn
    expectAt(111, 61, 0, 91, 41);
    panel.SetView3D(false); // 3D off: drawn flat whatever the options
    expectAt(111, 61, 9, 111, 61);
}

TEST_F(Draw3DPanel, BufferRedrawsOnlyWhenTheViewOrSizeChanges)
{
    int paints = 0;
    panel.SetPaintHandler([&](TCanvas3D& canvas) {
        ++paints;
        canvas.SetPen(Qt::black);
        canvas.MoveTo(20, 50, 0);
        canvas.LineTo(180, 50, 0);
    });
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    panel.repaint();
    const int first = paints;
    EXPECT_GE(first, 1);
    panel.repaint(); // uncovered: the buffer is shown again
    EXPECT_EQ(paints, first);
    panel.SetRotation(30);
    EXPECT_EQ(paints, first + 1);
    panel.SetRotation(30); // no change, no drawing
    EXPECT_EQ(paints, first + 1);
    panel.resize(300, 200);
    panel.repaint();
    EXPECT_EQ(paints, first + 2);
}

TEST_F(Draw3DPanel, ClipboardGetsThePictureOnWhite)
{
    panel.SetColor(QColor(200, 10, 10));
    panel.SetPaintHandler([](TCanvas3D& canvas) {
        canvas.SetPen(Qt::black);
        canvas.MoveTo(20, 50, 0);
        canvas.LineTo(180, 50, 0);
        canvas.SetBrush(Qt::blue);
        canvas.Rectangle(150, 70, 170, 90, 0);
    });
    panel.CopyToClipboard();
    const QImage copied = QApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), panel.size());
    EXPECT_EQ(copied.pixelColor(5, 5), QColor(Qt::white));
    EXPECT_EQ(copied.pixelColor(100, 50), QColor(Qt::black));
    EXPECT_EQ(copied.pixelColor(160, 80), QColor(Qt::blue));
}

TEST(MeshPaint, ScaleBaseLineAndCanvasPoints)
{
    const Extents3D wide{0, 20, 0, 5, -1, 0, 5, 20};
    const MeshViewScale fit = meshViewScale(wide, 400, 300, 280);
    EXPECT_EQ(fit.scale, 20); // min(400 / 20, 300 / 5)
    EXPECT_EQ(fit.base, 280);

    EXPECT_EQ(fit.box.maxX, 20); // the box drawn is the extents

    // All on one line in y: scale 1 from base line 0, the box over 0..1. The extents are
    // the document's: fitting them into a paint leaves them as they are.
    const Extents3D line{2, 9, 3, 3, 0, 0, 0, 7};
    const MeshViewScale flat = meshViewScale(line, 400, 300, 280);
    EXPECT_EQ(flat.scale, 1);
    EXPECT_EQ(flat.base, 0);
    EXPECT_EQ(flat.box.minX, 0);
    EXPECT_EQ(flat.box.maxY, 1);
    EXPECT_EQ(line.minX, 2);
    EXPECT_EQ(line.maxY, 3);

    // Halves go to the even neighbour; values far off the canvas are held at its limit.
    EXPECT_EQ(canvasCoordinate(1.25, 2), 2);
    EXPECT_EQ(canvasCoordinate(1.75, 2), 4);
    EXPECT_EQ(canvasCoordinate(-1.25, 2), -2);
    EXPECT_EQ(canvasCoordinate(1e300, 10), 1000000000);
    EXPECT_EQ(canvasCoordinate(-1e300, 10), -1000000000);
}

} // namespace
} // namespace corvane::gui

namespace corvane::gui {
namespace {

int inkIn(const QImage& image, QRect area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) != qRgb(255, 255, 255);
    return count;
}

TEST(ThinLines, ClipsSpansAndSkipsWhatIsOffThePicture)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QLineF lines[] = {
        {-1e9, 5.5, 1e9, 5.5},        // across: the whole of row 5
        {3.2, 20.7, 3.9, 20.1},       // inside one pixel
        {-50, -50, -10, -20},         // wholly off the picture
        {1e300, 1e300, 2e300, 3e300}, // far off
        {std::nan(""), 1, 2, 3},      // no position at all
        {10, 10, 20, 20},             // a diagonal: one pixel per step
    };
    drawThinLines(image, qRgb(0, 0, 0), lines, std::size(lines));
    EXPECT_EQ(inkIn(image, QRect(0, 5, 40, 1)), 40);
    EXPECT_EQ(image.pixel(3, 20), qRgb(0, 0, 0));
    EXPECT_EQ(inkIn(image, QRect(0, 0, 40, 5)), 0);
    EXPECT_EQ(inkIn(image, QRect(0, 6, 40, 24)), 1 + 11);
    for (int i = 10; i <= 20; ++i)
        EXPECT_EQ(image.pixel(i, i), qRgb(0, 0, 0)) << i;
}

} // namespace
} // namespace corvane::gui
