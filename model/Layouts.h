// The seven starting layouts as pictures of the playfield.
#pragma once

#include "model/GameState.h"

#include <array>

// Row by row from the top, column by column from the left:
// 'P' a peg, 'o' an empty hole, '-' no hole.
using LayoutPicture = std::array<const char *, kLastPlayfieldLine - kFirstPlayfieldLine + 1>;

extern const std::array<LayoutPicture, kLayoutCount> kLayoutPictures;
