// How many different positions can be reached from a position after each number of jumps, and
// in how many different ways a game can go from it.
#include "solver/Enumeration.h"

#include "platform/Failure.h"
#include "resources/Texts.h"
#include "solver/PositionTable.h"
#include "solver/SystemMemory.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <numeric>
#include <system_error>
#include <thread>

#include <sched.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Every jump takes one peg off, so the positions after k jumps are exactly those with k pegs
// fewer, and one set of them leads to the next. The next set is split by hash into many small
// tables, and each table is filled from a queue of its own, a full queue at a time, so that
// the table stays in the processor's cache while it is filled: with one large table nearly
// every new position would wait for memory (four times as long on the full board). Each thread
// has its own queues: with longer ones, two threads would take the peak of the games from the
// hole at (3,1) towards 1 GB.
constexpr int kPartBits = 8;
constexpr std::size_t kParts = std::size_t(1) << kPartBits;

// Where a position goes: the part, and the entry for that part's table.
template<class Entry> struct Placed
{
    std::size_t part;
    Entry entry;
};

GameCount sum(GameCount a, GameCount b)
{
    GameCount total = 0;
    if (__builtin_add_overflow(a, b, &total))
        throw Failure(Texts::kSolverTooManyGames);
    return total;
}

// The inverse of an odd number modulo 2^33.
constexpr Holes inverse(Holes odd)
{
    Holes x = odd; // right in the lowest 3 bits; each step doubles that
    for (int step = 0; step < 5; ++step)
        x *= 2 - odd * x;
    return x & kAllHoles;
}

// The multipliers of the mix of positions, odd so that it is one to one.
constexpr Holes kFirst = 0x1E3779B97u, kSecond = 0x0D6E8FEB9u;
constexpr Holes kFirstInverse = inverse(kFirst), kSecondInverse = inverse(kSecond);
static_assert((kFirst * kFirstInverse & kAllHoles) == 1);
static_assert((kSecond * kSecondInverse & kAllHoles) == 1);

// The holes mixed one to one; a shift by more than half of 33 bits undoes itself.
Holes mixed(Holes pegs)
{
    Holes mix = pegs * kFirst & kAllHoles;
    mix ^= mix >> 17;
    mix = mix * kSecond & kAllHoles;
    return mix ^ mix >> 17;
}
Holes unmixed(Holes mix)
{
    mix ^= mix >> 17;
    mix = mix * kSecondInverse & kAllHoles;
    mix ^= mix >> 17;
    return mix * kFirstInverse & kAllHoles;
}

// The walk's entry for the count of positions: the position alone, in four bytes. The holes
// are mixed one to one, the part is the top bits of the mix and the entry keeps the others,
// which halves the memory each position takes in the tables, the queues and the layers, and so
// the waits for it. Positions with no jump left count for nothing more.
class PositionOnly
{
public:
    // The part and entry of `pegs`.
    static Placed<PositionOnly> place(Holes pegs)
    {
        const Holes mix = mixed(pegs);
        return {std::size_t(mix >> kKeyBits), PositionOnly(std::uint32_t(mix & kKeyMask) | kInUse)};
    }
    // Small entries leave memory to spare: each table starts at its expected size, and longer
    // queues make each line of a table fetched from memory serve more inserts.
    static constexpr double kMostGrowthAhead = 8;
    static constexpr std::size_t kQueueLength = 16384;

    Placed<PositionOnly> next(Holes pegs) const { return place(pegs); }
    Holes holes(std::size_t part) const
    {
        return unmixed(Holes(part) << kKeyBits | (m_bits & kKeyMask));
    }
    // What tells entries apart in a table, never 0 as the table requires.
    Holes pegs() const { return m_bits; }
    void absorb(const PositionOnly &) { }

    struct Ends
    {
        void add(Holes, const PositionOnly &) { }
        void addTo(Ends &) const { }
    };

    PositionOnly() = default;

private:
    static constexpr int kKeyBits = kHoleCount - kPartBits;
    static constexpr Holes kKeyMask = (Holes(1) << kKeyBits) - 1;
    static constexpr std::uint32_t kInUse = std::uint32_t(1) << kKeyBits;

    explicit PositionOnly(std::uint32_t bits)
        : m_bits(bits)
    { }

    std::uint32_t m_bits = 0;
};

