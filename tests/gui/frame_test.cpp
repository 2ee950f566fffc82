// The frame: start-up state, the colour-depth warning, tool buttons, the file dialogs'
// memory, plug-in folder, keys, help pages and exiting with unsaved pictures.
#include "gui/app/about.h"
#include "gui/app/color_depth.h"
#include "gui/app/file_dialogs.h"
#include "gui/app/help_pages.h"
#include "gui/picture/direction_dialog.h"
#include "gui/picture/picture_window.h"
#include "gui/picture/twisted_pixel.h"
#include "gui_test_support.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

namespace corvane::gui::testing {
namespace {

using FrameStartTest = FrameTest;

TEST_F(FrameStartTest, PictureToolsStartDisabledAndNewImageEnablesThem)
{
    for (int number : {3, 4, 6, 7})
        EXPECT_FALSE(frame->ToolButton(number)->isEnabled()) << "ToolButton" << number;
    EXPECT_TRUE(frame->ToolButton(1)->isEnabled());
    EXPECT_TRUE(frame->ToolButton(2)->isEnabled());

    frame->New1Click();
    for (int number : {3, 4, 6, 7})
        EXPECT_TRUE(frame->ToolButton(number)->isEnabled()) << "ToolButton" << number;
    ASSERT_NE(ActivePicture(*frame), nullptr);
    EXPECT_EQ(ActivePicture(*frame)->Caption(), QStringLiteral("New Picture"));
    EXPECT_TRUE(shared().PictureChanged);
}

TEST_F(FrameStartTest, ClosingTheLastPictureDisablesThePictureToolsAgain)
{
    frame->New1Click();
    ActivePicture(*frame)->mnuCloseClick();
    flushDeletes();
    EXPECT_TRUE(frame->MdiArea().subWindowList().isEmpty());
    EXPECT_FALSE(frame->ToolButton(3)->isEnabled());
}

TEST_F(FrameStartTest, ToolsStayOnWhileAnotherKindOfChildIsOpenAndThenDoNothing)
{
    TfrmPicture* picture = NewPicture(*frame);
    frame->AddChildWindow(new QWidget); // stands for a mesh or DNC view
    picture->mnuCloseClick();
    flushDeletes();
    ASSERT_EQ(frame->MdiArea().subWindowList().size(), 1);
    EXPECT_TRUE(frame->ToolButton(3)->isEnabled());

    frame->ToolButton(3)->trigger();
    frame->ToolButton(4)->trigger();
    frame->ToolButton(6)->trigger();
    frame->ToolButton(7)->trigger();
    EXPECT_TRUE(prompts.saveRequests.empty());
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(FrameStartTest, StatusBarAndSharedVariablesStartAsDocumented)
{
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Corvane"));
    EXPECT_FALSE(frame->StatusBar1().gaugeVisible());
    EXPECT_EQ(frame->StatusBar1().width(2), 50);
    EXPECT_EQ(shared().LightDirection, 1);
    EXPECT_EQ(shared().VectorGridColumns, 1);
    EXPECT_EQ(shared().VectorGridRows, 1);
    EXPECT_TRUE(prompts.messages.empty()) << "a 24-bit screen gets no warning";
}

TEST_F(FrameStartTest, ResizeSetsThePanelWidths)
{
    frame->resize(700, 400);
    EXPECT_EQ(frame->StatusBar1().width(0), frame->width() - 200);
    EXPECT_EQ(frame->StatusBar1().width(1), 100);
}

TEST(ColorDepth, A256ColourScreenIsWarnedAndA65536ColourScreenIsNot)
{
    resetShared();
    {
        ScriptedPrompts prompts;
        TCorvaneFrame frame(TCorvaneFrame::Options{8});
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].title, QStringLiteral("Warning"));
        EXPECT_EQ(prompts.messages[0].text,
                  QStringLiteral("This program requires a Color Depth > 256 256 colors detected."));
        EXPECT_EQ(prompts.messages[0].buttons, ButtonOk);
    }
    {
        ScriptedPrompts prompts;
        TCorvaneFrame frame(TCorvaneFrame::Options{16});
        EXPECT_EQ(frame.ScreenColorCount(), 65536);
        EXPECT_TRUE(prompts.messages.empty());
    }
    EXPECT_EQ(ScreenColorCount(32), 1LL << 24);
    EXPECT_EQ(ScreenColorCount(4, 2), 256);
}

using FrameDialogsTest = FrameTest;

TEST_F(FrameDialogsTest, LoadImageRemembersTheLastFileAndImportsClearIt)
{
    const QString picture =
        writeBmp(folder, QStringLiteral("a.bmp"), solidPicture(4, 3, {1, 2, 3}));
    prompts.answerOpen(FileChoice{picture, 1});
    frame->Load1Click();
    ASSERT_EQ(prompts.openRequests.size(), 1u);
    EXPECT_TRUE(prompts.openRequests[0].filter.startsWith(
        QStringLiteral("All image files|*.Bmp;*.Jpg;*.Tif;*.Pcx;*.Gif;*.Wmf;")));
    EXPECT_EQ(ActivePicture(*frame)->Caption(), picture);

    frame->Load1Click(); // cancelled
    ASSERT_EQ(prompts.openRequests.size(), 2u);
    EXPECT_EQ(prompts.openRequests[1].fileName, picture);

    shared().CurrentJob = JobGCode;
    frame->ImportDXFMesh1Click(); // cancelled, still resets the job
    EXPECT_EQ(shared().CurrentJob, JobMeshImport);
    EXPECT_TRUE(prompts.openRequests[2].fileName.isEmpty());
    EXPECT_EQ(prompts.openRequests[2].filter, QStringLiteral("DXF files|*.Dxf|*.dxf"));

    frame->ImportDNCFile1Click(); // cancelled: still Ready
    EXPECT_EQ(frame->StatusBar1().text(0), QStringLiteral("Ready..."));
}

TEST_F(FrameDialogsTest, SaveDialogStartsInTheDocumentsFolderElseTheLastElseHome)
{
    TSaveDialog dialog;
    SaveRequest request;
    EXPECT_EQ(dialog.startFolder(request), QDir::homePath()) << "never the program's folder";
    request.documentFolder = folder.path();
    EXPECT_EQ(dialog.startFolder(request), QDir(folder.path()).absolutePath());

    QDir(folder.path()).mkdir(QStringLiteral("out"));
    prompts.answerSave(FileChoice{folder.filePath(QStringLiteral("out/a.Dxf")), 1});
    dialog.Execute(
        SaveRequest{QStringLiteral("DXF Files|*.Dxf"), 1, QStringLiteral("Dxf"), {}, {}});
    EXPECT_EQ(dialog.startFolder(SaveRequest{}), folder.filePath(QStringLiteral("out")));
}

TEST_F(FrameDialogsTest, SetPluginPathAsksForAFolderAndCancelEmptiesIt)
{
    prompts.answerFolder(folder.path());
    frame->SetPluginPath1Click();
    EXPECT_EQ(shared().PluginPath, folder.path());
    ASSERT_EQ(prompts.folderTitles.size(), 1u);
    EXPECT_EQ(prompts.folderTitles[0], QStringLiteral("Select Plug Ins Path"));

    frame->New1Click();
    EXPECT_EQ(ActivePicture(*frame)->TP->PluginPathName(), folder.path());

    frame->SetPluginPath1Click(); // cancelled
    EXPECT_TRUE(shared().PluginPath.isEmpty());
    frame->New1Click();
    EXPECT_TRUE(ActivePicture(*frame)->TP->PluginPathName().isEmpty());
}

using FrameKeysTest = FrameTest;

TEST_F(FrameKeysTest, EscapeSetsEscapePressedWhicheverWidgetHasTheFocus)
{
    frame->New1Click();
    QTest::keyClick(ActivePicture(*frame)->TP, Qt::Key_Escape);
    EXPECT_TRUE(shared().EscapePressed);
}

TEST_F(FrameKeysTest, EscapeThatClosesAModalPromptOnlyClosesIt)
{
    frame->New1Click();
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), QStringLiteral("Replace?"),
                    QMessageBox::Yes | QMessageBox::No, frame.get());
    QTimer::singleShot(0, &box, [&] { QTest::keyClick(&box, Qt::Key_Escape); });
    box.exec();
    QFileDialog files(frame.get());
    files.setOption(QFileDialog::DontUseNativeDialog);
    QTimer::singleShot(0, &files, [&] { QTest::keyClick(files.focusWidget(), Qt::Key_Escape); });
    EXPECT_EQ(files.exec(), QDialog::Rejected);
    EXPECT_FALSE(shared().EscapePressed);
}

