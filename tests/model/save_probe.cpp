// Saves games through the real file layer, for the test that injects faults and kills:
// `save_probe PATH KIND` saves layout KIND; `--loop` saves layouts KIND and KIND + 1 in turn
// until it is killed. A failed save prints its text and exits 1.
#include "model/GameState.h"
#include "platform/Failure.h"
#include "platform/RecordFile.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fputs("usage: save_probe PATH KIND [--loop]\n", stderr);
        return 2;
    }
    const bool loop = argc > 3 && std::string_view(argv[3]) == "--loop";
    GameState games[2];
    games[0].SetUpLayout(std::atoi(argv[2]));
    games[1].SetUpLayout(std::atoi(argv[2]) + 1);
    PosixRecordFiles files;
    try {
        for (int turn = 0;; turn ^= 1) {
            games[turn].SaveGame(argv[1], files);
            if (!loop)
                return 0;
        }
    } catch (const Failure &failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
}
