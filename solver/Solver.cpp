// Whether a position can still be won, and the jumps that win it or leave the fewest pegs.
#include "solver/Solver.h"

#include "solver/PositionTable.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <numeric>

namespace {

constexpr std::uint64_t kProgressEvery = 1 << 20;

// A depth-first search that remembers, for each position it has looked at to the end (one per
// set of mirror images), the fewest pegs it can be brought to.
class Search
{
public:
    Search(const CrossPosition &position, const SearchProgress &progress)
        : m_board(position.open)
        , m_progress(progress)
    {
        // Jumps from the far ends of the arms come first: pegs left out there are the hardest
        // to take, and trying them first finds a way through much sooner.
        const auto &moves = m_board.moves();
        m_byRank.resize(moves.size());
        std::iota(m_byRank.begin(), m_byRank.end(), std::uint8_t(0));
        std::stable_sort(m_byRank.begin(), m_byRank.end(), [&](std::uint8_t a, std::uint8_t b) {
            return distanceFromCentre(moves[a].from) > distanceFromCentre(moves[b].from);
        });
        m_rank.resize(moves.size());
        for (std::size_t rank = 0; rank < m_byRank.size(); ++rank)
            m_rank[m_byRank[rank]] = std::uint8_t(rank);
    }

    // The fewest pegs reachable from `pegs`, which holds `count` of them. Stops at the first
    // position with no more than `target` pegs and leaves the jumps to it in m_path, last first.
    int fewest(Holes pegs, int count, int target)
    {
        if (count <= target)
            return count;
        const Holes key = m_board.canonical(pegs);
        // A position known to end above the target need not be looked at again.
        if (const NumberedPosition *known = m_table.find(key); known && known->number() > target)
            return known->number();
        if (++m_looked % kProgressEvery == 0 && m_progress)
            m_progress(m_looked);

        std::array<std::uint64_t, 2> ranks {};
        m_board.forEachMove(pegs, [&](std::size_t move) {
            ranks[m_rank[move] / 64] |= std::uint64_t(1) << (m_rank[move] % 64);
        });
        int best = count;
        for (std::size_t word = 0; word < ranks.size(); ++word) {
            for (std::uint64_t bits = ranks[word]; bits != 0; bits &= bits - 1) {
                const std::size_t rank = 64 * word + std::size_t(std::countr_zero(bits));
                const CrossBoard::Move &move = m_board.moves()[m_byRank[rank]];
                const int reached = fewest(pegs ^ move.holes, count - 1, target);
                best = std::min(best, reached);
                if (reached <= target) {
                    m_path.push_back(move);
                    return best;
                }
            }
        }
        m_table.insert(NumberedPosition(key, best));
        return best;
    }

    const CrossBoard &board() const { return m_board; }
    std::vector<CrossBoard::Move> takePath()
    {
        std::vector<CrossBoard::Move> path(m_path.rbegin(), m_path.rend());
        m_path.clear();
        return path;
    }

private:
    static int distanceFromCentre(int hole)
    {
        const Cell cell = cellOf(hole);
        return std::abs(cell.column - 4) + std::abs(cell.row - 4);
    }

    CrossBoard m_board;
    const SearchProgress &m_progress;
    PositionTable<NumberedPosition> m_table;
    std::vector<CrossBoard::Move> m_path;
    std::vector<std::uint8_t> m_byRank; // move numbers, in the order they are tried
    std::vector<std::uint8_t> m_rank; // for each move, its place in that order
    std::uint64_t m_looked = 0;
};

} // namespace

Solution solve(const CrossPosition &position, const SearchProgress &progress)
{
    const Holes pegs = position.pegs & position.open;
    const int count = std::popcount(pegs);
    Solution solution;
    solution.pegsLeft = count;
    solution.winnable = count < 2;
    if (solution.winnable)
        return solution;

    Search search(position, progress);
    // No position can do better than its class allows, so the search may stop there. When it
    // does not get there, it has looked at everything, and a second search, cut short by what
    // the first one learnt, finds the way to the best it saw.
    const int bound = search.board().fewestPossible(pegs);
    int fewest = search.fewest(pegs, count, bound);
    if (fewest > bound)
        fewest = search.fewest(pegs, count, fewest);

    solution.pegsLeft = fewest;
    solution.winnable = fewest < 2;
    for (const CrossBoard::Move &move : search.takePath())
        solution.jumps.push_back({cellOf(move.from), cellOf(move.to)});
    return solution;
}