TEST_F(FrameKeysTest, HelpOpensTheManualPageOfTheFocusedWindow)
{
    std::vector<QUrl> opened;
    setUrlOpener([&](const QUrl& url) { opened.push_back(url); });

    frame->Contents1Click();
    frame->New1Click();
    QTest::keyClick(ActivePicture(*frame)->TP, Qt::Key_F1);
    directionDialog().show();
    QTest::keyClick(&directionDialog(), Qt::Key_F1);
    directionDialog().hide();
    setUrlOpener({});

    ASSERT_EQ(opened.size(), 3u);
    EXPECT_TRUE(opened[0].toLocalFile().endsWith(QStringLiteral("/index.html")));
    EXPECT_TRUE(opened[1].toLocalFile().endsWith(QStringLiteral("/picture.html")));
    EXPECT_TRUE(opened[2].toLocalFile().endsWith(QStringLiteral("/dialogs.html")));
    EXPECT_TRUE(QFileInfo::exists(opened[0].toLocalFile())) << "the manual is in the tree";
}

using FrameChildrenTest = FrameTest;

TEST_F(FrameChildrenTest, AChildLargerThanTheAreaGrowsTheFrameAndShowsWhole)
{
    frame->resize(500, 400);
    auto* content = new QWidget;
    QMdiSubWindow* window = frame->AddChildWindow(content);
    window->setGeometry(300, 300, 600, 420);
    frame->KeepChildInside(window);
    const QRect area = frame->MdiArea().viewport()->rect();
    EXPECT_GE(area.width(), 600);
    EXPECT_TRUE(area.contains(window->geometry()));
}

