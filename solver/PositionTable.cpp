// A hash table of positions, each with a small number, kept compact for tens of millions.
#include "solver/PositionTable.h"

#include <bit>
#include <cassert>
#include <utility>

namespace {

constexpr std::size_t kFirstCapacity = 1024;

} // namespace

std::size_t PositionTable::slotOf(Holes pegs) const
{
    // Fibonacci hashing: the top bits of the product are well mixed even for similar positions.
    return std::size_t((pegs * 0x9E3779B97F4A7C15u) >> m_shift);
}

void PositionTable::insert(Holes pegs, int value)
{
    assert(pegs != 0 && (pegs & ~kPositionMask) == 0 && value >= 0 && value < 256);
    // Kept at most three quarters full, so that a search finds a free slot after a few steps.
    if (4 * (m_size + 1) > 3 * m_slots.size())
        grow();
    const std::uint64_t entry = pegs | std::uint64_t(value) << kValueShift;
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t slot = slotOf(pegs);; slot = (slot + 1) & mask) {
        if (m_slots[slot] == 0) {
            m_slots[slot] = entry;
            ++m_size;
            return;
        }
        if ((m_slots[slot] & kPositionMask) == pegs) {
            m_slots[slot] = entry;
            return;
        }
    }
}

int PositionTable::find(Holes pegs) const
{
    if (m_slots.empty())
        return kNone;
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t slot = slotOf(pegs);; slot = (slot + 1) & mask) {
        if (m_slots[slot] == 0)
            return kNone;
        if ((m_slots[slot] & kPositionMask) == pegs)
            return int(m_slots[slot] >> kValueShift);
    }
}

void PositionTable::grow()
{
    const auto old = std::move(m_slots);
    const std::size_t capacity = old.empty() ? kFirstCapacity : 2 * old.size();
    m_slots.assign(capacity, 0);
    m_shift = 64 - std::countr_zero(capacity);
    m_size = 0;
    const std::size_t mask = capacity - 1;
    for (std::uint64_t entry : old) {
        if (entry == 0)
            continue;
        std::size_t slot = slotOf(entry & kPositionMask);
        while (m_slots[slot] != 0)
            slot = (slot + 1) & mask;
        m_slots[slot] = entry;
        ++m_size;
    }
}
