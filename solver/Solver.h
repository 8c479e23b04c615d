// Whether a position can still be won, and the jumps that win it or leave the fewest pegs.
#pragma once

#include "solver/Cross.h"

#include <cstdint>
#include <functional>
#include <vector>

struct Solution
{
    // Fewer than two pegs can be reached: the game's win.
    bool winnable = false;
    // The fewest pegs that can be reached, and jumps that reach them.
    int pegsLeft = 0;
    std::vector<Jump> jumps;
};

// Told now and then during a long search how many positions it has looked at so far.
using SearchProgress = std::function<void(std::uint64_t positions)>;

Solution solve(const CrossPosition &position, const SearchProgress &progress = {});
