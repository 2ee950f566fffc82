// The picture window's "&Image" menu: each command's guard, status text, operation and
// ending. The operations themselves are in the picture model (core/imaging).
#include "common/error.h"
#include "gui/app/exception_hook.h"
#include "gui/app/hourglass.h"
#include "gui/app/long_run.h"
#include "gui/app/prompts.h"
#include "gui/app/shared_state.h"
#include "gui/app/window_frame.h"
#include "gui/picture/adjustment_dialog.h"
#include "gui/picture/lambert_dialog.h"
#include "gui/picture/picture_window.h"
#include "gui/picture/resize_dialog.h"
#include "gui/picture/twisted_pixel.h"
#include "imaging/image_operations.h"
#include "imaging/picture_model.h"

#include <QAction>

namespace img = corvane::imaging;
using corvane::RunControl;
using corvane::gui::ButtonNo;
using corvane::gui::ButtonOk;
using corvane::gui::ButtonYes;
using corvane::gui::MessageKind;
using corvane::gui::prompts;
using corvane::gui::shared;
using img::Picture;

const QString TfrmPicture::kCommandNeeds256Levels =
    QStringLiteral("This command works on 256 levels.\nReduce the 16-bit depth map to 256 "
                   "levels?");

void TfrmPicture::wireImageMenu()
{
    using Handler = void (TfrmPicture::*)();
    // The commands that take 24 bits only refuse a depth map as they refuse an 8-bit
    // picture, so reducing it first would not help them: they are not asked about.
    enum Depth { Reduce, Own };
    struct Entry {
        const char* name;
        Handler handler;
        Depth depth;
    };
    // The two shade items carry each other's handler: "3&D Shade" is mnu3dShade and runs
    // mnu3dShade2Click, "&3D Texture Shade" is mnu3dShade2 and runs mnu3dShadeClick.
    static const Entry handlers[] = {
        {"mnuConvertToMillions", &TfrmPicture::mnuConvertToMillionsClick, Reduce},
        {"Popularity1", &TfrmPicture::Popularity1Click, Reduce},
        {"MedianCut1", &TfrmPicture::MedianCut1Click, Reduce},
        {"Uniform8841", &TfrmPicture::Uniform8841Click, Reduce},
        {"Uniform6661", &TfrmPicture::Uniform6661Click, Reduce},
        {"GreyScale1", &TfrmPicture::GreyScale1Click, Reduce},
        {"Halftone1", &TfrmPicture::Halftone1Click, Reduce},
        {"mnuConvertTo16", &TfrmPicture::mnuConvertTo16Click, Reduce},
        {"mnu8Colors", &TfrmPicture::mnu8ColorsClick, Reduce},
        {"mnuGrayMax", &TfrmPicture::mnuGrayMaxClick, Reduce},
        {"mnuGrayMean", &TfrmPicture::mnuGrayMeanClick, Reduce},
        {"mnuGrayWeighted", &TfrmPicture::mnuGrayWeightedClick, Reduce},
        {"BlackandWhite2", &TfrmPicture::BlackandWhite2Click, Reduce},
        {"mnuConvertToNegative", &TfrmPicture::mnuConvertToNegativeClick, Reduce},
        {"mnuReduceTo64", &TfrmPicture::mnuReduceTo64Click, Reduce},
        {"mnuReduce32", &TfrmPicture::mnuReduce32Click, Reduce},
        {"mnuReduce16", &TfrmPicture::mnuReduce16Click, Reduce},
        {"mnuAdjustImge", &TfrmPicture::mnuAdjustImgeClick, Reduce},
        {"mnuGradientEdge", &TfrmPicture::mnuGradientEdgeClick, Own},
        {"mnuLaplace", &TfrmPicture::mnuLaplaceClick, Own},
        {"mnuMatchedFilter", &TfrmPicture::mnuMatchedFilterClick, Own},
        {"mnuShiftDifference", &TfrmPicture::mnuShiftDifferenceClick, Own},
        {"mnuSobel", &TfrmPicture::mnuSobelClick, Own},
        {"mnuEnhance", &TfrmPicture::mnuEnhanceClick, Own},
        {"mnuEmboss", &TfrmPicture::mnuEmbossClick, Own},
        {"mnu3dShade", &TfrmPicture::mnu3dShade2Click, Reduce},
        {"mnu3dShade2", &TfrmPicture::mnu3dShadeClick, Reduce},
        {"mnuDespeckle", &TfrmPicture::mnuDespeckleClick, Own},
        {"mnuPosterize", &TfrmPicture::mnuPosterizeClick, Reduce},
        {"mnuSharpen", &TfrmPicture::mnuSharpenClick, Own},
        {"mnuSharpenMore", &TfrmPicture::mnuSharpenMoreClick, Own},
        {"mnuSharpenMax", &TfrmPicture::mnuSharpenMaxClick, Own},
        {"mnuBlur", &TfrmPicture::mnuBlurClick, Own},
        {"mnuBlurMore", &TfrmPicture::mnuBlurMoreClick, Own},
        {"mnuBlurMax", &TfrmPicture::mnuBlurMaxClick, Own},
        {"mnuFlip", &TfrmPicture::mnuFlipClick, Reduce},
        {"Flip901", &TfrmPicture::Flip901Click, Reduce},
        {"Resize1", &TfrmPicture::Resize1Click, Reduce},
    };
    for (const Entry& entry : handlers) {
        QAction* item = MenuItem(QString::fromLatin1(entry.name));
        if (!item)
            continue;
        const Handler handler = entry.handler;
        const auto run = entry.depth == Own
                             ? std::function<void()>([this, handler] { (this->*handler)(); })
                             : std::function<void()>([this, handler] {
                                   if (reduceDepthMapFirst(kCommandNeeds256Levels))
                                       (this->*handler)();
                               });
        connect(item, &QAction::triggered, this, corvane::gui::guardedCall(run));
    }
}

