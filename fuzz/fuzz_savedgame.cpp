// Fuzzing the saved game: any bytes loaded as a game through the real file layer, then played.
#include "model/GameState.h"
#include "platform/Failure.h"
#include "platform/RecordFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr std::size_t kClicks = 300;
constexpr std::size_t kFileSize = 200;

// A crash is what libFuzzer reports, so a broken rule of the game becomes one.
void check(bool holds)
{
    if (!holds)
        std::abort();
}

bool heldPegIsSelected(const GameState &game)
{
    return game.NothingSelected || game.Board[game.SelectedColumn][game.SelectedRow] == Selected;
}

// The input becomes a file that lives only in memory and is opened by name through /proc,
// so the real file layer reads it and nothing is ever left on disk.
std::string fileHolding(const std::uint8_t *data, std::size_t size)
{
    static const int fd = ::memfd_create("savedgame", MFD_CLOEXEC);
    if (fd < 0 || ::ftruncate(fd, 0) != 0
        || ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();
    return "/proc/self/fd/" + std::to_string(fd);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    GameState game;
    game.SetUpLayout(FullBoard);
    const GameState before = game;
    PosixRecordFiles files;
    try {
        game.LoadGame(fileHolding(data, size), files);
        check(size >= kFileSize);
    } catch (const Failure &) {
        check(size < kFileSize && game == before);
    }
    check(heldPegIsSelected(game));

    // Clicks from the bytes after the saved game (or from the start of a short input), each
    // byte one cell from -1 to 10: the ring, the playfield and points beyond the grid.
    for (std::size_t i = 0; i < kClicks && size > 0; ++i) {
        const std::uint8_t byte = data[(kFileSize + i) % size];
        const int pegs = game.CountPegs();
        game.HandleClick(byte % 12 - 1, byte / 12 % 12 - 1);
        check(game.CountPegs() <= pegs);
        check(heldPegIsSelected(game));
    }
    return 0;
}
