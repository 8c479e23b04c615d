// Files of 4-byte records: the interface the saved game goes through, and the real POSIX files.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>

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
    // Puts everything written since create() in place of the file at `path`. The file may stay
    // open until close().
    virtual void commit() = 0;
    // Closes the open file, if any. What was written but not committed leaves no trace.
    virtual void close() noexcept = 0;
};

// The files on disk. The records are kept in memory and written at commit, with one write.
// A saved file is replaced whole: a new file in the same folder, nameless until it is complete
// and flushed, takes the target's name by a rename, so a failure or a kill leaves the old file.
// Only the player may read or write the new file until then. Every step works on the folder
// and the file that were checked, so another user who swaps names in between cannot turn the
// save onto another file.
// Where a new file could not carry what the old one does (its other names, owner, group, ACL,
// extended attributes) or could not be made (a folder where we may not make files, another
// user's file in a sticky folder, a file system with no free inodes), the file is written over
// in place, keeping its old bytes in memory to put back should the write fail; a file longer
// than the new content is refused there, as it cannot be cut short in the same step.
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
    bool makeNewFile();
    bool carryOver(int old);
    void widen();
    void writeInPlace();
    void nameNewFile();
    [[noreturn]] void fail(const std::string &text);

    int m_fd = -1;
    int m_folder = -1; // the folder of the file that commit() replaces
    std::string m_name; // that file's name in it
    struct stat m_old
    {
    }; // the target as create() opened it
    bool m_replacing = false; // the target existed when create() looked
    bool m_inPlace = false; // commit() writes over the target itself
    mode_t m_mode = 0; // the permissions the new file gets once its bytes are on disk
    std::optional<std::string> m_acl; // and the old file's ACL
    std::string m_temporary; // the new file's name in the folder, where it has one
    std::vector<unsigned char> m_bytes; // everything written since create()
};

// The text the player sees for a system error number (errno) from a file operation.
std::string fileErrorText(int error);
