// Shared set-up of the GUI tests: a frame on a 24-bit screen composed as the program's is,
// scripted prompts, clean shared variables, a scratch folder and pictures written to it.
#pragma once

#include "gui/app/frame.h"
#include "gui/app/shared_state.h"
#include "gui/compose/compose_windows.h"
#include "gui/picture/direction_dialog.h"
#include "gui/picture/picture_window.h"
#include "gui/toolpaths/toolpaths_dialog.h"
#include "imaging/picture.h"
#include "scripted_prompts.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace corvane::gui::testing {

// A 24-bit picture of one colour.
imaging::Picture solidPicture(int width, int height, imaging::Rgb colour);

// Writes the picture as a BMP into the folder and returns its full name.
QString writeBmp(const QTemporaryDir& folder, const QString& name, const imaging::Picture& picture);

// The window Fit Window makes for a picture of this size: the picture with the sub-window's
// borders and title bar, but never smaller than 100 x 60.
inline QSize fittedWindowSize(const QMdiSubWindow& window, QSize picture)
{
    const QMargins margins = window.contentsMargins();
    return (picture + QSize(margins.left() + margins.right(), margins.top() + margins.bottom()))
        .expandedTo(QSize(100, 60));
}

// Runs the deferred deletes of closed windows.
inline void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

class FrameTest : public ::testing::Test {
protected:
    // Writes the bytes to a file of that name in the scratch folder; returns its full name.
    QString writeFile(const QString& name, const QByteArray& bytes) const
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(bytes);
        return path;
    }
    // The active child window's content if it is a Window, else null.
    template <class Window> Window* activeChild() const
    {
        QMdiSubWindow* window = frame->ActiveChild();
        return window ? dynamic_cast<Window*>(window->widget()) : nullptr;
    }

    // The frame's long-lived dialogs.
    TfrmToolPaths& toolpathsDialog() const { return *windows.toolpaths; }
    TfrmDirection& directionDialog() const { return *windows.direction; }

    void SetUp() override
    {
        resetShared();
        ASSERT_TRUE(folder.isValid());
        frame = std::make_unique<TCorvaneFrame>(TCorvaneFrame::Options{24});
        windows = composeWindows(*frame);
        frame->show();
    }
    void TearDown() override
    {
        frame.reset();
        flushDeletes();
    }

    ScriptedPrompts prompts;
    QTemporaryDir folder;
    std::unique_ptr<TCorvaneFrame> frame;
    ComposedWindows windows;
};

} // namespace corvane::gui::testing
