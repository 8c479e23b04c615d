// Times the solver on every layout, and the counts of positions and of games from the full board
// and from the full board with its hole at (3,1) or at (3,3), the hardest starts with one hole.
#include "model/GameState.h"
#include "solver/Enumeration.h"
#include "solver/Solver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <utility>

#include <sys/resource.h>

namespace {

// Counting each set of mirror images and turns once, as the published figure does.
constexpr std::uint64_t kKnownFullBoardTotal = 23'475'688;
// The published numbers of complete games and of those that end in the centre.
constexpr GameCount kKnownFullBoardGames
    = GameCount(577'116'156'815ull) * 1'000'000'000ull + 309'849'672ull;
constexpr GameCount kKnownFullBoardWinsInCentre = 40'861'647'040'079'968ull;
// The full board with its one hole elsewhere than in the centre: the positions and the games.
struct HoleStart
{
    std::pair<int, int> hole;
    std::uint64_t total = 0;
    GameCount complete = 0;
    GameCount won = 0;
    GameCount wonInCentre = 0;
};

constexpr GameCount billions(std::uint64_t high, std::uint64_t low)
{
    return GameCount(high) * 1'000'000'000ull + low;
}

// The hole at (3,1) as the walk counted it when it still ran on one thread; the hole at (3,3),
// of the seven different starts with one hole the one with the most positions, as the walk
// counted it before the search and both counts shared one table.
const HoleStart kHoleStarts[] = {
    {{3, 1},
     123'993'207,
     billions(1'547'384'243'264ull, 761'654'653ull),
     9'823'604'447'142'565'487ull,
     0},
    {{3, 3},
     132'143'850,
     billions(9'414'044'171'826ull, 18'738'112ull),
     billions(239'989'150'432ull, 384'992'850ull),
     0},
};
constexpr int kRuns = 5;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long peakMegabytes()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// The processor time of all threads so far, user and system: on a shared machine the wall clock
// says as much about the others' work as about ours.
double processorSeconds()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds
        = [](const timeval &time) { return double(time.tv_sec) + double(time.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// What one count took: wall clock, processor time, and the process's peak memory so far.
class Timing
{
public:
    void print() const
    {
        std::printf("  time %.2f s, processor time %.2f s, peak memory of the process %ld MB\n",
                    secondsSince(m_start), processorSeconds() - m_processorStart, peakMegabytes());
    }

private:
    Clock::time_point m_start = Clock::now();
    double m_processorStart = processorSeconds();
};

std::string decimal(GameCount number)
{
    std::string digits;
    do {
        digits.insert(digits.begin(), char('0' + int(number % 10)));
        number /= 10;
    } while (number != 0);
    return digits;
}

CrossPosition dealt(int kind)
{
    GameState game;
    game.SetUpLayout(kind);
    return crossPositionOf(game);
}

CrossPosition withHoleAt(std::pair<int, int> hole)
{
    GameState game;
    game.SetUpLayout(FullBoard);
    game.Board[4][4] = Peg;
    game.Board[hole.first][hole.second] = Empty;
    return crossPositionOf(game);
}

} // namespace

int main()
{
    bool allRight = true;
    std::printf("Solving each layout (fastest of %d runs):\n", kRuns);
    for (int kind = 0; kind < kLayoutCount; ++kind) {
        double fastest = 1e9;
        Solution solution;
        for (int run = 0; run < kRuns; ++run) {
            const Clock::time_point start = Clock::now();
            solution = solve(dealt(kind));
            fastest = std::min(fastest, secondsSince(start));
        }
        allRight = allRight && solution.winnable;
        std::printf("  layout %d: %s in %zu jumps, %.1f ms\n", kind,
                    solution.winnable ? "won" : "NOT WON", solution.jumps.size(), fastest * 1e3);
    }

    std::printf("Counting the positions reachable from the full board:\n");
    const Timing timing;
    const PositionCounts counts = countPositions(dealt(FullBoard));
    for (std::size_t jumps = 0; jumps < counts.afterJumps.size(); ++jumps)
        std::printf("  %2zu jumps: %10llu\n", jumps,
                    static_cast<unsigned long long>(counts.afterJumps[jumps]));
    const bool totalRight = counts.total() == kKnownFullBoardTotal;
    allRight = allRight && totalRight;
    std::printf("  total %llu (%s the known %llu)\n",
                static_cast<unsigned long long>(counts.total()),
                totalRight ? "equal to" : "DIFFERENT FROM",
                static_cast<unsigned long long>(kKnownFullBoardTotal));
    timing.print();

    std::printf("Counting the games from the full board:\n");
    const Timing gamesTiming;
    const GameCounts games = countGames(dealt(FullBoard));
    const bool gamesRight = games.complete == kKnownFullBoardGames
        && games.wonInCentre == kKnownFullBoardWinsInCentre;
    allRight = allRight && gamesRight;
    std::printf("  complete %s, won %s, won in the centre %s (%s the known figures)\n",
                decimal(games.complete).c_str(), decimal(games.won).c_str(),
                decimal(games.wonInCentre).c_str(), gamesRight ? "equal to" : "DIFFERENT FROM");
    gamesTiming.print();

    for (const HoleStart &start : kHoleStarts) {
        const auto [column, row] = start.hole;
        std::printf("Counting the positions from the full board with the hole at (%d,%d):\n",
                    column, row);
        const Timing holeTiming;
        const std::uint64_t holeTotal = countPositions(withHoleAt(start.hole)).total();
        const bool holeRight = holeTotal == start.total;
        allRight = allRight && holeRight;
        std::printf("  total %llu (%s the earlier count)\n",
                    static_cast<unsigned long long>(holeTotal),
                    holeRight ? "equal to" : "DIFFERENT FROM");
        holeTiming.print();

        std::printf("Counting the games from the full board with the hole at (%d,%d):\n", column,
                    row);
        const Timing holeGamesTiming;
        const GameCounts holeGames = countGames(withHoleAt(start.hole));
        const bool holeGamesRight = holeGames.complete == start.complete
            && holeGames.won == start.won && holeGames.wonInCentre == start.wonInCentre;
        allRight = allRight && holeGamesRight;
        std::printf("  complete %s, won %s, won in the centre %s (%s the earlier count)\n",
                    decimal(holeGames.complete).c_str(), decimal(holeGames.won).c_str(),
                    decimal(holeGames.wonInCentre).c_str(),
                    holeGamesRight ? "equal to" : "DIFFERENT FROM");
        holeGamesTiming.print();
    }
    return allRight ? 0 : 1;
}
