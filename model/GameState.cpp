// The one game in memory: dealing layouts, counting pegs and the click rules.
#include "model/GameState.h"

#include "model/Layouts.h"

#include <cstdlib>

namespace {

bool isInGrid(int column, int row)
{
    return column >= 0 && column < kGridSize && row >= 0 && row < kGridSize;
}

bool isRing(int column, int row)
{
    return column == 0 || row == 0 || column == kGridSize - 1 || row == kGridSize - 1;
}

std::int32_t cellFromPicture(char mark)
{
    switch (mark) {
    case 'P':
        return Peg;
    case 'o':
        return Empty;
    default:
        return OffBoard;
    }
}

} // namespace

GameState::GameState()
{
    // The ring around the playfield holds no holes, so no peg can ever be jumped off the board.
    for (int column = 0; column < kGridSize; ++column)
        for (int row = 0; row < kGridSize; ++row)
            if (isRing(column, row))
                Board[column][row] = OffBoard;
}

void GameState::SetUpLayout(std::int32_t kind)
{
    // Only a loaded file can bring a kind out of range; New then deals nothing.
    if (kind < 0 || kind >= kLayoutCount)
        return;
    const LayoutPicture &picture = kLayoutPictures[static_cast<std::size_t>(kind)];
    for (int column = kFirstPlayfieldLine; column <= kLastPlayfieldLine; ++column)
        for (int row = kFirstPlayfieldLine; row <= kLastPlayfieldLine; ++row)
            Board[column][row] = cellFromPicture(picture[row - 1][column - 1]);
    BoardKind = kind;
    NothingSelected = true;
}

int GameState::CountPegs() const
{
    int pegs = 0;
    for (int column = kFirstPlayfieldLine; column <= kLastPlayfieldLine; ++column)
        for (int row = kFirstPlayfieldLine; row <= kLastPlayfieldLine; ++row)
            if (Board[column][row] == Peg || Board[column][row] == Selected)
                ++pegs;
    return pegs;
}

std::vector<CellPlace> GameState::ChangedSince(const GameState &before) const
{
    std::vector<CellPlace> changed;
    for (int column = kFirstPlayfieldLine; column <= kLastPlayfieldLine; ++column)
        for (int row = kFirstPlayfieldLine; row <= kLastPlayfieldLine; ++row)
            if (Board[column][row] != before.Board[column][row])
                changed.push_back({column, row});
    return changed;
}

bool GameState::IsFinished() const
{
    return CountPegs() < 2;
}

ClickOutcome GameState::HandleClick(int column, int row)
{
    if (IsFinished())
        return {false, Notice::GameOverNotice};

    // A point beyond the grid (an enlarged window) is treated like a square without a hole.
    const std::int32_t clicked = isInGrid(column, row) ? Board[column][row] : OffBoard;
    ClickOutcome outcome;

    if (clicked == Peg && NothingSelected) {
        Board[column][row] = Selected;
        NothingSelected = false;
        SelectedColumn = column;
        SelectedRow = row;
        return {true, Notice::None};
    }
    if (clicked == Selected && !NothingSelected) {
        Board[column][row] = Peg;
        NothingSelected = true;
        return {true, Notice::None};
    }
    if (clicked == Empty && !NothingSelected) {
        const int dx = std::abs(column - SelectedColumn);
        const int dy = std::abs(row - SelectedRow);
        if ((dx == 2 && dy == 0) || (dx == 0 && dy == 2)) {
            const int middleColumn = (column + SelectedColumn) / 2;
            const int middleRow = (row + SelectedRow) / 2;
            std::int32_t &middle = Board[middleColumn][middleRow];
            std::int32_t &from = Board[SelectedColumn][SelectedRow];
            if (middle == Peg) {
                from = Empty;
                middle = Empty;
                Board[column][row] = Peg;
            } else {
                // Every straight attempt over two cells ends the selection, even one that fails.
                from = Peg;
            }
            NothingSelected = true;
            outcome.Redraw = true;
        }
    }

    if (IsFinished())
        outcome.Message = Notice::WinNotice;
    return outcome;
}
