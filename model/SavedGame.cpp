// The saved game file: BoardKind and the 49 playfield cells as little-endian 32-bit records.
#include "model/GameState.h"

#include "platform/RecordFile.h"

namespace {

constexpr int kPlayfieldCells = 49;

// Little-endian on every machine: byte i of a record holds bits 8i to 8i + 7.
Record encode(std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    Record record {};
    for (std::size_t i = 0; i < record.size(); ++i)
        record[i] = static_cast<unsigned char>(bits >> (8 * i) & 0xFF);
    return record;
}

std::int32_t decode(const Record &record)
{
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < record.size(); ++i)
        bits |= std::uint32_t(record[i]) << (8 * i);
    return static_cast<std::int32_t>(bits);
}

// Closes the file on every way out, the failures included.
class FileCloser
{
public:
    explicit FileCloser(RecordFiles &files)
        : m_files(files)
    { }
    FileCloser(const FileCloser &) = delete;
    FileCloser &operator=(const FileCloser &) = delete;
    ~FileCloser() { m_files.close(); }

private:
    RecordFiles &m_files;
};

} // namespace

void GameState::SaveGame(const std::string &path, RecordFiles &files) const
{
    const FileCloser closer(files);
    files.create(path);
    files.writeRecord(encode(BoardKind));
    for (int column = kFirstPlayfieldLine; column <= kLastPlayfieldLine; ++column)
        for (int row = kFirstPlayfieldLine; row <= kLastPlayfieldLine; ++row)
            files.writeRecord(encode(Board[column][row]));
    files.commit();
}

void GameState::LoadGame(const std::string &path, RecordFiles &files)
{
    // The whole file, the kind and then the cells, is read before any of it is installed, so a
    // failed load changes nothing.
    std::array<std::int32_t, 1 + kPlayfieldCells> records {};
    {
        const FileCloser closer(files);
        files.open(path);
        for (std::int32_t &record : records)
            record = decode(files.readRecord());
    }

    // Nothing is checked: whatever the file holds becomes the kind and the cells. A single
    // selected peg in the file comes back selected, so that it can be put down or moved.
    BoardKind = records[0];
    int selectedCells = 0;
    int selectedColumn = 0;
    int selectedRow = 0;
    const std::int32_t *cell = records.data() + 1;
    for (int column = kFirstPlayfieldLine; column <= kLastPlayfieldLine; ++column) {
        for (int row = kFirstPlayfieldLine; row <= kLastPlayfieldLine; ++row) {
            Board[column][row] = *cell++;
            if (Board[column][row] == Selected) {
                ++selectedCells;
                selectedColumn = column;
                selectedRow = row;
            }
        }
    }
    NothingSelected = selectedCells != 1;
    if (!NothingSelected) {
        SelectedColumn = selectedColumn;
        SelectedRow = selectedRow;
    }
}