TEST_F(FrameChildrenTest, TheMessagePanelShowsLongTextsElidedAndKeepsThemWhole)
{
    frame->resize(700, 400);
    const QString text = QStringLiteral("Loading /") + QString(300, QLatin1Char('x')) +
                         QStringLiteral("/scan.bmp... Esc to Cancel.");
    frame->StatusBar1().setText(0, text);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->StatusBar1().text(0), text);
    const auto* panel = frame->statusBar()->findChild<QLabel*>(QStringLiteral("StatusPanel"));
    ASSERT_NE(panel, nullptr);
    EXPECT_GT(panel->width(), 400) << "the panel takes the room the frame gives it";
    EXPECT_TRUE(panel->text().endsWith(QStringLiteral("Esc to Cancel.")));
    EXPECT_LT(panel->text().size(), text.size());
}

TEST_F(FrameChildrenTest, ActivePictureMenusReplaceTheFramesMenus)
{
    auto titles = [&] {
        QStringList result;
        for (QAction* action : frame->menuBar()->actions())
            result << action->text();
        return result;
    };
    EXPECT_EQ(titles(), (QStringList{"&File", "&Window", "&Help"}));
    frame->New1Click();
    EXPECT_EQ(titles(), (QStringList{"&File", "&Edit", "&Image", "&Create", "&Window", "&Help"}));
    ActivePicture(*frame)->mnuCloseClick();
    flushDeletes();
    EXPECT_EQ(titles(), (QStringList{"&File", "&Window", "&Help"}));
}

TEST_F(FrameChildrenTest, ChildListPutsTheActiveWindowFirstAndRecordTargetIndexCountsFromIt)
{
    TfrmPicture* first = NewPicture(*frame);
    TfrmPicture* second = NewPicture(*frame);
    ASSERT_EQ(frame->ChildWindows().size(), 2);
    EXPECT_EQ(frame->ChildWindows()[0], second->SubWindow());

    shared().TargetChildIndex = 0;
    second->RecordTargetIndex();
    EXPECT_EQ(shared().TargetChildIndex, 1);

    frame->MdiArea().setActiveSubWindow(first->SubWindow());
    EXPECT_EQ(frame->ChildWindows()[0], first->SubWindow());
    EXPECT_EQ(frame->ChildWindows()[1], second->SubWindow());
    EXPECT_EQ(ActivePicture(*frame), first);
    shared().TargetChildIndex = 0;
    first->RecordTargetIndex();
    EXPECT_EQ(shared().TargetChildIndex, 1);
}

