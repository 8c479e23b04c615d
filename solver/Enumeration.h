// How many different positions can be reached from a position after each number of jumps, and
// in how many different ways a game can go from it.
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

// The full board alone has more games than 64 bits can hold.
__extension__ using GameCount = unsigned __int128;

struct GameCounts
{
    // Every different sequence of jumps that goes on until no jump is left; two sequences that
    // differ in any jump are different games, also where they pass through mirror images.
    GameCount complete = 0;
    // Those that end with one peg ...
    GameCount won = 0;
    // ... and those whose last peg stands in the centre hole (4,4).
    GameCount wonInCentre = 0;
};

// Throws Failure should a count not fit into GameCount.
GameCounts countGames(const CrossPosition &position, const CountProgress &progress = {});
