// The 33 holes of the cross as a bit set, the jumps between them and the board's symmetries.
#include "solver/Cross.h"

#include "platform/Failure.h"
#include "resources/Texts.h"
#include "solver/Vectors.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <string>

namespace {

constexpr int kCentre = 4;

bool isCrossCell(Cell cell)
{
    const bool middleColumns = cell.column >= 3 && cell.column <= 5;
    const bool middleRows = cell.row >= 3 && cell.row <= 5;
    const bool onPlayfield = cell.column >= kFirstPlayfieldLine && cell.column <= kLastPlayfieldLine
        && cell.row >= kFirstPlayfieldLine && cell.row <= kLastPlayfieldLine;
    return onPlayfield && (middleColumns || middleRows);
}

struct HoleNumbers
{
    std::array<std::array<int, kGridSize>, kGridSize> hole {};
    std::array<Cell, kHoleCount> cell {};

    HoleNumbers()
    {
        int next = 0;
        for (int column = 0; column < kGridSize; ++column) {
            for (int row = 0; row < kGridSize; ++row) {
                const Cell here {column, row};
                hole[column][row] = isCrossCell(here) ? next : -1;
                if (isCrossCell(here))
                    cell[next++] = here;
            }
        }
    }
};

const HoleNumbers &holeNumbers()
{
    static const HoleNumbers numbers;
    return numbers;
}

// The board's eight symmetries about the centre hole: four turns, each with or without a mirror.
Cell transformed(int symmetry, Cell cell)
{
    const int x = cell.column - kCentre;
    const int y = cell.row - kCentre;
    const int turnedX[] = {x, -y, -x, y};
    const int turnedY[] = {y, x, -y, -x};
    const int turn = symmetry % 4;
    const int mirror = symmetry < 4 ? 1 : -1;
    return {kCentre + mirror * turnedX[turn], kCentre + turnedY[turn]};
}

Holes transformedHoles(int symmetry, Holes holes)
{
    Holes image = 0;
    for (; holes != 0; holes &= holes - 1)
        image |= bitOf(holeAt(transformed(symmetry, cellOf(std::countr_zero(holes)))));
    return image;
}

// The position class: for the diagonals running each way, which of the three sets of every
// third diagonal hold an odd number of pegs, folded into two bits. A jump takes one peg off
// each of the three sets and so keeps the class.
unsigned classOf(Holes pegs)
{
    unsigned pegClass = 0;
    for (int hole = 0; hole < kHoleCount; ++hole) {
        if (!(pegs & bitOf(hole)))
            continue;
        const Cell cell = cellOf(hole);
        // Each of the three sets adds its own nonzero pair of bits; the three pairs sum to zero.
        static constexpr unsigned kBitsOfSet[] = {1, 3, 2};
        const unsigned rising = kBitsOfSet[(cell.column + cell.row) % 3];
        const unsigned falling = kBitsOfSet[(cell.column - cell.row + 9) % 3];
        pegClass ^= rising | falling << 2;
    }
    return pegClass;
}

} // namespace

int holeAt(Cell cell)
{
    if (cell.column < 0 || cell.column >= kGridSize || cell.row < 0 || cell.row >= kGridSize)
        return -1;
    return holeNumbers().hole[cell.column][cell.row];
}

Cell cellOf(int hole)
{
    return holeNumbers().cell[hole];
}

std::string cellText(Cell cell)
{
    return '(' + std::to_string(cell.column) + ',' + std::to_string(cell.row) + ')';
}

CrossPosition crossPositionOf(const GameState &game)
{
    CrossPosition position;
    std::string selectedCells;
    int selectedCount = 0;
    for (int column = kFirstPlayfieldLine; column <= kLastPlayfieldLine; ++column) {
        for (int row = kFirstPlayfieldLine; row <= kLastPlayfieldLine; ++row) {
            const std::int32_t value = game.Board[column][row];
            const Cell cell {column, row};
            if (value != Empty && value != Peg && value != Selected && value != OffBoard)
                throw Failure(
                    Texts::fillIn(Texts::kSolverOddValue, {cellText(cell), std::to_string(value)}));
            const int hole = holeAt(cell);
            if (hole < 0) {
                if (value != OffBoard)
                    throw Failure(Texts::fillIn(Texts::kSolverOutsideCross,
                                                {cellText(cell), std::to_string(value)}));
            } else if (value == OffBoard) {
                position.open &= ~bitOf(hole);
            } else if (value != Empty) {
                position.pegs |= bitOf(hole);
            }
            if (value == Selected)
                selectedCells += (selectedCount++ == 0 ? "" : ", ") + cellText(cell);
        }
    }
    // The game's one selected peg is a peg like any other once put down. Of several, none is
    // the selection: none can be picked up or jumped, and a click on one while another peg is
    // held strands the held one; whatever the solver answered, the clicks would not follow it.
    if (selectedCount > 1)
        throw Failure(Texts::fillIn(Texts::kSolverSeveralSelected, {selectedCells}));
    return position;
}