std::size_t partOf(Holes pegs)
{
    // A different mix from the tables' own, so that each table still spreads its share.
    return std::size_t((pegs * 0xD6E8FEB86659FD93u) >> (64 - kPartBits));
}

// The walk's entry for the count of games: a position with the number of ways it is reached,
// in one 128-bit word, the holes in the low bits, the ways above them. Sixteen bytes, not the
// 32 of a position beside a 128-bit number, because the full board has millions of them at a
// time and how many stay in the processor's cache decides the speed. The ways to reach a
// position are never more than the complete games (each way goes on to a game of its own), and
// 95 bits hold 68 million times the full board's.
class CountedPosition
{
public:
    CountedPosition() = default;
    explicit CountedPosition(Holes pegs, GameCount ways = 1)
        : m_bits(ways << kHoleCount | pegs)
    { }

    Holes pegs() const { return Holes(m_bits) & kAllHoles; }
    GameCount ways() const { return m_bits >> kHoleCount; }
    // The tables of the games are the peak of memory where the current positions are many: they
    // start at no more than half the size of the current part and grow as they fill.
    static constexpr double kMostGrowthAhead = 0.5;
    static constexpr std::size_t kQueueLength = 8192;

    // A position one jump further is reached in as many ways as this one.
    Placed<CountedPosition> next(Holes pegs) const
    {
        return {partOf(pegs), CountedPosition(pegs, ways())};
    }
    static Placed<CountedPosition> place(Holes pegs)
    {
        return {partOf(pegs), CountedPosition(pegs)};
    }
    Holes holes(std::size_t) const { return pegs(); }
    void absorb(const CountedPosition &other)
    {
        if (__builtin_add_overflow(m_bits, other.m_bits & ~GameCount(kAllHoles), &m_bits))
            throw Failure(Texts::kSolverTooManyGames);
    }

    // The games that end, as one thread finds them.
    struct Ends
    {
        GameCounts games;
        Holes centre = bitOf(holeAt({4, 4}));

        template<class End> void add(Holes pegs, const End &end)
        {
            games.complete = sum(games.complete, end.ways());
            if (std::has_single_bit(pegs))
                games.won = sum(games.won, end.ways());
            if (pegs == centre)
                games.wonInCentre = sum(games.wonInCentre, end.ways());
        }
        void addTo(Ends &all) const
        {
            all.games.complete = sum(all.games.complete, games.complete);
            all.games.won = sum(all.games.won, games.won);
            all.games.wonInCentre = sum(all.games.wonInCentre, games.wonInCentre);
        }
    };

private:
    GameCount m_bits = 0;
};

// The walk's entry for the count of games while each position is reached in fewer than 2^38
// ways (from the full board, up to 18 or 19 jumps): the position's key as for the count of
// positions, with the ways in the bits above, eight bytes in all. The widest numbers of jumps
// come before that, and there the tables and queues of eight-byte entries take half the memory
// and half the waits for it. A number of jumps where a sum does not fit is done over with
// CountedPosition from the same positions, which is why those are kept until it is complete.
class FewWays
{
public:
    static constexpr int kPartBits = 8;
    // A sum that does not fit.
    struct TooMany
    {
    };

    FewWays() = default;
    static Placed<FewWays> place(Holes pegs, std::uint64_t ways = 1)
    {
        const Holes mix = mixed(pegs);
        return {std::size_t(mix >> kKeyBits),
                FewWays((mix & kKeyMask) | kInUse | ways << kWaysShift)};
    }
    // Small entries leave memory to spare: the tables start at their expected size, and longer
    // queues make each line of a table fetched from memory serve more inserts.
    static constexpr double kMostGrowthAhead = 1;
    static constexpr std::size_t kQueueLength = 32768;

    Placed<FewWays> next(Holes pegs) const { return place(pegs, ways()); }
    Holes holes(std::size_t part) const
    {
        return unmixed(Holes(part) << kKeyBits | (m_bits & kKeyMask));
    }
    Holes pegs() const { return m_bits & (kKeyMask | kInUse); }
    std::uint64_t ways() const { return m_bits >> kWaysShift; }
    void absorb(const FewWays &other)
    {
        const std::uint64_t total = ways() + other.ways();
        if (total >> (64 - kWaysShift) != 0)
            throw TooMany();
        m_bits = pegs() | total << kWaysShift;
    }
    using Ends = CountedPosition::Ends;

