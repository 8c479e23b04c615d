// Files of 4-byte records on disk, and the texts the player sees when they fail.
#include "platform/RecordFile.h"

#include "platform/Failure.h"
#include "resources/Texts.h"

#include <cerrno>
#include <climits>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The system's own limit on links followed while resolving one name.
constexpr int kMaxLinks = 40;
// New files left behind by earlier runs that died mid-save can take this many names.
constexpr int kMaxTemporaryNames = 100;

[[noreturn]] void throwFileError(int error)
{
    throw Failure(fileErrorText(error));
}

std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string inFolder(const std::string &folder, const std::string &name)
{
    return folder.back() == '/' ? folder + name : folder + '/' + name;
}

struct Target
{
    std::string path;
    bool exists = false;
    struct stat info
    {
    };
};

// Saving through a symbolic link writes the file it points at and keeps the link, so this
// follows `path` to the name of that file, which need not exist yet.
Target followLinks(const std::string &path)
{
    Target target {path};
    for (int links = 0;; ++links) {
        if (::lstat(target.path.c_str(), &target.info) != 0) {
            if (errno != ENOENT)
                throwFileError(errno);
            return target;
        }
        if (!S_ISLNK(target.info.st_mode)) {
            target.exists = true;
            return target;
        }
        if (links == kMaxLinks)
            throwFileError(ELOOP);
        char link[PATH_MAX];
        const ssize_t length = ::readlink(target.path.c_str(), link, sizeof link);
        if (length < 0)
            throwFileError(errno);
        if (length == static_cast<ssize_t>(sizeof link))
            throwFileError(ENAMETOOLONG);
        const std::string linked(link, static_cast<std::size_t>(length));
        target.path = linked.starts_with('/') ? linked : inFolder(folderOf(target.path), linked);
    }
}

// Only makes the rename itself durable; the game is saved whether or not this succeeds.
void syncFolder(const std::string &folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

std::string fileErrorText(int error)
{
    switch (error) {
    case ENOENT:
        return Texts::kFileNotFound;
    case ENAMETOOLONG:
    case ENOTDIR:
    case ELOOP:
    case EINVAL:
    case EILSEQ:
        return Texts::kInvalidFilename;
    case EMFILE:
    case ENFILE:
        return Texts::kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return Texts::kFileAccessDenied;
    default:
        return Texts::kIoErrorPrefix + std::to_string(error);
    }
}

PosixRecordFiles::~PosixRecordFiles()
{
    close();
}

void PosixRecordFiles::open(const std::string &path)
{
    close();
    // A folder, pipe, device or socket is refused before it is opened: opening one may block
    // or act on a device, and reading one may never end.
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0)
        throwFileError(errno);
    if (!S_ISREG(info.st_mode))
        throw Failure(Texts::kFileAccessDenied);
    // Should the name turn into a pipe or device in between, O_NONBLOCK still opens it at
    // once and the second look refuses it.
    m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (m_fd < 0)
        throwFileError(errno);
    if (::fstat(m_fd, &info) != 0)
        fail(fileErrorText(errno));
    if (!S_ISREG(info.st_mode))
        fail(Texts::kFileAccessDenied);
}

