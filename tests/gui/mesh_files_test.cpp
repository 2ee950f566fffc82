// Mesh files in the mesh view: Import Mesh of STL (binary and ASCII), OBJ and PLY gives the
// lists the command line reads, broken files are named and leave nothing behind, and
// Create > Depth Map opens the top view as a 16-bit picture.
#include "gui/mesh/depth_map_dialog.h"
#include "gui/mesh/dxf_view.h"
#include "gui/picture/picture_window.h"
#include "gui/picture/twisted_pixel.h"
#include "gui_test_support.h"
#include "imaging/picture_io.h"

#include <QAction>
#include <QCheckBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <array>
#include <cstring>

namespace corvane::gui::testing {
namespace {

using Corner = std::array<float, 3>;
using Facet = std::array<Corner, 3>;

// A pyramid over the rectangle 0..2 x 0..1, its apex 1 high over the middle, closed by a
// flat base of two triangles (which the lists leave out and the depth map keeps).
const std::vector<Facet> kPyramid = {
    Facet{Corner{0, 0, 0}, Corner{2, 0, 0}, Corner{1, 0.5f, 1}},
    Facet{Corner{2, 0, 0}, Corner{2, 1, 0}, Corner{1, 0.5f, 1}},
    Facet{Corner{2, 1, 0}, Corner{0, 1, 0}, Corner{1, 0.5f, 1}},
    Facet{Corner{0, 1, 0}, Corner{0, 0, 0}, Corner{1, 0.5f, 1}},
    Facet{Corner{0, 0, 0}, Corner{0, 1, 0}, Corner{2, 1, 0}},
    Facet{Corner{0, 0, 0}, Corner{2, 1, 0}, Corner{2, 0, 0}},
};

QByteArray binaryStl(const std::vector<Facet>& facets, std::uint32_t statedCount)
{
    QByteArray bytes(80, ' ');
    bytes.append(reinterpret_cast<const char*>(&statedCount), 4);
    for (const Facet& f : facets) {
        const float record[12] = {0,       0,       0,       f[0][0], f[0][1], f[0][2],
                                  f[1][0], f[1][1], f[1][2], f[2][0], f[2][1], f[2][2]};
        bytes.append(reinterpret_cast<const char*>(record), sizeof record);
        bytes.append(2, '\0');
    }
    return bytes;
}

QByteArray asciiStl(const std::vector<Facet>& facets)
{
    QByteArray text = "solid pyramid\n";
    for (const Facet& f : facets) {
        text += "facet normal 0 0 0\nouter loop\n";
        for (const Corner& c : f)
            text += QByteArray("vertex ") + QByteArray::number(c[0]) + ' ' +
                    QByteArray::number(c[1]) + ' ' + QByteArray::number(c[2]) + '\n';
        text += "endloop\nendfacet\n";
    }
    return text + "endsolid pyramid\n";
}

// Corners numbered as met, shared between facets.
QByteArray objText(const std::vector<Facet>& facets)
{
    QByteArray vertices, faces;
    int n = 0;
    for (const Facet& f : facets) {
        faces += 'f';
        for (const Corner& c : f) {
            vertices += QByteArray("v ") + QByteArray::number(c[0]) + ' ' +
                        QByteArray::number(c[1]) + ' ' + QByteArray::number(c[2]) + '\n';
            faces += ' ' + QByteArray::number(++n);
        }
        faces += '\n';
    }
    return vertices + faces;
}

// One 3DFACE a facet, its fourth corner on its third.
QByteArray dxfText(const std::vector<Facet>& facets)
{
    QByteArray text = "0\r\nSECTION\r\n2\r\nENTITIES\r\n";
    for (const Facet& f : facets) {
        text += "0\r\n3DFACE\r\n";
        for (int corner = 0; corner < 4; ++corner)
            for (int axis = 0; axis < 3; ++axis)
                text += QByteArray::number(10 * (axis + 1) + corner) + "\r\n" +
                        QByteArray::number(f[std::size_t(std::min(corner, 2))][std::size_t(axis)]) +
                        "\r\n";
    }
    return text + "0\r\nENDSEC\r\n0\r\nEOF\r\n";
}

QByteArray plyText(const std::vector<Facet>& facets)
{
    QByteArray text = "ply\nformat ascii 1.0\nelement vertex " +
                      QByteArray::number(qsizetype(3 * facets.size())) +
                      "\nproperty float x\nproperty float y\nproperty float z\nelement face " +
                      QByteArray::number(qsizetype(facets.size())) +
                      "\nproperty list uchar int vertex_indices\nend_header\n";
    for (const Facet& f : facets)
        for (const Corner& c : f)
            text += QByteArray::number(c[0]) + ' ' + QByteArray::number(c[1]) + ' ' +
                    QByteArray::number(c[2]) + '\n';
    for (std::size_t i = 0; i < facets.size(); ++i)
        text += "3 " + QByteArray::number(qsizetype(3 * i)) + ' ' +
                QByteArray::number(qsizetype(3 * i + 1)) + ' ' +
                QByteArray::number(qsizetype(3 * i + 2)) + '\n';
    return text;
}

class MeshFilesTest : public FrameTest {
protected:
    TfrmDXFView* importMesh(const QString& path)
    {
        prompts.answerOpen(FileChoice{path, 1});
        frame->ImportMesh1Click();
        flushDeletes();
        return activeChild<TfrmDXFView>();
    }
    // What `corvane-cli mesh FILE --json` says.
    static QJsonObject cliSummary(const QString& path)
    {
        QProcess cli;
        cli.start(QStringLiteral(CORVANE_CLI),
                  {QStringLiteral("mesh"), path, QStringLiteral("--json")});
        EXPECT_TRUE(cli.waitForFinished(60000));
        EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
        return QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
    }
    TfrmPicture* depthMap(TfrmDXFView& view, const std::function<void(TfrmDepthMap&)>& fill)
    {
        view.MenuItem(QStringLiteral("DepthMap1"))->trigger();
        auto* dialog = view.findChild<TfrmDepthMap*>();
        if (!dialog)
            return nullptr;
        fill(*dialog);
        dialog->okButton()->click();
        flushDeletes();
        return activeChild<TfrmPicture>();
    }
};

TEST_F(MeshFilesTest, ImportMeshGivesTheListsTheCommandLineReads)
{
    const std::pair<QString, QByteArray> files[] = {
        {QStringLiteral("binary.stl"), binaryStl(kPyramid, std::uint32_t(kPyramid.size()))},
        {QStringLiteral("ascii.STL"), asciiStl(kPyramid)},
        {QStringLiteral("pyramid.obj"), objText(kPyramid)},
        {QStringLiteral("pyramid.ply"), plyText(kPyramid)},
        {QStringLiteral("pyramid.dxf"), dxfText(kPyramid)},
    };
    EXPECT_TRUE(frame->MenuItem(QStringLiteral("ImportMesh1"))->isEnabled());
    for (const auto& [name, bytes] : files) {
        const QString path = writeFile(name, bytes);
        TfrmDXFView* view = importMesh(path);
        ASSERT_NE(view, nullptr) << name.toStdString();
        EXPECT_TRUE(prompts.messages.empty()) << prompts.messages[0].text.toStdString();
        const QJsonObject cli = cliSummary(path);
        // Three sides a facet; the flat base is no triangle to slice.
        EXPECT_EQ(view->Mesh().edges.size(), 18u) << name.toStdString();
        EXPECT_EQ(view->Mesh().triangles.size(), 4u) << name.toStdString();
        EXPECT_EQ(qint64(view->Mesh().edges.size()), cli[QStringLiteral("edges")].toInteger());
        EXPECT_EQ(qint64(view->Mesh().triangles.size()),
                  cli[QStringLiteral("triangles")].toInteger());
        EXPECT_EQ(view->DocumentName(), path);
        EXPECT_TRUE(view->MenuItem(QStringLiteral("Toolpaths1"))->isEnabled());
        EXPECT_TRUE(view->MenuItem(QStringLiteral("DepthMap1"))->isEnabled());
        view->parentWidget()->close();
        flushDeletes();
    }
    // The prompt offers every kind at once, then each, DXF too.
    ASSERT_FALSE(prompts.openRequests.empty());
    const QString filter = qtFilterFromProgramFilter(prompts.openRequests[0].filter);
    EXPECT_TRUE(filter.startsWith(QStringLiteral("Mesh Files (*.stl *.obj *.ply *.off *.3mf)")))
        << filter.toStdString();
    EXPECT_TRUE(filter.contains(QStringLiteral("(*.dxf)"))) << filter.toStdString();
}

// The depth map reads every face again, the flat base the lists leave out included, so a DXF
// mesh gives the depth map of the same solid as an STL.
TEST_F(MeshFilesTest, ADxfMeshHasTheDepthMapOfTheSameSolidAsAnStl)
{
    const auto fiveAcross = [](TfrmDepthMap& dialog) {
        dialog.widthChoice()->setChecked(true);
        dialog.widthEdit()->setText(QStringLiteral("5"));
    };
    std::vector<std::vector<std::uint8_t>> maps;
    for (const auto& [name, bytes] :
         {std::pair{QStringLiteral("pyramid.dxf"), dxfText(kPyramid)},
          std::pair{QStringLiteral("pyramid.stl"), asciiStl(kPyramid)}}) {
        TfrmDXFView* view = importMesh(writeFile(name, bytes));
        ASSERT_NE(view, nullptr) << name.toStdString();
        ASSERT_TRUE(view->MenuItem(QStringLiteral("DepthMap1"))->isEnabled());
        TfrmPicture* map = depthMap(*view, fiveAcross);
        ASSERT_NE(map, nullptr) << name.toStdString();
        EXPECT_EQ(map->TP->Picture().samples(1)[2], 65535) << name.toStdString(); // the apex
        maps.push_back(map->TP->Picture().pixels);
    }
    EXPECT_EQ(maps[0], maps[1]);
}

TEST_F(MeshFilesTest, BrokenFilesAreNamedAndLeaveNothingBehind)
{
    frame->New1Click(); // a window that must stay as it is
    // Its menu bar, which stands in for the frame's, offers the very same command.
    ASSERT_NE(activeChild<TfrmPicture>(), nullptr);
    EXPECT_EQ(activeChild<TfrmPicture>()->MenuItem(QStringLiteral("ImportMesh1")),
              frame->MenuItem(QStringLiteral("ImportMesh1")));
    const std::pair<QString, QByteArray> files[] = {
        // The count promises a thousand facets; the bytes hold two.
        {QStringLiteral("short.stl"), binaryStl({kPyramid[0], kPyramid[1]}, 1000)},
        {QStringLiteral("none.stl"), binaryStl({}, 0)},
        {QStringLiteral("empty.obj"), QByteArray("# nothing\n")},
        {QStringLiteral("cut.ply"), plyText(kPyramid).left(120)},
        {QStringLiteral("points.xyz"), QByteArray("1 2 3\n")},
    };
    for (const auto& [name, bytes] : files) {
        const QString path = writeFile(name, bytes);
        prompts.messages.clear();
        EXPECT_EQ(importMesh(path), nullptr) << name.toStdString();
        ASSERT_EQ(frame->MdiArea().subWindowList().size(), 1) << name.toStdString();
        EXPECT_NE(activeChild<TfrmPicture>(), nullptr);
        ASSERT_EQ(prompts.messages.size(), 1u) << name.toStdString();
        const QString text = prompts.messages[0].text;
        EXPECT_TRUE(text.startsWith(QStringLiteral("Could not read %1.\n").arg(path)))
            << text.toStdString();
        EXPECT_GT(text.size(), QStringLiteral("Could not read %1.\n").arg(path).size())
            << "the reason follows the name";
    }
}

TEST_F(MeshFilesTest, DepthMapOpensTheTopViewAsA16BitPicture)
{
    const QString path = writeFile(QStringLiteral("pyramid.stl"),
                                   binaryStl(kPyramid, std::uint32_t(kPyramid.size())));
    TfrmDXFView* view = importMesh(path);
    ASSERT_NE(view, nullptr);

    // The proposal: the longer side 1000 pixels.
    TfrmPicture* standard = depthMap(*view, [](TfrmDepthMap& dialog) {
        EXPECT_TRUE(dialog.pixelChoice()->isChecked());
        EXPECT_EQ(dialog.pixelEdit()->text().toDouble(),
                  QString::number(2.0 / 999, 'g', 6).toDouble());
        EXPECT_EQ(dialog.sizeLabel()->text(), QStringLiteral("1000 x 500 pixels, 16 bits"));
        EXPECT_FALSE(dialog.invertCheck()->isChecked());
    });
    ASSERT_NE(standard, nullptr);
    const imaging::Picture& picture = standard->TP->Picture();
    EXPECT_EQ(picture.bitCount, 16);
    EXPECT_EQ(picture.width, 1000);
    EXPECT_EQ(picture.height, 500);
    EXPECT_EQ(standard->Caption(), folder.filePath(QStringLiteral("pyramid-depth.png")));
    EXPECT_TRUE(standard->Modified);
    // The command line's depth map of the same file, with the same defaults, is the same.
    const QString cliMap = folder.filePath(QStringLiteral("cli.pgm"));
    QProcess cli;
    cli.start(QStringLiteral(CORVANE_CLI),
              {QStringLiteral("depthmap"), path, QStringLiteral("-o"), cliMap});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const imaging::Picture fromCli = imaging::readPicture(cliMap.toStdString());
    EXPECT_EQ(fromCli.bitCount, 16);
    EXPECT_EQ(fromCli.width, picture.width);
    EXPECT_EQ(fromCli.height, picture.height);
    EXPECT_TRUE(fromCli.pixels == picture.pixels);

    // Five samples across put one on the apex and one half way up a side.
    auto fiveAcross = [](bool invert) {
        return [invert](TfrmDepthMap& dialog) {
            dialog.widthChoice()->setChecked(true);
            dialog.widthEdit()->setText(QStringLiteral("5"));
            dialog.invertCheck()->setChecked(invert);
            EXPECT_EQ(dialog.sizeLabel()->text(), QStringLiteral("5 x 3 pixels, 16 bits"));
        };
    };
    frame->MdiArea().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(view->parentWidget()));
    TfrmPicture* plain = depthMap(*view, fiveAcross(false));
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(plain, standard);
    frame->MdiArea().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(view->parentWidget()));
    TfrmPicture* inverted = depthMap(*view, fiveAcross(true));
    ASSERT_NE(inverted, nullptr);
    for (auto [window, apex, side, corner] :
         {std::tuple{plain, 65535, 32768, 0}, std::tuple{inverted, 0, 32767, 65535}}) {
        const imaging::Picture& p = window->TP->Picture();
        ASSERT_EQ(p.width, 5);
        ASSERT_EQ(p.height, 3);
        EXPECT_EQ(p.samples(1)[2], apex);
        EXPECT_EQ(p.samples(1)[1], side);
        EXPECT_EQ(p.samples(0)[0], corner);
        EXPECT_EQ(p.samples(2)[4], corner);
    }
}

