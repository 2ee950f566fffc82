#include "relief/surface_dialog_model.h"

#include "common/error.h"
#include "common/number_format.h"
#include "relief/edit_number.h"
#include "relief/parameter_checks.h"
#include "relief/sampling.h"

#include <algorithm>

namespace corvane::relief {

namespace {

double readField(const std::string& text, SurfaceEdit edit)
{
    const std::optional<double> v = readEditNumber(text);
    if (!v)
        throw Error(std::string(SurfaceDialogModel::label(edit)) + ": \"" + text +
                    "\" is not a number");
    return *v;
}

} // namespace

SurfaceDialogModel::SurfaceDialogModel(SurfaceMode mode, const SurfaceSource& source) : mode_(mode)
{
    const int frame = mode == SurfaceMode::DxfSurface ? 2 : 0;
    cols_ = source.width + frame;
    rows_ = source.height + frame;

    xRes_ = source.xRes;
    yRes_ = source.yRes;
    if (yRes_ == 0 && xRes_ != 0)
        yRes_ = xRes_;
    if (xRes_ == 0 && yRes_ != 0)
        xRes_ = yRes_;
    if (xRes_ == 0)
        xRes_ = 100;
    if (yRes_ == 0)
        yRes_ = 100;

    slot(SurfaceEdit::SizeX) = fixedText(double(cols_ - 1) / xRes_, 2);
    slot(SurfaceEdit::SizeY) = fixedText(double(rows_ - 1) / yRes_, 2);
    slot(SurfaceEdit::StepX) = fixedText(1.0 / xRes_, 3);
    slot(SurfaceEdit::StepY) = fixedText(1.0 / yRes_, 3);
    slot(SurfaceEdit::Depth) = ".25";
    slot(SurfaceEdit::DepthPerPass) = ".25";
    slot(SurfaceEdit::Feedrate) = "10";
    slot(SurfaceEdit::RapidHeight) = ".1";
    slot(SurfaceEdit::Diameter) = ".125";
    slot(SurfaceEdit::IncludedAngle) = "60";
    if (source.width > 0 && source.height > 0)
        aspectRatio_ = (double(source.width) / xRes_) / (double(source.height) / yRes_);
}

const char* SurfaceDialogModel::caption() const
{
    return mode_ == SurfaceMode::DxfSurface ? "Create DXf Surface" : "Create G-Code File";
}

const char* SurfaceDialogModel::label(SurfaceEdit edit)
{
    switch (edit) {
    case SurfaceEdit::SizeX:
        return "Size X";
    case SurfaceEdit::SizeY:
        return "Size Y";
    case SurfaceEdit::StepX:
        return "Step X";
    case SurfaceEdit::StepY:
        return "Step Y";
    case SurfaceEdit::Depth:
        return "Depth";
    case SurfaceEdit::DepthPerPass:
        return "Depth / Pass";
    case SurfaceEdit::Feedrate:
        return "Feedrate";
    case SurfaceEdit::RapidHeight:
        return "Rapid Height";
    case SurfaceEdit::Diameter:
        return "Diameter";
    case SurfaceEdit::IncludedAngle:
        return "Included Angle";
    }
    return "";
}

const char* SurfaceDialogModel::hint(SurfaceEdit edit)
{
    switch (edit) {
    case SurfaceEdit::SizeX:
        return "Width in Units";
    case SurfaceEdit::SizeY:
        return "Height in Units";
    case SurfaceEdit::StepX:
        return "X Resolution";
    case SurfaceEdit::StepY:
        return "Y Resolution";
    case SurfaceEdit::Depth:
        return "Maximum Depth";
    case SurfaceEdit::Feedrate:
        return "Feedrate to Set";
    default:
        return "";
    }
}

bool SurfaceDialogModel::isVisible(SurfaceEdit edit) const
{
    const bool gcodeOnly = edit == SurfaceEdit::DepthPerPass || edit == SurfaceEdit::Feedrate ||
                           edit == SurfaceEdit::RapidHeight;
    return !gcodeOnly || mode_ == SurfaceMode::GCode;
}

bool SurfaceDialogModel::isEnabled(SurfaceControl control) const
{
    // The check box does not touch the included angle; only the tool list does.
    if (control == SurfaceControl::IncludedAngleEdit)
        return toolIndex_ >= 2;
    return useGouge_;
}

const std::string& SurfaceDialogModel::text(SurfaceEdit edit) const
{
    return texts_[static_cast<std::size_t>(edit)];
}

void SurfaceDialogModel::write(SurfaceEdit edit, double v, std::vector<SurfaceEdit>& changed)
{
    slot(edit) = fixedText(v, 3);
    changed.push_back(edit);
}

void SurfaceDialogModel::coupleSizeX(double v, std::vector<SurfaceEdit>& changed)
{
    write(SurfaceEdit::SizeY, v / aspectRatio_, changed);
    write(SurfaceEdit::StepX, v / cols_, changed);
    write(SurfaceEdit::StepY, v / aspectRatio_ / rows_, changed);
}

void SurfaceDialogModel::coupleSizeY(double v, std::vector<SurfaceEdit>& changed)
{
    write(SurfaceEdit::SizeX, v * aspectRatio_, changed);
    write(SurfaceEdit::StepX, v * aspectRatio_ / cols_, changed);
    write(SurfaceEdit::StepY, v / rows_, changed);
}

void SurfaceDialogModel::coupleStep(double s, SurfaceEdit own, std::vector<SurfaceEdit>& changed)
{
    const bool isX = own == SurfaceEdit::StepX;
    const std::optional<double> size =
        readEditNumber(text(isX ? SurfaceEdit::SizeX : SurfaceEdit::SizeY));
    if (!size)
        return; // the size is being typed; nothing sensible to clamp against yet
    s = std::max(s, *size / (isX ? cols_ : rows_));
    s = std::min(s, *size);
    write(isX ? SurfaceEdit::StepY : SurfaceEdit::StepX, s, changed);
}

std::vector<SurfaceEdit> SurfaceDialogModel::setText(SurfaceEdit edit, const std::string& text)
{
    slot(edit) = text;
    std::vector<SurfaceEdit> changed;
    const bool sizeOrStep = edit == SurfaceEdit::SizeX || edit == SurfaceEdit::SizeY ||
                            edit == SurfaceEdit::StepX || edit == SurfaceEdit::StepY;
    const bool coupled = (sizeOrStep && keepAspect_) || edit == SurfaceEdit::Depth;
    if (!coupled || updating_) {
        updating_ = false;
        return changed;
    }
    // Half-typed text ("-", "1e") couples nothing; the edit keeps what was typed.
    const std::optional<double> v = readEditNumber(text);
    if (!v)
        return changed;
    updating_ = true;
    switch (edit) {
    case SurfaceEdit::SizeX:
        coupleSizeX(*v, changed);
        break;
    case SurfaceEdit::SizeY:
        coupleSizeY(*v, changed);
        break;
    case SurfaceEdit::StepX:
    case SurfaceEdit::StepY:
        coupleStep(*v, edit, changed);
        break;
    case SurfaceEdit::Depth:
        write(SurfaceEdit::DepthPerPass, *v, changed);
        break;
    default:
        break;
    }
    updating_ = false;
    return changed;
}

const std::array<std::string, 3>& SurfaceDialogModel::toolItems()
{
    return toolShapeNames();
}

void SurfaceDialogModel::setToolText(const std::string& text)
{
    toolText_ = text;
    const auto& items = toolItems();
    const auto found = std::find(items.begin(), items.end(), text);
    toolIndex_ = found == items.end() ? -1 : int(found - items.begin());
}

void SurfaceDialogModel::setToolIndex(int index)
{
    if (index < 0 || index >= int(toolItems().size())) {
        toolIndex_ = -1;
        toolText_.clear();
        return;
    }
    toolIndex_ = index;
    toolText_ = toolItems()[std::size_t(index)];
}

SurfaceDialogModel::Tool SurfaceDialogModel::readTool() const
{
    Tool tool;
    tool.shape = toolShapeFromText(toolText_);
    tool.diameter = readField(text(SurfaceEdit::Diameter), SurfaceEdit::Diameter);
    if (tool.shape == ToolShape::VBit) {
        const std::string& angle = text(SurfaceEdit::IncludedAngle);
        const std::optional<int> degrees = readEditInteger(angle);
        if (!degrees)
            throw Error("Included Angle: \"" + angle + "\" is not a whole number of degrees");
        tool.includedAngle = *degrees;
    }
    return tool;
}

ReliefParameters SurfaceDialogModel::read() const
{
    ReliefParameters p;
    p.sizeX = readField(text(SurfaceEdit::SizeX), SurfaceEdit::SizeX);
    p.sizeY = readField(text(SurfaceEdit::SizeY), SurfaceEdit::SizeY);
    p.stepX = readField(text(SurfaceEdit::StepX), SurfaceEdit::StepX);
    p.stepY = readField(text(SurfaceEdit::StepY), SurfaceEdit::StepY);
    p.depth = readField(text(SurfaceEdit::Depth), SurfaceEdit::Depth);
    if (mode_ == SurfaceMode::GCode) {
        p.depthPerPass = readField(text(SurfaceEdit::DepthPerPass), SurfaceEdit::DepthPerPass);
        p.feedRate = readField(text(SurfaceEdit::Feedrate), SurfaceEdit::Feedrate);
        p.rapidHeight = readField(text(SurfaceEdit::RapidHeight), SurfaceEdit::RapidHeight);
    }
    p.useGougeControl = useGouge_;
    p.protectMoves = mode_ == SurfaceMode::GCode && useGouge_ && protectMoves_;
    p.tool = toolShapeFromText(toolText_);
    if (useGouge_) {
        const Tool tool = readTool();
        p.toolDiameter = tool.diameter;
        p.includedAngle = tool.includedAngle;
    }
    if (mode_ == SurfaceMode::GCode)
        checkRasterParameters(p);
    else
        checkSurfaceParameters(p);
    samplingFor(rows_, cols_, p); // refuses a Step X that leaves a line without a sample
    p.gridRows = rows_;
    p.gridCols = cols_;
    return p;
}

} // namespace corvane::relief
