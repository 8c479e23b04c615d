// How many different positions can be reached from a position after each number of jumps.
#include "solver/Enumeration.h"

#include "solver/PositionTable.h"

#include <algorithm>
#include <array>
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

class NextPositions
{
public:
    NextPositions()
        : m_tables(kParts)
        , m_queues(kParts)
    {
        for (auto &queue : m_queues)
            queue.reserve(kQueueLength);
    }

    void add(Holes pegs)
    {
        // A different mix from the tables' own, so that each table still spreads its share.
        const std::size_t part = std::size_t((pegs * 0xD6E8FEB86659FD93u) >> (64 - kPartBits));
        std::vector<Holes> &queue = m_queues[part];
        queue.push_back(pegs);
        if (queue.size() == kQueueLength)
            flush(part);
    }

    std::vector<Holes> take()
    {
        std::size_t count = 0;
        for (std::size_t part = 0; part < kParts; ++part) {
            flush(part);
            count += m_tables[part].size();
        }
        std::vector<Holes> positions;
        positions.reserve(count);
        for (PositionTable &table : m_tables)
            table.drainInto(positions);
        return positions;
    }

private:
    void flush(std::size_t part)
    {
        for (Holes pegs : m_queues[part])
            m_tables[part].insert(pegs);
        m_queues[part].clear();
    }

    std::vector<PositionTable> m_tables;
    std::vector<std::vector<Holes>> m_queues;
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

        NextPositions next;
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
