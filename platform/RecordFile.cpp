// Files of 4-byte records on disk, and the texts the player sees when they fail.
#include "platform/RecordFile.h"

#include "platform/Failure.h"
#include "resources/Texts.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <string_view>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

// The system's own limit on links followed while resolving one name.
constexpr int kMaxLinks = 40;
// A new file's name is random; should it be taken, another is tried, this many times.
constexpr int kNameAttempts = 100;
// Every new file's name starts and ends so; that is how a leftover of a killed save is known.
constexpr std::string_view kTemporaryPrefix = ".quorvel-";
constexpr std::string_view kTemporarySuffix = ".tmp";
// A leftover is removed only once it has not been written for this long. A save takes far less
// than a second from making its file to renaming it, even on a slow or network disk; a minute
// keeps clear of any save still running whose lock we cannot see (the moment between making its
// file and locking it, a network file system that keeps no locks), yet clears a leftover soon.
constexpr std::chrono::seconds kLeftoverAge {60};

[[noreturn]] void throwFileError(int error)
{
    throw Failure(fileErrorText(error));
}

// A descriptor that closes itself (AT_FDCWD, which is no descriptor, it keeps as it is).
class Descriptor
{
public:
    explicit Descriptor(int fd = -1)
        : m_fd(fd)
    { }
    Descriptor(Descriptor &&other) noexcept
        : m_fd(other.release())
    { }
    Descriptor &operator=(Descriptor &&other) noexcept
    {
        reset(other.release());
        return *this;
    }
    ~Descriptor() { reset(); }
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

struct Target
{
    Descriptor folder; // the folder that holds the file, opened only to find names in it
    std::string name;
    Descriptor file; // what the name led to when it was looked at, opened only to look at it
    bool exists = false;
    struct stat info
    {
    };
};

// Saving through a symbolic link writes the file it points at and keeps the link, so this
// follows `path` to the folder and name of that file, which need not exist yet. Each name is
// looked at in the folder already opened, so that nobody can move the save elsewhere between
// one look and the next. Anyone who may write a folder can plant a link in it under the name
// the player is about to save to: only the player's own links and root's are followed.
Target followLinks(const std::string &path)
{
    Target target;
    std::string next = path;
    // Where a relative name starts: the current folder first, then the folder of each link.
    Descriptor base(AT_FDCWD);
    for (int links = 0;; ++links) {
        const std::size_t slash = next.rfind('/');
        const std::string folder
            = slash == std::string::npos ? "." : next.substr(0, std::max<std::size_t>(slash, 1));
        target.name = slash == std::string::npos ? next : next.substr(slash + 1);
        // A name that ends with a slash is the folder itself, which is refused below.
        if (target.name.empty())
            target.name = ".";
        target.folder.reset(::openat(base.get(), folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (target.folder.get() < 0)
            throwFileError(errno);
        // Holding what the name leads to keeps it from being freed, so no other file can take
        // its place under the same inode number while the save goes on.
        target.file.reset(
            ::openat(target.folder.get(), target.name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (target.file.get() < 0) {
            if (errno != ENOENT)
                throwFileError(errno);
            return target;
        }
        if (::fstat(target.file.get(), &target.info) != 0)
            throwFileError(errno);
        if (!S_ISLNK(target.info.st_mode)) {
            target.exists = true;
            return target;
        }
        if (links == kMaxLinks)
            throwFileError(ELOOP);
        if (target.info.st_uid != ::geteuid() && target.info.st_uid != 0)
            throwFileError(EACCES);
        char link[PATH_MAX];
        const ssize_t length = ::readlinkat(target.file.get(), "", link, sizeof link);
        if (length < 0)
            throwFileError(errno);
        if (length == static_cast<ssize_t>(sizeof link))
            throwFileError(ENAMETOOLONG);
        next.assign(link, static_cast<std::size_t>(length));
        // A relative link leads on from the folder that holds it; an absolute one ignores it.
        base = std::move(target.folder);
    }
}

// Opens the file that followLinks() found for writing, and makes sure that it is that file:
// should another user put anything else under its name in between, the save is refused.
Descriptor openInspected(const Target &target, struct stat &opened)
{
    // Never follow a link here, nor wait on a pipe or open a terminal.
    const int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    const int folderFd = target.folder.get();
    Descriptor fd(::openat(folderFd, target.name.c_str(), O_RDWR | flags));
    // A file we may write but not read is still written, only without its old bytes at hand.
    if (fd.get() < 0 && errno == EACCES)
        fd.reset(::openat(folderFd, target.name.c_str(), O_WRONLY | flags));
    if (fd.get() < 0)
        throwFileError(errno == ELOOP ? EACCES : errno);
    if (::fstat(fd.get(), &opened) != 0)
        throwFileError(errno);
    if (opened.st_dev != target.info.st_dev || opened.st_ino != target.info.st_ino)
        throwFileError(EACCES);
    return fd;
}

// Only makes the rename itself durable; the game is saved whether or not this succeeds.
void syncFolder(int folder)
{
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// The permissions that a file made by open() with 0666 would get: the process's umask, which
// the system tells without changing it, through /proc.
mode_t newFileMode()
{
    mode_t mask = 022;
    if (std::FILE *status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned int value = 0;
        while (std::fgets(line, sizeof line, status))
            if (std::sscanf(line, "Umask: %o", &value) == 1)
                mask = mode_t(value);
        std::fclose(status);
    } else {
        mask = ::umask(mask);
        ::umask(mask);
    }
    return 0666 & ~mask;
}

std::string randomName()
{
    static constexpr std::string_view kLetters
        = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    // The clock stands in should the system have no random bytes to give.
    auto ticks
        = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    unsigned char bytes[10];
    for (unsigned char &byte : bytes)
        byte = static_cast<unsigned char>(ticks >>= 6);
    if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) < 0)
        bytes[0] ^= static_cast<unsigned char>(::getpid());
    std::string name(kTemporaryPrefix);
    for (unsigned char byte : bytes)
        name += kLetters[byte % kLetters.size()];
    return name += kTemporarySuffix;
}

// Writes `size` bytes at `offset`; returns the failure's text, or an empty text. A write that
// stops inside a record means a full disk, as a record written alone would; one that stops
// between records is asked for the rest, so that the system names its error.
std::string writeAll(int fd, const unsigned char *data, std::size_t size, off_t offset)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = ::pwrite(fd, data + done, size - done, offset + off_t(done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return fileErrorText(errno);
        done += static_cast<std::size_t>(written);
        if (written == 0 || (done < size && done % sizeof(Record) != 0))
            return Texts::kDiskFull;
    }
    return {};
}

// Reads up to `size` bytes at `offset`, as pread does, but goes on when a signal interrupts it.
ssize_t readAt(int fd, unsigned char *data, std::size_t size, off_t offset)
{
    for (;;) {
        const ssize_t got = ::pread(fd, data, size, offset);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

// A save killed between naming its new file and renaming it leaves that name behind. Only the
// player's own files are taken, and only old ones: another user's file of the same shape in a
// shared folder is none of ours. Each new file is locked from its making until it is renamed,
// so an unlocked one belongs to no save still running.
void removeLeftovers(int folder)
{
    // Should the folder not open, fdopendir() and close() refuse the -1 and do nothing.
    const int listed = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *dir = ::fdopendir(listed);
    if (!dir) {
        ::close(listed);
        return;
    }
    const int folderFd = ::dirfd(dir);
    const auto oldest = std::chrono::system_clock::now() - kLeftoverAge;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix))
            continue;
        struct stat named
        {
        };
        if (::fstatat(folderFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) != 0
            || !S_ISREG(named.st_mode) || named.st_uid != ::geteuid()
            || std::chrono::system_clock::from_time_t(named.st_mtime) > oldest)
            continue;
        // A leftover killed once it had the saved file's permissions may be ours to write but
        // not to read.
        const int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
        int fd = ::openat(folderFd, entry->d_name, O_RDONLY | flags);
        if (fd < 0 && errno == EACCES)
            fd = ::openat(folderFd, entry->d_name, O_WRONLY | flags);
        if (fd < 0)
            continue;
        struct stat opened
        {
        };
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0
            && named.st_ino == opened.st_ino && named.st_dev == opened.st_dev)
            ::unlinkat(folderFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
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
    Target target = followLinks(path);
    Descriptor old;
    if (target.exists) {
        if (!S_ISREG(target.info.st_mode))
            throw Failure(Texts::kFileAccessDenied);
        // Root may write anything, so a file without any write permission is refused too:
        // whoever took that permission away meant the file to stay as it is.
        if ((target.info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            throw Failure(Texts::kFileAccessDenied);
        // Replacing a file needs the right to change it, as overwriting it in place would:
        // the file is opened for writing, and everything else is read from what was opened.
        old = openInspected(target, m_old);
    }

    m_folder = target.folder.release();
    m_name = target.name;
    m_replacing = target.exists;
    m_mode = m_replacing ? m_old.st_mode & 07777 : newFileMode();
    // A new file under this name would leave the file's other names holding the old game.
    if (m_replacing && m_old.st_nlink > 1) {
        m_fd = old.release();
        m_inPlace = true;
        return;
    }
    if (!makeNewFile()) {
        m_fd = old.release();
        m_inPlace = true;
        return;
    }
    if (m_replacing && !carryOver(old.get())) {
        ::close(std::exchange(m_fd, -1));
        if (!m_temporary.empty())
            ::unlinkat(m_folder, std::exchange(m_temporary, {}).c_str(), 0);
        m_fd = old.release();
        m_inPlace = true;
    }
}

// The new file lies in the target's folder, so that renaming it over the target is atomic. It
// has no name until it is complete where the file system allows, so that a kill leaves nothing.
// Only the player may read or write it until its bytes are on disk. Returns false where we may
// not make files in that folder, though the target exists.
bool PosixRecordFiles::makeNewFile()
{
    int error = EOPNOTSUPP;
    // Naming a nameless file later goes through /proc.
    if (::access("/proc/self/fd", X_OK) == 0) {
        m_fd = ::openat(m_folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        error = errno;
    }
    // Where the file system has no nameless files, the new file is named at once, at random.
    const bool nameless = error != EOPNOTSUPP && error != EISDIR && error != EINVAL;
    for (int attempt = 0; m_fd < 0 && !nameless && attempt < kNameAttempts; ++attempt) {
        m_temporary = randomName();
        // O_EXCL: never write into a file or through a link that someone else put there.
        m_fd = ::openat(m_folder, m_temporary.c_str(),
                        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
        error = errno;
        if (m_fd < 0 && error != EEXIST)
            break;
    }
    if (m_fd < 0) {
        m_temporary.clear();
        // A folder where we may not make files can still hold a file that we may write,
        // shared with us by the folder's owner; a file system with no free inodes can still
        // take a game over a file that exists.
        if (m_replacing
            && (error == EACCES || error == EPERM || error == ENOSPC || error == EDQUOT))
            return false;
        fail(fileErrorText(error));
    }
    ::flock(m_fd, LOCK_EX);
    return true;
}

// The new file takes on the old one's owner, group and user attributes now, and its
// permissions and ACL once its bytes are on disk. Returns false where any of them cannot be
// carried: the old file is then written in place, so that it keeps them all.
bool PosixRecordFiles::carryOver(int old)
{
    if (::fchown(m_fd, m_old.st_uid, m_old.st_gid) != 0)
        return false;
    ssize_t size = ::flistxattr(old, nullptr, 0);
    if (size <= 0)
        return size == 0 || errno == ENOTSUP;
    std::string names(static_cast<std::size_t>(size), '\0');
    size = ::flistxattr(old, names.data(), names.size());
    if (size < 0)
        return false;
    names.resize(static_cast<std::size_t>(size));
    // Each name ends with a zero byte. The ACL rides on one of the system's attributes.
    for (std::size_t at = 0; at < names.size(); at = names.find('\0', at) + 1) {
        const char *name = names.c_str() + at;
        const std::string_view view(name);
        const bool acl = view == "system.posix_acl_access";
        if (!view.starts_with("user.") && !acl)
            continue;
        const ssize_t length = ::fgetxattr(old, name, nullptr, 0);
        if (length < 0)
            return false;
        std::string value(static_cast<std::size_t>(length), '\0');
        if (::fgetxattr(old, name, value.data(), value.size()) != length)
            return false;
        if (acl)
            m_acl = std::move(value);
        else if (::fsetxattr(m_fd, name, value.data(), value.size(), 0) != 0)
            return false;
    }
    return true;
}

// Gives the new file, complete and on disk, the permissions it is to have: the old file's, or
// those of any new file.
void PosixRecordFiles::widen()
{
    if (::fchmod(m_fd, m_mode) != 0)
        fail(fileErrorText(errno));
    if (m_acl && ::fsetxattr(m_fd, "system.posix_acl_access", m_acl->data(), m_acl->size(), 0) != 0)
        fail(fileErrorText(errno));
    if (::fsync(m_fd) != 0)
        fail(fileErrorText(errno));
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
    // Nothing reaches the disk before commit(), so that a save given up half-way leaves no
    // trace, and the whole file goes out in one write.
    m_bytes.insert(m_bytes.end(), record.begin(), record.end());
}

void PosixRecordFiles::commit()
{
    if (m_inPlace) {
        writeInPlace();
    } else {
        const std::string failure = writeAll(m_fd, m_bytes.data(), m_bytes.size(), 0);
        if (!failure.empty())
            fail(failure);
        // The game reaches the disk before the new file takes the old one's name, so that
        // not even a crash of the machine leaves an empty file where the saved game was.
        if (::fdatasync(m_fd) != 0)
            fail(fileErrorText(errno));
        widen();
        nameNewFile();
        syncFolder(m_folder);
    }
    removeLeftovers(m_folder);
}

// Gives the complete new file the target's name in one step.
void PosixRecordFiles::nameNewFile()
{
    if (m_temporary.empty()) {
        const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
        const auto linkAs = [&](const std::string &name) {
            return ::linkat(AT_FDCWD, self.c_str(), m_folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
        };
        if (!m_replacing) {
            if (linkAs(m_name))
                return;
            if (errno != EEXIST)
                fail(fileErrorText(errno));
        }
        // A link never replaces a name, so the file is linked under a name of its own, which
        // is then renamed over the target.
        for (int attempt = 0; m_temporary.empty(); ++attempt) {
            const std::string name = randomName();
            if (linkAs(name))
                m_temporary = name;
            else if (errno != EEXIST || attempt == kNameAttempts)
                fail(fileErrorText(errno));
        }
    }
    if (::renameat(m_folder, m_temporary.c_str(), m_folder, m_name.c_str()) != 0)
        fail(fileErrorText(errno));
    m_temporary.clear();
}

void PosixRecordFiles::close() noexcept
{
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
    if (!m_temporary.empty())
        ::unlinkat(m_folder, m_temporary.c_str(), 0);
    if (m_folder >= 0)
        ::close(std::exchange(m_folder, -1));
    m_temporary.clear();
    m_acl.reset();
    m_replacing = false;
    m_inPlace = false;
    m_bytes.clear();
}

// One write puts the new game over the old one, whose bytes are kept to be put back should
// anything fail before the game is on disk. A file longer than the game is refused: cutting
// its tail off is a second step, and a kill between the two would leave neither file.
void PosixRecordFiles::writeInPlace()
{
    struct stat info
    {
    };
    if (::fstat(m_fd, &info) != 0)
        fail(fileErrorText(errno));
    if (info.st_size > off_t(m_bytes.size()))
        fail(Texts::kFileAccessDenied);
    std::vector<unsigned char> old(m_bytes.size());
    const ssize_t kept = readAt(m_fd, old.data(), old.size(), 0);

    std::string failure = writeAll(m_fd, m_bytes.data(), m_bytes.size(), 0);
    if (failure.empty() && ::fsync(m_fd) != 0)
        failure = fileErrorText(errno);
    if (!failure.empty()) {
        if (kept >= 0) {
            // A file shorter than a game gets its old length back too.
            if (writeAll(m_fd, old.data(), static_cast<std::size_t>(kept), 0).empty()
                && ::ftruncate(m_fd, info.st_size) == 0)
                ::fsync(m_fd);
        }
        fail(failure);
    }
    if (::close(std::exchange(m_fd, -1)) != 0)
        fail(fileErrorText(errno));
}

void PosixRecordFiles::fail(const std::string &text)
{
    close();
    throw Failure(text);
}
