#include "gui/picture/twisted_pixel.h"

#include "common/error.h"
#include "gui/picture/picture_qimage.h"
#include "imaging/picture_io.h"
#include "imaging/picture_model.h"
#include "imaging/plugin_filter.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <cmath>

using corvane::imaging::PictureModel;
using corvane::imaging::PixelRect;

struct TTwistedPixel::State {
    PictureModel model;
    QString lastError;
    bool loadStopped = false;
    bool fitToSize = false;
    int tool = 1;
    QString pluginFolder;
    QStringList plugins;
    bool scrollbarsVisible = false;
    QScrollBar* horizontal = nullptr;
    QScrollBar* vertical = nullptr;

    // What was last drawn, rebuilt when the model's picture changes.
    unsigned long drawnRevision = ~0ul;
    QImage view;   // reads the model's pixels directly
    QImage scaled; // the fitted picture at scaledSize, for FitToSize
    QSize scaledSize;

    bool dragging = false;
    QPoint dragStart; // picture pixel
};

TTwistedPixel::TTwistedPixel(QWidget* parent) : QWidget(parent), d(std::make_unique<State>())
{
    setMouseTracking(false);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    d->horizontal = new QScrollBar(Qt::Horizontal, this);
    d->vertical = new QScrollBar(Qt::Vertical, this);
    d->horizontal->hide();
    d->vertical->hide();
    connect(d->horizontal, &QScrollBar::valueChanged, this, [this] { update(); });
    connect(d->vertical, &QScrollBar::valueChanged, this, [this] { update(); });
}

TTwistedPixel::~TTwistedPixel() = default;

// --- operations ---

namespace {

// The caller's run control, with the percentages also sent out as OnProgressReport.
class ProgressSignal : public corvane::RunControl {
public:
    ProgressSignal(TTwistedPixel& control, corvane::RunControl& caller)
        : control_(control), caller_(caller)
    {
    }
    void showStatus(const std::string& text) override { caller_.showStatus(text); }
    void showProgress(corvane::ProgressDisplay, int percent) override
    {
        emit control_.OnProgressReport(percent, 100);
    }
    void endProgress(corvane::ProgressDisplay where) override { caller_.endProgress(where); }
    void checkpoint() override { caller_.checkpoint(); }
    bool escapePressed() override { return caller_.escapePressed(); }
    bool takeStopRequest() override { return caller_.takeStopRequest(); }

private:
    TTwistedPixel& control_;
    corvane::RunControl& caller_;
};

} // namespace

bool TTwistedPixel::LoadImage(const QString& fileName, corvane::RunControl& control)
{
    d->loadStopped = false;
    try {
        ProgressSignal progress(*this, control);
        d->model.load(fileName.toStdString(), progress);
        d->lastError.clear();
    } catch (const corvane::imaging::ReadStopped& e) {
        d->loadStopped = true;
        d->lastError = QString::fromStdString(e.what());
    } catch (const corvane::Error& e) {
        d->lastError = QString::fromStdString(e.what());
    } catch (const std::bad_alloc&) {
        d->lastError = fileName + ": not enough memory to load the picture";
    }
    pictureChanged();
    return d->lastError.isEmpty();
}

QString TTwistedPixel::LastError() const
{
    return d->lastError;
}

bool TTwistedPixel::LoadStopped() const
{
    return d->loadStopped;
}

void TTwistedPixel::SaveImage(const QString& fileName, int typeCode, corvane::RunControl& control)
{
    d->model.save(fileName.toStdString(), typeCode, control);
}

int TTwistedPixel::GetFileType(const QString& fileName) const
{
    return corvane::imaging::fileTypeFromName(fileName.toStdString());
}

void TTwistedPixel::Undo()
{
    d->model.undo();
    pictureChanged();
}

int TTwistedPixel::UndoLevels() const
{
    return d->model.undoLevels();
}

void TTwistedPixel::RecoverFromError()
{
    d->dragging = false;
    d->model.recoverFromError();
    pictureChanged();
}