TEST_F(FrameChildrenTest, TileStacksTheChildrenAtFullWidth)
{
    TfrmPicture* first = NewPicture(*frame);
    TfrmPicture* second = NewPicture(*frame);
    frame->Tile1Click();
    const int areaWidth = frame->MdiArea().viewport()->width();
    EXPECT_EQ(first->SubWindow()->width(), areaWidth);
    EXPECT_EQ(second->SubWindow()->width(), areaWidth);
    EXPECT_EQ(first->SubWindow()->y(), 0);
    EXPECT_EQ(second->SubWindow()->y(), first->SubWindow()->height());
}

TEST_F(FrameChildrenTest, CommandLineFilesOpenByKindWithTheirFullName)
{
    QStringList opened;
    // The DNC view registers itself; this opener stands in for it.
    frame->RegisterFileKind(QStringLiteral("dnc"),
                            [&](WindowFrame&, const QString& name) { opened << name; });
    EXPECT_TRUE(frame->MenuItem(QStringLiteral("ImportDNCFile1"))->isEnabled());

    frame->OpenFile(QStringLiteral("part.DNC"));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], QDir::current().absoluteFilePath(QStringLiteral("part.DNC")));

    const QString picture =
        writeBmp(folder, QStringLiteral("p.bmp"), solidPicture(3, 3, {0, 0, 0}));
    frame->OpenFile(picture);
    ASSERT_NE(ActivePicture(*frame), nullptr);
    EXPECT_EQ(ActivePicture(*frame)->Caption(), picture);

    frame->OpenFile(folder.filePath(QStringLiteral("missing.bmp")));
    flushDeletes();
    EXPECT_EQ(prompts.messages.size(), 1u) << "the user is told";
    EXPECT_EQ(frame->MdiArea().subWindowList().size(), 1) << "and no empty window stays";
}

TEST_F(FrameChildrenTest, AboutBoxShowsVersionAndCreditsAndClosingHidesIt)
{
    frame->About1Click();
    TfrmAbout& about = frame->frmAbout();
    EXPECT_TRUE(about.isVisible());
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Corvane"));
    QStringList texts;
    for (const QLabel* label : about.findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Corvane")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Version 2.1.0.6")));
    const QString credit = about.findChild<QLabel*>(QStringLiteral("lblCredit"))->text();
    EXPECT_TRUE(credit.contains(QStringLiteral("Qt")));
    EXPECT_TRUE(credit.contains(QStringLiteral("ImageMagick")));

    about.findChild<QPushButton*>()->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(&frame->frmAbout(), &about) << "kept for the next time";
}

using FrameExitTest = FrameTest;

TEST_F(FrameExitTest, ExitAsksEachModifiedPictureAndStopsAtCancel)
{
    TfrmPicture* first = NewPicture(*frame);
    TfrmPicture* second = NewPicture(*frame);
    first->Modified = true;
    second->Modified = true;

    prompts.answerMessage(ButtonCancel);
    frame->Exit1Click();
    flushDeletes();
    EXPECT_EQ(prompts.messages.size(), 1u) << "the second picture is not asked";
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->MdiArea().subWindowList().size(), 2);

    prompts.answerMessage(ButtonNo);
    prompts.answerMessage(ButtonCancel);
    frame->Exit1Click();
    flushDeletes();
    ASSERT_EQ(prompts.messages.size(), 3u);
    EXPECT_EQ(prompts.messages[1].text, QStringLiteral("Save changes to New Picture?"));
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->MdiArea().subWindowList().size(), 1);

    prompts.answerMessage(ButtonNo);
    frame->Exit1Click();
    EXPECT_FALSE(frame->isVisible());
}

} // namespace
} // namespace corvane::gui::testing