TEST_F(MeshFilesTest, TheDepthMapDialogRefusesWhatTheDepthMapWould)
{
    const QString path = writeFile(QStringLiteral("pyramid.stl"),
                                   binaryStl(kPyramid, std::uint32_t(kPyramid.size())));
    TfrmDXFView* view = importMesh(path);
    ASSERT_NE(view, nullptr);
    view->MenuItem(QStringLiteral("DepthMap1"))->trigger();
    auto* dialog = view->findChild<TfrmDepthMap*>();
    ASSERT_NE(dialog, nullptr);
    for (const char* pixel : {"0", "-1", "abc", "1e-9"}) {
        dialog->pixelEdit()->setText(QString::fromLatin1(pixel));
        EXPECT_FALSE(dialog->okButton()->isEnabled()) << pixel;
        EXPECT_FALSE(dialog->sizeLabel()->text().contains(QStringLiteral("pixels, 16 bits")))
            << pixel;
    }
    dialog->widthChoice()->setChecked(true);
    for (const char* width : {"1", "0", "2.5", "x"}) {
        dialog->widthEdit()->setText(QString::fromLatin1(width));
        EXPECT_FALSE(dialog->okButton()->isEnabled()) << width;
    }
    dialog->widthEdit()->setText(QStringLiteral("2"));
    EXPECT_TRUE(dialog->okButton()->isEnabled());
    EXPECT_EQ(dialog->sizeLabel()->text(), QStringLiteral("2 x 1 pixels, 16 bits"));
}

} // namespace
} // namespace corvane::gui::testing
