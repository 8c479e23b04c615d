// The 33 holes of the cross as a bit set, the jumps between them and the board's symmetries.
#pragma once

#include "model/GameState.h"

#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

// One bit per hole of the cross. Holes are numbered the way the game walks the playfield:
// column by column from the left, each from the top.
using Holes = std::uint64_t;
inline constexpr int kHoleCount = 33;
inline constexpr Holes kAllHoles = (Holes(1) << kHoleCount) - 1;

struct Cell
{
    int column = 0;
    int row = 0;

    friend bool operator==(const Cell &, const Cell &) = default;
};

// One jump in the game's own coordinates: click `from`, then `to`.
struct Jump
{
    Cell from;
    Cell to;

    friend bool operator==(const Jump &, const Jump &) = default;
};

// The hole at `cell`, or -1 when the cell is no hole of the cross.
int holeAt(Cell cell);
Cell cellOf(int hole);
// The cell as the solver's answers and messages name it: "(3,1)", column first.
std::string cellText(Cell cell);

inline Holes bitOf(int hole)
{
    return Holes(1) << hole;
}

// A position as the solver sees it: the pegs, and the holes that take part in the game. A hole
// whose cell holds OffBoard is closed: no peg can ever jump into it or over it.
struct CrossPosition
{
    Holes pegs = 0;
    Holes open = kAllHoles;

    friend bool operator==(const CrossPosition &, const CrossPosition &) = default;
};

// The playfield of `game` as a cross position. A cell holding Selected counts as a peg. Throws
// Failure, naming the first such cell, for a value other than 0, 1, 2 and 9, and for a corner
// square that is not OffBoard (the game would let pegs use it; the cross has no room for it);
// and, naming them all, for more than one cell holding Selected (the game plays those pegs
// differently: they cannot be picked up or jumped).
CrossPosition crossPositionOf(const GameState &game);

// The jumps and symmetries of a cross with some holes closed. Only the symmetries that map the
// open holes onto themselves count: a position mirrored onto a closed hole is no position at all.
class CrossBoard
{
public:
    static constexpr int kMostSymmetries = 8;

    struct Move
    {
        Holes holes = 0; // from, over and to
        Holes before = 0; // from and over: the pegs that must be there, with `to` empty
        int from = 0;
        int to = 0;
    };

    explicit CrossBoard(Holes open);

    const std::vector<Move> &moves() const { return m_moves; }
    // Calls visit(i) for each move moves()[i] that can be made from `pegs`.
    template<class Visit> void forEachMove(Holes pegs, Visit visit) const
    {
        const Holes empty = ~pegs & m_open;
        for (const MoveGroup &group : m_groups) {
            Holes from = group.from & pegs & shiftedBy(pegs, group.overStep)
                & shiftedBy(empty, group.toStep);
            for (; from != 0; from &= from - 1)
                visit(std::size_t(group.moveFrom[std::size_t(std::countr_zero(from))]));
        }
    }
    int symmetryCount() const { return m_symmetryCount; }

    // The position seen through symmetry `index` (0 is the identity).
    Holes image(int index, Holes pegs) const
    {
        const PieceTable *pieces = m_pieces[index].data();
        return pieces[0][pegs & kPieceMask] | pieces[1][pegs >> kPieceBits & kPieceMask]
            | pieces[2][pegs >> (2 * kPieceBits) & kPieceMask];
    }
    // The holes of move `move` seen through each symmetry, by symmetry; in the places of the
    // symmetries the board lacks, up to kMostSymmetries, the move itself.
    const Holes *moveImages(std::size_t move) const
    {
        return m_moveImages.data() + move * kMostSymmetries;
    }
    // The one position that stands for all images of `pegs`: the smallest.
    Holes canonical(Holes pegs) const;

    // Room for the positions one jump away: the 76 moves of the full cross, and the vector
    // path stores eight at a time.
    static constexpr std::size_t kMostNext = 80;
    // Writes the canonical() of each position one jump from `pegs` to `least`, once a jump, and
    // gives how many.
    std::size_t leastAfterEachJump(Holes pegs, Holes *least) const;
    // A lower bound on the pegs left from `pegs` (1 or 2), by position class: jumps keep the
    // parities of the pegs on each set of diagonals, so one peg is left only on a hole whose
    // class matches.
    int fewestPossible(Holes pegs) const;

private:
    // The moves whose holes lie the same distances apart in the numbering: the hole jumped over
    // is `overStep` after the start, the landing hole `toStep` after it. Testing a whole group
    // at once takes two shifts instead of a test per move.
    struct MoveGroup
    {
        int overStep = 0;
        int toStep = 0;
        Holes from = 0;
        std::array<std::uint8_t, kHoleCount> moveFrom {};
    };

    // Bit i of the result is bit i + step of `holes`.
    static Holes shiftedBy(Holes holes, int step)
    {
        return step >= 0 ? holes >> step : holes << -step;
    }

    // A symmetry looks up the image of each 11-bit third of a position.
    static constexpr int kPieceBits = 11;
    static constexpr Holes kPieceMask = (Holes(1) << kPieceBits) - 1;
    using PieceTable = std::array<Holes, 1 << kPieceBits>;
    static_assert(3 * kPieceBits == kHoleCount);

    std::vector<Move> m_moves;
    std::vector<MoveGroup> m_groups;
    std::vector<std::array<PieceTable, 3>> m_pieces;
    std::vector<Holes> m_moveImages;
    // For the vector path: the moves eight at a time, each eight as its holes, its `before`
    // and then its images by symmetry, as kWideBlock words.
    static constexpr std::size_t kWideBlock = 8 * (2 + kMostSymmetries);
    std::vector<Holes> m_wideMoves;
    bool m_wide = false;
    int m_symmetryCount = 0;
    Holes m_open = 0;
};
