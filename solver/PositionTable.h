// The solver's one hash table of positions, kept compact for tens of millions, and the position
// with a small number that the search and the count of positions keep in it.
#pragma once

#include "solver/Cross.h"
#include "solver/SystemMemory.h"
#include "solver/Vectors.h"

#include <bit>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// `Entry` is a position, pegs(), with what goes with it. When a position comes again, the entry
// already there absorb()s the new one. An entry with no peg marks a free slot, which is why a
// position needs a peg.
template<class Entry> class PositionTable
{
public:
    // Kept out of line: inlined into the walk's loop of inserts it made the counts slower by a
    // tenth, the loop running short of registers.
    [[gnu::noinline]] void insert(const Entry &entry) { place(entry); }
    // Inserts `count` entries from `first` on, fetching the slots a few entries ahead, so that
    // the waits for memory of a large table overlap.
    [[gnu::noinline]] void insertAll(const Entry *first, std::size_t count)
    {
        if (wideVectors() && (kKeysOnly || kCounted || kFewWays)) {
            while (count != 0) {
                // No fuller than three quarters, as one at a time: as many as can be new.
                if (4 * (m_size + 1) > 3 * m_slots.size())
                    grow();
                std::size_t taken = std::min(count, 3 * m_slots.size() / 4 - m_size);
                if constexpr (kKeysOnly) {
                    m_size += insertKeysWide(reinterpret_cast<std::uint32_t *>(m_slots.data()),
                                             m_slots.size(), m_shift,
                                             reinterpret_cast<const std::uint32_t *>(first), taken);
                } else if constexpr (kFewWays) {
                    const std::size_t done = addFewWaysWide(
                        reinterpret_cast<std::uint64_t *>(m_slots.data()), m_slots.size(), m_shift,
                        Entry::kWaysShift, reinterpret_cast<const std::uint64_t *>(first), taken,
                        m_size);
                    if (done < taken) {
                        place(first[done]);
                        taken = done + 1;
                    }
                } else {
                    const std::size_t done = addCountedWide(
                        reinterpret_cast<std::uint64_t *>(m_slots.data()), m_slots.size(), m_shift,
                        reinterpret_cast<const std::uint64_t *>(first), taken, m_size);
                    // A sum that would overflow is left to the plain path, which tells of it.
                    if (done < taken) {
                        place(first[done]);
                        taken = done + 1;
                    }
                }
                first += taken;
                count -= taken;
            }
            return;
        }
        constexpr std::size_t kAhead = 16;
        for (std::size_t i = 0; i < count; ++i) {
            if (i + kAhead < count && !m_slots.empty())
                __builtin_prefetch(&m_slots[slotOf(first[i + kAhead].pegs())], 1);
            place(first[i]);
        }
    }
    // The entry of `pegs`, or none.
    const Entry *find(Holes pegs) const
    {
        if (m_slots.empty())
            return nullptr;
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t slot = slotOf(pegs);; slot = (slot + 1) & mask) {
            if (m_slots[slot].pegs() == 0)
                return nullptr;
            if (m_slots[slot].pegs() == pegs)
                return &m_slots[slot];
        }
    }
    std::size_t size() const { return m_size; }
    // Makes room for `count` entries at once, as an empty table would after growing to them.
    void reserve(std::size_t count)
    {
        std::size_t capacity = kLeastCapacity;
        while (4 * count > 3 * capacity)
            capacity *= 2;
        if (capacity > m_slots.size())
            moveInto(capacity);
    }
    // Moves every entry into `out` and leaves the table empty.
    template<class Entries> void drainInto(Entries &out)
    {
        for (const Entry &entry : m_slots)
            if (entry.pegs() != 0)
                out.push_back(entry);
        // Not `= {}`, which would keep the memory.
        m_slots = decltype(m_slots)();
        m_size = 0;
        m_shift = 64;
    }

private:
    static constexpr std::size_t kLeastCapacity = 1024;
    // Four-byte entries that are their own keys, with nothing to add up, go in sixteen to a
    // line, and may be put in a line at a time.
    static constexpr bool kKeysOnly = sizeof(Entry) == sizeof(std::uint32_t);
    // Sixteen-byte entries are positions with a number that adds up: the holes in the low 33
    // bits, the number above them; they go in four to a line.
    static constexpr bool kCounted = sizeof(Entry) == 16;
    // Eight-byte entries with a number above their lowest Entry::kWaysShift bits, which are
    // what pegs() gives; they go in eight to a line.
    static constexpr bool kFewWays = sizeof(Entry) == 8 && requires { Entry::kWaysShift; };

    void place(const Entry &entry)
    {
        // Kept at most three quarters full, so that a search finds a free slot after a few steps.
        if (4 * (m_size + 1) > 3 * m_slots.size())
            grow();
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t slot = slotOf(entry.pegs());; slot = (slot + 1) & mask) {
            Entry &here = m_slots[slot];
            if (here.pegs() == 0) {
                here = entry;
                ++m_size;
                return;
            }
            if (here.pegs() == entry.pegs()) {
                here.absorb(entry);
                return;
            }
        }
    }

    std::size_t slotOf(Holes pegs) const
    {
        // Fibonacci hashing: the top bits of the product are well mixed even for similar
        // positions. The entries the vector path puts in start at the first slot of a line.
        return homeOfKey(pegs, m_shift, kKeysOnly || kCounted || kFewWays ? 64 / sizeof(Entry) : 1);
    }

    void grow() { moveInto(m_slots.empty() ? kLeastCapacity : 2 * m_slots.size()); }

    void moveInto(std::size_t capacity)
    {
        const auto old = std::move(m_slots);
        m_slots.assign(capacity, Entry());
        m_shift = 64 - std::countr_zero(capacity);
        m_size = 0;
        for (const Entry &entry : old)
            if (entry.pegs() != 0)
                insert(entry);
    }

    std::vector<Entry, SystemMemory<Entry>> m_slots;
    std::size_t m_size = 0;
    int m_shift = 64;
};

// A position with a number from 0 to 255 in one 64-bit word: the fewest pegs the search found it
// leads to; the count of positions leaves it 0. A position that comes again brings its new number.
class NumberedPosition
{
public:
    NumberedPosition() = default;
    explicit NumberedPosition(Holes pegs, int number = 0)
        : m_bits(pegs | std::uint64_t(number) << kNumberShift)
    {
        assert((pegs & ~kAllHoles) == 0 && number >= 0 && number < 256);
    }

    Holes pegs() const { return m_bits & kAllHoles; }
    int number() const { return int(m_bits >> kNumberShift); }
    void absorb(const NumberedPosition &other) { m_bits = other.m_bits; }

private:
    static constexpr int kNumberShift = 56;
    std::uint64_t m_bits = 0;
};
