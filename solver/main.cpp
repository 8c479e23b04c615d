// quorvel-solve: tells whether a position of the game can still be won, and how; counts the
// positions that can follow and the ways a game can go.
#include "model/GameState.h"
#include "platform/Failure.h"
#include "platform/RecordFile.h"
#include "resources/Texts.h"
#include "solver/Enumeration.h"
#include "solver/Solver.h"

#include <cstdio>
#include <iomanip>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

enum ExitStatus { kWinnable = 0, kNotWinnable = 1, kBadInput = 2 };

constexpr const char *kProgramName = "quorvel-solve";

// Thrown for a command line that names no position, or names it badly.
struct UsageError
{
    std::string text;
};

struct Request
{
    bool help = false;
    bool count = false;
    bool ways = false;
    std::optional<int> layout;
    std::optional<std::string> file;
};

Request parse(const std::vector<std::string> &arguments)
{
    Request request;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            request.help = true;
        } else if (argument == "--count") {
            request.count = true;
        } else if (argument == "--ways") {
            request.ways = true;
        } else if (argument == "--layout") {
            if (i + 1 == arguments.size())
                throw UsageError {Texts::kSolverNoLayoutNumber};
            const std::string &number = arguments[++i];
            if (number.size() != 1 || number[0] < '0' || number[0] >= '0' + kLayoutCount)
                throw UsageError {Texts::fillIn(Texts::kSolverBadLayoutNumber, {number})};
            if (request.layout || request.file)
                throw UsageError {Texts::kSolverTwoPositions};
            request.layout = number[0] - '0';
        } else if (argument.starts_with('-') && argument != "-") {
            throw UsageError {Texts::fillIn(Texts::kSolverUnknownOption, {argument})};
        } else {
            if (request.layout || request.file)
                throw UsageError {Texts::kSolverTwoPositions};
            request.file = argument;
        }
    }
    if (!request.help && !request.layout && !request.file)
        throw UsageError {Texts::kSolverNoPosition};
    if (request.count && request.ways)
        throw UsageError {Texts::kSolverTwoCounts};
    return request;
}

std::string usage()
{
    std::string layouts;
    for (int kind = 0; kind < kLayoutCount; ++kind)
        layouts += Texts::fillIn(Texts::kSolverUsageLayout,
                                 {std::to_string(kind), Texts::kLayoutNames[kind]});
    return Texts::fillIn(Texts::kSolverUsage, {layouts});
}

// "1 фишка", "3 фишки", "11 фишек".
std::string counted(std::uint64_t number, const char *const (&forms)[3])
{
    const std::uint64_t lastTwo = number % 100;
    const std::uint64_t last = number % 10;
    const char *form = forms[2];
    if (last == 1 && lastTwo != 11)
        form = forms[0];
    else if (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14))
        form = forms[1];
    return std::to_string(number) + ' ' + form;
}

std::string cellText(Cell cell)
{
    return '(' + std::to_string(cell.column) + ',' + std::to_string(cell.row) + ')';
}

// Progress goes to standard error: on a terminal as one line that keeps being rewritten,
// elsewhere as one line each time.
class ProgressLine
{
public:
    ProgressLine()
        : m_terminal(::isatty(STDERR_FILENO) == 1)
    { }
    ProgressLine(const ProgressLine &) = delete;
    ProgressLine &operator=(const ProgressLine &) = delete;
    ~ProgressLine()
    {
        if (m_terminal && m_shown)
            std::cerr << "\r\033[K" << std::flush;
    }

    void show(const std::string &text)
    {
        m_shown = true;
        if (m_terminal)
            std::cerr << '\r' << text << "\033[K" << std::flush;
        else
            std::cerr << text << std::endl;
    }

private:
    bool m_terminal = false;
    bool m_shown = false;
};

void printJumps(const std::vector<Jump> &jumps)
{
    for (std::size_t i = 0; i < jumps.size(); ++i)
        std::cout << std::setw(2) << i + 1 << ". " << cellText(jumps[i].from) << " -> "
                  << cellText(jumps[i].to) << '\n';
}

