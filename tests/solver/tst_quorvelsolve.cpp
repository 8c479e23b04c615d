// quorvel-solve run as a player runs it: what it prints, its exit status and its errors.
#include "model/GameState.h"
#include "platform/Failure.h"
#include "platform/RecordFile.h"
#include "resources/Texts.h"
#include "solver/Enumeration.h"
#include "tests/DiskFiles.h"
#include "tests/Positions.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

Run runSolver(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(QUORVEL_SOLVE), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QString text(const std::string &utf8)
{
    return QString::fromStdString(utf8);
}

// `game`, saved by the game itself as `name` in `folder`; gives the file's path.
QString saveIn(const QTemporaryDir &folder, GameState game, const char *name)
{
    const QString path = folder.filePath(QString::fromLatin1(name));
    PosixRecordFiles files;
    game.SaveGame(nativePath(path), files);
    return path;
}

// A playfield with pegs only on `pegs`, saved by the game itself.
void saveWithPegs(const QString &path, const std::vector<std::pair<int, int>> &pegs)
{
    GameState game = withPegsOnly(pegs);
    PosixRecordFiles files;
    game.SaveGame(nativePath(path), files);
}

// The file the game saves for the full board with values put into cells: {column, row, value}.
QByteArray fullBoardFileWith(std::initializer_list<std::array<std::int32_t, 3>> cells)
{
    GameState game;
    game.SetUpLayout(FullBoard);
    for (const auto &[column, row, value] : cells)
        game.Board[column][row] = value;
    QTemporaryDir folder;
    return contentsOf(saveIn(folder, game, "odd.sav"));
}

} // namespace

