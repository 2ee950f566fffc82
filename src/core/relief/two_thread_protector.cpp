#include "relief/two_thread_protector.h"

#include <algorithm>
#include <utility>

namespace corvane::relief {

// A protector and the moves it has written and not yet handed on.
struct TwoThreadProtector::Lane {
    Lane(const SampleField& field, const ToolProfile& tool, MoveProtector::Path path)
        : protector(field, tool, out, path)
    {
    }
    explicit Lane(const MoveProtector& like) : protector(like, out) {}
    MoveList out;
    MoveProtector protector;
};

// The helper's part of a batch: a fresh protector given moves[from..], and after each of
// its first moves what it carried, how many moves it had written and changed.
struct TwoThreadProtector::Job {
    struct Mark {
        MoveProtector::Carry carry;
        std::size_t written = 0;
        long long changed = 0;
    };
    // Past a move or two the carries meet or they will not: the marks stop there.
    static constexpr std::size_t MaxMarks = 256;

    std::vector<RasterMove> moves;
    std::size_t from = 0;
    std::unique_ptr<Lane> lane;
    std::vector<Mark> marks;
    std::exception_ptr failure;
    std::thread thread; // last: starts once the rest is ready
};

TwoThreadProtector::TwoThreadProtector(const SampleField& field, const ToolProfile& tool,
                                       MoveSink& next, MoveProtector::Path path,
                                       const Settings& settings)
    : next_(next), settings_(settings), main_(std::make_unique<Lane>(field, tool, path))
{
    settings_.batch = std::max<std::size_t>(settings_.batch, 1);
    settings_.helperShare = std::clamp(settings_.helperShare, 0.0, 0.9);
    batch_.reserve(settings_.batch);
}

TwoThreadProtector::~TwoThreadProtector()
{
    if (job_ && job_->thread.joinable()) {
        quit_ = true;
        job_->thread.join();
    }
}

void TwoThreadProtector::add(const RasterMove& move)
{
    batch_.push_back(move);
    if (batch_.size() >= settings_.batch) {
        std::vector<RasterMove> next;
        next.reserve(settings_.batch);
        runBatch(std::exchange(batch_, std::move(next)));
    }
}

void TwoThreadProtector::finish()
{
    if (!batch_.empty())
        runBatch(std::exchange(batch_, {}));
    settle();
    main_->protector.finish();
    takeMainOutput();
    handOn();
}

long long TwoThreadProtector::changedMoves() const
{
    return changedBefore_ + main_->protector.changedMoves();
}

void TwoThreadProtector::runBatch(std::vector<RasterMove> batch)
{
    settle();
    takeMainOutput();
    const std::size_t n = batch.size();
    const auto helper =
        settings_.threads > 1 ? static_cast<std::size_t>(double(n) * settings_.helperShare) : 0;
    // The caller protects moves[0, split); the helper starts fresh at split − 1, the last
    // of those, so that the two may meet right after it.
    const std::size_t split = n - helper;
    const std::vector<RasterMove>* moves = &batch;
    if (helper > 0) {
        startJob(std::move(batch), split - 1);
        moves = &job_->moves; // read by both threads, written by neither
    }
    handOn();
    for (std::size_t i = 0; i < split; ++i)
        main_->protector.add((*moves)[i]);
}

void TwoThreadProtector::startJob(std::vector<RasterMove> batch, std::size_t from)
{
    job_ = std::make_unique<Job>();
    Job& job = *job_;
    job.moves = std::move(batch);
    job.from = from;
    job.lane = std::make_unique<Lane>(main_->protector);
    job.marks.reserve(Job::MaxMarks);
    job.thread = std::thread([&job, this] {
        try {
            MoveProtector& p = job.lane->protector;
            for (std::size_t i = job.from; i < job.moves.size(); ++i) {
                if (quit_.load(std::memory_order_relaxed))
                    return;
                p.add(job.moves[i]);
                if (job.marks.size() < Job::MaxMarks)
                    job.marks.push_back({p.carry(), job.lane->out.moves.size(), p.changedMoves()});
            }
        } catch (...) {
            job.failure = std::current_exception();
        }
    });
}

void TwoThreadProtector::settle()
{
    if (!job_)
        return;
    const std::unique_ptr<Job> job = std::move(job_);
    job->thread.join();
    if (job->failure)
        std::rethrow_exception(job->failure);
    joinUp(*job);
}

void TwoThreadProtector::joinUp(Job& job)
{
    // The caller's protector has taken moves[0 .. from]; it goes on until its carry is the
    // helper's after the same move.
    MoveProtector& mine = main_->protector;
    for (std::size_t j = job.from;;) {
        const std::size_t k = j - job.from;
        if (k < job.marks.size() && MoveProtector::sameCarry(mine.carry(), job.marks[k].carry)) {
            const Job::Mark& mark = job.marks[k];
            takeMainOutput();
            std::vector<RasterMove>& theirs = job.lane->out.moves;
            ready_.insert(ready_.end(), theirs.begin() + std::ptrdiff_t(mark.written),
                          theirs.end());
            theirs.clear();
            changedBefore_ += mine.changedMoves() - mark.changed;
            main_ = std::move(job.lane);
            ++joins_.joined;
            return;
        }
        if (++j == job.moves.size())
            break;
        mine.add(job.moves[j]);
        ++joins_.movesRedone;
    }
    ++joins_.missed;
}

void TwoThreadProtector::takeMainOutput()
{
    std::vector<RasterMove>& mine = main_->out.moves;
    if (ready_.empty())
        std::swap(ready_, mine);
    else
        ready_.insert(ready_.end(), mine.begin(), mine.end());
    mine.clear();
}

void TwoThreadProtector::handOn()
{
    for (const RasterMove& move : ready_)
        next_.add(move);
    ready_.clear();
}

std::unique_ptr<TwoThreadProtector>
twoThreadProtectorFor(const TZGrid& original, const ReliefParameters& params, MoveSink& next)
{
    if (!protectsMoves(params))
        return nullptr;
    TwoThreadProtector::Settings settings;
    settings.threads = std::thread::hardware_concurrency() >= 2 ? 2 : 1;
    return std::make_unique<TwoThreadProtector>(
        sampleField(original, params.sizeX, params.sizeY, params.depth),
        toolProfile(params.tool, params.toolDiameter, params.includedAngle), next,
        MoveProtector::Path::Fast, settings);
}

} // namespace corvane::relief
