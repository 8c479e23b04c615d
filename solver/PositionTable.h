// A hash table of positions, each with a small number, kept compact for tens of millions.
#pragma once

#include "solver/Cross.h"
#include "solver/SystemMemory.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class PositionTable
{
public:
    static constexpr int kNone = -1;

    // Adds `pegs` with `value` (0 to 255), or sets the value of `pegs` when it is there already.
    // A position needs at least one peg.
    void insert(Holes pegs, int value = 0);
    // The value stored with `pegs`, or kNone.
    int find(Holes pegs) const;
    std::size_t size() const { return m_size; }
    // Asks the processor to fetch the slot where `pegs` goes, for an insert soon after.
    void prefetch(Holes pegs) const
    {
        if (!m_slots.empty())
            __builtin_prefetch(&m_slots[slotOf(pegs)], 1);
    }
    // Moves every position into `out` and leaves the table empty.
    template<class Positions> void drainInto(Positions &out)
    {
        for (std::uint64_t entry : m_slots)
            if (entry != 0)
                out.push_back(entry & kPositionMask);
        // Not `= {}`, which would keep the memory.
        m_slots = decltype(m_slots)();
        m_size = 0;
        m_shift = 64;
    }

private:
    // A slot holds the position in its low bits and the value above them; zero marks a free
    // slot, which is why a position needs a peg.
    static constexpr int kValueShift = 56;
    static constexpr Holes kPositionMask = (Holes(1) << kValueShift) - 1;

    std::size_t slotOf(Holes pegs) const;
    void grow();

    std::vector<std::uint64_t, SystemMemory<std::uint64_t>> m_slots;
    std::size_t m_size = 0;
    int m_shift = 64;
};
