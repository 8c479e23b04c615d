// Files of 4-byte records: the interface the saved game goes through, and the real POSIX files.
#pragma once

#include <array>
#include <string>
#include <vector>

using Record = std::array<unsigned char, 4>;

// One file of 4-byte records at a time, opened for reading or created for writing. Every
// operation that fails closes the file and throws Failure with the text the player sees.
// Tests put a fake in its place to make any step fail.
class RecordFiles
{
public:
    virtual ~RecordFiles() = default;

    // Opens the existing regular file `path` for reading.
    virtual void open(const std::string &path) = 0;
    // Starts a new content for `path`; the file at `path` changes only in commit().
    virtual void create(const std::string &path) = 0;
    virtual Record readRecord() = 0;
    virtual void writeRecord(const Record &record) = 0;
    // Puts everything written since create() in place of the file at `path`.
    virtual void commit() = 0;
    // Closes the open file, if any. What was written but not committed leaves no trace.
    virtual void close() noexcept = 0;
};

// The files on disk. A written file first goes to a new file in the same folder, which is
// flushed and then renamed over the target, so a failed save never damages the old file.
// Where that would refuse a file we may write, or split it from its other names, the file is
// written in place instead: a folder where we may not make files, another user's file in a
// sticky folder, a file with more than one name.
class PosixRecordFiles final : public RecordFiles
{
public:
    PosixRecordFiles() = default;
    PosixRecordFiles(const PosixRecordFiles &) = delete;
    PosixRecordFiles &operator=(const PosixRecordFiles &) = delete;
    ~PosixRecordFiles() override;

    void open(const std::string &path) override;
    void create(const std::string &path) override;
    Record readRecord() override;
    void writeRecord(const Record &record) override;
    void commit() override;
    void close() noexcept override;

private:
    void openInPlace();
    void writeOut(const Record &record);
    void writeInPlace();
    [[noreturn]] void fail(const std::string &text);

    int m_fd = -1;
    std::string m_target; // the file that commit() replaces
    std::string m_temporary; // the new file being written, until it is renamed
    bool m_replacing = false; // the target existed when create() looked
    std::vector<Record> m_records; // everything written since create()
};

// The text the player sees for a system error number (errno) from a file operation.
std::string fileErrorText(int error);