void TTwistedPixel::ClearImage()
{
    d->model.clear();
    pictureChanged();
}

void TTwistedPixel::ClipboardCut()
{
    if (!HasImage())
        return;
    QGuiApplication::clipboard()->setImage(corvane::gui::toQImage(d->model.cut()));
    pictureChanged();
    emit OnPictureEdited();
}

void TTwistedPixel::ClipboardCopy()
{
    if (!HasImage())
        return;
    QGuiApplication::clipboard()->setImage(corvane::gui::toQImage(d->model.copy()));
}

void TTwistedPixel::ClipboardPaste()
{
    const QImage image = QGuiApplication::clipboard()->image();
    if (image.isNull())
        return;
    d->model.paste(corvane::gui::fromQImage(image));
    pictureChanged();
    emit OnPictureEdited();
}

void TTwistedPixel::PastePicture(const corvane::imaging::Picture& picture)
{
    if (picture.empty())
        return;
    d->model.paste(picture);
    pictureChanged();
    emit OnPictureEdited();
}

void TTwistedPixel::PastePictureAt(const corvane::imaging::Picture& picture,
                                   const std::optional<corvane::imaging::PixelRect>& place)
{
    if (picture.empty())
        return;
    corvane::imaging::PictureModel& model = d->model;
    const auto kept = model.selection();
    auto restoreSelection = [&] {
        if (kept)
            model.select(*kept);
        else
            model.releaseSelection();
    };
    if (place)
        model.select(*place);
    else
        model.releaseSelection();
    if (place && !model.hasSelection()) {
        restoreSelection(); // the place lies outside the picture now: nothing to paste into
        update();
        return;
    }
    try {
        model.paste(picture);
    } catch (...) {
        restoreSelection();
        throw;
    }
    restoreSelection();
    pictureChanged();
    emit OnPictureEdited();
}

void TTwistedPixel::Process(
    const std::function<corvane::imaging::Picture(const corvane::imaging::Picture&)>& operation)
{
    if (!HasImage())
        return;
    d->model.process(operation);
    pictureChanged();
}

void TTwistedPixel::CropToSelection()
{
    if (!HasSelection())
        return;
    d->model.cropToSelection();
    pictureChanged();
    emit OnPictureEdited();
}

bool TTwistedPixel::HasImage() const
{
    return d->model.hasImage();
}
bool TTwistedPixel::HasSelection() const
{
    return d->model.hasSelection();
}

void TTwistedPixel::ReleaseSelection()
{
    d->model.releaseSelection();
    update();
}

void TTwistedPixel::LoadPlugins()
{
    d->plugins.clear();
    for (const std::string& path : corvane::imaging::listPlugins(d->pluginFolder.toStdString()))
        d->plugins.push_back(QString::fromStdString(path));
}

QStringList TTwistedPixel::Plugins() const
{
    return d->plugins;
}

bool TTwistedPixel::RunPlugin(const QString& programPath, corvane::RunControl& control)
{
    bool ran = false;
    try {
        d->model.runPlugin(programPath.toStdString(), control);
        d->lastError.clear();
        ran = true;
    } catch (const corvane::Cancelled&) {
        pictureChanged();
        emit OnPluginFilterComplete();
        throw;
    } catch (const corvane::Error& e) {
        d->lastError = QString::fromStdString(e.what());
    } catch (const std::bad_alloc&) {
        d->lastError = programPath + ": not enough memory for the plug-in's picture";
    }
    pictureChanged();
    if (ran)
        emit OnPictureEdited();
    emit OnPluginFilterComplete();
    return ran;
}

// --- properties ---