bool TfrmPicture::reduceDepthMapFirst(const QString& question)
{
    if (!TP->HasImage() || !TP->Picture().deep())
        return true;
    const int answer = prompts().message(MessageKind::Confirmation, QStringLiteral("Confirm"),
                                         question, ButtonYes | ButtonNo);
    if (answer != ButtonYes)
        return false;
    {
        corvane::gui::Hourglass busy;
        TP->Model().reduceTo256Levels();
        TP->update();
    }
    markChanged();
    return true;
}

// --- the shared shape ---

void TfrmPicture::markChanged()
{
    Modified = true;
    shared().PictureChanged = true;
}

bool TfrmPicture::confirmUnless(bool allowed, const QString& text)
{
    if (!allowed)
        prompts().message(MessageKind::Confirmation, QStringLiteral("Confirm"), text, ButtonOk);
    return allowed;
}

bool TfrmPicture::informUnless(bool allowed, const QString& text)
{
    if (!allowed)
        prompts().message(MessageKind::Information, QStringLiteral("Information"), text, ButtonOk);
    return allowed;
}

bool TfrmPicture::runImageCommand(const QString& status, const ImageStep& step, bool withReady)
{
    // A window without a picture has nothing to process; marking it changed would only make
    // closing it ask to save nothing.
    if (!TP->HasImage())
        return false;
    if (!status.isEmpty())
        showStatus(status);
    corvane::gui::LongRun run(frame_);
    const corvane::gui::RunReport report = run.run([&](RunControl& control) {
        TP->Process([&](const Picture& picture) { return step(picture, control); });
        return true;
    });
    if (report.outcome != corvane::gui::RunOutcome::Completed)
        return false;
    if (withReady)
        frame_.ShowReady();
    markChanged();
    return true;
}

