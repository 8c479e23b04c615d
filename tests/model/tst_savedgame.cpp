// Saving and loading games: the file's bytes, what a load brings back, and failures that lose
// nothing.
#include "model/GameState.h"
#include "platform/Failure.h"
#include "platform/RecordFile.h"
#include "tests/DiskFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

using Cells = std::vector<std::pair<int, int>>;
Q_DECLARE_METATYPE(GameState)
Q_DECLARE_METATYPE(Cells)

namespace {

// The disk of one file, in memory: a save or load through it can be made to fail at any step.
class FakeRecordFiles final : public RecordFiles
{
public:
    std::vector<unsigned char> onDisk;
    // Step 0 opens or creates the file, steps 1 to 50 move its records, step 51 commits.
    int failingStep = -1;
    std::string failure;
    bool isOpen = false;

    void open(const std::string &) override
    {
        step();
        isOpen = true;
        m_readOffset = 0;
    }
    void create(const std::string &) override
    {
        step();
        isOpen = true;
        m_written.clear();
    }
    Record readRecord() override
    {
        step();
        Record record {};
        if (m_readOffset + record.size() > onDisk.size())
            throw Failure("Read beyond end of file");
        for (unsigned char &byte : record)
            byte = onDisk[m_readOffset++];
        return record;
    }
    void writeRecord(const Record &record) override
    {
        step();
        m_written.insert(m_written.end(), record.begin(), record.end());
    }
    void commit() override
    {
        step();
        onDisk = m_written;
    }
    void close() noexcept override { isOpen = false; }

private:
    void step()
    {
        if (m_steps++ == failingStep)
            throw Failure(failure);
    }

    int m_steps = 0;
    std::size_t m_readOffset = 0;
    std::vector<unsigned char> m_written;
};

// A file's bytes made by hand: each value as four bytes, lowest first.
std::vector<unsigned char> fileHolding(const std::vector<std::int32_t> &records)
{
    std::vector<unsigned char> bytes;
    for (std::int32_t value : records) {
        const auto bits = static_cast<std::uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<unsigned char>(bits >> shift));
    }
    return bytes;
}

// Record 0 the kind, then the columns 1 to 7 from top to bottom.
std::vector<std::int32_t> recordsOf(std::int32_t kind,
                                    const std::array<std::array<std::int32_t, 7>, 7> &columns)
{
    std::vector<std::int32_t> records {kind};
    for (const auto &column : columns)
        records.insert(records.end(), column.begin(), column.end());
    return records;
}

