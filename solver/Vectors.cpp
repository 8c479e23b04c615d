// The solver's inner loops in the processor's 512-bit vector instructions, where it has them.
#include "solver/Vectors.h"

#include "solver/Cross.h"

#include <atomic>
#include <bit>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

std::atomic<bool> allowed = true;

bool processorHasThem()
{
#if defined(__x86_64__)
    static const bool has = __builtin_cpu_supports("avx512f");
    return has;
#else
    return false;
#endif
}

} // namespace

bool wideVectors()
{
    return processorHasThem() && allowed.load(std::memory_order_relaxed);
}

void allowWideVectors(bool allowedNow)
{
    allowed = allowedNow;
}

#if defined(__x86_64__)
// GCC 12's own _mm512_min_epu64 starts from a deliberately undefined vector.
#pragma GCC diagnostic push
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
// Eight moves at a time, without a branch on the position: which of them can be made, and for
// each the least of the eight images after it. The loops are unrolled so that the vectors stay
// in registers.
__attribute__((target("avx512f"))) std::size_t
leastAfterEachJumpWide(const std::uint64_t *blocks, std::size_t blockCount,
                       const std::uint64_t *images, std::uint64_t pegs, std::uint64_t *out)
{
    constexpr std::size_t kImages = CrossBoard::kMostSymmetries;
    const __m512i position = _mm512_set1_epi64(std::int64_t(pegs));
    __m512i images8[kImages];
#pragma GCC unroll 8
    for (std::size_t index = 0; index < kImages; ++index)
        images8[index] = _mm512_set1_epi64(std::int64_t(images[index]));
    // First which moves can be made; then the images only for the blocks where some can.
    constexpr std::size_t kMostBlocks = 16; // the full cross has ten
    __mmask8 possible[kMostBlocks];
    std::uint8_t busy[kMostBlocks];
    std::size_t busyCount = 0;
    for (std::size_t block = 0; block < blockCount; ++block) {
        const std::uint64_t *moves = blocks + block * 8 * (2 + kImages);
        possible[block] = _mm512_cmpeq_epi64_mask(
            _mm512_and_si512(position, _mm512_loadu_si512(moves)), _mm512_loadu_si512(moves + 8));
        busy[busyCount] = std::uint8_t(block);
        busyCount += possible[block] != 0;
    }
    std::size_t count = 0;
    for (std::size_t index = 0; index < busyCount; ++index) {
        const std::size_t block = busy[index];
        const std::uint64_t *moves = blocks + block * 8 * (2 + kImages);
        __m512i after[kImages];
#pragma GCC unroll 8
        for (std::size_t image = 0; image < kImages; ++image)
            after[image]
                = _mm512_xor_si512(images8[image], _mm512_loadu_si512(moves + 8 * (2 + image)));
#pragma GCC unroll 8
        for (std::size_t step = 1; step < kImages; step *= 2) {
#pragma GCC unroll 8
            for (std::size_t image = 0; image < kImages; image += 2 * step)
                after[image] = _mm512_min_epu64(after[image], after[image + step]);
        }
        _mm512_storeu_si512(out + count, _mm512_maskz_compress_epi64(possible[block], after[0]));
        count += std::size_t(__builtin_popcount(possible[block]));
    }
    return count;
}
#pragma GCC diagnostic pop

__attribute__((target("avx512f"))) std::size_t insertKeysWide(std::uint32_t *slots,
                                                              std::size_t capacity, int shift,
                                                              const std::uint32_t *keys,
                                                              std::size_t count)
{
    // Fetching the lines a few keys ahead overlaps the waits for memory of a large table.
    constexpr std::size_t kAhead = 64;
    const std::size_t mask = capacity - 1;
    std::size_t added = 0;
    for (std::size_t index = 0; index < count; ++index) {
        if (index + kAhead < count)
            __builtin_prefetch(slots + homeOfKey(keys[index + kAhead], shift, 16), 1);
        const __m512i key = _mm512_set1_epi32(int(keys[index]));
        for (std::size_t line = homeOfKey(keys[index], shift, 16);; line = (line + 16) & mask) {
            const __m512i here = _mm512_load_si512(slots + line);
            const __mmask16 same = _mm512_cmpeq_epi32_mask(here, key);
            const __mmask16 free = _mm512_testn_epi32_mask(here, here);
            if ((same | free) == 0)
                continue; // a full line without the key: on to the next
            // Into the first free slot, unless the key is there; without a branch, which the
            // processor could not foresee.
            const __mmask16 put = __mmask16(free & -free & -unsigned(same == 0));
            _mm512_mask_storeu_epi32(slots + line, put, key);
            added += put != 0;
            break;
        }
    }
    return added;
}

