// Times the solver on every layout, and the counts of positions and of games from the full board.
#include "model/GameState.h"
#include "solver/Enumeration.h"
#include "solver/Solver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include <sys/resource.h>

namespace {

// Counting each set of mirror images and turns once, as the published figure does.
constexpr std::uint64_t kKnownFullBoardTotal = 23'475'688;
// The published numbers of complete games and of those that end in the centre.
constexpr GameCount kKnownFullBoardGames
    = GameCount(577'116'156'815ull) * 1'000'000'000ull + 309'849'672ull;
constexpr GameCount kKnownFullBoardWinsInCentre = 40'861'647'040'079'968ull;
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
    const Clock::time_point start = Clock::now();
    const PositionCounts counts = countPositions(dealt(FullBoard));
    const double seconds = secondsSince(start);
    for (std::size_t jumps = 0; jumps < counts.afterJumps.size(); ++jumps)
        std::printf("  %2zu jumps: %10llu\n", jumps,
                    static_cast<unsigned long long>(counts.afterJumps[jumps]));
    const bool totalRight = counts.total() == kKnownFullBoardTotal;
    allRight = allRight && totalRight;
    std::printf("  total %llu (%s the known %llu)\n",
                static_cast<unsigned long long>(counts.total()),
                totalRight ? "equal to" : "DIFFERENT FROM",
                static_cast<unsigned long long>(kKnownFullBoardTotal));
    std::printf("  time %.2f s, peak memory of the process %ld MB\n", seconds, peakMegabytes());

    std::printf("Counting the games from the full board:\n");
    const Clock::time_point gamesStart = Clock::now();
    const GameCounts games = countGames(dealt(FullBoard));
    const double gamesSeconds = secondsSince(gamesStart);
    const bool gamesRight = games.complete == kKnownFullBoardGames
        && games.wonInCentre == kKnownFullBoardWinsInCentre;
    allRight = allRight && gamesRight;
    std::printf("  complete %s, won %s, won in the centre %s (%s the known figures)\n",
                decimal(games.complete).c_str(), decimal(games.won).c_str(),
                decimal(games.wonInCentre).c_str(), gamesRight ? "equal to" : "DIFFERENT FROM");
    std::printf("  time %.2f s, peak memory of the process %ld MB\n", gamesSeconds,
                peakMegabytes());
    return allRight ? 0 : 1;
}