QByteArray asBytes(const std::vector<unsigned char> &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

// The same position for the player: the selection counts only while a peg is held.
bool samePosition(const GameState &a, const GameState &b)
{
    const bool sameSelection = a.NothingSelected
        || (a.SelectedColumn == b.SelectedColumn && a.SelectedRow == b.SelectedRow);
    return a.Board == b.Board && a.BoardKind == b.BoardKind
        && a.NothingSelected == b.NothingSelected && sameSelection;
}

// A game in the middle of play: a few jumps made and a peg held.
GameState gameInPlay()
{
    GameState game;
    game.SetUpLayout(FullBoard);
    for (auto [column, row] : {std::pair {4, 2}, {4, 4}, {2, 3}, {4, 3}, {5, 5}})
        game.HandleClick(column, row);
    return game;
}

const QByteArray kOldSave = asBytes(fileHolding(std::vector<std::int32_t>(50, 7)));

// The failure text of `operation` run by the user `player` in a child process, which does
// nothing else; an empty text when it succeeds.
QString failureAs(const passwd &player, const std::function<void()> &operation)
{
    int ends[2];
    if (::pipe(ends) != 0)
        return QStringLiteral("no pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        if (::setgroups(0, nullptr) != 0
            || ::setresgid(player.pw_gid, player.pw_gid, player.pw_gid) != 0
            || ::setresuid(player.pw_uid, player.pw_uid, player.pw_uid) != 0)
            ::_exit(2);
        const QByteArray text = failureOf(operation).toUtf8();
        const bool sent
            = ::write(ends[1], text.constData(), std::size_t(text.size())) == text.size();
        ::_exit(sent ? 0 : 3);
    }
    ::close(ends[1]);
    QByteArray text;
    char buffer[256];
    for (ssize_t got; (got = ::read(ends[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, got);
    ::close(ends[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)
        || WEXITSTATUS(status) != 0)
        return QStringLiteral("the player's process failed: %1").arg(status);
    return QString::fromUtf8(text);
}

} // namespace

class TestSavedGame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void savedGameComesBackAsItWas_data()
    {
        QTest::addColumn<GameState>("saved");
        for (int kind = 0; kind < kLayoutCount; ++kind) {
            GameState game;
            game.SetUpLayout(kind);
            QTest::addRow("layout %d", kind) << game;
        }
        QTest::newRow("after a few moves, with a peg held") << gameInPlay();
    }

    void savedGameComesBackAsItWas()
    {
        QFETCH(GameState, saved);
        QTemporaryDir folder;
        const std::string path = nativePath(folder.filePath(QStringLiteral("Game0.sav")));
        PosixRecordFiles files;
        saved.SaveGame(path, files);
        QCOMPARE(QFileInfo(QString::fromStdString(path)).size(), 200);

        GameState loaded;
        loaded.SetUpLayout(LatinCross);
        loaded.HandleClick(4, 3);
        loaded.LoadGame(path, files);

        QVERIFY(samePosition(loaded, saved));
        QCOMPARE(entriesOf(folder.path()), QStringList {QStringLiteral("Game0.sav")});
    }

    void fullBoardIsSavedAsTheseBytes()
    {
        GameState game;
        game.SetUpLayout(FullBoard);
        const std::array<std::int32_t, 7> edge = {9, 9, 1, 1, 1, 9, 9};
        const std::array<std::int32_t, 7> full = {1, 1, 1, 1, 1, 1, 1};
        const std::array<std::int32_t, 7> middle = {1, 1, 1, 0, 1, 1, 1};
        const QByteArray expected
            = asBytes(fileHolding(recordsOf(0, {edge, edge, full, middle, full, edge, edge})));

        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("Game0.sav"));
        PosixRecordFiles files;
        game.SaveGame(nativePath(path), files);
        QCOMPARE(contentsOf(path), expected);
    }

    void anyValuesInTheFileAreLoadedUnchecked()
    {
        const std::array<std::int32_t, 7> odd = {5, -1, 1, 1, 0, 2, 2};
        const std::array<std::int32_t, 7> holes = {9, 9, 0, 0, 0, 9, 9};
        QByteArray bytes
            = asBytes(fileHolding(recordsOf(200, {odd, holes, odd, holes, holes, holes, holes})));
        // Two bytes more than the 50 records: reading a 51st record would fail.
        bytes += "\xAB\xAB";
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("hand-made.sav"));
        QVERIFY(writeFile(path, bytes));
        GameState game;
        game.SetUpLayout(FullBoard);
        PosixRecordFiles files;

        game.LoadGame(nativePath(path), files);

        QCOMPARE(game.BoardKind, 200);
        QCOMPARE(game.Board[1][1], 5);
        QCOMPARE(game.Board[1][2], -1);
        QCOMPARE(game.Board[3][2], -1);
        QCOMPARE(game.Board[7][7], int(OffBoard));
        // Four pegs and four selected pegs: the odd values are never counted.
        QCOMPARE(game.CountPegs(), 8);
        QVERIFY(game.NothingSelected);

        // Saved again, every value keeps its four bytes, the sign's included.
        const QString again = folder.filePath(QStringLiteral("again.sav"));
        game.SaveGame(nativePath(again), files);
        QCOMPARE(contentsOf(again), bytes.first(200));

        const GameState loaded = game;
        game.SetUpLayout(game.BoardKind);
        QVERIFY(game == loaded);
    }

    void singleSelectedPegInTheFileComesBackSelected_data()
    {
        QTest::addColumn<Cells>("selectedCells");
        QTest::addColumn<bool>("nothingSelected");
        QTest::newRow("one") << Cells {{4, 2}} << false;
        QTest::newRow("none") << Cells {} << true;
        QTest::newRow("two") << Cells {{4, 2}, {3, 5}} << true;
    }

    void singleSelectedPegInTheFileComesBackSelected()
    {
        QFETCH(Cells, selectedCells);
        QFETCH(bool, nothingSelected);
        GameState saved;
        saved.SetUpLayout(FullBoard);
        for (auto [column, row] : selectedCells)
            saved.Board[column][row] = Selected;
        FakeRecordFiles files;
        saved.SaveGame("Game0.sav", files);
        // The game that loads it holds a peg of its own at (5, 5).
        GameState game = gameInPlay();

        game.LoadGame("Game0.sav", files);

        QCOMPARE(game.Board, saved.Board);
        QCOMPARE(game.NothingSelected, nothingSelected);
        if (!nothingSelected) {
            QCOMPARE(game.SelectedColumn, 4);
            QCOMPARE(game.SelectedRow, 2);
            // The loaded selection plays like one made by a click: it jumps.
            game.HandleClick(4, 4);
            QCOMPARE(game.Board[4][2], int(Empty));
            QCOMPARE(game.Board[4][4], int(Peg));
        } else {
            QCOMPARE(game.SelectedColumn, 5);
            QCOMPARE(game.SelectedRow, 5);
            // Any ordinary peg can be taken up next.
            game.HandleClick(3, 3);
            QCOMPARE(game.Board[3][3], int(Selected));
        }
    }

    void failureEndsTheCommandWithItsTextAndLosesNothing_data()
    {
        QTest::addColumn<bool>("saving");
        QTest::addColumn<int>("failingStep");
        QTest::addColumn<QString>("injected");
        QTest::addColumn<QString>("expected");
        struct Cause
        {
            const char *name;
            std::string injected;
            const char *expected;
        };
        const Cause causes[] = {
            {"file not found", fileErrorText(ENOENT), "File not found"},
            {"invalid filename", fileErrorText(ENAMETOOLONG), "Invalid filename"},
            {"too many open files", fileErrorText(EMFILE), "Too many open files"},
            {"access denied", fileErrorText(EACCES), "File access denied"},
            {"read beyond end of file", "Read beyond end of file", "Read beyond end of file"},
            {"disk full", "Disk full", "Disk full"},
            {"other system error", fileErrorText(ENOSPC), "I/O error 28"},
        };
        const std::pair<const char *, int> steps[]
            = {{"opening", 0}, {"first record", 1}, {"middle record", 25}, {"committing", 51}};
        for (bool saving : {true, false}) {
            for (const Cause &cause : causes) {
                const bool shortTransfer
                    = cause.injected == "Read beyond end of file" || cause.injected == "Disk full";
                if (cause.injected == (saving ? "Read beyond end of file" : "Disk full"))
                    continue;
                for (auto [where, step] : steps) {
                    if ((shortTransfer && (step == 0 || step == 51)) || (!saving && step == 51))
                        continue;
                    QTest::addRow("%s: %s at %s", saving ? "save" : "load", cause.name, where)
                        << saving << step << QString::fromStdString(cause.injected)
                        << QString::fromUtf8(cause.expected);
                }
            }
        }
    }

    void failureEndsTheCommandWithItsTextAndLosesNothing()
    {
        QFETCH(bool, saving);
        QFETCH(int, failingStep);
        QFETCH(QString, injected);
        QFETCH(QString, expected);
        GameState other;
        other.SetUpLayout(Pyramid);
        FakeRecordFiles files;
        files.onDisk = fileHolding(std::vector<std::int32_t>(50, Peg));
        files.failingStep = failingStep;
        files.failure = injected.toStdString();
        const std::vector<unsigned char> oldFile = files.onDisk;
        GameState game = gameInPlay();
        const GameState before = game;

        const QString shown = failureOf([&] {
            if (saving)
                game.SaveGame("Game0.sav", files);
            else
                game.LoadGame("Game0.sav", files);
        });

        QCOMPARE(shown, expected);
        QVERIFY(game == before);
        QVERIFY(files.onDisk == oldFile);
        QVERIFY(!files.isOpen);
    }

    // Files that cannot be loaded, on disk: the game stays as it was, and nothing waits.
    void loadingAFileThatCannotBeReadChangesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        const QString notFound = QStringLiteral("File not found");
        const QString denied = QStringLiteral("File access denied");
        const QString tooShort = QStringLiteral("Read beyond end of file");
        QTest::newRow("missing file") << QStringLiteral("missing.sav") << notFound;
        QTest::newRow("empty file") << QStringLiteral("empty.sav") << tooShort;
        QTest::newRow("100-byte file") << QStringLiteral("half.sav") << tooShort;
        QTest::newRow("199-byte file") << QStringLiteral("almost.sav") << tooShort;
        QTest::newRow("folder") << QStringLiteral("folder") << denied;
        QTest::newRow("named pipe") << QStringLiteral("pipe") << denied;
        QTest::newRow("path through a file")
            << QStringLiteral("half.sav/Game0.sav") << QStringLiteral("Invalid filename");
    }

    void loadingAFileThatCannotBeReadChangesNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        const QByteArray full = asBytes(fileHolding(std::vector<std::int32_t>(50, Peg)));
        QVERIFY(writeFile(folder.filePath(QStringLiteral("empty.sav")), {}));
        QVERIFY(writeFile(folder.filePath(QStringLiteral("half.sav")), full.first(100)));
        QVERIFY(writeFile(folder.filePath(QStringLiteral("almost.sav")), full.first(199)));
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("folder")));
        QCOMPARE(::mkfifo(nativePath(folder.filePath(QStringLiteral("pipe"))).c_str(), 0600), 0);
        GameState game = gameInPlay();
        const GameState before = game;
        PosixRecordFiles files;
        QElapsedTimer timer;
        timer.start();

        const QString shown
            = failureOf([&] { game.LoadGame(nativePath(folder.filePath(name)), files); });

        QCOMPARE(shown, expected);
        QVERIFY(game == before);
        QCOMPARE_LT(timer.elapsed(), 2000);
    }

    // Failed saves on disk: the old file keeps every byte, and no new file is left behind.
    void savingWhereItCannotBeDoneLeavesTheOldFile_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("expected");
        const QString denied = QStringLiteral("File access denied");
        QTest::newRow("read-only file") << QStringLiteral("old.sav") << denied;
        QTest::newRow("folder") << QStringLiteral("folder") << denied;
        QTest::newRow("named pipe") << QStringLiteral("pipe") << denied;
        QTest::newRow("device") << QStringLiteral("full") << denied;
        QTest::newRow("missing folder")
            << QStringLiteral("missing/Game0.sav") << QStringLiteral("File not found");
        QTest::newRow("path through a file")
            << QStringLiteral("old.sav/Game0.sav") << QStringLiteral("Invalid filename");
    }

    void savingWhereItCannotBeDoneLeavesTheOldFile()
    {
        QFETCH(QString, target);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        const QString oldPath = folder.filePath(QStringLiteral("old.sav"));
        QVERIFY(writeFile(oldPath, kOldSave));
        // No write permission for anyone: refused even to root, whom the system lets write.
        QVERIFY(QFile::setPermissions(oldPath, QFile::ReadOwner | QFile::ReadGroup));
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("folder")));
        QCOMPARE(::mkfifo(nativePath(folder.filePath(QStringLiteral("pipe"))).c_str(), 0600), 0);
        // A device like /dev/full, whose writes all fail, made here so that no test can
        // ever write to the system's own.
        if (target == QLatin1String("full")
            && ::mknod(nativePath(folder.filePath(target)).c_str(), S_IFCHR | 0666, makedev(1, 7))
                != 0)
            QSKIP("Making a device node needs root");
        const QStringList entries = entriesOf(folder.path());
        const GameState game = gameInPlay();
        PosixRecordFiles files;

        QCOMPARE(failureOf([&] {
                     game.SaveGame(nativePath(QDir(folder.path()).filePath(target)), files);
                 }),
                 expected);

        QCOMPARE(contentsOf(oldPath), kOldSave);
        QCOMPARE(entriesOf(folder.path()), entries);
    }

    // A player who is not root saves over a file they may write, wherever it lies; the file
    // stays the same file, with its owner, permissions and other names.
    void playerSavesOverAnyFileTheyMayWrite_data()
    {
        QTest::addColumn<bool>("playersFolder");
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<bool>("playersFile");
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<bool>("secondName");
        QTest::addColumn<bool>("newName");
        QTest::addColumn<bool>("longer");
        QTest::addColumn<QString>("expected");
        const QString denied = QStringLiteral("File access denied");
        QTest::newRow("file shared in a folder the player may not write")
            << false << 0755 << false << 0666 << false << false << false << QString();
        QTest::newRow("new file in a folder the player may not write")
            << false << 0755 << false << 0666 << false << true << false << denied;
        QTest::newRow("another user's file in a sticky folder")
            << false << 01777 << false << 0666 << false << false << false << QString();
        QTest::newRow("file with a second name")
            << true << 0755 << true << 0640 << true << false << false << QString();
        QTest::newRow("another user's file in the player's folder")
            << true << 0755 << false << 0666 << false << false << false << QString();
        QTest::newRow("another user's file the player may write but not read")
            << true << 0755 << false << 0622 << false << false << false << QString();
        QTest::newRow("another user's read-only file in the player's folder")
            << true << 0755 << false << 0644 << false << false << false << denied;
        // Cutting off the old tail would be a second step, which a kill could split from the
        // first: written in place, such a file is left as it is.
        QTest::newRow("longer file with a second name")
            << true << 0755 << true << 0640 << true << false << true << denied;
        QTest::newRow("another user's longer file the player may write but not read")
            << true << 0755 << false << 0622 << false << false << true << denied;
    }

    void playerSavesOverAnyFileTheyMayWrite()
    {
        QFETCH(bool, playersFolder);
        QFETCH(int, folderMode);
        QFETCH(bool, playersFile);
        QFETCH(int, fileMode);
        QFETCH(bool, secondName);
        QFETCH(bool, newName);
        QFETCH(bool, longer);
        QFETCH(QString, expected);
        const passwd *player = ::getpwnam("nobody");
        if (!player)
            QSKIP("No user 'nobody' to save as");
        if (::geteuid() != 0)
            QSKIP("Saving as the user 'nobody' needs root");
        QTemporaryDir top;
        QCOMPARE(::chmod(nativePath(top.path()).c_str(), 0755), 0);
        const GameState game = gameInPlay();
        const QString reference = top.filePath(QStringLiteral("reference.sav"));
        PosixRecordFiles files;
        game.SaveGame(nativePath(reference), files);
        const QString folder = top.filePath(QStringLiteral("games"));
        const QString path = folder + QStringLiteral("/Game0.sav");
        const QString copy = folder + QStringLiteral("/copy.sav");
        const QByteArray old = longer ? kOldSave + kOldSave : kOldSave;
        QVERIFY(QDir(top.path()).mkdir(QStringLiteral("games")) && writeFile(path, old));
        // Whatever is not the player's belongs to root.
        const auto ownerOf = [&](bool players) { return players ? player->pw_uid : uid_t(0); };
        QCOMPARE(::chown(nativePath(folder).c_str(), ownerOf(playersFolder), 0), 0);
        QCOMPARE(::chmod(nativePath(folder).c_str(), mode_t(folderMode)), 0);
        QCOMPARE(::chown(nativePath(path).c_str(), ownerOf(playersFile), 0), 0);
        QCOMPARE(::chmod(nativePath(path).c_str(), mode_t(fileMode)), 0);
        if (secondName)
            QCOMPARE(::link(nativePath(path).c_str(), nativePath(copy).c_str()), 0);
        const QStringList entries = entriesOf(folder);
        struct stat before
        {
        };
        QCOMPARE(::stat(nativePath(path).c_str(), &before), 0);

        const QString saved = newName ? folder + QStringLiteral("/New.sav") : path;

        QCOMPARE(failureAs(*player, [&] { game.SaveGame(nativePath(saved), files); }), expected);

        QCOMPARE(contentsOf(path), expected.isEmpty() ? contentsOf(reference) : old);
        if (secondName)
            QCOMPARE(contentsOf(copy), contentsOf(path));
        struct stat after
        {
        };
        QCOMPARE(::stat(nativePath(path).c_str(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_nlink, before.st_nlink);
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(after.st_gid, before.st_gid);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(entriesOf(folder), entries);
    }

    // A save that fails part-way through writing, as on a full disk, leaves the old file.
    void saveCutShortLeavesTheOldFile_data()
    {
        QTest::addColumn<int>("sizeLimit");
        QTest::addColumn<QString>("expected");
        QTest::newRow("record half written") << 102 << QStringLiteral("Disk full");
        QTest::newRow("record refused")
            << 100 << QStringLiteral("I/O error ") + QString::number(EFBIG);
    }

    void saveCutShortLeavesTheOldFile()
    {
        QFETCH(int, sizeLimit);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("Game0.sav"));
        QVERIFY(writeFile(path, kOldSave));
        const GameState game = gameInPlay();
        PosixRecordFiles files;

        // The system's limit on file size stops the write the way a full disk would.
        rlimit oldLimit {};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
        rlimit limit = oldLimit;
        limit.rlim_cur = rlim_t(sizeLimit);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        const QString shown = failureOf([&] { game.SaveGame(nativePath(path), files); });
        ::setrlimit(RLIMIT_FSIZE, &oldLimit);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(shown, expected);
        QCOMPARE(contentsOf(path), kOldSave);
        QCOMPARE(entriesOf(folder.path()), QStringList {QStringLiteral("Game0.sav")});
    }
};

QTEST_APPLESS_MAIN(TestSavedGame)
#include "tst_savedgame.moc"