int TTwistedPixel::UndoSize() const
{
    return d->model.undoSize();
}
void TTwistedPixel::SetUndoSize(int levels)
{
    d->model.setUndoSize(levels);
}
int TTwistedPixel::ImageWidth() const
{
    return d->model.width();
}
int TTwistedPixel::ImageHeight() const
{
    return d->model.height();
}
int TTwistedPixel::ImageXRes() const
{
    return d->model.xRes();
}
void TTwistedPixel::SetImageXRes(int pixelsPerUnit)
{
    d->model.setXRes(pixelsPerUnit);
}
int TTwistedPixel::ImageYRes() const
{
    return d->model.yRes();
}
void TTwistedPixel::SetImageYRes(int pixelsPerUnit)
{
    d->model.setYRes(pixelsPerUnit);
}
int TTwistedPixel::ImageBitCount() const
{
    return d->model.bitCount();
}
const corvane::imaging::Picture& TTwistedPixel::Picture() const
{
    return d->model.picture();
}
bool TTwistedPixel::FitToSize() const
{
    return d->fitToSize;
}

void TTwistedPixel::SetFitToSize(bool fit)
{
    d->fitToSize = fit;
    layoutScrollBars();
    update();
}

int TTwistedPixel::Tool() const
{
    return d->tool;
}
void TTwistedPixel::SetTool(int tool)
{
    d->tool = tool;
}
QString TTwistedPixel::PluginPathName() const
{
    return d->pluginFolder;
}
void TTwistedPixel::SetPluginPathName(const QString& folder)
{
    d->pluginFolder = folder;
}
bool TTwistedPixel::ScrollbarsVisible() const
{
    return d->scrollbarsVisible;
}

void TTwistedPixel::SetScrollbarsVisible(bool visible)
{
    d->scrollbarsVisible = visible;
    layoutScrollBars();
    update();
}

corvane::imaging::PictureModel& TTwistedPixel::Model()
{
    return d->model;
}

const corvane::imaging::PictureModel& TTwistedPixel::Model() const
{
    return d->model;
}

QSize TTwistedPixel::sizeHint() const
{
    return HasImage() ? QSize(ImageWidth(), ImageHeight()) : QSize(250, 250);
}

// --- drawing ---

void TTwistedPixel::pictureChanged()
{
    layoutScrollBars();
    updateGeometry();
    update();
}

void TTwistedPixel::layoutScrollBars()
{
    const bool show = d->scrollbarsVisible && !d->fitToSize && HasImage();
    const int thickness = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const bool wide = show && ImageWidth() > width();
    const bool tall = show && ImageHeight() > height() - (wide ? thickness : 0);
    const int viewWidth = width() - (tall ? thickness : 0);
    const int viewHeight = height() - (wide ? thickness : 0);
    d->horizontal->setVisible(wide);
    d->vertical->setVisible(tall);
    d->horizontal->setRange(0, wide ? ImageWidth() - viewWidth : 0);
    d->horizontal->setPageStep(std::max(viewWidth, 1));
    d->horizontal->setGeometry(0, height() - thickness, viewWidth, thickness);
    d->vertical->setRange(0, tall ? ImageHeight() - viewHeight : 0);
    d->vertical->setPageStep(std::max(viewHeight, 1));
    d->vertical->setGeometry(width() - thickness, 0, thickness, viewHeight);
}

double TTwistedPixel::scale() const
{
    if (!d->fitToSize || !HasImage())
        return 1.0;
    return std::min(double(width()) / ImageWidth(), double(height()) / ImageHeight());
}

QPointF TTwistedPixel::scrollOffset() const
{
    // isHidden, not isVisible: the offset holds while the widget itself is not on screen.
    return {!d->horizontal->isHidden() ? double(d->horizontal->value()) : 0.0,
            !d->vertical->isHidden() ? double(d->vertical->value()) : 0.0};
}

QPoint TTwistedPixel::toPicture(QPoint widgetPoint) const
{
    const double s = scale();
    if (!(s > 0)) // a widget squeezed to nothing shows no pixel
        return {0, 0};
    const QPointF p = (QPointF(widgetPoint) + scrollOffset()) / s;
    return {std::clamp(int(std::floor(p.x())), 0, std::max(ImageWidth() - 1, 0)),
            std::clamp(int(std::floor(p.y())), 0, std::max(ImageHeight() - 1, 0))};
}

