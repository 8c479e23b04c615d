// How many different positions can be reached from a position after each number of jumps, and
// in how many different ways a game can go from it.
#include "solver/Enumeration.h"

#include "platform/Failure.h"
#include "resources/Texts.h"
#include "solver/PositionTable.h"

#include <algorithm>
#include <array>
#include <bit>
#include <numeric>

namespace {

// Every jump takes one peg off, so the positions after k jumps are exactly those with k pegs
// fewer, and one set of them leads to the next. The next set is split by hash into many small
// tables, and each table is filled from a queue of its own, a full queue at a time, so that
// the table stays in the processor's cache while it is filled: with one large table nearly
// every new position would wait for memory (four times as long on the full board).
constexpr int kPartBits = 8;
constexpr std::size_t kParts = std::size_t(1) << kPartBits;
constexpr std::size_t kQueueLength = 8192;
// Positions with their ways are twice as large, and so are their tables; longer queues bring
// each table into the cache for more new entries at a time (on the full board a fifth less time
// than with queues of 8192, for 48 MB more).
constexpr std::size_t kCountedQueueLength = 16384;

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

    void drainInto(std::vector<CountedPosition> &out)
    {
        for (const CountedPosition &position : m_slots)
            if (position.pegs() != 0)
                out.push_back(position);
        m_slots = {};
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
        std::vector<CountedPosition> old = std::move(m_slots);
        const std::size_t capacity = old.empty() ? 1024 : 2 * old.size();
        m_slots.assign(capacity, {});
        m_shift = 64 - std::countr_zero(capacity);
        m_size = 0;
        for (const CountedPosition &position : old)
            if (position.pegs() != 0)
                insert(position);
    }

    std::vector<CountedPosition> m_slots;
    std::size_t m_size = 0;
    int m_shift = 64;
};

// `Entry` is a position (Holes) for PositionTable, a CountedPosition for CountTable.
template<class Table, class Entry, std::size_t kQueueLength> class NextPositions
{
public:
    NextPositions()
        : m_tables(kParts)
        , m_queues(kParts)
    {
        for (auto &queue : m_queues)
            queue.reserve(kQueueLength);
    }

    void add(const Entry &entry)
    {
        // A different mix from the tables' own, so that each table still spreads its share.
        const std::size_t part
            = std::size_t((pegsOf(entry) * 0xD6E8FEB86659FD93u) >> (64 - kPartBits));
        std::vector<Entry> &queue = m_queues[part];
        queue.push_back(entry);
        if (queue.size() == kQueueLength)
            flush(part);
    }

    std::vector<Entry> take()
    {
        std::size_t count = 0;
        for (std::size_t part = 0; part < kParts; ++part) {
            flush(part);
            count += m_tables[part].size();
        }
        // The queues' memory is better spent on the positions; nothing more is added.
        m_queues = {};
        std::vector<Entry> positions;
        positions.reserve(count);
        for (Table &table : m_tables)
            table.drainInto(positions);
        return positions;
    }

private:
    void flush(std::size_t part)
    {
        for (const Entry &entry : m_queues[part])
            m_tables[part].insert(entry);
        m_queues[part].clear();
    }

    std::vector<Table> m_tables;
    std::vector<std::vector<Entry>> m_queues;
};

} // namespace

std::uint64_t PositionCounts::total() const
{
    return std::accumulate(afterJumps.begin(), afterJumps.end(), std::uint64_t(0));
}

PositionCounts countPositions(const CrossPosition &position, const CountProgress &progress)
{
    const CrossBoard board(position.open);
    const int symmetries = board.symmetryCount();

    PositionCounts counts;
    std::vector<Holes> current {board.canonical(position.pegs & position.open)};
    // The empty board has no peg to jump and cannot be stored; it stays alone.
    while (!current.empty()) {
        counts.afterJumps.push_back(current.size());
        if (progress)
            progress(int(counts.afterJumps.size()) - 1, current.size());
        if (current.front() == 0)
            break;

        NextPositions<PositionTable, Holes, kQueueLength> next;
        std::array<Holes, CrossBoard::kMostSymmetries> images {};
        for (Holes pegs : current) {
            // A jump flips its three holes in every image too, so each image of the position
            // after the jump is one exclusive-or away.
            for (int index = 0; index < symmetries; ++index)
                images[index] = board.image(index, pegs);
            board.forEachMove(pegs, [&](std::size_t move) {
                const Holes *moveImages = board.moveImages(move);
                Holes least = pegs ^ moveImages[0];
                for (int index = 1; index < symmetries; ++index)
                    least = std::min(least, images[index] ^ moveImages[index]);
                next.add(least);
            });
        }
        current = {};
        current = next.take();
    }
    return counts;
}

GameCounts countGames(const CrossPosition &position, const CountProgress &progress)
{
    const CrossBoard board(position.open);
    const int symmetries = board.symmetryCount();
    const Holes centre = bitOf(holeAt({4, 4}));

    // Jumps go from the position down, a number of jumps at a time, and each position carries
    // the number of ways it is reached; a game is complete where no jump is left. One position
    // stands for all its images, with the ways that reach any of them: each image has as many
    // jumps into a set of images as the position itself, so the ways add up the same.
    GameCounts counts;
    std::vector<CountedPosition> current {{board.canonical(position.pegs & position.open), 1}};
    for (int jumps = 0; !current.empty(); ++jumps) {
        if (progress)
            progress(jumps, current.size());
        NextPositions<CountTable, CountedPosition, kCountedQueueLength> next;
        std::array<Holes, CrossBoard::kMostSymmetries> images {};
        for (const CountedPosition &here : current) {
            const Holes pegs = here.pegs();
            for (int index = 0; index < symmetries; ++index)
                images[index] = board.image(index, pegs);
            bool jumped = false;
            board.forEachMove(pegs, [&](std::size_t move) {
                const Holes *moveImages = board.moveImages(move);
                Holes least = pegs ^ moveImages[0];
                for (int index = 1; index < symmetries; ++index)
                    least = std::min(least, images[index] ^ moveImages[index]);
                next.add({least, here.ways()});
                jumped = true;
            });
            if (jumped)
                continue;
            counts.complete = sum(counts.complete, here.ways());
            if (std::popcount(pegs) == 1)
                counts.won = sum(counts.won, here.ways());
            if (pegs == centre)
                counts.wonInCentre = sum(counts.wonInCentre, here.ways());
        }
        current = {};
        current = next.take();
    }
    return counts;
}