int printSolution(const GameState &game, const CrossPosition &position)
{
    Solution solution;
    {
        ProgressLine progress;
        solution = solve(position, [&progress](std::uint64_t positions) {
            progress.show(Texts::fillIn(Texts::kSolverSearchProgress, {std::to_string(positions)}));
        });
    }
    if (solution.winnable && solution.jumps.empty()) {
        std::cout << Texts::kSolverAlreadyWon << '\n';
    } else if (solution.winnable) {
        std::cout << Texts::fillIn(Texts::kSolverWinnable,
                                   {counted(solution.jumps.size(), Texts::kJumpForms)})
                  << '\n';
    } else if (solution.jumps.empty()) {
        std::cout << Texts::kSolverNoJump << '\n';
    } else {
        std::cout << Texts::fillIn(Texts::kSolverNotWinnable,
                                   {counted(std::uint64_t(solution.pegsLeft), Texts::kPegForms),
                                    counted(solution.jumps.size(), Texts::kJumpForms)})
                  << '\n';
    }
    // A loaded game may come back with a peg held; while it is held, no other peg can be picked.
    if (!game.NothingSelected && !solution.jumps.empty())
        std::cout << Texts::fillIn(Texts::kSolverPutDownFirst,
                                   {cellText({game.SelectedColumn, game.SelectedRow})})
                  << '\n';
    printJumps(solution.jumps);
    return solution.winnable ? kWinnable : kNotWinnable;
}

// Shows how far a walk through the positions has come: jumps made, positions found after them.
auto walkProgress(ProgressLine &progress)
{
    return [&progress](int jumps, std::uint64_t positions) {
        progress.show(Texts::fillIn(Texts::kSolverCountProgress,
                                    {std::to_string(jumps), std::to_string(positions)}));
    };
}

void printCounts(const CrossPosition &position)
{
    PositionCounts counts;
    {
        ProgressLine progress;
        counts = countPositions(position, walkProgress(progress));
    }
    std::cout << Texts::kSolverCountHeading << '\n' << Texts::kSolverCountColumns << '\n';
    for (std::size_t jumps = 0; jumps < counts.afterJumps.size(); ++jumps)
        std::cout << std::setw(7) << jumps << std::setw(10) << counts.afterJumps[jumps] << '\n';
    std::cout << Texts::fillIn(Texts::kSolverCountTotal, {std::to_string(counts.total())}) << '\n';
}

// 577116156815309849672 as "577 116 156 815 309 849 672".
std::string groupedInThrees(GameCount number)
{
    std::string digits;
    do {
        if (digits.size() % 4 == 3)
            digits += ' ';
        digits += char('0' + int(number % 10));
        number /= 10;
    } while (number != 0);
    return {digits.rbegin(), digits.rend()};
}

void printWays(const CrossPosition &position)
{
    GameCounts counts;
    {
        ProgressLine progress;
        counts = countGames(position, walkProgress(progress));
    }
    // Right-aligned under one another; no count is larger than the first.
    const std::string complete = groupedInThrees(counts.complete);
    const auto aligned = [&complete](GameCount number) {
        const std::string digits = groupedInThrees(number);
        return std::string(complete.size() - digits.size(), ' ') + digits;
    };
    std::cout << Texts::kSolverWaysHeading << '\n'
              << Texts::fillIn(Texts::kSolverWaysComplete, {complete}) << '\n'
              << Texts::fillIn(Texts::kSolverWaysWon, {aligned(counts.won)}) << '\n'
              << Texts::fillIn(Texts::kSolverWaysWonInCentre, {aligned(counts.wonInCentre)})
              << '\n';
}

int run(const std::vector<std::string> &arguments)
{
    Request request;
    try {
        request = parse(arguments);
    } catch (const UsageError &error) {
        std::cerr << kProgramName << ": " << error.text << '\n' << Texts::kSolverSeeHelp << '\n';
        return kBadInput;
    }
    if (request.help) {
        std::cout << usage();
        return kWinnable;
    }

    GameState game;
    std::string heading;
    try {
        if (request.layout) {
            game.SetUpLayout(*request.layout);
            heading = Texts::kSolverLayoutHeading;
        } else {
            // The game's own loader, so that a bad file is reported in the game's own words.
            PosixRecordFiles files;
            game.LoadGame(*request.file, files);
            heading = Texts::kSolverFileHeading;
        }
        const CrossPosition position = crossPositionOf(game);
        const std::string name
            = request.layout ? Texts::kLayoutNames[*request.layout] : *request.file;
        std::cout << Texts::fillIn(
            heading.c_str(), {name, counted(std::uint64_t(game.CountPegs()), Texts::kPegForms)})
                  << '\n';
        if (request.count)
            printCounts(position);
        else if (request.ways)
            printWays(position);
        else
            return printSolution(game, position);
        return kWinnable;
    } catch (const Failure &failure) {
        std::cout << std::flush;
        std::cerr << kProgramName << ": " << (request.file ? *request.file + ": " : "")
                  << withFullStop(failure.what()) << '\n';
        return kBadInput;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    std::ios::sync_with_stdio(false);
    const int status = run(std::vector<std::string>(argv + 1, argv + argc));
    std::cout << std::flush;
    return status;
}
