// The DNC view: importing a program (menu and command line), the text pane, Esc during the
// read, a file that cannot be read, the menus and views, and what the paint draws.
#include "gui/app/help_pages.h"
#include "gui/dnc/dnc_text.h"
#include "gui/dnc/dnc_window.h"
#include "gui/draw3d/draw3d_panel.h"
#include "gui_test_support.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSplitter>
#include <QTimer>
#include <cstdlib>

namespace corvane::gui::testing {
namespace {

class DncViewTest : public FrameTest {
protected:
    QString writeProgram(const QString& name, const QByteArray& text)
    {
        return writeFile(name, text);
    }
    TfrmDnc* activeView() const { return activeChild<TfrmDnc>(); }
    TfrmDnc* open(const QByteArray& text)
    {
        OpenDncFile(*frame, writeProgram(QStringLiteral("part.dnc"), text));
        TfrmDnc* view = activeView();
        EXPECT_NE(view, nullptr);
        if (view)
            view->Top1Click();
        return view;
    }
    // How many pixels of the panel's picture have this colour.
    static int count(const QImage& picture, const QColor& colour)
    {
        int n = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                n += picture.pixelColor(x, y) == colour;
        return n;
    }
};

const QColor kGreen(0, 128, 0);
const QColor kBlue(0, 0, 255);

TEST_F(DncViewTest, ImportShowsTheProgramAsTextAndAsAnIsometricDrawing)
{
    const QString path = writeProgram(QStringLiteral("part.dnc"),
                                      "( Created today From part.bmp)\r\nG90 T0 F250.0000\r\n"
                                      "G00 Z0.1000\r\nG01 X4 Y2 Z-1\r\n");
    prompts.answerOpen(FileChoice{path, 1});
    frame->ImportDNCFile1Click();

    TfrmDnc* view = activeView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->windowTitle(), path);
    EXPECT_EQ(view->Program().moves.size(), 3u);
    EXPECT_EQ(view->Program().extents.maxX, 4);
    EXPECT_EQ(view->Draw3D().Rotation(), 345);
    EXPECT_EQ(view->Draw3D().Elevation(), 300);
    EXPECT_EQ(frame->StatusBar1().text(0), QStringLiteral("Ready..."));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    const TDncText& text = view->DncText();
    ASSERT_EQ(text.LineCount(), 4u);
    EXPECT_EQ(text.Line(0), QStringLiteral("( Created today From part.bmp)"));
    EXPECT_EQ(text.Line(3), QStringLiteral("G01 X4 Y2 Z-1"));

    // The panel on the left takes a third of the window beside the divider of 8 pixels.
    const QList<int> sizes = view->Splitter1().sizes();
    EXPECT_EQ(view->Splitter1().widget(0), &view->Draw3D());
    EXPECT_EQ(view->Splitter1().handleWidth(), 8);
    EXPECT_NEAR(sizes[0], (view->width() - 8) / 3, 1);
    EXPECT_TRUE(view->SubWindow()->geometry().intersected(frame->MdiArea().viewport()->rect()) ==
                view->SubWindow()->geometry());

    // Its own menu bar, and F1 leads to its own page.
    QStringList menus;
    for (const QMenu* menu : view->ChildMenus())
        menus << menu->title();
    EXPECT_EQ(menus, QStringList({"&File", "&View", "&Window", "&Help"}));
    EXPECT_EQ(view->MenuItem(QStringLiteral("ImportDNCFile1"))->text(),
              QStringLiteral("Import &DNC File"));
    EXPECT_EQ(helpPageOf(&view->DncText()), manualPageUrl(QStringLiteral("dnc.html")));

    view->MenuItem(QStringLiteral("Close1"))->trigger();
    flushDeletes();
    EXPECT_TRUE(frame->MdiArea().subWindowList().isEmpty());
}

TEST_F(DncViewTest, BeforeAProgramIsReadTheViewSaysSo)
{
    auto* view = new TfrmDnc(*frame);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("View DNC File"));
    EXPECT_EQ(view->DncText().LineCount(), 1u);
    EXPECT_EQ(view->DncText().Line(0), QStringLiteral("No File Loaded"));
    EXPECT_TRUE(view->Program().moves.empty());
}

