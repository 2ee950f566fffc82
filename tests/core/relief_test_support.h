// Helpers shared by the relief engine tests: a scripted run control and small grids.
#pragma once

#include "common/run_control.h"
#include "relief/relief_parameters.h"
#include "relief/tool_mask.h"
#include "relief/zgrid.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace relief_test {

// Records what a run reports and plays the user: Esc from a given checkpoint on, Cancel at
// a given checkpoint.
class ScriptedControl : public corvane::RunControl {
public:
    void showStatus(const std::string& text) override { statuses.push_back(text); }
    void showProgress(corvane::ProgressDisplay where, int percent) override
    {
        progress.push_back({where, percent});
    }
    void checkpoint() override { ++checkpoints; }
    bool escapePressed() override { return escapeFrom >= 0 && checkpoints >= escapeFrom; }
    bool takeStopRequest() override
    {
        if (stopAt >= 0 && checkpoints >= stopAt) {
            stopAt = -1;
            return true;
        }
        return false;
    }

    int escapeFrom = -1; // Esc counts as pressed once this many checkpoints have passed
    int stopAt = -1;     // Cancel is pressed at this checkpoint
    int checkpoints = 0;
    std::vector<std::string> statuses;
    std::vector<std::pair<corvane::ProgressDisplay, int>> progress;
};

inline corvane::relief::TZGrid gridOf(std::initializer_list<std::initializer_list<int>> rows)
{
    corvane::relief::TZGrid g(int(rows.size()), int(rows.begin()->size()));
    int r = 0;
    for (const auto& row : rows) {
        int c = 0;
        for (int v : row)
            g[r][c++] = corvane::relief::TZGrid::Cell(v);
        ++r;
    }
    return g;
}

// Every cell drawn from 0..white (White8 or White16).
inline corvane::relief::TZGrid randomGrid(int rows, int cols, unsigned seed,
                                          int white = corvane::relief::White8)
{
    corvane::relief::TZGrid g(rows, cols, 0, white);
    std::mt19937 random(seed);
    for (auto& v : g.cells)
        v = corvane::relief::TZGrid::Cell(random() % (unsigned(white) + 1));
    return g;
}

inline std::string readFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline std::vector<std::string> crlfLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<no CR LF>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The worked example's settings: a 4 x 2 relief in steps of 1, 0.2 deep in passes of 0.1.
inline corvane::relief::ReliefParameters workedParameters()
{
    corvane::relief::ReliefParameters p;
    p.sizeX = 4;
    p.sizeY = 2;
    p.stepX = p.stepY = 1;
    p.depth = 0.2;
    p.depthPerPass = 0.1;
    p.rapidHeight = 0.1;
    p.feedRate = 10;
    return p;
}

// The four tools the programs are checked with: each shape, and the V bit at two angles.
struct ToolCase {
    const char* name;
    corvane::relief::ToolShape shape;
    int angle;
};
inline constexpr ToolCase Tools[] = {{"End Mill", corvane::relief::ToolShape::EndMill, 60},
                                     {"Ball Mill", corvane::relief::ToolShape::BallMill, 60},
                                     {"V Bit 60", corvane::relief::ToolShape::VBit, 60},
                                     {"V Bit 90", corvane::relief::ToolShape::VBit, 90}};

// A 1/16 tool of the given kind over the grid at .01 a cell, .25 deep, gouge control on:
// the raster programs the Protect Moves checks are made on.
inline corvane::relief::ReliefParameters protectCase(const corvane::relief::TZGrid& grid,
                                                     const ToolCase& tool, double step,
                                                     double depthPerPass, bool protect = true)
{
    corvane::relief::ReliefParameters p;
    p.sizeX = grid.cols * 0.01;
    p.sizeY = grid.rows * 0.01;
    p.stepX = p.stepY = step;
    p.depth = 0.25;
    p.depthPerPass = depthPerPass;
    p.feedRate = 10;
    p.rapidHeight = 0.1;
    p.useGougeControl = true;
    p.protectMoves = protect;
    p.tool = tool.shape;
    p.toolDiameter = 0.0625;
    p.includedAngle = tool.angle;
    return p;
}

} // namespace relief_test
