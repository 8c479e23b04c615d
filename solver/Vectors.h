// The solver's inner loops in the processor's 512-bit vector instructions, where it has them.
#pragma once

#include <cstddef>
#include <cstdint>

// Whether the vector paths are taken: where the processor has the instructions, unless turned
// off. Both paths give the same answers; tests compare them.
bool wideVectors();
void allowWideVectors(bool allowed);

// The least image of each position one jump from `pegs` (see CrossBoard) to the front of `out`,
// which has room for eight past the last; gives how many. `blocks` holds the moves eight at a
// time: their holes, their `before`, then their images by symmetry, each as eight words; and
// `images` the eight images of `pegs`. Only where wideVectors().
std::size_t leastAfterEachJumpWide(const std::uint64_t *blocks, std::size_t blockCount,
                                   const std::uint64_t *images, std::uint64_t pegs,
                                   std::uint64_t *out);

// Puts each of `count` keys from `keys` on into a table of `capacity` four-byte slots, 0 for a
// free one, unless it is there already, and gives how many were new. A key's search starts at
// the line of sixteen slots its hash names and goes on slot by slot, line by line, as a plain
// search from the line's first slot would; a line is searched all at once. The caller makes
// room for every key first. Only where wideVectors().
std::size_t insertKeysWide(std::uint32_t *slots, std::size_t capacity, int shift,
                           const std::uint32_t *keys, std::size_t count);

// Adds each of `count` counted positions from `entries` on into a table of `capacity`
// sixteen-byte slots, all 0 for a free one: each entry two words, the low one first, the holes in
// its low 33 bits and the number above them. A position already there gets the number added to
// its own. The search goes as for the keys above, four slots to a line, by the holes. Stops
// before an entry whose sum would overflow and gives how many it took; `added` grows by the new
// ones. The caller makes room for every entry first. Only where wideVectors().
std::size_t addCountedWide(std::uint64_t *slots, std::size_t capacity, int shift,
                           const std::uint64_t *entries, std::size_t count, std::size_t &added);

// As addCountedWide, for eight-byte entries, eight slots to a line: the key in the low
// `keyBits` bits, never all 0, and the number above them.
std::size_t addFewWaysWide(std::uint64_t *slots, std::size_t capacity, int shift, int keyBits,
                           const std::uint64_t *entries, std::size_t count, std::size_t &added);

// The first slot of the line a search for `key` starts at, `perLine` slots to a line.
inline std::size_t homeOfKey(std::uint64_t key, int shift, std::size_t perLine)
{
    return std::size_t((key * 0x9E3779B97F4A7C15u) >> shift) & ~(perLine - 1);
}