TEST_F(DncViewTest, CommandLineFilesAndEscAndUnreadableFiles)
{
    frame->OpenFile(writeProgram(QStringLiteral("part.Dnc"), "G01 X1\n"));
    ASSERT_NE(activeView(), nullptr);
    EXPECT_EQ(activeView()->Program().moves.size(), 1u);

    // The key waits in the queue until the reader lets pending input through after reading.
    QCoreApplication::postEvent(frame.get(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    OpenDncFile(*frame, writeProgram(QStringLiteral("two.dnc"), "G01 X2\n"));
    flushDeletes();
    EXPECT_EQ(frame->MdiArea().subWindowList().size(), 1);
    EXPECT_FALSE(shared().EscapePressed);
    EXPECT_EQ(frame->StatusBar1().text(0), QStringLiteral("Process Cancelled..."));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    const QString missing = folder.filePath(QStringLiteral("missing.dnc"));
    OpenDncFile(*frame, missing);
    flushDeletes();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains(missing));
    EXPECT_EQ(frame->MdiArea().subWindowList().size(), 1);
}

TEST_F(DncViewTest, FeedsAreGreenRapidsBlueAndOnlyTheBoxWhileDragging)
{
    // The coordinate line before any G word sets the box only; the moves stay near the origin,
    // in the part of the drawing the panel shows.
    TfrmDnc* view = open("X10 Y5\nG01 X1 Y1\nG00 X0 Y2\n");
    ASSERT_NE(view, nullptr);
    QImage picture = view->Draw3D().PictureOnWhite();
    EXPECT_GT(count(picture, kGreen), 10);
    EXPECT_GT(count(picture, kBlue), 10);
    // The scale comes from the drawing's own panel, not the window the text pane shares.
    const TDraw3D& panel = view->Draw3D();
    const auto panelScale = [&] { return std::min(panel.width() / 10.0, panel.height() / 5.0); };
    EXPECT_DOUBLE_EQ(view->ViewScale().scale, panelScale());
    EXPECT_EQ(view->ViewScale().base, view->Draw3D().DrawingBottom());
    // Moving the divider changes the panel, and the scale with it.
    const double before = view->ViewScale().scale;
    view->Splitter1().setSizes({view->width() / 2, view->width() / 2});
    view->Draw3D().PictureOnWhite();
    EXPECT_DOUBLE_EQ(view->ViewScale().scale, panelScale());
    EXPECT_NE(view->ViewScale().scale, before);

    // While a button is held only the box is drawn, in black.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view->Draw3D(), &press);
    EXPECT_TRUE(view->BoxOnly());
    picture = view->Draw3D().PictureOnWhite();
    EXPECT_EQ(count(picture, kGreen), 0);
    EXPECT_GT(count(picture, Qt::black), 10);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&view->Draw3D(), &release);
    EXPECT_FALSE(view->BoxOnly());
}

TEST_F(DncViewTest, ArcOnlyAndFlatProgramsAreScaledButArcsAreNotDrawn)
{
    TfrmDnc* arcs = open("G02 X10 Y0 I5 J0\nG03 X0 Y0 I-5\n");
    ASSERT_NE(arcs, nullptr);
    QImage picture = arcs->Draw3D().PictureOnWhite();
    EXPECT_EQ(count(picture, kGreen) + count(picture, kBlue), 0);
    const TDraw3D& panel = arcs->Draw3D();
    EXPECT_DOUBLE_EQ(arcs->ViewScale().scale,
                     std::min(panel.width() / 10.0, panel.height() / 10.0));

    TfrmDnc* flat = open("G01 Y40\nG00 Y0\n"); // no extent in x
    ASSERT_NE(flat, nullptr);
    flat->Draw3D().PictureOnWhite();
    EXPECT_EQ(flat->ViewScale().scale, 1);
    EXPECT_EQ(flat->ViewScale().base, 0);
}

TEST_F(DncViewTest, TextLinesCanBeSelectedAndCopied)
{
    QByteArray text;
    for (int k = 0; k < 5000; ++k)
        text += "G01 X" + QByteArray::number(k) + "\r\n";
    TfrmDnc* view = open(text);
    ASSERT_NE(view, nullptr);
    TDncText& pane = view->DncText();
    ASSERT_EQ(pane.LineCount(), 5000u);
    pane.SelectLines(10, 12);
    QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
    QApplication::sendEvent(&pane, &copy);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("G01 X10\nG01 X11\nG01 X12\n"));
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QApplication::sendEvent(&pane, &end);
    EXPECT_EQ(pane.SelectionFirst(), 4999u);
    EXPECT_GT(pane.TopLine(), 4900u); // the last line is in sight
}

// The manual's picture of a raster program, as our own G-code writer makes it from the
// sample picture. Skipped unless CORVANE_MANUAL_IMAGES names the folder to write it to; run
// it on a real display (xvfb-run) so that the window frame and fonts look as the user sees.
TEST_F(DncViewTest, RasterProgramForTheManual)
{
    const QString images = qEnvironmentVariable("CORVANE_MANUAL_IMAGES");
    if (images.isEmpty())
        GTEST_SKIP() << "set CORVANE_MANUAL_IMAGES to write the manual's pictures";
    const QString program = folder.filePath(QStringLiteral("relief.dnc"));
    const QString command =
        QStringLiteral(CORVANE_CLI " gcode " CORVANE_SAMPLES
                                   "/relief.bmp -o %1 --depth 0.2 --depth-per-pass 0.1 "
                                   "--rapid 0.1 --feed 40 --step-x 0.02 --step-y 0.02 "
                                   "2> /dev/null")
            .arg(program);
    ASSERT_EQ(std::system(command.toLocal8Bit().constData()), 0);
    frame->resize(960, 640);
    OpenDncFile(*frame, program);
    TfrmDnc* view = activeView();
    ASSERT_NE(view, nullptr);
    view->SubWindow()->setGeometry(frame->MdiArea().viewport()->rect());
    view->Splitter1().setSizes({view->width() * 2 / 3, view->width() / 3});
    view->Isometric1Click();
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(frame->grab().save(QDir(images).filePath(QStringLiteral("dnc-view.png"))));
}

} // namespace
} // namespace corvane::gui::testing
