// How many different positions can be reached from a position after each number of jumps, and
// in how many different ways a game can go from it.
#include "solver/Enumeration.h"

#include "platform/Failure.h"
#include "resources/Texts.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <exception>
#include <functional>
#include <mutex>
#include <new>
#include <numeric>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include <sched.h>
#include <sys/mman.h>

namespace {

// Every jump takes one peg off, so the positions after k jumps are exactly those with k pegs
// fewer, and one set of them leads to the next. Each set is split into many parts by the top
// bits of a mix of the position's 33 bits; a part's table holds only the bits left below those,
// and is small enough to stay in the processor's second-level cache while it is filled. Each
// thread queues the positions it finds, a queue for each part, and fills a part's table from
// its queue only when the queue holds several positions for each of the table's cache lines:
// the table is fetched once for all of them instead of once a position.
//
// The mix: multiplications by odd numbers and shifts folded in, each undone by its inverse, so
// that every position has one mixed number and the part and the bits left give it back.
constexpr std::uint64_t kMixFirst = 0x9E3779B97F4A7C15u;
constexpr std::uint64_t kMixSecond = 0xD6E8FEB86659FD93u;

constexpr std::uint64_t inverseOf(std::uint64_t odd)
{
    // Newton's iteration: each step doubles the number of right low bits.
    std::uint64_t inverse = odd;
    for (int step = 0; step < 5; ++step)
        inverse *= 2 - odd * inverse;
    return inverse;
}
static_assert(kMixFirst * inverseOf(kMixFirst) == 1 && kMixSecond * inverseOf(kMixSecond) == 1);

constexpr Holes mixed(Holes pegs)
{
    pegs ^= pegs >> 16;
    pegs = pegs * kMixFirst & kAllHoles;
    pegs ^= pegs >> 15;
    pegs = pegs * kMixSecond & kAllHoles;
    return pegs ^ pegs >> 17;
}

// Undoes x ^= x >> shift on 33 bits, for shifts of 11 and more.
constexpr Holes unshifted(Holes bits, int shift)
{
    return bits ^ bits >> shift ^ bits >> 2 * shift;
}

constexpr Holes unmixed(Holes bits)
{
    bits = unshifted(bits, 17) * inverseOf(kMixSecond) & kAllHoles;
    bits = unshifted(bits, 15) * inverseOf(kMixFirst) & kAllHoles;
    return unshifted(bits, 16);
}
static_assert(unmixed(mixed(kAllHoles)) == kAllHoles
              && unmixed(mixed(0x12345678Fu)) == 0x12345678F);

GameCount sum(GameCount a, GameCount b)
{
    GameCount total = 0;
    if (__builtin_add_overflow(a, b, &total))
        throw Failure(Texts::kSolverTooManyGames);
    return total;
}

// An array straight from the system, given back the moment it is freed: through malloc, the
// arrays of one number of jumps, freed while those of the next are made, stayed scattered among
// live blocks and the peak grew by a third. Throws std::bad_alloc when no memory is left.
template<class T> class SystemArray
{
public:
    SystemArray() = default;
    explicit SystemArray(std::size_t count)
        : m_count(count)
    {
        if (count == 0)
            return;
        void *memory = ::mmap(nullptr, bytes(count), PROT_READ | PROT_WRITE,
                              MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED)
            throw std::bad_alloc();
        m_data = static_cast<T *>(memory);
    }
    SystemArray(SystemArray &&other) noexcept
        : m_data(std::exchange(other.m_data, nullptr))
        , m_count(std::exchange(other.m_count, 0))
    { }
    SystemArray &operator=(SystemArray &&other) noexcept
    {
        std::swap(m_data, other.m_data);
        std::swap(m_count, other.m_count);
        return *this;
    }
    ~SystemArray()
    {
        if (m_data)
            ::munmap(m_data, bytes(m_count));
    }

    T *data() const { return m_data; }
    std::size_t size() const { return m_count; }
    T &operator[](std::size_t index) const { return m_data[index]; }
    // Keeps the first `count` elements and gives the pages past them back.
    void shrink(std::size_t count)
    {
        if (count == 0) {
            *this = SystemArray();
            return;
        }
        const std::size_t kept = bytes(count);
        if (kept < bytes(m_count))
            ::munmap(reinterpret_cast<char *>(m_data) + kept, bytes(m_count) - kept);
        m_count = kept / sizeof(T);
    }

private:
    // Whole pages, so that shrink() can give the rest back.
    static std::size_t bytes(std::size_t count)
    {
        constexpr std::size_t kPage = 4096;
        return (count * sizeof(T) + kPage - 1) / kPage * kPage;
    }

    T *m_data = nullptr;
    std::size_t m_count = 0;
};

// The walk's entry for the count of positions: the bits a part's table keeps of the position,
// plus one, so that 0 marks a free slot. Positions with no jump left count for nothing more.
struct PositionOnly
{
    // 1024 parts: the tables from the hole at (3,3) then hold about 20,000 positions each.
    static constexpr int kPartBits = 10;
    static constexpr std::size_t kQueueLength = 1024;
    using Slot = std::uint32_t;
    static constexpr Slot kStart = 0;

