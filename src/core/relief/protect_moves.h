// Protect Moves: the raster program's feed moves kept from cutting into the relief between
// the samples. Gouge control lets the tool stand on every sample without cutting a cell, but
// a straight move between two samples can still pass below a cell beside it: descending
// next to a higher neighbour, the rim reaches the neighbour before the tip arrives.
//
// The protector is a stage of the move stream; it judges every move at the numbers the
// program will write (four decimals), as a machine reads them. For each feed move it
// computes the swept envelope against the grid the program was made from
// (swept_envelope.h). A move that cuts no cell deeper than ProtectAllowance passes
// unchanged, so a program over gentle slopes stays byte for byte as it was. Otherwise the
// move's end is lifted when the tool standing there cuts, and then, if the move still cuts,
// these clear it, computed over the cells cut:
//   L0, the lowest line from the start that clears every cell cut (its slope the largest of
//       (zq − z0 − height(t)) / t over the move, per cell);
//   L1, the same line seen from the end;
//   H, the highest point any of those cells asks for.
// Raising a point of the program never makes any move cut deeper. So when raising the start
// onto L1 or the end onto L0 costs at most one level of the grid (D / white), the
// cheaper one is raised (the start is the previous move's end, held back for that) and the
// program keeps its length. Otherwise points go in between: each of the three lines clears
// every cell on its own (those the move did not cut as well: each line lies above the
// move), so the path min(L0, L1, H) does too: a tent (one point where L0
// meets L1) or, when the tent would rise above H, a plateau (two points). Points are put on
// the numbers the program writes (four decimals, heights rounded up) and every new piece is
// checked again; should one still cut, the move goes up at its start, across at H and down
// at its end, which clears by construction.
// Depth passes keep their floors (heights are only raised); rapids are left alone except a
// rapid whose end, where a cut starts, lies below the height the tool may stand at.
#pragma once

#include "relief/raster_move.h"
#include "relief/relief_parameters.h"
#include "relief/swept_envelope.h"

#include <memory>
#include <optional>
#include <vector>

namespace corvane::relief {

// The last digit of the numbers the program writes.
inline constexpr double ProgramResolution = 0.0001;

// How deep a move may cut into a cell and still be left as it is: just under the last
// digit. The rounding of the written numbers alone reaches half of it, and a ball dips a
// little into the sample it leaves on any descent; a program with no other fault (a plane,
// a gentle slope) keeps its bytes, and what is let through stays below what the program
// can express.
inline constexpr double ProtectAllowance = 0.9 * ProgramResolution;

// v as the program writes it and a reader reads it back: rounded to four decimals.
double writtenValue(double v);

class MoveProtector : public MoveSink {
public:
    // How the cells a move may cut are found: Fast in use, Reference the slower twin its
    // tests compare with (the same program byte for byte).
    enum class Path { Fast, Reference };
    // The field's grid (the one before gouge control) must outlive the protector.
    MoveProtector(const SampleField& field, const ToolProfile& tool, MoveSink& next,
                  Path path = Path::Fast);
    // A fresh protector over the same grid, tool and path that writes to `next`; it shares
    // the tables of `like` (read only), so it costs next to nothing to make.
    MoveProtector(const MoveProtector& like, MoveSink& next);
    // The latest move is held back until the next one arrives, which may lift its end.
    void add(const RasterMove& move) override;
    // Hands on the move still held. Call once after the last move.
    void finish();
    // Moves that got a lifted end or points in front of them.
    long long changedMoves() const { return changed_; }

    struct Step {
        RasterMove move;    // as it came
        RasterMove written; // its end as the program writes it, possibly lifted
        bool changed = false;
    };
    // All that one move hands on to the next: two protectors whose carries are the same,
    // bit for bit, write the same moves from here on when given the same moves. The cells
    // listed for the latest feed move (kept for a later rapid) follow from the move they
    // were listed for and whether they were thinned.
    struct Carry {
        std::optional<Step> pending;
        TipSegment listedFor;
        bool listedAny = false, listedWhole = false;
    };
    Carry carry() const { return {pending_, listedFor_, listedAny_, listedWhole_}; }
    static bool sameCarry(const Carry& a, const Carry& b);

private:
    // Made once per grid and tool, shared by the protectors of one program.
    struct Tables {
        RowMaxima maxima;
        FootprintTable footprint;
    };
    // Per unit of the move's t: the least rise of a line from the start and of one from the
    // end that clear every cell the move cuts, and the highest point those cells ask for.
    struct Needs {
        double rise, fall, peak;
    };
    static std::shared_ptr<const Tables> tablesFor(const SampleField& field,
                                                   const ToolProfile& tool, Path path);
    const RasterMove& at() const { return pending_->written; } // where the tool is
    bool listServes(const TipSegment& s) const;
    bool liesOverListed(const TipSegment& s) const;
    void keepCellsNearTheAllowance();
    double cutOf(const TipSegment& s) const;
    double cutTo(const RasterMove& end) const;
    void liftEnd(Step& step) const;
    std::vector<RasterMove> repair(Step& step);
    Needs needsOf(const RasterMove& end);
    std::vector<RasterMove> pointsBetween(const RasterMove& end, const Needs& needs) const;
    bool piecesClear(const std::vector<RasterMove>& points, const RasterMove& end) const;
    void flushPending();

    std::shared_ptr<const Tables> tables_;
    SampleField field_;
    ToolProfile tool_;
    MoveSink& next_;
    std::optional<Step> pending_;
    std::vector<CutCell> cells_;
    // The cells the latest feed move may cut (cellsThatMayBeCut), for that move as it came.
    std::vector<CutCell> listedCells_;
    // The depth of each cut by the move as listed for, NoCut where never under the tool.
    std::vector<double> listedCuts_;
    TipSegment listedFor_;
    bool listed_ = false, listedWhole_ = false; // whole: not yet thinned
    bool listedAny_ = false;                    // a feed move has been listed
    long long changed_ = 0;
    Path path_;
};

// Whether params ask for protected moves: Protect Moves with gouge control on, a tool and a
// relief with depth.
bool protectsMoves(const ReliefParameters& params);

// A protector in front of `next` for a program made from `original` (the grid before gouge
// control) when params ask for one, else nothing.
std::unique_ptr<MoveProtector> protectorFor(const TZGrid& original, const ReliefParameters& params,
                                            MoveSink& next,
                                            MoveProtector::Path path = MoveProtector::Path::Fast);

} // namespace corvane::relief