void TfrmPicture::showDirectionDialog()
{
    frame_.ChooseLightDirection();
}

namespace {

TfrmPicture::ImageStep colours(int method)
{
    return [method](const Picture& p, RunControl& c) { return img::convertColors(p, method, c); };
}

TfrmPicture::ImageStep grey(int method, float r, float g, float b)
{
    return
        [=](const Picture& p, RunControl& c) { return img::convertToGray(p, method, r, g, b, c); };
}

template <Picture (*Filter)(const Picture&, RunControl&)> TfrmPicture::ImageStep filter()
{
    return [](const Picture& p, RunControl& c) { return Filter(p, c); };
}

TfrmPicture::ImageStep rotation(float degrees)
{
    return [degrees](const Picture& p, RunControl&) { return img::rotateImage(p, degrees); };
}

} // namespace

// --- "&Convert" ---

void TfrmPicture::mnuConvertToMillionsClick()
{
    if (TP->ImageBitCount() == 24)
        return;
    runImageCommand(QStringLiteral("Converting to Millions of Colors...Please Wait..."),
                    [](const Picture& p, RunControl&) { return img::convertTo24Bit(p); });
}

namespace {
const QString to256Colors = QStringLiteral("Converting to 256 Colors...Please Wait...");
const QString already8Bits = QStringLiteral("Image is already 8 Bits");
} // namespace

void TfrmPicture::Popularity1Click()
{
    if (confirmUnless(TP->ImageBitCount() != 8, already8Bits))
        runImageCommand(to256Colors, colours(1));
}

void TfrmPicture::MedianCut1Click()
{
    if (confirmUnless(TP->ImageBitCount() != 8, already8Bits))
        runImageCommand(to256Colors, colours(2));
}

void TfrmPicture::Uniform8841Click()
{
    if (confirmUnless(TP->ImageBitCount() != 8, already8Bits))
        runImageCommand(to256Colors, colours(4));
}

void TfrmPicture::Uniform6661Click()
{
    if (confirmUnless(TP->ImageBitCount() != 8, already8Bits))
        runImageCommand(to256Colors, colours(8));
}

void TfrmPicture::GreyScale1Click()
{
    if (confirmUnless(TP->ImageBitCount() != 8, already8Bits))
        runImageCommand(QStringLiteral("Converting to 256 Shades of Grey...Please Wait..."),
                        colours(16));
}

void TfrmPicture::Halftone1Click()
{
    if (confirmUnless(TP->ImageBitCount() != 8, already8Bits))
        runImageCommand(to256Colors, colours(128));
}

void TfrmPicture::mnuConvertTo16Click()
{
    if (TP->ImageBitCount() == 4)
        return;
    runImageCommand(QStringLiteral("Converting to 16 Colors... Please Wait..."), colours(64));
}

void TfrmPicture::mnu8ColorsClick()
{
    if (TP->ImageBitCount() <= 3)
        return;
    runImageCommand(
        QStringLiteral("Converting to 8 Colors..."),
        [](const Picture& p, RunControl& c) { return img::reduceTo8Colors(p, 100, c); });
}

void TfrmPicture::mnuGrayMaxClick()
{
    runImageCommand(QStringLiteral("Converting to Grey... Please Wait..."),
                    grey(1, 0.3f, 0.5f, 0.2f));
}

void TfrmPicture::mnuGrayMeanClick()
{
    runImageCommand(QStringLiteral("Converting to Grey... Please Wait..."),
                    grey(2, 0.3f, 0.5f, 0.2f));
}

void TfrmPicture::mnuGrayWeightedClick()
{
    runImageCommand(QStringLiteral("Converting to Grey... Please Wait..."),
                    grey(4, 0.3f, 0.59f, 0.11f));
}

void TfrmPicture::BlackandWhite2Click()
{
    if (confirmUnless(TP->ImageBitCount() != 8,
                      QStringLiteral("Image is 8 Bit. Convert to Millions Colors")))
        runImageCommand(QStringLiteral("Converting to Black and White...Please Wait..."),
                        colours(32));
}