class TestQuorvelSolve : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fullBoardGetsJumpsThatWinInTheGame()
    {
        const Run run = runSolver({QStringLiteral("--layout"), QStringLiteral("0")});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QString());
        QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(
            lines.takeFirst(),
            text(Texts::fillIn(Texts::kSolverLayoutHeading, {Texts::kHintFullBoard, "32 фишки"})));
        QCOMPARE(lines.takeFirst(), text(Texts::fillIn(Texts::kSolverWinnable, {"31 прыжок"})));
        QCOMPARE(lines.size(), 31);

        GameState game;
        game.SetUpLayout(FullBoard);
        const QRegularExpression jump(
            QStringLiteral(R"(^ ?(\d+)\. \((\d),(\d)\) -> \((\d),(\d)\)$)"));
        for (int i = 0; i < lines.size(); ++i) {
            const QRegularExpressionMatch match = jump.match(lines[i]);
            QVERIFY2(match.hasMatch(), qPrintable(lines[i]));
            QCOMPARE(match.captured(1).toInt(), i + 1);
            const Notice last = i + 1 == lines.size() ? Notice::WinNotice : Notice::None;
            QCOMPARE(game.HandleClick(match.captured(2).toInt(), match.captured(3).toInt()).Message,
                     Notice::None);
            QCOMPARE(game.HandleClick(match.captured(4).toInt(), match.captured(5).toInt()).Message,
                     last);
        }
        QCOMPARE(game.CountPegs(), 1);
    }

    void lostPositionShowsTheBestAndEndsWithStatusOne()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("lost.sav"));
        saveWithPegs(path, {{1, 4}, {2, 4}, {7, 4}});
        const Run run = runSolver({path});
        QCOMPARE(run.status, 1);
        const QString expected
            = text(Texts::fillIn(Texts::kSolverFileHeading, {nativePath(path), "3 фишки"})) + u'\n'
            + text(Texts::fillIn(Texts::kSolverNotWinnable, {"2 фишки", "1 прыжок"}))
            + QStringLiteral("\n 1. (1,4) -> (3,4)\n");
        QCOMPARE(run.out, expected);
    }

    void heldPegIsPutDownBeforeTheJumps()
    {
        GameState saved;
        saved.SetUpLayout(LatinCross);
        saved.HandleClick(4, 5);
        QTemporaryDir folder;
        const QString path = saveIn(folder, saved, "held.sav");

        const Run run = runSolver({path});
        QCOMPARE(run.status, 0);
        QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2 + 1 + 5);
        QCOMPARE(lines[2], text(Texts::fillIn(Texts::kSolverPutDownFirst, {"(4,5)"})));

        GameState game;
        PosixRecordFiles files;
        game.LoadGame(nativePath(path), files);
        QCOMPARE(game.HandleClick(4, 5).Message, Notice::None);
        const QRegularExpression jump(QStringLiteral(R"(\((\d),(\d)\) -> \((\d),(\d)\)$)"));
        for (const QString &line : lines.mid(3)) {
            const QRegularExpressionMatch match = jump.match(line);
            game.HandleClick(match.captured(1).toInt(), match.captured(2).toInt());
            game.HandleClick(match.captured(3).toInt(), match.captured(4).toInt());
        }
        QCOMPARE(game.CountPegs(), 1);
    }

    void badInputEndsWithTheGamesTextAndStatusTwo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("contents"); // of FILE; a null array leaves it unwritten
        QTest::addColumn<QString>("message");
        const QStringList file = {QStringLiteral("FILE")};
        const auto shown = [](const char *failure) { return text(withFullStop(failure)); };
        QTest::newRow("missing file") << file << QByteArray() << shown(Texts::kFileNotFound);
        QTest::newRow("short file")
            << file << QByteArray(100, '\1') << shown(Texts::kReadBeyondEndOfFile);
        QTest::newRow("odd cell value")
            << file << fullBoardFileWith({{5, 2, 7}})
            << text(Texts::fillIn(Texts::kSolverOddValue, {"(5,2)", "7"}) + ".");
        QTest::newRow("folder") << QStringList {QStringLiteral("DIR")} << QByteArray()
                                << shown(Texts::kFileAccessDenied);
        QTest::newRow("layout out of range")
            << QStringList {QStringLiteral("--layout"), QStringLiteral("7")} << QByteArray()
            << text(Texts::fillIn(Texts::kSolverBadLayoutNumber, {"7"}));
        QTest::newRow("layout without number")
            << QStringList {QStringLiteral("--count"), QStringLiteral("--layout")} << QByteArray()
            << text(Texts::kSolverNoLayoutNumber);
        QTest::newRow("unknown option")
            << QStringList {QStringLiteral("--fast")} << QByteArray()
            << text(Texts::fillIn(Texts::kSolverUnknownOption, {"--fast"}));
        QTest::newRow("no position") << QStringList {QStringLiteral("--count")} << QByteArray()
                                     << text(Texts::kSolverNoPosition);
        QTest::newRow("two positions")
            << QStringList {QStringLiteral("FILE"), QStringLiteral("--layout"), QStringLiteral("1")}
            << QByteArray() << text(Texts::kSolverTwoPositions);
        QTest::newRow("two counts")
            << QStringList {QStringLiteral("--count"), QStringLiteral("--ways"),
                            QStringLiteral("--layout"), QStringLiteral("1")}
            << QByteArray() << QStringLiteral("укажите что-то одно: --count или --ways");
        // Such pegs can be neither picked up nor jumped in the game.
        QTest::newRow("several selected pegs")
            << QStringList {QStringLiteral("--ways"), QStringLiteral("FILE")}
            << fullBoardFileWith({{4, 2, Selected}, {2, 4, Selected}, {6, 5, Selected}})
            << QStringLiteral("Выбранных фишек (2 в клетке) несколько: (2,4), (4,2), (6,5). "
                              "Игра не даёт ни взять, ни перепрыгнуть их, поэтому решатель такую "
                              "позицию не принимает.");
    }

    void badInputEndsWithTheGamesTextAndStatusTwo()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, contents);
        QFETCH(QString, message);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("game.sav"));
        if (!contents.isNull())
            QVERIFY(writeFile(path, contents));
        arguments.replaceInStrings(QStringLiteral("FILE"), path);
        arguments.replaceInStrings(QStringLiteral("DIR"), folder.path());

        const Run run = runSolver(arguments);
        QCOMPARE(run.status, 2);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.startsWith(QStringLiteral("quorvel-solve: ")), qPrintable(run.err));
        QVERIFY2(run.err.contains(message + u'\n'), qPrintable(run.err));
    }

    void countListsEachNumberOfJumpsAndTheTotal()
    {
        GameState game;
        game.SetUpLayout(GreekCross);
        const PositionCounts counts = countPositions(crossPositionOf(game));
        QString table;
        for (std::size_t jumps = 0; jumps < counts.afterJumps.size(); ++jumps)
            table += QStringLiteral("%1%2\n").arg(jumps, 7).arg(counts.afterJumps[jumps], 10);

        const Run run = runSolver(
            {QStringLiteral("--count"), QStringLiteral("--layout"), QStringLiteral("2")});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.contains(
            text(Texts::kSolverCountColumns) + u'\n' + table
            + text(Texts::fillIn(Texts::kSolverCountTotal, {std::to_string(counts.total())}))
            + u'\n'));
        // Not a terminal: progress comes as one line each time.
        QVERIFY(run.err.startsWith(text(Texts::fillIn(Texts::kSolverCountProgress, {"0", "1"}))
                                   + u'\n'));
    }

    // The counts come from a separate plain program that played out every sequence of the lamp.
    // A peg held in a saved game is a peg like any other: it can be put down first.
    void waysCountsEveryGameExactly_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("heading");
        QTest::newRow("layout") << QStringList {QStringLiteral("--ways"),
                                                QStringLiteral("--layout"), QStringLiteral("4")}
                                << QStringLiteral("Расстановка «Лампа»: 17 фишек.");
        QTest::newRow("saved game, a peg held")
            << QStringList {QStringLiteral("FILE"), QStringLiteral("--ways")}
            << QStringLiteral("Позиция из FILE: 17 фишек.");
    }

    void waysCountsEveryGameExactly()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, heading);
        GameState lamp;
        lamp.SetUpLayout(Lamp);
        lamp.HandleClick(4, 7);
        QTemporaryDir folder;
        const QString path = saveIn(folder, lamp, "lamp.sav");
        arguments.replaceInStrings(QStringLiteral("FILE"), path);

        const Run run = runSolver(arguments);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out,
                 heading.replace(QStringLiteral("FILE"), path)
                     + QStringLiteral(
                         "\n"
                         "Разных партий (партии, которые расходятся хоть в одном прыжке, разные):\n"
                         "  всех, пока есть прыжки:                   835 043 470\n"
                         "  выигранных, с одной фишкой в конце:         3 884 200\n"
                         "  из них с последней фишкой в центре (4,4):   1 942 100\n"));
        QVERIFY(run.err.startsWith(QStringLiteral("Прыжков: 0, позиций: 1\n")));
    }
};

QTEST_APPLESS_MAIN(TestQuorvelSolve)
#include "tst_quorvelsolve.moc"