    static Slot made(std::uint32_t key, Slot) { return key; }
    static std::uint32_t keyOf(Slot slot) { return slot; }
    static void absorb(Slot &, Slot) { }

    struct Ends
    {
        void add(Holes, Slot) { }
        void addTo(Ends &) const { }
    };
};

// The walk's entry for the count of games: the key as above in the low bits of one 128-bit
// word, and the number of ways the position is reached above its 33 bits, as many as ever: the
// ways to reach a position are never more than the complete games (each way goes on to a game
// of its own), and 95 bits hold 68 million times the full board's.
struct CountedPosition
{
    // Four times as large as the count's entries: twice as many parts.
    static constexpr int kPartBits = 11;
    static constexpr std::size_t kQueueLength = 1024;
    using Slot = GameCount;
    // The start, reached in one way.
    static constexpr Slot kStart = GameCount(1) << kHoleCount;

    static GameCount waysOf(Slot slot) { return slot >> kHoleCount; }
    // A position one jump further is reached in as many ways as the one before it.
    static Slot made(std::uint32_t key, Slot before)
    {
        return (before & ~GameCount(kAllHoles)) | key;
    }
    static std::uint32_t keyOf(Slot slot) { return std::uint32_t(slot); }
    static void absorb(Slot &here, Slot other)
    {
        if (__builtin_add_overflow(here, other & ~GameCount(kAllHoles), &here))
            throw Failure(Texts::kSolverTooManyGames);
    }

    // The games that end, as one thread finds them.
    struct Ends
    {
        GameCounts games;
        Holes centre = bitOf(holeAt({4, 4}));

