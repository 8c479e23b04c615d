// How many different positions can be reached from a position after each number of jumps, and
// in how many different ways a game can go from it.
#include "solver/Enumeration.h"

#include "platform/Failure.h"
#include "resources/Texts.h"
#include "solver/PositionTable.h"
#include "solver/SystemMemory.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <exception>
#include <mutex>
#include <numeric>
#include <system_error>
#include <thread>

#include <sched.h>

namespace {

// Every jump takes one peg off, so the positions after k jumps are exactly those with k pegs
// fewer, and one set of them leads to the next. The next set is split by hash into many small
// tables, and each table is filled from a queue of its own, a full queue at a time, so that
// the table stays in the processor's cache while it is filled: with one large table nearly
// every new position would wait for memory (four times as long on the full board).
constexpr int kPartBits = 8;
constexpr std::size_t kQueueLength = 8192;
// Positions with their ways are twice as large, and so are their tables. Each thread has its
// own queues, so they are no longer than for the positions alone: with two threads, longer
// queues would take the peak from the hole at (3,1) towards 1 GB.
constexpr std::size_t kCountedQueueLength = 8192;

// A position with the number of ways it is reached, in one 128-bit word: the holes in the low
// bits, the ways above them. Sixteen bytes, not the 32 of a position beside a 128-bit number,
// because the full board has millions of them at a time and how many stay in the processor's
// cache decides the speed. The ways to reach a position are never more than the complete games
// (each way goes on to a game of its own), and 95 bits hold 68 million times the full board's.
class CountedPosition
{
public:
    CountedPosition() = default;
    CountedPosition(Holes pegs, GameCount ways)
        : m_bits(ways << kHoleCount | pegs)
    { }

    Holes pegs() const { return Holes(m_bits) & kAllHoles; }
    GameCount ways() const { return m_bits >> kHoleCount; }
    void addWaysOf(const CountedPosition &other)
    {
        if (__builtin_add_overflow(m_bits, other.m_bits & ~GameCount(kAllHoles), &m_bits))
            throw Failure(Texts::kSolverTooManyGames);
    }

private:
    GameCount m_bits = 0;
};

Holes pegsOf(Holes pegs)
{
    return pegs;
}

Holes pegsOf(const CountedPosition &position)
{
    return position.pegs();
}

GameCount sum(GameCount a, GameCount b)
{
    GameCount total = 0;
    if (__builtin_add_overflow(a, b, &total))
        throw Failure(Texts::kSolverTooManyGames);
    return total;
}

// Like PositionTable, but each position carries its number of ways, and a position that comes
// again adds its ways to those already there.
class CountTable
{
public:
    void insert(const CountedPosition &position)
    {
        // At most three quarters full; no position is empty, so an empty slot is a free one.
        if (4 * (m_size + 1) > 3 * m_slots.size())
            grow();
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t slot = slotOf(position.pegs());; slot = (slot + 1) & mask) {
            CountedPosition &here = m_slots[slot];
            if (here.pegs() == 0) {
                here = position;
                ++m_size;
                return;
            }
            if (here.pegs() == position.pegs()) {
                here.addWaysOf(position);
                return;
            }
        }
    }

    std::size_t size() const { return m_size; }
    void prefetch(Holes pegs) const
    {
        if (!m_slots.empty())
            __builtin_prefetch(&m_slots[slotOf(pegs)], 1);
    }

    template<class Positions> void drainInto(Positions &out)
    {
        for (const CountedPosition &position : m_slots)
            if (position.pegs() != 0)
                out.push_back(position);
        // Not `= {}`, which would keep the memory.
        m_slots = decltype(m_slots)();
        m_size = 0;
        m_shift = 64;
    }

private:
    std::size_t slotOf(Holes pegs) const
    {
        // Fibonacci hashing, as in PositionTable.
        return std::size_t((pegs * 0x9E3779B97F4A7C15u) >> m_shift);
    }

    void grow()
    {
        const auto old = std::move(m_slots);
        const std::size_t capacity = old.empty() ? 1024 : 2 * old.size();
        m_slots.assign(capacity, {});
        m_shift = 64 - std::countr_zero(capacity);
        m_size = 0;
        for (const CountedPosition &position : old)
            if (position.pegs() != 0)
                insert(position);
    }

    std::vector<CountedPosition, SystemMemory<CountedPosition>> m_slots;
    std::size_t m_size = 0;
    int m_shift = 64;
};

