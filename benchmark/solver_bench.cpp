// Times the solver on every layout, and quorvel-solve's counts of positions and of games from
// each of the seven different starts with one hole (the others are their mirror images and
// turns), each count a process of its own so that its peak memory is its own. Given another
// build of quorvel-solve, it runs that one too, turn about with this one, checks that both
// answer the same, and gives the ratios.
//
//   solver_bench [OTHER_QUORVEL_SOLVE]
#include "model/GameState.h"
#include "platform/RecordFile.h"
#include "solver/Enumeration.h"
#include "solver/Solver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kRuns = 5;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A start, with what is known of it: the positions in all, and numbers of games where an
// earlier count or the published figures give them.
struct Start
{
    std::pair<int, int> hole;
    const char *positions;
    std::vector<const char *> games;
};

// The published figures for the full board (all games, and those won in the centre); for (3,1)
// and (3,3) the walks' earlier counts (all games, and those won).
const Start kStarts[] = {
    {{4, 4}, "23475688", {"577 116 156 815 309 849 672", "40 861 647 040 079 968"}},
    {{4, 1}, "23475688", {}},
    {{4, 2}, "68286647", {}},
    {{4, 3}, "103147990", {}},
    {{3, 2}, "119633200", {}},
    {{3, 1}, "123993207", {"1 547 384 243 264 761 654 653", "9 823 604 447 142 565 487"}},
    {{3, 3}, "132143850", {"9 414 044 171 826 018 738 112", "239 989 150 432 384 992 850"}},
};

struct Measured
{
    bool ran = false;
    std::string output;
    double seconds = 0;
    double processorSeconds = 0;
    long peakMegabytes = 0;
};

// Runs `program` with `arguments`, standard output into a file, standard error discarded.
Measured measure(const std::string &program, const std::vector<std::string> &arguments,
                 const std::string &outputPath)
{
    Measured measured;
    const Clock::time_point start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        const int out = ::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        std::vector<char *> argv {const_cast<char *>(program.c_str())};
        for (const std::string &argument : arguments)
            argv.push_back(const_cast<char *>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage {};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child)
        return measured;
    measured.seconds = secondsSince(start);
    const auto seconds
        = [](const timeval &time) { return double(time.tv_sec) + double(time.tv_usec) * 1e-6; };
    measured.processorSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    measured.peakMegabytes = usage.ru_maxrss / 1024;
    measured.ran = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (FILE *file = std::fopen(outputPath.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            measured.output.append(buffer, got);
        std::fclose(file);
    }
    return measured;
}

CrossPosition dealt(int kind)
{
    GameState game;
    game.SetUpLayout(kind);
    return crossPositionOf(game);
}

std::string savedStart(const std::string &folder, std::pair<int, int> hole)
{
    GameState game;
    game.SetUpLayout(FullBoard);
    game.Board[4][4] = Peg;
    game.Board[hole.first][hole.second] = Empty;
    const std::string path
        = folder + "/hole" + std::to_string(hole.first) + std::to_string(hole.second) + ".sav";
    PosixRecordFiles files;
    game.SaveGame(path, files);
    return path;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::string program = QUORVEL_SOLVE;
    const std::string other = argc > 1 ? argv[1] : "";
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

    char folderTemplate[] = "/tmp/solver_bench.XXXXXX";
    const char *folder = ::mkdtemp(folderTemplate);
    if (!folder)
        return 2;
    const std::string outputPath = std::string(folder) + "/answer";
    std::printf("\nquorvel-solve from the full board with one hole (time: wall clock, processor "
                "time; peak memory)%s:\n",
                other.empty() ? "" : "; then the other build and this one's share of its figures");
    std::printf("| hole | command | time | processor | memory |%s\n|---|---|---|---|---|%s\n",
                other.empty() ? ""
                              : " other: time | processor | memory | ratio: time | processor "
                                "| memory |",
                other.empty() ? "" : "---|---|---|---|---|---|");
    for (const Start &start : kStarts) {
        const std::string file = savedStart(folder, start.hole);
        for (const char *command : {"--count", "--ways"}) {
            // The other build first, so that neither always runs on a machine just warmed up.
            Measured before;
            if (!other.empty())
                before = measure(other, {command, file}, outputPath);
            const Measured now = measure(program, {command, file}, outputPath);
            std::vector<std::string> known;
            if (command == std::string("--count"))
                known.push_back(std::string("Всего: ") + start.positions + '\n');
            else
                for (const char *games : start.games)
                    known.push_back(std::string(games) + '\n');
            bool right = now.ran;
            for (const std::string &text : known)
                right = right && now.output.find(text) != std::string::npos;
            if (!other.empty())
                right = right && before.ran && before.output == now.output;
            allRight = allRight && right;
            std::printf("| (%d,%d) | %s | %.1f s | %.1f s | %ld MB |", start.hole.first,
                        start.hole.second, command, now.seconds, now.processorSeconds,
                        now.peakMegabytes);
            if (!other.empty())
                std::printf(" %.1f s | %.1f s | %ld MB | %.2f | %.2f | %.2f |", before.seconds,
                            before.processorSeconds, before.peakMegabytes,
                            now.seconds / before.seconds,
                            now.processorSeconds / before.processorSeconds,
                            double(now.peakMegabytes) / double(before.peakMegabytes));
            std::printf("%s\n", right ? "" : " WRONG ANSWER");
            std::fflush(stdout);
        }
        ::unlink(file.c_str());
    }
    ::unlink(outputPath.c_str());
    ::rmdir(folder);
    return allRight ? 0 : 1;
}