void TfrmPicture::mnuConvertToNegativeClick()
{
    runImageCommand(QStringLiteral("Converting to Negative... Please Wait..."),
                    [](const Picture& p, RunControl&) { return img::negative(p, 0); });
}

// --- "&Reduce Shades of Grey" ---

namespace {
TfrmPicture::ImageStep shades(int count)
{
    return [count](const Picture& p, RunControl& c) { return img::reduceGrayShades(p, count, c); };
}
const QString only8Bit = QStringLiteral("Works on 8 Bit Images only");
} // namespace

void TfrmPicture::mnuReduceTo64Click()
{
    if (informUnless(TP->ImageBitCount() == 8, only8Bit))
        runImageCommand(QStringLiteral("Reducing Greyscale to 64 Colors... Please Wait..."),
                        shades(64));
}

void TfrmPicture::mnuReduce32Click()
{
    if (informUnless(TP->ImageBitCount() == 8, only8Bit))
        runImageCommand(QStringLiteral("Reducing Greyscale to 32 Colors... Please Wait..."),
                        shades(32));
}

void TfrmPicture::mnuReduce16Click()
{
    if (informUnless(TP->ImageBitCount() == 8, only8Bit))
        runImageCommand(QStringLiteral("Reducing Greyscale to 16 Colors... Please Wait..."),
                        shades(16));
}

// --- dialogs ---

void TfrmPicture::mnuAdjustImgeClick()
{
    if (!TP->HasImage())
        return;
    new TfrmAdjustment1(frame_, *this); // owned by its sub-window
    markChanged();
}

void TfrmPicture::mnu3dShadeClick()
{
    const int bits = TP->ImageBitCount();
    if (!informUnless(bits == 24 || bits == 8, QStringLiteral("Works on 24 and 8 Bit Images only")))
        return;
    new TfrmLambert(frame_, *this); // owned by its sub-window
    markChanged();
}

void TfrmPicture::Resize1Click()
{
    if (!TP->HasImage())
        return;
    new TfrmResize(frame_, *this); // owned by its sub-window
    markChanged();
}

// --- edges ---

void TfrmPicture::mnuGradientEdgeClick()
{
    if (!Require24Bit())
        return;
    showDirectionDialog();
    const int direction = shared().LightDirection;
    runImageCommand(QStringLiteral("Finding Edges... Please Wait..."),
                    [direction](const Picture& p, RunControl& c) {
                        return img::gradientEdge(p, direction, c);
                    });
}

void TfrmPicture::mnuLaplaceClick()
{
    if (Require24Bit())
        runImageCommand({}, filter<img::laplace>(), false);
}

void TfrmPicture::mnuMatchedFilterClick()
{
    if (Require24Bit())
        runImageCommand(
            {}, [](const Picture& p, RunControl& c) { return img::matchedFilter(p, 0, c); });
}

void TfrmPicture::mnuShiftDifferenceClick()
{
    if (Require24Bit())
        runImageCommand(
            {}, [](const Picture& p, RunControl& c) { return img::shiftDifference(p, 3, c); });
}

void TfrmPicture::mnuSobelClick()
{
    if (Require24Bit())
        runImageCommand(
            {}, [](const Picture& p, RunControl& c) { return img::sobel(p, 10, false, c); }, false);
}

void TfrmPicture::mnuEnhanceClick()
{
    if (Require24Bit())
        runImageCommand(QStringLiteral("Enhanceing Edges... Please Wait..."),
                        filter<img::enhanceEdges>());
}

void TfrmPicture::mnuEmbossClick()
{
    if (!Require24Bit())
        return;
    showDirectionDialog();
    const int direction = shared().LightDirection;
    runImageCommand(
        {}, [direction](const Picture& p, RunControl& c) { return img::emboss(p, direction, c); },
        false);
}