// The positions of one number of jumps, by part: each part a table's worth, so that a part can
// be let go as soon as it is done with.
template<class Entry> using Part = std::vector<Entry, SystemMemory<Entry>>;
template<class Entry> using Layer = std::vector<Part<Entry>>;

template<int kBits> std::size_t partOf(Holes pegs)
{
    // A different mix from the tables' own, so that each table still spreads its share.
    return std::size_t((pegs * 0xD6E8FEB86659FD93u) >> (64 - kBits));
}

// Every processor takes part in the walk: the positions of one number of jumps are shared out
// part by part, and each thread queues the positions it finds for the parts' tables, which it
// fills a full queue at a time while holding that part's lock.
unsigned threadCount()
{
    // The processors this process may run on (taskset, a container's share), not all there are.
    cpu_set_t allowed;
    const int count = ::sched_getaffinity(0, sizeof allowed, &allowed) == 0
        ? CPU_COUNT(&allowed)
        : int(std::thread::hardware_concurrency());
    return unsigned(std::clamp(count, 1, 4));
}

// `Entry` is a position (Holes) for PositionTable, a CountedPosition for CountTable.
template<class Table, class Entry, std::size_t kQueueLength, int kBits> class NextPositions
{
public:
    static constexpr std::size_t kParts = std::size_t(1) << kBits;

    // The queues of one thread.
    class Queues
    {
    public:
        explicit Queues(NextPositions &next)
            : m_next(next)
            , m_queues(kParts)
        {
            for (auto &queue : m_queues)
                queue.reserve(kQueueLength);
        }

        void add(const Entry &entry)
        {
            const std::size_t part = partOf<kBits>(pegsOf(entry));
            Part<Entry> &queue = m_queues[part];
            queue.push_back(entry);
            if (queue.size() == kQueueLength)
                m_next.flush(part, queue);
        }

        void flushAll()
        {
            for (std::size_t part = 0; part < kParts; ++part)
                m_next.flush(part, m_queues[part]);
        }

    private:
        NextPositions &m_next;
        std::vector<Part<Entry>> m_queues;
    };

    NextPositions()
        : m_tables(kParts)
        , m_locks(kParts)
    { }

    // The positions found, each table emptied into a vector of its own before the next is.
    Layer<Entry> take()
    {
        Layer<Entry> positions(kParts);
        for (std::size_t part = 0; part < kParts; ++part) {
            positions[part].reserve(m_tables[part].size());
            m_tables[part].drainInto(positions[part]);
        }
        return positions;
    }

private:
    void flush(std::size_t part, Part<Entry> &queue)
    {
        const std::lock_guard lock(m_locks[part]);
        Table &table = m_tables[part];
        // The large tables do not stay in the cache between flushes: fetching the slots a few
        // inserts ahead lets the waits for memory overlap.
        constexpr std::size_t kAhead = 16;
        for (std::size_t i = 0; i < queue.size(); ++i) {
            if (i + kAhead < queue.size())
                table.prefetch(pegsOf(queue[i + kAhead]));
            table.insert(queue[i]);
        }
        queue.clear();
    }

    std::vector<Table> m_tables;
    std::vector<std::mutex> m_locks;
};

// Calls visit(entry, queues) for every entry of `current` and gives the positions the visits
// queue. Each thread has a `State` of its own, made by makeState(queues) and handed to
// finish(state) at the end. Each part of `current` is freed once visited.
template<class Next, class Entry, class MakeState, class Visit, class Finish>
Layer<Entry> walkOneJump(Layer<Entry> &current, MakeState makeState, Visit visit, Finish finish)
{
    Next next;
    std::atomic<std::size_t> nextPart = 0;
    std::mutex failureLock;
    std::exception_ptr failure;
    const auto work = [&] {
        try {
            typename Next::Queues queues(next);
            auto &&state = makeState(queues);
            for (std::size_t part; (part = nextPart++) < current.size();) {
                for (const Entry &entry : current[part])
                    visit(entry, state);
                current[part] = Part<Entry>();
            }
            queues.flushAll();
            finish(state);
        } catch (...) {
            const std::lock_guard lock(failureLock);
            if (!failure)
                failure = std::current_exception();
            // The others stop at their next part.
            nextPart = current.size();
        }
    };

    std::vector<std::thread> helpers;
    for (unsigned i = 1; i < threadCount(); ++i) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error &) {
            break; // no more threads to be had: fewer do the work
        }
    }
    work();
    for (std::thread &helper : helpers)
        helper.join();
    if (failure)
        std::rethrow_exception(failure);
    return next.take();
}

