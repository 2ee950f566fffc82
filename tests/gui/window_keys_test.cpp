// The keys every window answers alike: Ctrl+W closes the active window of any kind, Ctrl+O and
// Ctrl+Q reach the frame from any window, Home fits a 3D drawing, and F1 opens the page of the
// window the user works in (and says where the manual is when no browser starts).
#include "dnc/dnc_reader.h"
#include "gui/app/help_pages.h"
#include "gui/dnc/dnc_window.h"
#include "gui/draw3d/draw3d_panel.h"
#include "gui/mesh/dxf_view.h"
#include "gui/picture/picture_window.h"
#include "gui/picture/twisted_pixel.h"
#include "gui/simulation/cut_preview.h"
#include "gui_test_support.h"
#include "simulation/simulate_program.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QProcess>
#include <QTest>

namespace corvane::gui::testing {
namespace {

const char* const kQuad = "0\r\nSECTION\r\n2\r\nENTITIES\r\n"
                          "0\r\n3DFACE\r\n10\r\n0\r\n20\r\n0\r\n30\r\n0\r\n11\r\n4\r\n21\r\n"
                          "0\r\n31\r\n1\r\n12\r\n4\r\n22\r\n3\r\n32\r\n2\r\n13\r\n0\r\n23\r\n"
                          "3\r\n33\r\n1\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n";
const char* const kProgram = "G90 T0 F20\r\nG00 X1 Y1 Z0.1\r\nG01 Z-0.2\r\nG01 X4\r\nG01 Y3\r\n";

class WindowKeysTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        frame->activateWindow();
        QApplication::setActiveWindow(frame.get());
    }

    // One window of each kind, the last one opened active.
    TfrmPicture* openPicture()
    {
        frame->New1Click();
        return ActivePicture(*frame);
    }
    TfrmDXFView* openMesh()
    {
        OpenMeshFile(*frame, writeFile(QStringLiteral("quad.dxf"), kQuad));
        return activeChild<TfrmDXFView>();
    }
    TfrmDnc* openDnc()
    {
        OpenDncFile(*frame, writeFile(QStringLiteral("part.dnc"), kProgram));
        return activeChild<TfrmDnc>();
    }
    TfrmCutPreview* openPreview()
    {
        simulation::SimulationSettings settings;
        settings.cutter.radius = 0.25;
        settings.cell = 0.05;
        const dnc::DncProgram program = dnc::ParseDncProgram(kProgram, silentRunControl());
        return new TfrmCutPreview(
            *frame, simulation::SimulateProgram(program, settings, silentRunControl()),
            QStringLiteral("part.dnc"));
    }

    // The key as the user types it: to the focused widget of the active window.
    void type(QKeyCombination key)
    {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target ? target : frame.get(), key.key(), key.keyboardModifiers());
    }
    // Lets every started opener end and its end be seen.
    static void waitForOpeners()
    {
        for (QProcess* opener : QCoreApplication::instance()->findChildren<QProcess*>())
            opener->waitForFinished(30000);
        QCoreApplication::processEvents();
        flushDeletes();
    }
    int childCount() const { return int(frame->MdiArea().subWindowList().size()); }
};

TEST_F(WindowKeysTest, CtrlWClosesTheActiveWindowOfEveryKind)
{
    QWidget* windows[] = {openPicture(), openMesh(), openDnc(), openPreview()};
    // The keys of each kind's window menu are its File menu's: no clash to leave unanswered.
    for (QWidget* window : windows)
        ASSERT_NE(window, nullptr);
    // Each Ctrl+W closes the active window, whatever holds the focus in it.
    for (int left = 3; left >= 0; --left) {
        QMdiSubWindow* active = frame->ActiveChild();
        ASSERT_NE(active, nullptr);
        const QString kind = active->widget()->objectName();
        active->setFocus(); // the sub-window's frame, as after a click on it
        type(Qt::CTRL | Qt::Key_W);
        flushDeletes();
        ASSERT_EQ(childCount(), left) << "Ctrl+W left the " << kind.toStdString() << " open";
        EXPECT_FALSE(frame->MdiArea().subWindowList().contains(active));
    }
}