void TfrmPicture::mnu3dShade2Click()
{
    if (!TP->HasImage())
        return;
    showStatus(QStringLiteral("Processing 3D Shade..."));
    // Each step is its own undo level, as the separate calls always were.
    {
        corvane::gui::Hourglass busy;
        if (TP->ImageBitCount() != 24)
            TP->Process([](const Picture& p) { return img::convertTo24Bit(p); });
    }
    // Asked before the run starts: an Esc that closes the dialog is not meant for the steps.
    showDirectionDialog();
    const int direction = shared().LightDirection;
    corvane::gui::LongRun run(frame_);
    const corvane::gui::RunReport report = run.run([&](RunControl& control) {
        TP->Process([](const Picture& p) { return img::negative(p, 0); });
        TP->Process([&](const Picture& p) { return img::emboss(p, direction, control); });
        TP->Process([&](const Picture& p) {
            return img::convertToGray(p, 4, 0.3f, 0.59f, 0.11f, control);
        });
        return true;
    });
    // The steps before a stop or failure did change the picture.
    markChanged();
    if (report.outcome == corvane::gui::RunOutcome::Completed)
        frame_.ShowReady();
}

void TfrmPicture::mnuDespeckleClick()
{
    if (Require24Bit())
        runImageCommand(QStringLiteral("Removing Speckles... Please Wait..."),
                        filter<img::despeckle>());
}

void TfrmPicture::mnuPosterizeClick()
{
    runImageCommand(QStringLiteral("Processing Posterize... Please Wait..."),
                    [](const Picture& p, RunControl&) { return img::posterize(p, 2); });
}

// --- "&Sharpen" and "&Blur" ---

void TfrmPicture::mnuSharpenClick()
{
    if (Require24Bit())
        runImageCommand(QStringLiteral("Processing Sharpen... Please Wait..."),
                        filter<img::sharpen>());
}

void TfrmPicture::mnuSharpenMoreClick()
{
    if (Require24Bit())
        runImageCommand(QStringLiteral("Processing Sharpen More... Please Wait..."),
                        filter<img::sharpenMore>());
}

void TfrmPicture::mnuSharpenMaxClick()
{
    if (Require24Bit())
        runImageCommand(QStringLiteral("Processing Really Sharpen... Please Wait..."),
                        filter<img::sharpenMax>());
}

void TfrmPicture::mnuBlurClick()
{
    if (Require24Bit())
        runImageCommand(QStringLiteral("Processing Soften..."), filter<img::soften>());
}

void TfrmPicture::mnuBlurMoreClick()
{
    if (Require24Bit())
        runImageCommand(QStringLiteral("Processing Blur..."), filter<img::blur>());
}

void TfrmPicture::mnuBlurMaxClick()
{
    if (Require24Bit())
        runImageCommand(QStringLiteral("Processing Blur More..."), filter<img::blurMore>());
}

// --- "F&lip" and "Rotate &90" ---

namespace {
bool rotatable(int bits)
{
    return bits == 24 || bits == 8;
}
const QString only24And8 = QStringLiteral("Works on 24 and 8 Bit Images only");
} // namespace

void TfrmPicture::mnuFlipClick()
{
    if (confirmUnless(rotatable(TP->ImageBitCount()), only24And8))
        runImageCommand(QStringLiteral("Flipping Image... Please Wait..."), rotation(180.0f));
}

void TfrmPicture::Flip901Click()
{
    if (!confirmUnless(rotatable(TP->ImageBitCount()), only24And8) || !TP->HasImage())
        return;
    // The window follows the turned picture before the ending, as the resize handling does.
    if (runImageCommand(QStringLiteral("Rotating Image 90 Degrees... Please Wait..."),
                        rotation(90.0f), false)) {
        FormResize();
        frame_.ShowReady();
    }
}
