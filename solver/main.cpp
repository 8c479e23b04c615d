// quorvel-solve: tells whether a position of the game can still be won, and how; counts the
// positions that can follow and the ways a game can go.
#include "model/GameState.h"
#include "model/Plural.h"
#include "platform/Failure.h"
#include "platform/RecordFile.h"
#include "resources/Texts.h"
#include "solver/Enumeration.h"
#include "solver/Solver.h"

#include <cerrno>
#include <csignal>
#include <iomanip>
#include <iostream>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

enum ExitStatus { kWinnable = 0, kNotWinnable = 1, kBadInput = 2 };

constexpr const char *kProgramName = "quorvel-solve";

// The length of the UTF-8 character of two to four bytes at `at`, or 0 where there is none. The
// characters U+0080 to U+009F are left out: they are the terminal's second set of controls.
std::size_t wideCharacterAt(const std::string &text, std::size_t at)
{
    const auto byteAt = [&text](std::size_t i) {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
    };
    const unsigned lead = byteAt(at);
    std::size_t length = 0;
    if (lead >= 0xC2 && lead < 0xE0)
        length = 2;
    else if (lead >= 0xE0 && lead < 0xF0)
        length = 3;
    else if (lead >= 0xF0 && lead < 0xF5)
        length = 4;
    for (std::size_t k = 1; k < length; ++k)
        if ((byteAt(at + k) & 0xC0) != 0x80)
            return 0;
    return lead == 0xC2 && byteAt(at + 1) < 0xA0 ? 0 : length;
}

// `text` as it may be shown on a terminal: control characters (with which a file name could
// clear the screen or split a line), bytes that are not UTF-8 and the backslash become escapes,
// as with `ls -b`; everything else, Cyrillic included, stays as it is.
std::string printable(const std::string &text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (const std::size_t length = wideCharacterAt(text, i); length != 0) {
            shown.append(text, i, length);
            i += length - 1;
        } else if (c == '\\') {
            shown += "\\\\";
        } else if (c == '\n') {
            shown += "\\n";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (c == '\r') {
            shown += "\\r";
        } else if (c < 0x20 || c >= 0x7F) {
            shown += {'\\', 'x', kHex[c >> 4], kHex[c & 0xF]};
        } else {
            shown += char(c);
        }
    }
    return shown;
}

// The answer on standard output, gathered and written with write(2), so that a write that fails
// (a full disk, a closed output) is noticed and the program does not end as if all was well.
class Answer
{
public:
    std::ostream &text() { return m_text; }

    // Writes what has been gathered so far. After a failure nothing more is written.
    void send()
    {
        const std::string text = m_text.str();
        m_text.str({});
        for (std::size_t done = 0; m_error == 0 && done < text.size();) {
            const ssize_t written = ::write(STDOUT_FILENO, text.data() + done, text.size() - done);
            if (written < 0 && errno != EINTR)
                m_error = errno;
            else if (written > 0)
                done += std::size_t(written);
            m_sent = true;
        }
    }