TEST_F(WindowKeysTest, CtrlOAndCtrlQReachTheFrameFromEveryWindow)
{
    const std::function<QWidget*()> openers[] = {
        [this] { return openPicture(); }, [this] { return openMesh(); },
        [this] { return openDnc(); }, [this] { return openPreview(); }};
    std::size_t asked = 0;
    for (const auto& open : openers) {
        QWidget* window = open();
        ASSERT_NE(window, nullptr);
        window->setFocus();
        type(Qt::CTRL | Qt::Key_O); // no file chosen
        EXPECT_EQ(prompts.openRequests.size(), ++asked) << window->objectName().toStdString();
    }
    // The same actions in the menus, so that the menus show the keys.
    auto* mesh = dynamic_cast<TfrmDXFView*>(frame->ChildWindows().at(2)->widget());
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->MenuItem(QStringLiteral("Load1")), frame->MenuItem(QStringLiteral("Load1")));
    EXPECT_EQ(mesh->MenuItem(QStringLiteral("Exit1")), frame->MenuItem(QStringLiteral("Exit1")));

    // Ctrl+Q from the Cut Preview ends the program: every window closes with the frame.
    type(Qt::CTRL | Qt::Key_Q);
    flushDeletes();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(childCount(), 0);
}

TEST_F(WindowKeysTest, HomeFitsTheDrawingInEvery3DWindow)
{
    TfrmDXFView* mesh = openMesh();
    ASSERT_NE(mesh, nullptr);
    TfrmDnc* dnc = openDnc();
    ASSERT_NE(dnc, nullptr);
    TfrmCutPreview* preview = openPreview();
    ASSERT_NE(preview, nullptr);
    for (auto [window, panel] : {std::pair<QWidget*, TDraw3D*>{mesh, &mesh->Draw3D()},
                                 {dnc, &dnc->Draw3D()},
                                 {preview, &preview->Draw3D()}}) {
        frame->MdiArea().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(window->parentWidget()));
        const ViewOptions fitted = panel->View();
        ViewOptions away = fitted;
        away.zoom = 700;
        away.horizOffset = -900;
        panel->SetView(away);
        panel->setFocus();
        type(Qt::Key_Home);
        EXPECT_EQ(panel->View(), fitted) << window->objectName().toStdString();
    }
}

TEST_F(WindowKeysTest, F1OpensThePageOfTheWindowTheUserWorksIn)
{
    std::vector<QString> pages;
    setUrlOpener([&](const QUrl& url) { pages.push_back(url.fileName()); });
    openPicture();
    // A click on the sub-window's title bar gives it the focus, not the picture.
    frame->ActiveChild()->setFocus();
    type(Qt::Key_F1);
    openMesh();
    frame->ActiveChild()->setFocus();
    type(Qt::Key_F1);
    // The focus on the frame itself (its tool bar): still the active window's page.
    frame->setFocus();
    type(Qt::Key_F1);
    setUrlOpener({});
    EXPECT_EQ(pages,
              (std::vector<QString>{QStringLiteral("picture.html"), QStringLiteral("mesh.html"),
                                    QStringLiteral("mesh.html")}));
}

TEST_F(WindowKeysTest, ABrowserThatFailsToStartLeadsToTheManualsPath)
{
    // The opener starts but ends in an error, as a browser refusing to run for root does; or
    // it cannot be started at all.
    for (const QString& opener : {QStringLiteral("false"), QStringLiteral("/nonexistent/opener")}) {
        setOpenerProgram(opener);
        prompts.messages.clear();
        frame->Contents1Click();
        waitForOpeners();
        ASSERT_EQ(prompts.messages.size(), 1u) << opener.toStdString();
        EXPECT_EQ(prompts.messages[0].text,
                  QStringLiteral("No web browser could be started to show the manual.\n"
                                 "The manual is at %1/index.html")
                      .arg(manualFolder()));
    }
    // An opener that succeeds says nothing.
    setOpenerProgram(QStringLiteral("true"));
    prompts.messages.clear();
    frame->Contents1Click();
    waitForOpeners();
    EXPECT_TRUE(prompts.messages.empty());
    setOpenerProgram(QStringLiteral("xdg-open"));
}

} // namespace
} // namespace corvane::gui::testing
