#include "common/error.h"
#include "relief/surface_dialog_model.h"

#include <gtest/gtest.h>

using namespace corvane::relief;
using E = SurfaceEdit;

TEST(SurfaceDialogModel, DefaultsComeFromThePictureAndItsResolution)
{
    // 2 x 2 pixels at 100 per unit, DXF: a 4 x 4 grid with the frame.
    const SurfaceDialogModel dxf(SurfaceMode::DxfSurface, {2, 2, 100, 100});
    EXPECT_EQ(dxf.text(E::SizeX), "0.03");
    EXPECT_EQ(dxf.text(E::SizeY), "0.03");
    EXPECT_EQ(dxf.text(E::StepX), "0.010");
    EXPECT_EQ(dxf.text(E::StepY), "0.010");
    EXPECT_EQ(dxf.text(E::Depth), ".25");
    EXPECT_EQ(dxf.text(E::DepthPerPass), ".25");
    EXPECT_EQ(dxf.text(E::Feedrate), "10");
    EXPECT_EQ(dxf.text(E::RapidHeight), ".1");
    EXPECT_EQ(dxf.text(E::Diameter), ".125");
    EXPECT_EQ(dxf.text(E::IncludedAngle), "60");
    EXPECT_STREQ(dxf.caption(), "Create DXf Surface");
    EXPECT_FALSE(dxf.isVisible(E::Feedrate));
    EXPECT_FALSE(dxf.isVisible(E::DepthPerPass));
    EXPECT_TRUE(dxf.isVisible(E::Depth));
    EXPECT_TRUE(dxf.keepAspectRatio());
    EXPECT_TRUE(dxf.useGougeControl());
    EXPECT_EQ(dxf.toolText(), "End Mill");

    // G-code: no frame, (W - 1) / XRes; no resolution at all means 100 per unit both ways.
    const SurfaceDialogModel gcode(SurfaceMode::GCode, {401, 201, 0, 0});
    EXPECT_EQ(gcode.xRes(), 100);
    EXPECT_EQ(gcode.yRes(), 100);
    EXPECT_EQ(gcode.text(E::SizeX), "4.00");
    EXPECT_EQ(gcode.text(E::SizeY), "2.00");
    EXPECT_STREQ(gcode.caption(), "Create G-Code File");
    EXPECT_TRUE(gcode.isVisible(E::RapidHeight));

    // One resolution given: the other follows it.
    const SurfaceDialogModel half(SurfaceMode::GCode, {101, 51, 0, 50});
    EXPECT_EQ(half.xRes(), 50);
    EXPECT_EQ(half.text(E::StepX), "0.020");
    EXPECT_DOUBLE_EQ(half.aspectRatio(), 101.0 / 51.0);
}

TEST(SurfaceDialogModel, KeepAspectRatioCouplesSizesAndSteps)
{
    // Twice as wide as high, same resolution: typing 4 into Size X.
    SurfaceDialogModel m(SurfaceMode::GCode, {200, 100, 100, 100});
    EXPECT_EQ(m.setText(E::SizeX, "4"), (std::vector<E>{E::SizeY, E::StepX, E::StepY}));
    EXPECT_EQ(m.text(E::SizeX), "4");
    EXPECT_EQ(m.text(E::SizeY), "2.000");
    EXPECT_EQ(m.text(E::StepX), "0.020"); // one cell: 4 / 200
    EXPECT_EQ(m.text(E::StepY), "0.020");

    m.setText(E::SizeY, "1");
    EXPECT_EQ(m.text(E::SizeX), "2.000");
    EXPECT_EQ(m.text(E::StepX), "0.010");
    EXPECT_EQ(m.text(E::StepY), "0.010");

    // A step below one cell copies the one-cell value; one above the size copies the size.
    EXPECT_EQ(m.setText(E::StepX, "0.001"), std::vector<E>{E::StepY});
    EXPECT_EQ(m.text(E::StepX), "0.001"); // its own text stays as typed
    EXPECT_EQ(m.text(E::StepY), "0.010");
    m.setText(E::StepY, "5"); // Size Y is 1
    EXPECT_EQ(m.text(E::StepX), "1.000");

    // Depth always copies into Depth / Pass; sizes stop coupling when the box is unchecked.
    m.setKeepAspectRatio(false);
    EXPECT_TRUE(m.setText(E::SizeX, "9").empty());
    EXPECT_EQ(m.text(E::SizeY), "1");
    EXPECT_EQ(m.setText(E::Depth, ".5"), std::vector<E>{E::DepthPerPass});
    EXPECT_EQ(m.text(E::DepthPerPass), "0.500");

    // Half-typed numbers couple nothing.
    m.setKeepAspectRatio(true);
    EXPECT_TRUE(m.setText(E::SizeX, "-").empty());
    EXPECT_EQ(m.text(E::SizeY), "1");
}