    // Sends the rest and closes standard output, which can report a late failure. Gives the
    // reason when any of the answer was lost, else an empty text.
    std::string finish()
    {
        send();
        if (m_sent && m_error == 0 && ::close(STDOUT_FILENO) != 0 && errno != EINTR)
            m_error = errno;
        if (m_error == 0)
            return {};
        if (m_error == ENOSPC || m_error == EDQUOT)
            return Texts::kSolverOutputDiskFull;
        if (m_error == EBADF)
            return Texts::kSolverOutputClosed;
        return Texts::fillIn(Texts::kSolverOutputError, {std::to_string(m_error)});
    }

private:
    std::ostringstream m_text;
    bool m_sent = false;
    int m_error = 0;
};

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
            // The help stands alone: a word beside it is a mistake the user should hear of.
            if (arguments.size() > 1)
                throw UsageError {
                    Texts::fillIn(Texts::kSolverHelpAlone, {printable(arguments[i == 0 ? 1 : 0])})};
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
                throw UsageError {
                    Texts::fillIn(Texts::kSolverBadLayoutNumber, {printable(number)})};
            if (request.layout || request.file)
                throw UsageError {Texts::kSolverTwoPositions};
            request.layout = number[0] - '0';
        } else if (argument.starts_with('-') && argument != "-") {
            throw UsageError {Texts::fillIn(Texts::kSolverUnknownOption, {printable(argument)})};
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
    return std::to_string(number) + ' ' + forms[std::size_t(pluralAfter(number))];
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

void printJumps(std::ostream &out, const std::vector<Jump> &jumps)
{
    for (std::size_t i = 0; i < jumps.size(); ++i)
        out << std::setw(2) << i + 1 << ". " << cellText(jumps[i].from) << " -> "
            << cellText(jumps[i].to) << '\n';
}

int printSolution(std::ostream &out, const GameState &game, const CrossPosition &position)
{
    Solution solution;
    {
        ProgressLine progress;
        solution = solve(position, [&progress](std::uint64_t positions) {
            progress.show(Texts::fillIn(Texts::kSolverSearchProgress, {std::to_string(positions)}));
        });
    }
    if (solution.winnable && solution.jumps.empty()) {
        out << Texts::kSolverAlreadyWon << '\n';
    } else if (solution.winnable) {
        out << Texts::fillIn(Texts::kSolverWinnable,
                             {counted(solution.jumps.size(), Texts::kJumpForms)})
            << '\n';
    } else if (solution.jumps.empty()) {
        out << Texts::kSolverNoJump << '\n';
    } else {
        out << Texts::fillIn(Texts::kSolverNotWinnable,
                             {counted(std::uint64_t(solution.pegsLeft), Texts::kPegForms),
                              counted(solution.jumps.size(), Texts::kJumpForms)})
            << '\n';
    }
    // A loaded game may come back with a peg held; while it is held, no other peg can be picked.
    if (!game.NothingSelected && !solution.jumps.empty())
        out << Texts::fillIn(Texts::kSolverPutDownFirst,
                             {cellText({game.SelectedColumn, game.SelectedRow})})
            << '\n';
    printJumps(out, solution.jumps);
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

void printCounts(std::ostream &out, const CrossPosition &position)
{
    PositionCounts counts;
    {
        ProgressLine progress;
        counts = countPositions(position, walkProgress(progress));
    }
    out << Texts::kSolverCountHeading << '\n' << Texts::kSolverCountColumns << '\n';
    for (std::size_t jumps = 0; jumps < counts.afterJumps.size(); ++jumps)
        out << std::setw(7) << jumps << std::setw(10) << counts.afterJumps[jumps] << '\n';
    out << Texts::fillIn(Texts::kSolverCountTotal, {std::to_string(counts.total())}) << '\n';
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

void printWays(std::ostream &out, const CrossPosition &position)
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
    out << Texts::kSolverWaysHeading << '\n'
        << Texts::fillIn(Texts::kSolverWaysComplete, {complete}) << '\n'
        << Texts::fillIn(Texts::kSolverWaysWon, {aligned(counts.won)}) << '\n'
        << Texts::fillIn(Texts::kSolverWaysWonInCentre, {aligned(counts.wonInCentre)}) << '\n';
}

int run(const std::vector<std::string> &arguments, Answer &answer)
{
    std::ostream &out = answer.text();
    Request request;
    try {
        request = parse(arguments);
    } catch (const UsageError &error) {
        std::cerr << kProgramName << ": " << error.text << '\n' << Texts::kSolverSeeHelp << '\n';
        return kBadInput;
    }
    if (request.help) {
        out << usage();
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
            = request.layout ? Texts::kLayoutNames[*request.layout] : printable(*request.file);
        out << Texts::fillIn(heading.c_str(),
                             {name, counted(std::uint64_t(game.CountPegs()), Texts::kPegForms)})
            << '\n';
        if (request.count)
            printCounts(out, position);
        else if (request.ways)
            printWays(out, position);
        else
            return printSolution(out, game, position);
        return kWinnable;
    } catch (const Failure &failure) {
        answer.send();
        std::cerr << kProgramName << ": " << (request.file ? printable(*request.file) + ": " : "")
                  << withFullStop(failure.what()) << '\n';
        return kBadInput;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    // First of all: a limit on file size fails the write of the answer, which is then reported,
    // instead of ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    std::ios::sync_with_stdio(false);
    Answer answer;
    int status = kBadInput;
    try {
        status = run(std::vector<std::string>(argv + 1, argv + argc), answer);
    } catch (const std::bad_alloc &) {
        // What the work held is freed by now, so the message has room.
        answer.send();
        std::cerr << kProgramName << ": " << withFullStop(Texts::kSolverOutOfMemory) << '\n';
        status = kBadInput;
    }
    const std::string lost = answer.finish();
    if (!lost.empty()) {
        std::cerr << kProgramName << ": "
                  << withFullStop(Texts::fillIn(Texts::kSolverOutputFailed, {lost})) << '\n';
        return kBadInput;
    }
    return status;
}
