// The one game in memory: the board of pegs, the layout dealt and the selected peg, with its rules.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class RecordFiles;

// What a cell of the board holds. A loaded file may put any other value into a cell.
enum CellState : std::int32_t {
    Empty = 0,
    Peg = 1,
    Selected = 2,
    OffBoard = 9,
};

// The seven starting layouts, numbered as they are stored in a saved game.
enum LayoutKind : std::int32_t {
    FullBoard = 0,
    LatinCross = 1,
    GreekCross = 2,
    Fireplace = 3,
    Lamp = 4,
    TurnedSquare = 5,
    Pyramid = 6,
};
inline constexpr int kLayoutCount = 7;

// The grid is 9 x 9: the 7 x 7 playfield at 1 to 7 with a ring of cells around it.
inline constexpr int kGridSize = 9;
inline constexpr int kFirstPlayfieldLine = 1;
inline constexpr int kLastPlayfieldLine = 7;

enum class Notice { None, GameOverNotice, WinNotice };

// A cell of the grid, by column and row.
struct CellPlace
{
    int Column = 0;
    int Row = 0;
    bool operator==(const CellPlace &) const = default;
};

struct ClickOutcome
{
    bool Redraw = false;
    Notice Message = Notice::None;
};

struct GameState
{
    // Board[column][row].
    std::array<std::array<std::int32_t, kGridSize>, kGridSize> Board {};
    std::int32_t BoardKind = 0;
    bool NothingSelected = false;
    std::int32_t SelectedColumn = 0;
    std::int32_t SelectedRow = 0;

    GameState();
    bool operator==(const GameState &) const = default;

    // Deals layout `kind` onto the playfield; any kind outside 0 to 6 changes nothing.
    void SetUpLayout(std::int32_t kind);
    int CountPegs() const;
    // The playfield cells that hold something else than in `before`: what a press, a deal or a
    // load changed, column by column.
    std::vector<CellPlace> ChangedSince(const GameState &before) const;
    // Fewer than two pegs: both the guard against playing on and the win test.
    bool IsFinished() const;
    // One click on a cell; column and row may lie outside the grid.
    ClickOutcome HandleClick(int column, int row);

    // The saved game file: BoardKind and the 49 playfield cells. Failures are thrown as
    // Failure; a failed save leaves the old file as it was, a failed load leaves the game so.
    void SaveGame(const std::string &path, RecordFiles &files) const;
    void LoadGame(const std::string &path, RecordFiles &files);
};