TEST(SurfaceDialogModel, EnablingFollowsTheCheckBoxAndTheToolList)
{
    SurfaceDialogModel m(SurfaceMode::DxfSurface, {10, 10, 100, 100});
    EXPECT_TRUE(m.isEnabled(SurfaceControl::DiameterEdit));
    EXPECT_FALSE(m.isEnabled(SurfaceControl::IncludedAngleEdit));
    m.setToolIndex(2);
    EXPECT_EQ(m.toolText(), "V Bit");
    EXPECT_TRUE(m.isEnabled(SurfaceControl::IncludedAngleEdit));
    m.setUseGougeControl(false);
    EXPECT_FALSE(m.isEnabled(SurfaceControl::GougeGroup));
    EXPECT_FALSE(m.isEnabled(SurfaceControl::ToolList));
    EXPECT_FALSE(m.isEnabled(SurfaceControl::DiameterEdit));
    EXPECT_TRUE(m.isEnabled(SurfaceControl::IncludedAngleEdit)); // not the box's business
    m.setToolText("Ball Mill");
    EXPECT_EQ(m.toolIndex(), 1);
    EXPECT_FALSE(m.isEnabled(SurfaceControl::IncludedAngleEdit));
    m.setToolText("Chisel"); // an editable list: unknown text cuts as an End Mill
    EXPECT_EQ(m.toolIndex(), -1);
    m.setUseGougeControl(true);
    EXPECT_EQ(m.read().tool, ToolShape::EndMill);
}

TEST(SurfaceDialogModel, ReadRefusesWhatWouldBreakTheRun)
{
    SurfaceDialogModel m(SurfaceMode::GCode, {200, 100, 100, 100});
    const ReliefParameters p = m.read();
    EXPECT_DOUBLE_EQ(p.sizeX, 1.99);
    EXPECT_DOUBLE_EQ(p.depthPerPass, 0.25);
    EXPECT_DOUBLE_EQ(p.toolDiameter, 0.125);
    EXPECT_EQ(p.gridRows, 100);
    EXPECT_EQ(p.gridCols, 200);

    const auto refusal = [](SurfaceDialogModel model, E edit, const std::string& text) {
        model.setKeepAspectRatio(false);
        model.setText(edit, text);
        try {
            model.read();
        } catch (const corvane::Error& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    EXPECT_EQ(refusal(m, E::StepX, "1,5"), "Step X: \"1,5\" is not a number");
    EXPECT_EQ(refusal(m, E::SizeY, "0"), "Size Y must be a number greater than 0");
    EXPECT_EQ(refusal(m, E::SizeX, ""), "Size X must be a number greater than 0");
    EXPECT_EQ(refusal(m, E::StepY, "-0.1"), "Step Y must be a number greater than 0");
    EXPECT_EQ(refusal(m, E::Depth, "-1"), "Depth can not be negative");
    EXPECT_EQ(refusal(m, E::DepthPerPass, "0"), "Depth / Pass must be a number greater than 0");
    EXPECT_EQ(refusal(m, E::Feedrate, "fast"), "Feedrate: \"fast\" is not a number");
    // A feed of 0 or less and rapids below the stock top would be written as they stand.
    EXPECT_EQ(refusal(m, E::Feedrate, "-5"), "Feedrate must be a number greater than 0");
    EXPECT_EQ(refusal(m, E::Feedrate, "0"), "Feedrate must be a number greater than 0");
    EXPECT_EQ(refusal(m, E::RapidHeight, "-1"), "Rapid Height can not be negative");
    EXPECT_EQ(refusal(m, E::RapidHeight, "0"), "accepted");
    // Beyond 100000 the coordinates overflow or print with hundreds of digits.
    EXPECT_EQ(refusal(m, E::Depth, "7e305"), "Depth can not be more than 100000");
    EXPECT_EQ(refusal(m, E::SizeX, "1e308"), "Size X can not be more than 100000");
    EXPECT_EQ(refusal(m, E::StepY, "100001"), "Step Y can not be more than 100000");
    EXPECT_EQ(refusal(m, E::DepthPerPass, "2e5"), "Depth / Pass can not be more than 100000");
    EXPECT_EQ(refusal(m, E::RapidHeight, "1e6"), "Rapid Height can not be more than 100000");
    EXPECT_EQ(refusal(m, E::Feedrate, "1e300"), "Feedrate can not be more than 100000");
    EXPECT_EQ(refusal(m, E::Diameter, "1e9"), "Diameter can not be more than 100000");
    EXPECT_EQ(refusal(m, E::Diameter, "-0.1"), "Diameter can not be negative");
    EXPECT_EQ(refusal(m, E::StepX, "4.5"),
              "Step X is more than twice Size X: a line would have no sample");
    EXPECT_EQ(refusal(m, E::Diameter, "0"), "accepted"); // the run's own message box

    m.setToolIndex(2);
    EXPECT_EQ(refusal(m, E::IncludedAngle, "4"),
              "Included Angle must lie between 5 and 179 degrees");
    EXPECT_EQ(refusal(m, E::IncludedAngle, "60.5"),
              "Included Angle: \"60.5\" is not a whole number of degrees");
    m.setUseGougeControl(false); // the tool fields are not used, so not read
    EXPECT_EQ(refusal(m, E::Diameter, "?"), "accepted");

    // A DXF dialog does not read the G-code fields it hides.
    SurfaceDialogModel dxf(SurfaceMode::DxfSurface, {20, 10, 100, 100});
    EXPECT_EQ(refusal(dxf, E::Feedrate, "?"), "accepted");
}