// Calls visit(least) with the least image of each position one jump from `pegs`.
template<class Visit> void forEachNextPosition(const CrossBoard &board, Holes pegs, Visit visit)
{
    // A jump flips its three holes in every image too, so each image of the position after the
    // jump is one exclusive-or away. Where the board lacks a symmetry, the position and the move
    // stand in for its images, which keeps the loop below the same length on every board.
    std::array<Holes, CrossBoard::kMostSymmetries> images;
    images.fill(pegs);
    for (int index = 1; index < board.symmetryCount(); ++index)
        images[std::size_t(index)] = board.image(index, pegs);
    board.forEachMove(pegs, [&](std::size_t move) {
        const Holes *moveImages = board.moveImages(move);
        Holes least = images[0] ^ moveImages[0];
        for (std::size_t index = 1; index < images.size(); ++index)
            least = std::min(least, images[index] ^ moveImages[index]);
        visit(least);
    });
}

std::uint64_t sizeOf(const auto &layer)
{
    std::uint64_t size = 0;
    for (const auto &part : layer)
        size += part.size();
    return size;
}

} // namespace

std::uint64_t PositionCounts::total() const
{
    return std::accumulate(afterJumps.begin(), afterJumps.end(), std::uint64_t(0));
}

PositionCounts countPositions(const CrossPosition &position, const CountProgress &progress)
{
    const CrossBoard board(position.open);

    PositionCounts counts;
    Layer<Holes> current(1, {board.canonical(position.pegs & position.open)});
    for (std::uint64_t size; (size = sizeOf(current)) != 0;) {
        counts.afterJumps.push_back(size);
        if (progress)
            progress(int(counts.afterJumps.size()) - 1, size);

        using Next = NextPositions<PositionTable, Holes, kQueueLength, kPartBits>;
        using Queues = Next::Queues;
        current = walkOneJump<Next>(
            current, [](Queues &queues) -> Queues & { return queues; },
            [&](Holes pegs, Queues &next) {
                forEachNextPosition(board, pegs, [&](Holes least) { next.add(least); });
            },
            [](Queues &) {});
    }
    return counts;
}

GameCounts countGames(const CrossPosition &position, const CountProgress &progress)
{
    const CrossBoard board(position.open);
    const Holes centre = bitOf(holeAt({4, 4}));

    // Jumps go from the position down, a number of jumps at a time, and each position carries
    // the number of ways it is reached; a game is complete where no jump is left. One position
    // stands for all its images, with the ways that reach any of them: each image has as many
    // jumps into a set of images as the position itself, so the ways add up the same.
    GameCounts counts;
    std::mutex countsLock;
    Layer<CountedPosition> current(1, {{board.canonical(position.pegs & position.open), 1}});
    using Next = NextPositions<CountTable, CountedPosition, kCountedQueueLength, kPartBits>;
    using Queues = Next::Queues;
    // What one thread has seen: its queues, and the games it found complete.
    struct State
    {
        Queues &next;
        GameCounts ended;
    };
    for (int jumps = 0; sizeOf(current) != 0; ++jumps) {
        if (progress)
            progress(jumps, sizeOf(current));
        current = walkOneJump<Next>(
            current,
            [](Queues &queues) {
                return State {queues, {}};
            },
            [&](const CountedPosition &here, State &state) {
                const Holes pegs = here.pegs();
                bool jumped = false;
                forEachNextPosition(board, pegs, [&](Holes least) {
                    state.next.add({least, here.ways()});
                    jumped = true;
                });
                if (jumped)
                    return;
                GameCounts &ended = state.ended;
                ended.complete = sum(ended.complete, here.ways());
                if (std::popcount(pegs) == 1)
                    ended.won = sum(ended.won, here.ways());
                if (pegs == centre)
                    ended.wonInCentre = sum(ended.wonInCentre, here.ways());
            },
            [&](const State &state) {
                const std::lock_guard lock(countsLock);
                counts.complete = sum(counts.complete, state.ended.complete);
                counts.won = sum(counts.won, state.ended.won);
                counts.wonInCentre = sum(counts.wonInCentre, state.ended.wonInCentre);
            });
    }
    return counts;
}