void PosixRecordFiles::create(const std::string &path)
{
    close();
    if (path.empty())
        throwFileError(ENOENT);
    const Target target = followLinks(path);
    if (target.exists) {
        if (!S_ISREG(target.info.st_mode))
            throw Failure(Texts::kFileAccessDenied);
        // Replacing a file needs the right to change it, as overwriting it in place would.
        // access() lets root change anything, so a file without any write permission is
        // refused too: whoever took that permission away meant the file to stay as it is.
        if (::access(target.path.c_str(), W_OK) != 0)
            throwFileError(errno);
        if ((target.info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            throw Failure(Texts::kFileAccessDenied);
    }

    m_target = target.path;
    m_replacing = target.exists;
    // A new file under this name would leave the file's other names holding the old game.
    if (target.exists && target.info.st_nlink > 1) {
        openInPlace();
        return;
    }

    // The new file lies in the target's folder, so that renaming it over the target is atomic.
    const std::string folder = folderOf(target.path);
    for (int attempt = 0; m_fd < 0; ++attempt) {
        m_temporary = inFolder(folder,
                               ".quorvel-" + std::to_string(::getpid()) + '-'
                                   + std::to_string(attempt) + ".tmp");
        // O_EXCL: never write into a file or through a link that someone else put there.
        m_fd
            = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (m_fd < 0 && (errno != EEXIST || attempt == kMaxTemporaryNames)) {
            const int error = errno;
            m_temporary.clear();
            // A folder where we may not make files can still hold a file that we may write,
            // shared with us by the folder's owner.
            if (target.exists && (error == EACCES || error == EPERM)) {
                openInPlace();
                return;
            }
            fail(fileErrorText(error));
        }
    }

    if (target.exists) {
        // The replacement keeps the old file's permissions, and its owner where we may set it
        // (as root, or a group of ours); where we may not, the new file is simply ours.
        if (::fchown(m_fd, target.info.st_uid, target.info.st_gid) != 0 && errno != EPERM)
            fail(fileErrorText(errno));
        if (::fchmod(m_fd, target.info.st_mode & 07777) != 0)
            fail(fileErrorText(errno));
    }
}

Record PosixRecordFiles::readRecord()
{
    Record record {};
    std::size_t done = 0;
    while (done < record.size()) {
        const ssize_t got = ::read(m_fd, record.data() + done, record.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            fail(fileErrorText(errno));
        if (got == 0)
            fail(Texts::kReadBeyondEndOfFile);
        done += static_cast<std::size_t>(got);
    }
    return record;
}

void PosixRecordFiles::writeRecord(const Record &record)
{
    // A file written in place is left alone until commit(), so that a save given up half-way
    // leaves no trace there either.
    if (!m_temporary.empty())
        writeOut(record);
    m_records.push_back(record);
}

void PosixRecordFiles::writeOut(const Record &record)
{
    ssize_t written = 0;
    do
        written = ::write(m_fd, record.data(), record.size());
    while (written < 0 && errno == EINTR);
    if (written < 0)
        fail(fileErrorText(errno));
    if (static_cast<std::size_t>(written) < record.size())
        fail(Texts::kDiskFull);
}

void PosixRecordFiles::commit()
{
    if (m_temporary.empty()) {
        writeInPlace();
        return;
    }
    // The records reach the disk before the new file takes the old one's name, so that not
    // even a crash of the machine leaves an empty file where the saved game was.
    if (::fsync(m_fd) != 0)
        fail(fileErrorText(errno));
    // Some file systems report a failed write only when the file is closed.
    if (::close(std::exchange(m_fd, -1)) != 0)
        fail(fileErrorText(errno));
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        const int error = errno;
        // A sticky folder such as /tmp lets only the file's owner replace it, though others
        // may be allowed to write it.
        if (!m_replacing || (error != EACCES && error != EPERM))
            fail(fileErrorText(error));
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
        openInPlace();
        writeInPlace();
        return;
    }
    m_temporary.clear();
    syncFolder(folderOf(m_target));
    close();
}

void PosixRecordFiles::close() noexcept
{
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
    m_temporary.clear();
    m_target.clear();
    m_replacing = false;
    m_records.clear();
}

// The file stays the one it was, with its owner, permissions and other names: it is neither
// created nor cut short when opened, only cut to the new length once the records are in.
void PosixRecordFiles::openInPlace()
{
    // The links were followed already; should the name turn into a link, a pipe or a device
    // in between, it is refused rather than followed or waited on.
    m_fd = ::open(m_target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (m_fd < 0)
        fail(fileErrorText(errno));
    struct stat info
    {
    };
    if (::fstat(m_fd, &info) != 0)
        fail(fileErrorText(errno));
    if (!S_ISREG(info.st_mode))
        fail(Texts::kFileAccessDenied);
}

void PosixRecordFiles::writeInPlace()
{
    for (const Record &record : m_records)
        writeOut(record);
    if (::ftruncate(m_fd, static_cast<off_t>(m_records.size() * sizeof(Record))) != 0)
        fail(fileErrorText(errno));
    if (::fsync(m_fd) != 0)
        fail(fileErrorText(errno));
    if (::close(std::exchange(m_fd, -1)) != 0)
        fail(fileErrorText(errno));
    close();
}

void PosixRecordFiles::fail(const std::string &text)
{
    close();
    throw Failure(text);
}