CrossBoard::CrossBoard(Holes open)
    : m_open(open & kAllHoles)
{
    for (int from = 0; from < kHoleCount; ++from) {
        const Cell start = cellOf(from);
        for (const auto &[dx, dy] : {std::pair {1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            const int over = holeAt({start.column + dx, start.row + dy});
            const int to = holeAt({start.column + 2 * dx, start.row + 2 * dy});
            if (over < 0 || to < 0)
                continue;
            Move move {bitOf(from) | bitOf(over) | bitOf(to), bitOf(from) | bitOf(over), from, to};
            if ((move.holes & m_open) == move.holes)
                m_moves.push_back(move);
        }
    }

    for (std::size_t i = 0; i < m_moves.size(); ++i) {
        const Move &move = m_moves[i];
        const int overStep = std::countr_zero(move.before & ~bitOf(move.from)) - move.from;
        const int toStep = move.to - move.from;
        auto group = std::find_if(m_groups.begin(), m_groups.end(), [&](const MoveGroup &g) {
            return g.overStep == overStep && g.toStep == toStep;
        });
        if (group == m_groups.end())
            group = m_groups.insert(m_groups.end(), MoveGroup {overStep, toStep, 0, {}});
        group->from |= bitOf(move.from);
        group->moveFrom[std::size_t(move.from)] = std::uint8_t(i);
    }

    std::vector<int> kept;
    for (int symmetry = 0; symmetry < kMostSymmetries; ++symmetry)
        if (transformedHoles(symmetry, m_open) == m_open)
            kept.push_back(symmetry);
    m_symmetryCount = int(kept.size());
    m_pieces.resize(kept.size());
    for (std::size_t index = 0; index < kept.size(); ++index) {
        std::array<Holes, kHoleCount> holeImages {};
        for (int hole = 0; hole < kHoleCount; ++hole)
            holeImages[hole] = transformedHoles(kept[index], bitOf(hole));
        for (std::size_t piece = 0; piece < m_pieces[index].size(); ++piece) {
            PieceTable &table = m_pieces[index][piece];
            // Each entry is an earlier one plus the image of its lowest hole.
            for (std::size_t bits = 1; bits < table.size(); ++bits)
                table[bits] = table[bits & (bits - 1)]
                    | holeImages[kPieceBits * piece + std::size_t(std::countr_zero(bits))];
        }
    }
    m_moveImages.assign(m_moves.size() * kMostSymmetries, 0);
    for (std::size_t move = 0; move < m_moves.size(); ++move)
        for (std::size_t index = 0; index < kMostSymmetries; ++index)
            m_moveImages[move * kMostSymmetries + index] = index < kept.size()
                ? transformedHoles(kept[index], m_moves[move].holes)
                : m_moves[move].holes;

    // A padding move needs holes no position has, and so is never possible.
    const std::size_t blocks = (m_moves.size() + 7) / 8;
    m_wideMoves.assign(blocks * kWideBlock, 0);
    for (std::size_t slot = 0; slot < blocks * 8; ++slot) {
        Holes *block = &m_wideMoves[slot / 8 * kWideBlock + slot % 8];
        block[8] = ~Holes(0);
        if (slot >= m_moves.size())
            continue;
        block[0] = m_moves[slot].holes;
        block[8] = m_moves[slot].before;
        for (std::size_t index = 0; index < kMostSymmetries; ++index)
            block[8 * (2 + index)] = m_moveImages[slot * kMostSymmetries + index];
    }
    m_wide = wideVectors();
}

Holes CrossBoard::canonical(Holes pegs) const
{
    Holes least = pegs;
    for (int index = 1; index < symmetryCount(); ++index)
        least = std::min(least, image(index, pegs));
    return least;
}

std::size_t CrossBoard::leastAfterEachJump(Holes pegs, Holes *least) const
{
    // A jump flips its three holes in every image too, so each image of the position after the
    // jump is one exclusive-or away. Where the board lacks a symmetry, the position and the move
    // stand in for its images, which keeps the work the same on every board.
    std::array<Holes, kMostSymmetries> images;
    images.fill(pegs);
    for (int index = 1; index < m_symmetryCount; ++index)
        images[std::size_t(index)] = image(index, pegs);
    if (m_wide)
        return leastAfterEachJumpWide(m_wideMoves.data(), m_wideMoves.size() / kWideBlock,
                                      images.data(), pegs, least);
    std::size_t count = 0;
    forEachMove(pegs, [&](std::size_t move) {
        const Holes *after = moveImages(move);
        Holes smallest = images[0] ^ after[0];
        for (std::size_t index = 1; index < kMostSymmetries; ++index)
            smallest = std::min(smallest, images[index] ^ after[index]);
        least[count++] = smallest;
    });
    return count;
}

int CrossBoard::fewestPossible(Holes pegs) const
{
    const unsigned pegClass = classOf(pegs);
    for (int hole = 0; hole < kHoleCount; ++hole)
        if ((m_open & bitOf(hole)) && classOf(bitOf(hole)) == pegClass)
            return 1;
    return 2;
}
