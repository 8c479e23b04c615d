// Files of 4-byte records on disk: replacing files safely, and the texts of the system's errors.
#include "platform/RecordFile.h"
#include "tests/DiskFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

const Record kFirst = {1, 2, 3, 4};
const Record kSecond = {5, 6, 7, 8};
const QByteArray kOldBytes("old game");
// Users with no name on this machine: a shared folder's owner, and a stranger, who also plays.
constexpr uid_t kFolderOwner = 4242;
constexpr uid_t kStranger = 4343;

void saveTwoRecords(const QString &path)
{
    PosixRecordFiles files;
    files.create(nativePath(path));
    files.writeRecord(kFirst);
    files.writeRecord(kSecond);
    files.commit();
}

QString linkText(const QString &path)
{
    char text[PATH_MAX];
    const ssize_t length = ::readlink(nativePath(path).c_str(), text, sizeof text);
    return length < 0 ? QString() : QFile::decodeName(QByteArray(text, length));
}

mode_t permissionsOf(const QString &path)
{
    struct stat info
    {
    };
    return ::stat(nativePath(path).c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

dev_t fileSystemOf(const QString &path)
{
    struct stat info
    {
    };
    return ::stat(nativePath(path).c_str(), &info) == 0 ? info.st_dev : 0;
}

} // namespace

class TestRecordFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void systemErrorsGetThePlayersTexts_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("text");
        QTest::newRow("ENOENT") << ENOENT << QStringLiteral("File not found");
        for (int error : {ENAMETOOLONG, ENOTDIR, ELOOP, EINVAL, EILSEQ})
            QTest::addRow("%d", error) << error << QStringLiteral("Invalid filename");
        for (int error : {EMFILE, ENFILE})
            QTest::addRow("%d", error) << error << QStringLiteral("Too many open files");
        for (int error : {EACCES, EPERM, EROFS, EISDIR})
            QTest::addRow("%d", error) << error << QStringLiteral("File access denied");
        QTest::newRow("ENOSPC") << ENOSPC << QStringLiteral("I/O error 28");
        QTest::newRow("EIO") << EIO << QStringLiteral("I/O error 5");
    }

    void systemErrorsGetThePlayersTexts()
    {
        QFETCH(int, error);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(fileErrorText(error)), text);
    }

    void recordsComeBackInTheOrderWritten()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("Game0.sav"));
        saveTwoRecords(path);
        QCOMPARE(contentsOf(path), QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08", 8));

        PosixRecordFiles files;
        files.open(nativePath(path));
        QCOMPARE(files.readRecord(), kFirst);
        QCOMPARE(files.readRecord(), kSecond);
        QCOMPARE(failureOf([&] { files.readRecord(); }), QStringLiteral("Read beyond end of file"));
        // A read that the system fails says why: this process's memory, which has nothing at
        // its start, fails with EIO.
        files.open("/proc/self/mem");
        QCOMPARE(failureOf([&] { files.readRecord(); }), QStringLiteral("I/O error 5"));
    }

    void oldFileStaysUntilTheNewOneIsCommitted()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("Game0.sav"));
        QVERIFY(writeFile(path, kOldBytes));
        // A program that has the old game open keeps reading it whole: the save is a new file.
        QFile reader(path);
        QVERIFY(reader.open(QIODevice::ReadOnly));
        PosixRecordFiles files;
        files.create(nativePath(path));
        files.writeRecord(kFirst);

        QCOMPARE(contentsOf(path), kOldBytes);
        files.commit();

        QCOMPARE(contentsOf(path), QByteArray("\x01\x02\x03\x04", 4));
        QCOMPARE(reader.readAll(), kOldBytes);
        QCOMPARE(entriesOf(folder.path()), QStringList {QStringLiteral("Game0.sav")});
    }

    void closingWithoutCommitLeavesNoTrace()
    {
        QTemporaryDir folder;
        const QString oldPath = folder.filePath(QStringLiteral("old.sav"));
        QVERIFY(writeFile(oldPath, kOldBytes));
        PosixRecordFiles files;

        files.create(nativePath(oldPath));
        files.writeRecord(kFirst);
        files.close();
        files.create(nativePath(folder.filePath(QStringLiteral("new.sav"))));
        files.writeRecord(kFirst);
        files.close();
        QCOMPARE(contentsOf(oldPath), kOldBytes);
        QCOMPARE(entriesOf(folder.path()), QStringList {QStringLiteral("old.sav")});

        // Nor does a save given up by starting the next one.
        files.create(nativePath(oldPath));
        files.writeRecord(kFirst);
        files.create(nativePath(folder.filePath(QStringLiteral("new.sav"))));
        files.writeRecord(kSecond);
        files.commit();
        files.close();
        QCOMPARE(contentsOf(oldPath), kOldBytes);
        QCOMPARE(contentsOf(folder.filePath(QStringLiteral("new.sav"))),
                 QByteArray("\x05\x06\x07\x08", 4));
        QCOMPARE(entriesOf(folder.path()),
                 (QStringList {QStringLiteral("new.sav"), QStringLiteral("old.sav")}));

        // Nor one whose files object ends mid-save, and it keeps no descriptor open.
        const QStringList descriptors = entriesOf(QStringLiteral("/proc/self/fd"));
        {
            PosixRecordFiles abandoned;
            abandoned.create(nativePath(oldPath));
            abandoned.writeRecord(kSecond);
        }
        QCOMPARE(entriesOf(QStringLiteral("/proc/self/fd")), descriptors);
        QCOMPARE(contentsOf(oldPath), kOldBytes);
        QCOMPARE(entriesOf(folder.path()),
                 (QStringList {QStringLiteral("new.sav"), QStringLiteral("old.sav")}));
    }

    void failedRenameRemovesTheNewFile()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("Game0.sav"));
        PosixRecordFiles files;
        files.create(nativePath(path));
        files.writeRecord(kFirst);
        // Someone puts a folder with files in it where the save should go.
        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("Game0.sav/inside")));

        QCOMPARE(failureOf([&] { files.commit(); }), QStringLiteral("File access denied"));

        QCOMPARE(entriesOf(folder.path()), QStringList {QStringLiteral("Game0.sav")});
        QVERIFY(QFileInfo(path).isDir());
    }

    void onlyRegularFilesAreOpenedOrReplaced_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("socket") << QStringLiteral("socket");
        QTest::newRow("endless device") << QStringLiteral("zero");
    }

    void onlyRegularFilesAreOpenedOrReplaced()
    {
        QFETCH(QString, path);
        QTemporaryDir folder;
        const std::string target = nativePath(folder.filePath(path));
        // A device like /dev/zero, which never ends, made here so that no test can ever write
        // to the system's own.
        if (path == QLatin1String("zero")
            && ::mknod(target.c_str(), S_IFCHR | 0666, makedev(1, 5)) != 0)
            QSKIP("Making a device node needs root");
        const QString socketPath = folder.filePath(QStringLiteral("socket"));
        const int socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(socketFd >= 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        const std::string socketName = nativePath(socketPath);
        QVERIFY(socketName.size() < sizeof address.sun_path);
        socketName.copy(address.sun_path, socketName.size());
        QCOMPARE(::bind(socketFd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        const QStringList folderEntries = entriesOf(folder.path());
        PosixRecordFiles files;
        const QString denied = QStringLiteral("File access denied");

        QCOMPARE(failureOf([&] { files.open(target); }), denied);
        QCOMPARE(failureOf([&] { files.create(target); }), denied);

        QCOMPARE(entriesOf(folder.path()), folderEntries);
        ::close(socketFd);
    }

    void namesThatCannotBeFilesAreInvalid_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("name too long") << QString(300, QLatin1Char('x'));
        QTest::newRow("path through a file") << QStringLiteral("file/Game0.sav");
        QTest::newRow("links in a loop") << QStringLiteral("loop");
    }

    void namesThatCannotBeFilesAreInvalid()
    {
        QFETCH(QString, name);
        QTemporaryDir folder;
        QVERIFY(writeFile(folder.filePath(QStringLiteral("file")), kOldBytes));
        QVERIFY(QFile::link(QStringLiteral("loop"), folder.filePath(QStringLiteral("loop"))));
        const QStringList entries = entriesOf(folder.path());
        const std::string path = nativePath(folder.filePath(name));
        PosixRecordFiles files;
        const QString invalid = QStringLiteral("Invalid filename");

        QCOMPARE(failureOf([&] { files.open(path); }), invalid);
        QCOMPARE(failureOf([&] { files.create(path); }), invalid);

        QCOMPARE(entriesOf(folder.path()), entries);
    }

    void tooManyOpenFilesIsReported()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("Game0.sav"));
        QVERIFY(writeFile(path, kOldBytes));
        PosixRecordFiles files;
        // The lowest free descriptor becomes the limit, so the next file cannot be opened.
        const int lowestFree = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        QVERIFY(lowestFree >= 0);
        ::close(lowestFree);
        rlimit oldLimit {};
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &oldLimit), 0);
        rlimit limit = oldLimit;
        limit.rlim_cur = rlim_t(lowestFree);
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &limit), 0);
        const QString opening = failureOf([&] { files.open(nativePath(path)); });
        const QString creating = failureOf([&] { files.create(nativePath(path)); });
        ::setrlimit(RLIMIT_NOFILE, &oldLimit);

        QCOMPARE(opening, QStringLiteral("Too many open files"));
        QCOMPARE(creating, QStringLiteral("Too many open files"));
        QCOMPARE(contentsOf(path), kOldBytes);
        QCOMPARE(entriesOf(folder.path()), QStringList {QStringLiteral("Game0.sav")});
    }

    void replacedFileKeepsItsPermissions_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("owner only") << 0600;
        QTest::newRow("group reads") << 0640;
        QTest::newRow("everyone writes") << 0666;
        QTest::newRow("strangers read, the group does not") << 0604;
    }

    void replacedFileKeepsItsPermissions()
    {
        QFETCH(int, mode);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("Game0.sav"));
        QVERIFY(writeFile(path, kOldBytes));
        QCOMPARE(::chmod(nativePath(path).c_str(), mode_t(mode)), 0);

        saveTwoRecords(path);

        QCOMPARE(contentsOf(path).size(), 8);
        QCOMPARE(permissionsOf(path), mode_t(mode));
    }

    void replacedFileKeepsItsAclAndAttributes()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("Game0.sav"));
        QVERIFY(writeFile(path, kOldBytes));
        const std::string name = nativePath(path);
        // An ACL that lets the user 'nobody' (65534) write too: the owner, the named user, the
        // group, the mask and the others, each a tag, a permission and an id.
        const std::uint32_t anyone = 0xFFFFFFFF;
        const std::uint32_t acl[]
            = {2,      1 | 6 << 16,    anyone, 2 | 6 << 16,    65534, 4 | 4 << 16,
               anyone, 0x10 | 6 << 16, anyone, 0x20 | 4 << 16, anyone};
        if (::setxattr(name.c_str(), "user.colour", "blue", 4, 0) != 0
            || ::setxattr(name.c_str(), "system.posix_acl_access", acl, sizeof acl, 0) != 0)
            QSKIP("This file system keeps no ACLs or user attributes");
        // The game keeps one files object: the new file it saves next has no ACL of the last.
        PosixRecordFiles files;
        const QString next = folder.filePath(QStringLiteral("Game1.sav"));
        for (const QString &saved : {path, next}) {
            files.create(nativePath(saved));
            files.writeRecord(kFirst);
            files.commit();
        }

        QCOMPARE(contentsOf(path).size(), 4);
        QCOMPARE(::getxattr(nativePath(next).c_str(), "system.posix_acl_access", nullptr, 0), -1);
        char value[sizeof acl] = {};
        QCOMPARE(::getxattr(name.c_str(), "user.colour", value, sizeof value), ssize_t(4));
        QCOMPARE(QByteArray(value, 4), QByteArray("blue"));
        QCOMPARE(::getxattr(name.c_str(), "system.posix_acl_access", value, sizeof value),
                 ssize_t(sizeof acl));
        QCOMPARE(std::memcmp(value, acl, sizeof acl), 0);
    }

    void newFileIsMadeLikeAnyOther_data()
    {
        QTest::addColumn<int>("mask");
        QTest::newRow("umask 022") << 0022;
        QTest::newRow("umask 077") << 0077;
    }

    void newFileIsMadeLikeAnyOther()
    {
        QFETCH(int, mask);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("Game0.sav"));
        const mode_t oldMask = ::umask(mode_t(mask));
        saveTwoRecords(path);
        ::umask(oldMask);

        QCOMPARE(permissionsOf(path), mode_t(0666 & ~mask));
    }

    void savingThroughALinkWritesTheFileItPointsAt_data()
    {
        QTest::addColumn<QString>("linked");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("elsewhere");
        QTest::newRow("relative link") << QStringLiteral("../games/real.sav") << true << false;
        QTest::newRow("link to a link") << QStringLiteral("../games/link.sav") << true << false;
        QTest::newRow("link to a file still to be made")
            << QStringLiteral("../games/new.sav") << false << false;
        QTest::newRow("link to another file system")
            << QStringLiteral("games/link.sav") << true << true;
    }

    void savingThroughALinkWritesTheFileItPointsAt()
    {
        QFETCH(QString, linked);
        QFETCH(bool, exists);
        QFETCH(bool, elsewhere);
        QTemporaryDir folder;
        QDir top(folder.path());
        // The games lie on another file system where one is at hand, linked by absolute name.
        std::optional<QTemporaryDir> shared;
        if (elsewhere) {
            shared.emplace(QStringLiteral("/dev/shm/quorvel-XXXXXX"));
            if (!shared->isValid() || fileSystemOf(shared->path()) == fileSystemOf(folder.path()))
                QSKIP("/dev/shm is not a file system of its own here");
            linked = QDir(shared->path()).filePath(linked);
        }
        QDir gamesTop(elsewhere ? shared->path() : folder.path());
        QVERIFY(top.mkdir(QStringLiteral("links")) && gamesTop.mkdir(QStringLiteral("games")));
        const QString real = gamesTop.filePath(QStringLiteral("games/real.sav"));
        QVERIFY(writeFile(real, kOldBytes));
        QVERIFY(QFile::link(QStringLiteral("real.sav"),
                            gamesTop.filePath(QStringLiteral("games/link.sav"))));
        const QString link = top.filePath(QStringLiteral("links/Game0.sav"));
        QVERIFY(QFile::link(linked, link));
        const QString target
            = QDir::cleanPath(QDir(top.filePath(QStringLiteral("links"))).filePath(linked));
        const QString finalTarget = exists ? real : target;

        QCOMPARE(failureOf([&] { saveTwoRecords(link); }), QString());

        QCOMPARE(linkText(link), linked);
        QCOMPARE(contentsOf(finalTarget).size(), 8);
        QCOMPARE(entriesOf(top.filePath(QStringLiteral("links"))),
                 QStringList {QStringLiteral("Game0.sav")});
        QCOMPARE(entriesOf(gamesTop.filePath(QStringLiteral("games"))).size(), exists ? 2 : 3);
    }

    // Another user may plant a link under the name the player saves to in any folder that
    // user may write: only the player's own links and root's are followed.
    void savingThroughALinkFollowsOnlyThePlayersOwn_data()
    {
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<uint>("linkOwner");
        QTest::addColumn<uint>("player");
        QTest::addColumn<bool>("throughPlayersLink");
        QTest::addColumn<QString>("expected");
        const QString denied = QStringLiteral("File access denied");
        const uint root = 0;
        QTest::newRow("a stranger's link in a sticky folder anyone may write")
            << 01777 << uint(kStranger) << root << false << denied;
        QTest::newRow("a stranger's link behind the player's own")
            << 01777 << uint(kStranger) << root << true << denied;
        QTest::newRow("a stranger's link in a folder that is not sticky")
            << 0777 << uint(kStranger) << root << false << denied;
        QTest::newRow("another user's link in a sticky folder of theirs")
            << 01777 << uint(kFolderOwner) << root << false << denied;
        QTest::newRow("another user's link in that user's own folder")
            << 0755 << uint(kFolderOwner) << root << false << denied;
        QTest::newRow("a player's own link")
            << 01777 << uint(kStranger) << uint(kStranger) << false << QString();
        QTest::newRow("root's link, saved by another player")
            << 01777 << root << uint(kStranger) << false << QString();
    }

    void savingThroughALinkFollowsOnlyThePlayersOwn()
    {
        QFETCH(int, folderMode);
        QFETCH(uint, linkOwner);
        QFETCH(uint, player);
        QFETCH(bool, throughPlayersLink);
        QFETCH(QString, expected);
        if (::geteuid() != 0)
            QSKIP("Giving links to other users needs root");
        QTemporaryDir top;
        QDir dir(top.path());
        QVERIFY(dir.mkdir(QStringLiteral("shared")) && dir.mkdir(QStringLiteral("private")));
        const QString real = dir.filePath(QStringLiteral("private/real.sav"));
        QVERIFY(writeFile(real, kOldBytes));
        // The linked file is the player's.
        QCOMPARE(::chmod(nativePath(top.path()).c_str(), 0755), 0);
        QCOMPARE(::chown(nativePath(real).c_str(), player, 0), 0);
        const QString link = dir.filePath(QStringLiteral("shared/Game0.sav"));
        const QString planted
            = throughPlayersLink ? dir.filePath(QStringLiteral("shared/hop.sav")) : link;
        QVERIFY(QFile::link(QStringLiteral("../private/real.sav"), planted));
        QCOMPARE(::lchown(nativePath(planted).c_str(), linkOwner, 0), 0);
        if (throughPlayersLink)
            QVERIFY(QFile::link(QStringLiteral("hop.sav"), link));
        const QString shared = dir.filePath(QStringLiteral("shared"));
        QCOMPARE(::chown(nativePath(shared).c_str(), kFolderOwner, 0), 0);
        QCOMPARE(::chmod(nativePath(shared).c_str(), mode_t(folderMode)), 0);
        const QStringList entries = entriesOf(shared);

        QCOMPARE(::seteuid(player), 0);
        const QString failure = failureOf([&] { saveTwoRecords(link); });
        QCOMPARE(::seteuid(0), 0);

        QCOMPARE(failure, expected);
        QCOMPARE(contentsOf(real),
                 expected.isEmpty() ? QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08", 8)
                                    : kOldBytes);
        QCOMPARE(entriesOf(shared), entries);
        QCOMPARE(entriesOf(dir.filePath(QStringLiteral("private"))),
                 QStringList {QStringLiteral("real.sav")});
    }

    // With no inode left for a new file, the game still fits over the old one.
    void fullInodeTableStillTakesASaveOverAFile()
    {
        QTemporaryDir folder;
        const std::string mountPoint = nativePath(folder.path());
        if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "nr_inodes=16,size=64k") != 0)
            QSKIP("Mounting a small file system needs root");
        const auto unmount = qScopeGuard([&] { ::umount2(mountPoint.c_str(), MNT_DETACH); });
        const QString path = folder.filePath(QStringLiteral("Game0.sav"));
        QVERIFY(writeFile(path, kOldBytes));
        for (int empty = 0; writeFile(folder.filePath(QString::number(empty)), {}); ++empty)
            QVERIFY(empty < 16);
        const QStringList entries = entriesOf(folder.path());

        QCOMPARE(failureOf([&] { saveTwoRecords(path); }), QString());
        QCOMPARE(failureOf([&] { saveTwoRecords(folder.filePath(QStringLiteral("New.sav"))); }),
                 QStringLiteral("I/O error 28"));

        QCOMPARE(contentsOf(path), QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08", 8));
        QCOMPARE(entriesOf(folder.path()), entries);
    }
};

QTEST_APPLESS_MAIN(TestRecordFile)
#include "tst_recordfile.moc"