    // The bits below the number: the key, and one that is set in every entry.
    static constexpr int kWaysShift = kHoleCount - kPartBits + 1;

private:
    static constexpr int kKeyBits = kWaysShift - 1;
    static constexpr Holes kKeyMask = (Holes(1) << kKeyBits) - 1;
    static constexpr Holes kInUse = Holes(1) << kKeyBits;

    explicit FewWays(std::uint64_t bits)
        : m_bits(bits)
    { }

    std::uint64_t m_bits = 0;
};

// The positions of one number of jumps, by part: each part a table's worth, so that a part can
// be let go as soon as it is done with.
template<class Entry> using Part = std::vector<Entry, SystemMemory<Entry>>;
template<class Entry> using Layer = std::vector<Part<Entry>>;

// The memory of one thread's queues, all parts' one after the other: taken from the system as
// it is, so that the pages of a queue never filled are never touched.
template<class Entry> constexpr std::size_t queueEntries()
{
    return Entry::kQueueLength * kParts;
}
template<class Entry> struct Unmap
{
    void operator()(Entry *entries) const
    {
        SystemMemory<Entry>().deallocate(entries, queueEntries<Entry>());
    }
};
template<class Entry> using QueueMemory = std::unique_ptr<Entry[], Unmap<Entry>>;

// Every processor takes part in the walk: the positions of one number of jumps are shared out
// part by part, and each thread queues the positions it finds for the parts' tables, which it
// fills a full queue at a time while holding that part's lock.
unsigned threadCount()
{
    // The processors this process may run on (taskset, a container's share), not all there are.
    cpu_set_t allowed;
    const int count = ::sched_getaffinity(0, sizeof allowed, &allowed) == 0
        ? CPU_COUNT(&allowed)
        : int(std::thread::hardware_concurrency());
    return unsigned(std::clamp(count, 1, 4));
}

// The tables of the positions one jump further, filled by all threads at once.
template<class Entry> class NextPositions
{
public:
    // The queues of one thread, in memory kept for the whole walk. A position waits first in a
    // line of its part's in the first-level cache, and a full line goes on to the queue past the
    // cache: written to the cache, each line of every queue was first read back from memory.
    class Queues
    {
    public:
        Queues(NextPositions &next, Entry *memory)
            : m_next(next)
            , m_memory(memory)
        { }

        void add(const Placed<Entry> &placed)
        {
            const auto &[part, entry] = placed;
            const std::size_t index = m_added[part]++;
            m_lines[part][index % kPerLine] = entry;
            if ((index + 1) % kPerLine != 0)
                return;
            Entry *queue = m_memory + part * Entry::kQueueLength;
            streamLine(queue + index + 1 - kPerLine, m_lines[part].data());
            if (index + 1 == Entry::kQueueLength) {
                m_next.flush(part, queue, Entry::kQueueLength);
                m_added[part] = 0;
            }
        }

        void flushAll()
        {
            for (std::size_t part = 0; part < kParts; ++part) {
                Entry *queue = m_memory + part * Entry::kQueueLength;
                const std::size_t lineStart = m_added[part] - m_added[part] % kPerLine;
                std::copy_n(m_lines[part].begin(), m_added[part] - lineStart, queue + lineStart);
                if (m_added[part] != 0)
                    m_next.flush(part, queue, m_added[part]);
            }
        }

    private:
        static constexpr std::size_t kLineBytes = 64;
        static constexpr std::size_t kPerLine = kLineBytes / sizeof(Entry);
        static_assert(kPerLine * sizeof(Entry) == kLineBytes);
        static_assert(Entry::kQueueLength % kPerLine == 0);
        using Line = std::array<Entry, kPerLine>;

        static void streamLine(Entry *to, const Entry *from)
        {
#if defined(__SSE2__)
            for (std::size_t piece = 0; piece < kLineBytes / 16; ++piece)
                _mm_stream_si128(reinterpret_cast<__m128i *>(to) + piece,
                                 _mm_load_si128(reinterpret_cast<const __m128i *>(from) + piece));
#else
            std::copy_n(from, kPerLine, to);
#endif
        }

        NextPositions &m_next;
        Entry *m_memory;
        // The lines alone, so that all of them fit the first-level cache with room to spare.
        alignas(kLineBytes) std::array<Line, kParts> m_lines {};
        // What each part's queue holds, its line's share included.
        std::array<std::uint32_t, kParts> m_added {};
    };

    // Each table starts at the size it would reach with `growth` times as many positions as
    // `current` has in the same part: every doubling of a large table on the way costs its page
    // faults and a move of all its entries, and one too large would raise the peak of memory.
    NextPositions(const Layer<Entry> &current, double growth)
        : m_tables(kParts)
        , m_locks(kParts)
        , m_expected(kParts)
    {
        for (std::size_t part = 0; part < current.size(); ++part)
            m_expected[part] = std::size_t(double(current[part].size())
                                           * std::min(growth, Entry::kMostGrowthAhead));
    }

    // Empties the table of `part` into a vector of its own.
    Part<Entry> take(std::size_t part)
    {
        Part<Entry> positions;
        positions.reserve(m_tables[part].size());
        m_tables[part].drainInto(positions);
        return positions;
    }

private:
    void flush(std::size_t part, const Entry *queue, std::size_t count)
    {
        const std::lock_guard lock(m_locks[part]);
        PositionTable<Entry> &table = m_tables[part];
        table.reserve(m_expected[part]);
        table.insertAll(queue, count);
    }

    std::vector<PositionTable<Entry>> m_tables;
    std::vector<std::mutex> m_locks;
    std::vector<std::size_t> m_expected;
};

