// Test positions: the cross of holes with pegs only where a test puts them.
#pragma once

#include "model/GameState.h"

#include <utility>
#include <vector>

// The full board's holes, all empty but those in `pegs`.
inline GameState withPegsOnly(const std::vector<std::pair<int, int>> &pegs)
{
    GameState game;
    game.SetUpLayout(FullBoard);
    for (int column = kFirstPlayfieldLine; column <= kLastPlayfieldLine; ++column)
        for (int row = kFirstPlayfieldLine; row <= kLastPlayfieldLine; ++row)
            if (game.Board[column][row] == Peg)
                game.Board[column][row] = Empty;
    for (auto [column, row] : pegs)
        game.Board[column][row] = Peg;
    return game;
}