QRectF TTwistedPixel::toWidget(const PixelRect& area) const
{
    const double s = scale();
    return QRectF(area.x * s, area.y * s, area.width * s, area.height * s)
        .translated(-scrollOffset());
}

void TTwistedPixel::refreshView()
{
    if (d->drawnRevision == d->model.pictureRevision())
        return;
    d->view = corvane::gui::viewOf(d->model.picture());
    d->scaled = QImage();
    d->drawnRevision = d->model.pictureRevision();
}

void TTwistedPixel::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!HasImage())
        return;
    refreshView();
    if (d->fitToSize) {
        const QSize target = (QSizeF(ImageWidth(), ImageHeight()) * scale()).toSize();
        if (d->scaledSize != target || d->scaled.isNull()) {
            // Done once per picture change or widget resize, not while a selection is dragged.
            // Smooth scaling of a big scan takes seconds; there the fast kind is good enough
            // for a picture on screen.
            const bool big = double(ImageWidth()) * ImageHeight() > 16e6;
            d->scaled = d->view.scaled(target.expandedTo(QSize(1, 1)), Qt::IgnoreAspectRatio,
                                       big ? Qt::FastTransformation : Qt::SmoothTransformation);
            d->scaledSize = target;
        }
        painter.drawImage(QPoint(0, 0), d->scaled);
    } else {
        const QPointF offset = scrollOffset();
        // Only the exposed part: Qt converts what it draws, and a scan in a scroll area is a
        // widget of hundreds of megabytes of which a screenful is seen.
        const QRect visible = event->rect().translated(offset.toPoint()) & d->view.rect();
        painter.drawImage(visible.topLeft() - offset.toPoint(), d->view, visible);
    }
    if (const auto selection = d->model.selection()) {
        QPen pen(Qt::black, 1, Qt::DashLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(toWidget(*selection).adjusted(0, 0, -1, -1));
        pen.setColor(Qt::white);
        pen.setDashOffset(4);
        painter.setPen(pen);
        painter.drawRect(toWidget(*selection).adjusted(0, 0, -1, -1));
    }
}

void TTwistedPixel::resizeEvent(QResizeEvent*)
{
    layoutScrollBars();
}

// --- selection with the mouse (Tool 1) ---

void TTwistedPixel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || d->tool != 1 || !HasImage())
        return QWidget::mousePressEvent(event);
    d->dragging = true;
    d->dragStart = toPicture(event->position().toPoint());
    d->model.releaseSelection();
    update();
}

void TTwistedPixel::mouseMoveEvent(QMouseEvent* event)
{
    if (!d->dragging)
        return QWidget::mouseMoveEvent(event);
    const QPoint at = toPicture(event->position().toPoint());
    d->model.select(corvane::imaging::spanning(d->dragStart.x(), d->dragStart.y(), at.x(), at.y()));
    update();
}

void TTwistedPixel::mouseReleaseEvent(QMouseEvent* event)
{
    if (!d->dragging || event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    d->dragging = false;
    const QPoint at = toPicture(event->position().toPoint());
    // A click without a drag only clears the selection.
    if (at == d->dragStart)
        d->model.releaseSelection();
    else
        d->model.select(
            corvane::imaging::spanning(d->dragStart.x(), d->dragStart.y(), at.x(), at.y()));
    update();
}

// --- plug-ins on the right-click menu ---

void TTwistedPixel::contextMenuEvent(QContextMenuEvent* event)
{
    if (d->plugins.isEmpty() || !HasImage())
        return QWidget::contextMenuEvent(event);
    QMenu menu(this);
    for (const QString& path : d->plugins) {
        const QString name =
            QString::fromStdString(corvane::imaging::pluginName(path.toStdString()));
        menu.addAction(name, this, [this, path] { emit OnPluginChosen(path); });
    }
    menu.exec(event->globalPos());
}
