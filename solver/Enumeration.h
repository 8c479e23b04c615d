// How many different positions can be reached from a position after each number of jumps.
#pragma once

#include "solver/Cross.h"

#include <cstdint>
#include <functional>
#include <vector>

struct PositionCounts
{
    // Entry k: the positions reached after exactly k jumps, mirror images and turns of one
    // another counted once. Entry 0 is the position itself.
    std::vector<std::uint64_t> afterJumps;

    std::uint64_t total() const;
};

// Told after each number of jumps how many positions it reaches.
using CountProgress = std::function<void(int jumps, std::uint64_t positions)>;

PositionCounts countPositions(const CrossPosition &position, const CountProgress &progress = {});