std::uint64_t sizeOf(const auto &layer)
{
    std::uint64_t size = 0;
    for (const auto &part : layer)
        size += part.size();
    return size;
}

// Shares parts 0 to parts - 1 out among `threads` threads, each taking the next part not yet
// taken: visit(thread, part) for each, then finish(thread) when none is left. The calling
// thread is thread 0. The first failure stops the others at their next part and is rethrown.
template<class Visit, class Finish>
void shareOut(std::size_t parts, std::size_t threads, Visit visit, Finish finish)
{
    std::atomic<std::size_t> nextPart = 0;
    std::mutex lock;
    std::exception_ptr failure;
    const auto work = [&](std::size_t thread) {
        try {
            for (std::size_t part; (part = nextPart++) < parts;)
                visit(thread, part);
            finish(thread);
        } catch (...) {
            const std::lock_guard guard(lock);
            if (!failure)
                failure = std::current_exception();
            nextPart = parts;
        }
    };

    std::vector<std::thread> helpers;
    for (std::size_t thread = 1; thread < threads; ++thread) {
        try {
            helpers.emplace_back(work, thread);
        } catch (const std::system_error &) {
            break; // no more threads to be had: fewer do the work
        }
    }
    work(0);
    for (std::thread &helper : helpers)
        helper.join();
    if (failure)
        std::rethrow_exception(failure);
}

// Hands every entry of `current` on to the positions one jump further and gives those, each
// stored once by its least image; the entries with no jump left go to `ends`. Each part of
// `current` is freed once visited. Thread i queues the positions in queues[i].
template<class Entry>
Layer<Entry> walkOneJump(const CrossBoard &board, Layer<Entry> &current, double growth,
                         std::vector<QueueMemory<Entry>> &queues, typename Entry::Ends &ends)
{
    NextPositions<Entry> next(current, growth);
    std::vector<typename NextPositions<Entry>::Queues> queued;
    for (const QueueMemory<Entry> &memory : queues)
        queued.emplace_back(next, memory.get());
    std::vector<typename Entry::Ends> found(queues.size());
    shareOut(
        current.size(), queues.size(),
        [&](std::size_t thread, std::size_t part) {
            std::array<Holes, CrossBoard::kMostNext> least;
            for (const Entry &entry : current[part]) {
                const Holes pegs = entry.holes(part);
                const std::size_t count = board.leastAfterEachJump(pegs, least.data());
                for (std::size_t index = 0; index < count; ++index)
                    queued[thread].add(entry.next(least[index]));
                if (count == 0)
                    found[thread].add(pegs, entry);
            }
            // Entries whose sums may not fit stay until the next number of jumps is done.
            if constexpr (!std::is_same_v<Entry, FewWays>)
                current[part] = Part<Entry>();
        },
        [&](std::size_t thread) { queued[thread].flushAll(); });
    for (const typename Entry::Ends &some : found)
        some.addTo(ends);

    Layer<Entry> positions(kParts);
    shareOut(
        kParts, queues.size(),
        [&](std::size_t, std::size_t part) { positions[part] = next.take(part); },
        [](std::size_t) {});
    return positions;
}

