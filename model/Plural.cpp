// Which form of a Russian noun follows a number: 1 фишка, 3 фишки, 11 фишек.
#include "model/Plural.h"

Plural pluralAfter(std::uint64_t number)
{
    const std::uint64_t lastTwo = number % 100;
    const std::uint64_t last = number % 10;
    if (lastTwo >= 11 && lastTwo <= 14)
        return Plural::Many;
    if (last == 1)
        return Plural::One;
    if (last >= 2 && last <= 4)
        return Plural::Few;
    return Plural::Many;
}
