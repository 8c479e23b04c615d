// Which form of a Russian noun follows a number: 1 фишка, 3 фишки, 11 фишек.
#pragma once

#include <cstdint>

// In this order, so that a list of a noun's three forms can be indexed by it.
enum class Plural { One, Few, Many };

// One after 1, 21, 101 ...; Few after 2 to 4, 22 to 24 ...; Many after the rest, the teens
// (11 to 14, 111 to 114 ...) among them.
Plural pluralAfter(std::uint64_t number);