// How many times as many positions the next number of jumps is expected to reach as the last,
// from the numbers so far: the growth changes by about the same factor from one number of jumps
// to the next (the full board from (3,3), for example: 1.43, 1.21, 1.03, 0.89, 0.77).
double expectedGrowth(const std::vector<std::uint64_t> &sizes)
{
    const std::size_t known = sizes.size();
    if (known < 3)
        return 1;
    const double last = double(sizes[known - 1]) / double(sizes[known - 2]);
    const double before = double(sizes[known - 2]) / double(sizes[known - 3]);
    return std::max(last * last / before, 0.1);
}

// Walks from `current` one number of jumps at a time until no jump is left, adding the number of
// positions after each to `sizes`; `counted` tells whether `current` is in them already. Where
// `Entry` is FewWays, stops before a number of jumps whose ways may not fit, and gives the
// positions reached so far, with `counted` telling whether they are in `sizes`.
template<class Entry>
Layer<Entry> walkFrom(const CrossBoard &board, Layer<Entry> current,
                      std::vector<std::uint64_t> &sizes, bool &counted,
                      const CountProgress &progress, typename Entry::Ends &ends)
{
    // The queues' memory, one share a thread, made once: new memory for each number of jumps
    // cost a fault on each of its pages every time.
    std::vector<QueueMemory<Entry>> queues;
    for (unsigned thread = 0; thread < threadCount(); ++thread)
        queues.emplace_back(SystemMemory<Entry>().allocate(queueEntries<Entry>()));
    for (std::uint64_t size; (size = sizeOf(current)) != 0;) {
        if (!counted) {
            if (progress)
                progress(int(sizes.size()), size);
            sizes.push_back(size);
            counted = true;
        }
        if constexpr (std::is_same_v<Entry, FewWays>) {
            typename Entry::Ends found;
            try {
                Layer<Entry> next
                    = walkOneJump(board, current, expectedGrowth(sizes), queues, found);
                found.addTo(ends);
                current = std::move(next);
            } catch (const FewWays::TooMany &) {
                return current;
            }
        } else {
            current = walkOneJump(board, current, expectedGrowth(sizes), queues, ends);
        }
        counted = false;
    }
    return current;
}

// The positions before any jump: the canonical one alone.
template<class Entry>
Layer<Entry> firstLayer(const CrossBoard &board, const CrossPosition &position)
{
    Layer<Entry> first(kParts);
    const auto [part, entry] = Entry::place(board.canonical(position.pegs & position.open));
    first[part].push_back(entry);
    return first;
}

} // namespace

std::uint64_t PositionCounts::total() const
{
    return std::accumulate(afterJumps.begin(), afterJumps.end(), std::uint64_t(0));
}

PositionCounts countPositions(const CrossPosition &position, const CountProgress &progress)
{
    const CrossBoard board(position.open);
    PositionOnly::Ends ends;
    PositionCounts counts;
    bool counted = false;
    walkFrom(board, firstLayer<PositionOnly>(board, position), counts.afterJumps, counted, progress,
             ends);
    return counts;
}

// Jumps go from the position down, a number of jumps at a time, and each position carries the
// number of ways it is reached; a game is complete where no jump is left. One position stands
// for all its images, with the ways that reach any of them: each image has as many jumps into a
// set of images as the position itself, so the ways add up the same.
GameCounts countGames(const CrossPosition &position, const CountProgress &progress)
{
    const CrossBoard board(position.open);
    CountedPosition::Ends ends;
    std::vector<std::uint64_t> sizes;
    bool counted = false;
    Layer<FewWays> few
        = walkFrom(board, firstLayer<FewWays>(board, position), sizes, counted, progress, ends);
    // From the first number of jumps whose ways do not fit eight bytes on, sixteen.
    Layer<CountedPosition> many(kParts);
    for (std::size_t part = 0; part < kParts; ++part) {
        for (const FewWays &entry : few[part]) {
            const Holes pegs = entry.holes(part);
            many[CountedPosition::place(pegs).part].push_back(CountedPosition(pegs, entry.ways()));
        }
        few[part] = Part<FewWays>();
    }
    walkFrom(board, std::move(many), sizes, counted, progress, ends);
    return ends.games;
}
