// TTwistedPixel: the imaging control of a picture window. A widget over the Qt-free picture
// model (core/imaging): it draws the picture, lets the user drag a selection rectangle, moves
// pictures through the system clipboard and runs plug-in filters from its right-click menu.
// Member names follow the control's own vocabulary (LoadImage, HasImage, ImageWidth, ...)
// so that the windows built on it read like the rest of the program.
#pragma once

#include "common/run_control.h"
#include "imaging/picture.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace corvane::imaging {
class PictureModel;
struct PixelRect;
} // namespace corvane::imaging

class TTwistedPixel : public QWidget {
    Q_OBJECT
public:
    explicit TTwistedPixel(QWidget* parent = nullptr);
    ~TTwistedPixel() override;

    // --- operations ---
    // Reads the file as a new document (no undo levels, no selection). On failure false comes
    // back, LastError() says why, and the control keeps what it had: a new control stays
    // without a picture (HasImage() false), a picture that was there is not lost.
    // Reports progress through OnProgressReport (done out of 100) while it reads, and asks
    // control at each progress point whether to stop (Esc): a stopped read fails with
    // LoadStopped() true, and the control keeps what it had.
    // Big pictures are normal: memory is about the picture's own size (3 bytes a pixel in
    // colour, 1 with a palette) plus nothing for BMP files, and the drawing reads the pixels
    // in place.
    bool LoadImage(const QString& fileName,
                   corvane::RunControl& control = corvane::silentRunControl());
    QString LastError() const;
    // The last LoadImage was stopped by the user rather than refused.
    bool LoadStopped() const;
    // Writes the picture (type code 4 BMP, 8 PCX, 9 TIFF, 11 JPEG); throws corvane::Error
    // naming the file and the reason. An existing file is only replaced once the new one is
    // complete.
    // Esc stops it (corvane::Cancelled), leaving the file as it was.
    void SaveImage(const QString& fileName, int typeCode,
                   corvane::RunControl& control = corvane::silentRunControl());
    int GetFileType(const QString& fileName) const;
    void Undo();
    int UndoLevels() const;
    void RecoverFromError();
    void ClearImage();
    void ClipboardCut();
    void ClipboardCopy();
    void ClipboardPaste();
    // As ClipboardPaste, with a picture handed over inside the program: the dialogs pass
    // pictures this way and leave what the user copied on the clipboard alone.
    void PastePicture(const corvane::imaging::Picture& picture);
    // As PastePicture, but into `place` (picture coordinates, cut off at the picture's edges)
    // whatever is selected now, or over the whole picture when place is unset: a dialog puts
    // back the part it took. The selection stays as it was.
    void PastePictureAt(const corvane::imaging::Picture& picture,
                        const std::optional<corvane::imaging::PixelRect>& place);
    // Runs an image operation over the picture as one undo level and shows the result. An
    // operation that throws (corvane::Cancelled included) leaves the picture as it was.
    void Process(const std::function<corvane::imaging::Picture(const corvane::imaging::Picture&)>&
                     operation);
    // Keeps only the selected part, as one undo level; the clipboard is left alone.
    void CropToSelection();
    bool HasImage() const;
    bool HasSelection() const;
    void ReleaseSelection();
    void LoadPlugins();
    // The plug-ins LoadPlugins found (full paths), in the order the menu offers them.
    QStringList Plugins() const;
    // Runs one plug-in over the picture as one undo level, reporting through `control`. On
    // failure the picture stays as it was, LastError() says why and false comes back; no
    // message is shown. A run stopped with Esc throws corvane::Cancelled. Emits
    // OnPluginFilterComplete either way.
    bool RunPlugin(const QString& programPath,
                   corvane::RunControl& control = corvane::silentRunControl());

    // --- properties ---
    int UndoSize() const;
    void SetUndoSize(int levels);
    int ImageWidth() const;
    int ImageHeight() const;
    int ImageXRes() const;
    void SetImageXRes(int pixelsPerUnit);
    int ImageYRes() const;
    void SetImageYRes(int pixelsPerUnit);
    int ImageBitCount() const;
    // The picture as it stands (the drawable graphic); empty when HasImage() is false.
    const corvane::imaging::Picture& Picture() const;
    bool FitToSize() const;
    void SetFitToSize(bool fit);
    int Tool() const; // 1: rectangle selection with the mouse
    void SetTool(int tool);
    QString PluginPathName() const;
    void SetPluginPathName(const QString& folder);
    bool ScrollbarsVisible() const;
    void SetScrollbarsVisible(bool visible);

    // The model under the widget, for image commands that process the picture (each call
    // there adds one undo level). Call update() afterwards.
    corvane::imaging::PictureModel& Model();
    const corvane::imaging::PictureModel& Model() const;

    QSize sizeHint() const override;

signals:
    void OnProgressReport(long done, long total);
    // The user changed the picture through the control (cut, paste, crop, a plug-in); the
    // document it belongs to now differs from its file.
    void OnPictureEdited();
    void OnPluginFilterComplete();
    // The user chose a plug-in from the right-click menu; the window runs it.
    void OnPluginChosen(const QString& programPath);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void pictureChanged();
    void layoutScrollBars();
    void refreshView();
    double scale() const;
    QPointF scrollOffset() const;
    QPoint toPicture(QPoint widgetPoint) const;
    QRectF toWidget(const corvane::imaging::PixelRect& area) const;

    struct State;
    std::unique_ptr<State> d;
};
