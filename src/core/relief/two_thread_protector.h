// Protect Moves on two threads, writing the moves of one protector exactly.
//
// A protector's moves hang together only through what each move hands the next
// (MoveProtector::Carry), and that carry forgets its past within a move or two: a move's
// end is lifted for the grid under it alone, unless its own repair or the next move's
// raises it. So a second protector can start fresh in the middle of the moves, ahead of the
// first. When the first reaches a move after which its carry equals the second's there, bit
// for bit, the second's moves from there on are the ones the first would have written, and
// the first hands over to it. Should the two never meet within the batch, the first
// protects the rest itself. Either way the moves are those of one protector alone.
//
// Moves arrive in batches. While the helper thread protects the later part of a batch, the
// caller's thread protects the earlier part, hands the previous batch's moves on to the
// next stage (the formatter and the file) and makes the next batch. The helper never
// touches the next stage nor the caller's progress and stop requests, and it is joined
// before the protector is gone; what it throws is thrown again on the caller's thread.
#pragma once

#include "relief/protect_moves.h"

#include <atomic>
#include <cstddef>
#include <exception>
#include <memory>
#include <thread>
#include <vector>

namespace corvane::relief {

class TwoThreadProtector : public MoveSink {
public:
    struct Settings {
        std::size_t batch = 1 << 14; // moves per batch, >= 1
        // The share of a batch the helper protects, in [0, 0.9]: it balances the helper's
        // work against the caller's, which also makes and formats the moves. Measured as
        // the wall time of the 1500 x 1500 benchmarks with both cores free: shortest at
        // 0.5 to 0.6 (at 0.72 the caller waited on the helper; at 0.8, 50 % longer).
        double helperShare = 0.55;
        int threads = 2; // 1: all on the caller's thread, the helper never started
    };
    // How the helper's parts joined the program: handed over, or protected again by the
    // caller's protector (missed); moves protected a second time at the joins.
    struct Joins {
        long long joined = 0, missed = 0, movesRedone = 0;
    };

    // The field's grid must outlive the protector.
    TwoThreadProtector(const SampleField& field, const ToolProfile& tool, MoveSink& next,
                       MoveProtector::Path path, const Settings& settings);
    ~TwoThreadProtector() override;
    TwoThreadProtector(const TwoThreadProtector&) = delete;
    TwoThreadProtector& operator=(const TwoThreadProtector&) = delete;

    void add(const RasterMove& move) override;
    // Protects and hands on all that is left. Call once after the last move.
    void finish();
    long long changedMoves() const;
    const Joins& joins() const { return joins_; }

private:
    struct Lane;
    struct Job;
    void runBatch(std::vector<RasterMove> batch);
    void startJob(std::vector<RasterMove> batch, std::size_t from);
    void settle();
    void joinUp(Job& job);
    void takeMainOutput();
    void handOn();

    MoveSink& next_;
    Settings settings_;
    std::unique_ptr<Lane> main_; // the protector whose moves are the program's
    std::unique_ptr<Job> job_;   // the helper's part in flight
    std::vector<RasterMove> batch_, ready_;
    long long changedBefore_ = 0; // by protectors handed over from
    Joins joins_;
    std::atomic<bool> quit_{false};
};

// The protector in front of `next` for a program made from `original` (the grid before
// gouge control) when params ask for one, else nothing: on two threads where the machine
// has two cores.
std::unique_ptr<TwoThreadProtector>
twoThreadProtectorFor(const TZGrid& original, const ReliefParameters& params, MoveSink& next);

} // namespace corvane::relief