        void add(Holes pegs, Slot end)
        {
            const GameCount ways = waysOf(end);
            games.complete = sum(games.complete, ways);
            if (std::has_single_bit(pegs))
                games.won = sum(games.won, ways);
            if (pegs == centre)
                games.wonInCentre = sum(games.wonInCentre, ways);
        }
        void addTo(Ends &all) const
        {
            all.games.complete = sum(all.games.complete, games.complete);
            all.games.won = sum(all.games.won, games.won);
            all.games.wonInCentre = sum(all.games.wonInCentre, games.wonInCentre);
        }
    };
};

// The positions of one part: while a number of jumps is walked, a hash table with open
// addressing; once it is done, packed at the front, the rest of its memory given back.
template<class Entry> class PartTable
{
public:
    using Slot = typename Entry::Slot;
    static constexpr int kKeyBits = kHoleCount - Entry::kPartBits;

    std::size_t size() const { return m_size; }
    const Slot *begin() const { return m_slots.data(); }
    const Slot *end() const { return m_slots.data() + m_size; }

    // Makes room for `count` positions at once.
    void reserve(std::size_t count)
    {
        if (count * 5 > m_slots.size() * 4)
            moveInto(std::max(kLeastCapacity, count * 3 / 2));
    }
    void prefetch(std::uint32_t key) const
    {
        if (m_slots.size() != 0)
            __builtin_prefetch(&m_slots[slotOf(key)], 1);
    }
    void insert(Slot entry)
    {
        // At most four fifths full: entries are small and a search seldom leaves its cache line.
        if (5 * (m_size + 1) > 4 * m_slots.size())
            moveInto(std::max(kLeastCapacity, m_slots.size() * 3 / 2));
        const std::uint32_t key = Entry::keyOf(entry);
        const std::size_t capacity = m_slots.size();
        for (std::size_t slot = slotOf(key);; slot = slot + 1 == capacity ? 0 : slot + 1) {
            Slot &here = m_slots[slot];
            if (Entry::keyOf(here) == 0) {
                here = entry;
                ++m_size;
                return;
            }
            if (Entry::keyOf(here) == key) {
                Entry::absorb(here, entry);
                return;
            }
        }
    }
    // Packs the positions at the front, where begin() and end() find them.
    void pack()
    {
        std::size_t kept = 0;
        for (std::size_t slot = 0; slot < m_slots.size(); ++slot)
            if (Entry::keyOf(m_slots[slot]) != 0)
                m_slots[kept++] = m_slots[slot];
        m_slots.shrink(kept);
    }
    void release()
    {
        m_slots = SystemArray<Slot>();
        m_size = 0;
    }

private:
    static constexpr std::size_t kLeastCapacity = 64;

    // The keys are evenly spread: their top bits pick the slot.
    std::size_t slotOf(std::uint32_t key) const
    {
        return std::size_t((std::uint64_t(key - 1) * m_slots.size()) >> kKeyBits);
    }

    void moveInto(std::size_t capacity)
    {
        SystemArray<Slot> old = std::exchange(m_slots, SystemArray<Slot>(capacity));
        m_size = 0;
        for (std::size_t slot = 0; slot < old.size(); ++slot)
            if (Entry::keyOf(old[slot]) != 0)
                insert(old[slot]);
    }

    SystemArray<Slot> m_slots;
    std::size_t m_size = 0;
};

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

// Calls visit(least) with the least image of each position one jump from `pegs`, once a jump.
template<class Visit> void forEachNextPosition(const CrossBoard &board, Holes pegs, Visit visit)
{
    // A jump flips its three holes in every image too, so each image of the position after the
    // jump is one exclusive-or away. Where the board lacks a symmetry, the position and the move
    // stand in for its images, which keeps the loop below the same length on every board.
    constexpr std::size_t kImages = CrossBoard::kMostSymmetries;
    std::array<Holes, kImages> images;
    images.fill(pegs);
    for (int index = 1; index < board.symmetryCount(); ++index)
        images[std::size_t(index)] = board.image(index, pegs);
    board.forEachMove(pegs, [&](std::size_t move) {
        const Holes *moveImages = board.moveImages(move);
        Holes least = images[0] ^ moveImages[0];
        for (std::size_t index = 1; index < kImages; ++index)
            least = std::min(least, images[index] ^ moveImages[index]);
        visit(least);
    });
}

// The walk from one position, one number of jumps at a time.
template<class Entry> class Walk
{
public:
    using Slot = typename Entry::Slot;
    static constexpr std::size_t kParts = std::size_t(1) << Entry::kPartBits;
    static constexpr int kKeyBits = PartTable<Entry>::kKeyBits;
    static constexpr std::size_t kQueueLength = Entry::kQueueLength;
    // The queues lie a cache line more than their length apart. The queues fill at about the
    // same pace, so their ends stay close to the same distance from their starts: whole pages
    // apart, all ends would fall into the same few sets of the cache and push one another out
    // at nearly every position.
    static constexpr std::size_t kQueueSpacing = kQueueLength + 64 / sizeof(Slot);

    Walk(const CrossPosition &position, std::size_t threads)
        : m_board(position.open)
        , m_current(kParts)
        , m_next(kParts)
        , m_locks(kParts)
    {
        // The queues' memory, one share a thread, made once: new memory for each number of
        // jumps cost a fault on each of its pages every time.
        for (std::size_t thread = 0; thread < threads; ++thread)
            m_queues.push_back({SystemArray<Slot>(kParts * kQueueSpacing), {}});
        const Holes start = mixed(m_board.canonical(position.pegs & position.open));
        PartTable<Entry> &part = m_current[start >> kKeyBits];
        part.insert(Entry::made(keyOf(start), Entry::kStart));
        part.pack();
    }

    std::uint64_t size() const
    {
        std::uint64_t size = 0;
        for (const PartTable<Entry> &part : m_current)
            size += part.size();
        return size;
    }

    // Hands every position on to those one jump further, which take its place; the positions
    // with no jump left go to `ends`.
    void step(typename Entry::Ends &ends)
    {
        // Most numbers of jumps lead to no fewer than half as many positions: each table starts
        // with room for that, and growing from the least size cost as many moves again.
        const std::size_t expected = size() / 2 / kParts;
        for (PartTable<Entry> &part : m_next)
            part.reserve(expected);
        std::vector<typename Entry::Ends> found(m_queues.size());
        shareOut(
            kParts, m_queues.size(),
            [&](std::size_t thread, std::size_t part) { walkPart(thread, part, found[thread]); },
            [&](std::size_t thread) {
                for (std::size_t part = 0; part < kParts; ++part)
                    flush(thread, part);
            });
        for (const typename Entry::Ends &some : found)
            some.addTo(ends);
        shareOut(
            kParts, m_queues.size(), [&](std::size_t, std::size_t part) { m_next[part].pack(); },
            [](std::size_t) {});
        std::swap(m_current, m_next);
    }

private:
    struct Queues
    {
        SystemArray<Slot> entries; // kQueueSpacing for each part
        std::array<std::uint32_t, kParts> lengths;
    };

    static std::uint32_t keyOf(Holes mixedPegs)
    {
        return std::uint32_t(mixedPegs & ((Holes(1) << kKeyBits) - 1)) + 1;
    }

    void walkPart(std::size_t thread, std::size_t part, typename Entry::Ends &ends)
    {
        Queues &queues = m_queues[thread];
        const Holes high = Holes(part) << kKeyBits;
        for (const Slot entry : m_current[part]) {
            const Holes pegs = unmixed(high | (Entry::keyOf(entry) - 1));
            bool jumped = false;
            forEachNextPosition(m_board, pegs, [&](Holes least) {
                const Holes next = mixed(least);
                const std::size_t nextPart = std::size_t(next >> kKeyBits);
                std::uint32_t &length = queues.lengths[nextPart];
                queues.entries[nextPart * kQueueSpacing + length] = Entry::made(keyOf(next), entry);
                if (++length == kQueueLength)
                    flush(thread, nextPart);
                jumped = true;
            });
            if (!jumped)
                ends.add(pegs, entry);
        }
        m_current[part].release();
    }

    void flush(std::size_t thread, std::size_t part)
    {
        Queues &queues = m_queues[thread];
        const std::size_t length = std::exchange(queues.lengths[part], 0);
        const Slot *queue = queues.entries.data() + part * kQueueSpacing;
        const std::lock_guard lock(m_locks[part]);
        PartTable<Entry> &table = m_next[part];
        // A table not in the cache any more: fetching the slots a few inserts ahead lets the
        // waits for memory overlap.
        constexpr std::size_t kAhead = 16;
        for (std::size_t i = 0; i < length; ++i) {
            if (i + kAhead < length)
                table.prefetch(Entry::keyOf(queue[i + kAhead]));
            table.insert(queue[i]);
        }
    }

    CrossBoard m_board;
    std::vector<PartTable<Entry>> m_current;
    std::vector<PartTable<Entry>> m_next;
    std::vector<std::mutex> m_locks;
    std::vector<Queues> m_queues;
};

// Walks from `position` one number of jumps at a time until no jump is left; gives the number of
// positions after each number of jumps.
template<class Entry>
std::vector<std::uint64_t> walk(const CrossPosition &position, const CountProgress &progress,
                                typename Entry::Ends &ends)
{
    Walk<Entry> walk(position, threadCount());
    std::vector<std::uint64_t> sizes;
    for (std::uint64_t size; (size = walk.size()) != 0;) {
        if (progress)
            progress(int(sizes.size()), size);
        sizes.push_back(size);
        walk.step(ends);
    }
    return sizes;
}

} // namespace

std::uint64_t PositionCounts::total() const
{
    return std::accumulate(afterJumps.begin(), afterJumps.end(), std::uint64_t(0));
}

PositionCounts countPositions(const CrossPosition &position, const CountProgress &progress)
{
    PositionOnly::Ends ends;
    return {walk<PositionOnly>(position, progress, ends)};
}

// Jumps go from the position down, a number of jumps at a time, and each position carries the
// number of ways it is reached; a game is complete where no jump is left. One position stands
// for all its images, with the ways that reach any of them: each image has as many jumps into a
// set of images as the position itself, so the ways add up the same.
GameCounts countGames(const CrossPosition &position, const CountProgress &progress)
{
    CountedPosition::Ends ends;
    walk<CountedPosition>(position, progress, ends);
    return ends.games;
}