__attribute__((target("avx512f"))) std::size_t addCountedWide(std::uint64_t *slots,
                                                              std::size_t capacity, int shift,
                                                              const std::uint64_t *entries,
                                                              std::size_t count, std::size_t &added)
{
    __extension__ using Word = unsigned __int128;
    constexpr std::uint64_t kHoles = kAllHoles;
    constexpr std::size_t kAhead = 64;
    constexpr __mmask8 kLowWords = 0x55;
    const std::size_t mask = capacity - 1;
    const __m512i holes = _mm512_set1_epi64(std::int64_t(kHoles));
    for (std::size_t index = 0; index < count; ++index) {
        if (index + kAhead < count)
            __builtin_prefetch(
                slots + 2 * homeOfKey(entries[2 * (index + kAhead)] & kHoles, shift, 4), 1);
        const std::uint64_t low = entries[2 * index];
        const std::uint64_t pegs = low & kHoles;
        const __m512i key = _mm512_set1_epi64(std::int64_t(pegs));
        for (std::size_t line = homeOfKey(pegs, shift, 4);; line = (line + 4) & mask) {
            const __m512i here = _mm512_and_si512(_mm512_load_si512(slots + 2 * line), holes);
            const __mmask8 same = _mm512_cmpeq_epi64_mask(here, key) & kLowWords;
            const __mmask8 free = _mm512_testn_epi64_mask(here, here) & kLowWords;
            if ((same | free) == 0)
                continue;
            // The slot of the position, or the first free one; the sum without a branch on which.
            const bool isNew = same == 0;
            const unsigned which = isNew ? free : same;
            std::uint64_t *slot = slots + 2 * line + std::countr_zero(which);
            Word sum = 0;
            const Word mine = Word(slot[1]) << 64 | slot[0];
            const Word theirs
                = Word(entries[2 * index + 1]) << 64 | (low & ~kHoles) | (isNew ? pegs : 0);
            if (__builtin_add_overflow(mine, theirs, &sum))
                return index;
            slot[0] = std::uint64_t(sum);
            slot[1] = std::uint64_t(sum >> 64);
            added += isNew;
            break;
        }
    }
    return count;
}
__attribute__((target("avx512f"))) std::size_t
addFewWaysWide(std::uint64_t *slots, std::size_t capacity, int shift, int keyBits,
               const std::uint64_t *entries, std::size_t count, std::size_t &added)
{
    const std::uint64_t kKey = (std::uint64_t(1) << keyBits) - 1;
    constexpr std::size_t kAhead = 64;
    const std::size_t mask = capacity - 1;
    const __m512i keys = _mm512_set1_epi64(std::int64_t(kKey));
    for (std::size_t index = 0; index < count; ++index) {
        if (index + kAhead < count)
            __builtin_prefetch(slots + homeOfKey(entries[index + kAhead] & kKey, shift, 8), 1);
        const std::uint64_t entry = entries[index];
        const std::uint64_t key = entry & kKey;
        const __m512i wanted = _mm512_set1_epi64(std::int64_t(key));
        for (std::size_t line = homeOfKey(key, shift, 8);; line = (line + 8) & mask) {
            const __m512i here = _mm512_load_si512(slots + line);
            const __mmask8 same = _mm512_cmpeq_epi64_mask(_mm512_and_si512(here, keys), wanted);
            const __mmask8 free = _mm512_testn_epi64_mask(here, here);
            if ((same | free) == 0)
                continue;
            const bool isNew = same == 0;
            std::uint64_t *slot = slots + line + std::countr_zero(unsigned(isNew ? free : same));
            std::uint64_t sum = 0;
            if (__builtin_add_overflow(*slot, isNew ? entry : entry & ~kKey, &sum))
                return index;
            *slot = sum;
            added += isNew;
            break;
        }
    }
    return count;
}
#else
std::size_t addCountedWide(std::uint64_t *, std::size_t, int, const std::uint64_t *, std::size_t,
                           std::size_t &)
{
    return 0;
}
std::size_t addFewWaysWide(std::uint64_t *, std::size_t, int, int, const std::uint64_t *,
                           std::size_t, std::size_t &)
{
    return 0;
}
std::size_t leastAfterEachJumpWide(const std::uint64_t *, std::size_t, const std::uint64_t *,
                                   std::uint64_t, std::uint64_t *)
{
    return 0;
}
std::size_t insertKeysWide(std::uint32_t *, std::size_t, int, const std::uint32_t *, std::size_t)
{
    return 0;
}
#endif
