// quorvel-solve run as a player runs it: what it prints, its exit status and its errors.
#include "model/GameState.h"
#include "platform/RecordFile.h"
#include "solver/Enumeration.h"
#include "tests/DiskFiles.h"
#include "tests/Positions.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVEL_ADDRESS_SANITIZER
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QUORVEL_ADDRESS_SANITIZER
#endif

namespace {

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

// `prepare` runs in the child before the program starts, as a shell would set it up. With
// `merged`, standard error goes into the same pipe as standard output, and `out` holds both.
Run runSolver(const QStringList &arguments, const std::function<void()> &prepare = {},
              bool merged = false)
{
    QProcess process;
    if (merged)
        process.setProcessChannelMode(QProcess::MergedChannels);
    if (prepare)
        process.setChildProcessModifier(prepare);
    process.start(QStringLiteral(QUORVEL_SOLVE), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            merged ? QString() : QString::fromUtf8(process.readAllStandardError())};
}

// `game`, saved by the game itself as `name` in `folder`; gives the file's path.
QString saveIn(const QTemporaryDir &folder, GameState game, const char *name)
{
    const QString path = folder.filePath(QString::fromUtf8(name));
    PosixRecordFiles files;
    game.SaveGame(nativePath(path), files);
    return path;
}

using Cells = std::vector<std::pair<int, int>>;

// A playfield with pegs only on `pegs`, saved by the game itself.
void saveWithPegs(const QString &path, const Cells &pegs)
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
        QCOMPARE(lines.takeFirst(), QStringLiteral("Расстановка «Кворвел»: 32 фишки."));
        QCOMPARE(lines.takeFirst(), QStringLiteral("Позицию можно выиграть за 31 прыжок:"));
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

    void lostPositionShowsTheBestAndEndsWithStatusOne_data()
    {
        QTest::addColumn<Cells>("pegs");
        QTest::addColumn<QString>("answer"); // after "Позиция из FILE: "
        QTest::newRow("one jump to the best")
            << Cells {{1, 4}, {2, 4}, {7, 4}}
            << QStringLiteral("3 фишки.\nВыиграть нельзя. Меньше всего останется 2 фишки, за 1 "
                              "прыжок:\n 1. (1,4) -> (3,4)\n");
        // No two pegs side by side.
        QTest::newRow("no jump, eleven pegs")
            << Cells {{3, 1}, {5, 1}, {4, 2}, {1, 3}, {3, 3}, {5, 3},
                      {7, 3}, {2, 4}, {4, 4}, {6, 4}, {1, 5}}
            << QStringLiteral("11 фишек.\nВыиграть нельзя: ни одного прыжка сделать нельзя.\n");
        // The last numbers before the many-form: 4, and 14 of the teens.
        QTest::newRow("no jump, four pegs")
            << Cells {{3, 3}, {5, 5}, {4, 7}, {1, 5}}
            << QStringLiteral("4 фишки.\nВыиграть нельзя: ни одного прыжка сделать нельзя.\n");
        QTest::newRow("no jump, fourteen pegs")
            << Cells {{1, 3}, {1, 5}, {2, 4}, {3, 1}, {3, 3}, {3, 5}, {3, 7},
                      {4, 2}, {4, 4}, {4, 6}, {5, 1}, {5, 3}, {5, 5}, {5, 7}}
            << QStringLiteral("14 фишек.\nВыиграть нельзя: ни одного прыжка сделать нельзя.\n");
    }

    void lostPositionShowsTheBestAndEndsWithStatusOne()
    {
        QFETCH(Cells, pegs);
        QFETCH(QString, answer);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("lost.sav"));
        saveWithPegs(path, pegs);
        const Run run = runSolver({path});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QStringLiteral("Позиция из ") + path + QStringLiteral(": ") + answer);
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
        QCOMPARE(lines[1], QStringLiteral("Позицию можно выиграть за 5 прыжков:"));
        QCOMPARE(
            lines[2],
            QStringLiteral("Фишка (4,5) уже выбрана: сначала щёлкните по ней, чтобы положить её."));

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
        // A name that would clear the terminal and split the line is shown escaped.
        QTest::newRow("missing file, control characters in its name")
            << QStringList {QStringLiteral("DIR/\x1b[2Jgone\n.sav")} << QByteArray()
            << QStringLiteral("DIR/\\x1b[2Jgone\\n.sav: File not found.");
        QTest::newRow("missing file, its name in KOI8-R")
            << QStringList {QStringLiteral("RAW:DIR/\u00c9\u00c7\u00d2\u00c1.sav")} << QByteArray()
            << QStringLiteral("DIR/\\xc9\\xc7\\xd2\\xc1.sav: File not found.");
        QTest::newRow("short file")
            << file << QByteArray(100, '\1') << QStringLiteral("Read beyond end of file.");
        QTest::newRow("odd cell value")
            << file << fullBoardFileWith({{5, 2, 7}})
            << QStringLiteral("В клетке (5,2) стоит 7, а решатель знает только 0, 1, 2 и 9.");
        QTest::newRow("folder") << QStringList {QStringLiteral("DIR")} << QByteArray()
                                << QStringLiteral("File access denied.");
        QTest::newRow("layout out of range")
            << QStringList {QStringLiteral("--layout"), QStringLiteral("7")} << QByteArray()
            << QStringLiteral("номер расстановки должен быть от 0 до 6, а не «7»");
        QTest::newRow("layout without number")
            << QStringList {QStringLiteral("--count"), QStringLiteral("--layout")} << QByteArray()
            << QStringLiteral("после --layout нужен номер от 0 до 6");
        // A mistake in the arguments points to the help.
        QTest::newRow("unknown option, a control character in it")
            << QStringList {QStringLiteral("--fast\x1b[2J")} << QByteArray()
            << QStringLiteral("неизвестный параметр «--fast\\x1b[2J»\n"
                              "Подробнее: quorvel-solve --help");
        QTest::newRow("help, then another word")
            << QStringList {QStringLiteral("--help"), QStringLiteral("extra")} << QByteArray()
            << QStringLiteral("--help пишут отдельно, без «extra»\n"
                              "Подробнее: quorvel-solve --help");
        QTest::newRow("another word, then -h")
            << QStringList {QStringLiteral("--count"), QStringLiteral("-h")} << QByteArray()
            << QStringLiteral("--help пишут отдельно, без «--count»");
        QTest::newRow("no position")
            << QStringList {QStringLiteral("--count")} << QByteArray()
            << QStringLiteral("укажите файл сохранённой игры или --layout N");
        QTest::newRow("two positions")
            << QStringList {QStringLiteral("FILE"), QStringLiteral("--layout"), QStringLiteral("1")}
            << QByteArray()
            << QStringLiteral("укажите одну позицию: файл сохранённой игры или --layout N");
        QTest::newRow("a layout, then a file")
            << QStringList {QStringLiteral("--layout"), QStringLiteral("1"), QStringLiteral("FILE")}
            << QByteArray()
            << QStringLiteral("укажите одну позицию: файл сохранённой игры или --layout N");
        QTest::newRow("two layouts")
            << QStringList {QStringLiteral("--layout"), QStringLiteral("1"),
                            QStringLiteral("--layout"), QStringLiteral("2")}
            << QByteArray()
            << QStringLiteral("укажите одну позицию: файл сохранённой игры или --layout N");
        QTest::newRow("two counts")
            << QStringList {QStringLiteral("--count"), QStringLiteral("--ways"),
                            QStringLiteral("--layout"), QStringLiteral("1")}
            << QByteArray() << QStringLiteral("укажите что-то одно: --count или --ways");
        // Such pegs can be neither picked up nor jumped in the game; two are already too many.
        QTest::newRow("two selected pegs")
            << QStringList {QStringLiteral("--ways"), QStringLiteral("FILE")}
            << fullBoardFileWith({{6, 5, Selected}, {2, 4, Selected}})
            << QStringLiteral("Выбранных фишек (2 в клетке) несколько: (2,4), (6,5). "
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
        message.replace(QStringLiteral("DIR"), folder.path());
        // A name that is not UTF-8 (an old KOI8-R name) cannot pass through QString: the row
        // gives its bytes as Latin-1 after "RAW:", and the child is started with them as they are.
        QByteArray raw;
        if (arguments.size() == 1 && arguments[0].startsWith(QStringLiteral("RAW:")))
            raw = arguments[0].mid(4).toLatin1();
        std::array<char *, 3> argv {const_cast<char *>(QUORVEL_SOLVE), raw.data(), nullptr};
        const auto startRaw = [&argv] { ::execv(argv[0], argv.data()); };

        const Run run = runSolver(arguments, raw.isEmpty() ? std::function<void()>() : startRaw);
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

        // On one processor the program's own thread does all the walk. The program inherits
        // the processors the test may run on.
        cpu_set_t allowed;
        QCOMPARE(::sched_getaffinity(0, sizeof allowed, &allowed), 0);
        cpu_set_t one;
        CPU_ZERO(&one);
        for (int cpu = 0; CPU_COUNT(&one) == 0 && cpu < CPU_SETSIZE; ++cpu)
            if (CPU_ISSET(cpu, &allowed))
                CPU_SET(cpu, &one);
        QCOMPARE(::sched_setaffinity(0, sizeof one, &one), 0);
        const Run run = runSolver(
            {QStringLiteral("--count"), QStringLiteral("--layout"), QStringLiteral("2")});
        QCOMPARE(::sched_setaffinity(0, sizeof allowed, &allowed), 0);
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.contains(QStringLiteral("Прыжков   Позиций\n") + table
                                 + QStringLiteral("Всего: %1\n").arg(counts.total())));
    }

    // On a terminal the progress is one line that keeps being rewritten and is wiped at the end;
    // elsewhere, in a file or a pipe, it comes as plain lines. Standard error decides. An answer
    // found before any progress is due leaves the terminal untouched.
    void progressIsRewrittenOnlyOnATerminal_data()
    {
        QTest::addColumn<bool>("errorOnTerminal");
        QTest::addColumn<QStringList>("arguments");
        // The first progress line, as a pattern; empty where none is due.
        QTest::addColumn<QString>("progress");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<int>("status");
        const QStringList count {QStringLiteral("--count"), QStringLiteral("--layout"),
                                 QStringLiteral("2")};
        const QString counted = QStringLiteral("Прыжков: 0, позиций: 1");
        const QString greek = QStringLiteral("Расстановка «Греческий крест»");
        QTest::newRow("standard error on a terminal") << true << count << counted << greek << 0;
        QTest::newRow("standard output on a terminal") << false << count << counted << greek << 0;
        QTest::newRow("a quick answer, standard error on a terminal")
            << true << count.mid(1) << QString() << greek << 0;
        // A search that looks at over a million positions before it finds the best it can do.
        QTest::newRow("a long search, standard error on a terminal")
            << true << QStringList {QStringLiteral("FILE")}
            << QStringLiteral("Просмотрено позиций: [0-9]+") << QStringLiteral("Позиция из ") << 1;
    }

    void progressIsRewrittenOnlyOnATerminal()
    {
        QFETCH(bool, errorOnTerminal);
        QFETCH(QStringList, arguments);
        QFETCH(QString, progress);
        QFETCH(QString, heading);
        QFETCH(int, status);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("long.sav"));
        saveWithPegs(path, {{1, 3}, {1, 5}, {2, 4}, {2, 5}, {3, 1}, {3, 2}, {3, 3}, {3, 5},
                            {3, 6}, {3, 7}, {4, 1}, {4, 2}, {4, 3}, {4, 4}, {4, 5}, {4, 6},
                            {4, 7}, {5, 1}, {5, 5}, {5, 7}, {6, 4}, {6, 5}, {7, 4}});
        arguments.replaceInStrings(QStringLiteral("FILE"), path);
        const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(terminal >= 0 && ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0);
        const QString side = QString::fromLocal8Bit(::ptsname(terminal));
        QProcess process;
        if (errorOnTerminal)
            process.setStandardErrorFile(side);
        else
            process.setStandardOutputFile(side);
        process.start(QStringLiteral(QUORVEL_SOLVE), arguments);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), status);
        QByteArray shown;
        char buffer[4096];
        for (ssize_t got; (got = ::read(terminal, buffer, sizeof buffer)) > 0;)
            shown.append(buffer, got);
        ::close(terminal);
        const QByteArray piped
            = errorOnTerminal ? process.readAllStandardOutput() : process.readAllStandardError();
        const auto startsWith = [](const QByteArray &text, const QString &pattern) {
            return QRegularExpression(QStringLiteral("\\A") + pattern)
                .match(QString::fromUtf8(text))
                .hasMatch();
        };
        if (progress.isEmpty()) {
            QVERIFY2(shown.isEmpty(), shown.constData());
            QVERIFY(startsWith(piped, heading));
        } else if (errorOnTerminal) {
            QVERIFY2(startsWith(shown, QStringLiteral("\r%1\x1b\\[K\r").arg(progress)),
                     shown.constData());
            QVERIFY2(shown.endsWith("\r\x1b[K"), shown.constData());
            QVERIFY(startsWith(piped, heading));
        } else {
            QVERIFY2(startsWith(piped, progress + u'\n'), piped.constData());
            QVERIFY(!piped.contains('\r') && !piped.contains('\x1b'));
            QVERIFY(startsWith(shown, heading));
        }
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
        // The name's control characters are shown escaped: it neither clears the terminal nor
        // splits the heading. Its letters of two, three and four bytes stay as they are.
        QTest::newRow("saved game, a peg held, control characters in its name")
            << QStringList {QStringLiteral("FILE"), QStringLiteral("--ways")}
            << QStringLiteral(
                   "Позиция из DIR/лампа\\x1b[2J\\n\\t\\r\\x7f\\xc2\\x9b\\\\№क🂡.sav: 17 фишек.");
    }

    void waysCountsEveryGameExactly()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, heading);
        GameState lamp;
        lamp.SetUpLayout(Lamp);
        lamp.HandleClick(4, 7);
        QTemporaryDir folder;
        const QString path = saveIn(folder, lamp, "лампа\x1b[2J\n\t\r\x7f\xc2\x9b\\№क🂡.sav");
        arguments.replaceInStrings(QStringLiteral("FILE"), path);

        const Run run = runSolver(arguments);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out,
                 heading.replace(QStringLiteral("DIR"), folder.path())
                     + QStringLiteral(
                         "\n"
                         "Разных партий (партии, которые расходятся хоть в одном прыжке, разные):\n"
                         "  всех, пока есть прыжки:                   835 043 470\n"
                         "  выигранных, с одной фишкой в конце:         3 884 200\n"
                         "  из них с последней фишкой в центре (4,4):   1 942 100\n"));
        QVERIFY(run.err.startsWith(QStringLiteral("Прыжков: 0, позиций: 1\n")));
    }

    void helpIsShownAndEndsWithStatusZero()
    {
        const Run run = runSolver({QStringLiteral("--help")});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QString());
        // The whole help, word for word and line for line.
        QCOMPARE(run.out, QStringLiteral(R"(Использование:
  quorvel-solve ФАЙЛ.sav          решить позицию из сохранённой игры
  quorvel-solve --layout N        решить начальную расстановку N:
                                    0  Кворвел
                                    1  Латинский крест
                                    2  Греческий крест
                                    3  Камин
                                    4  Лампа
                                    5  Перевёрнутый квадрат
                                    6  Пирамида
  quorvel-solve --count ФАЙЛ.sav
  quorvel-solve --count --layout N
                                  сосчитать позиции, которые получаются из этой после
                                  каждого числа прыжков; отражения и повороты одной
                                  позиции считаются за одну
  quorvel-solve --ways ФАЙЛ.sav
  quorvel-solve --ways --layout N
                                  сосчитать разные партии из этой позиции: все, что
                                  идут, пока есть прыжки; выигранные (осталась одна
                                  фишка); выигранные с последней фишкой в центре (4,4).
                                  Партии, которые расходятся хоть в одном прыжке, разные
  quorvel-solve --help            показать эту справку

Прыжок (столбец,строка) -> (столбец,строка): щёлкните по фишке в первой клетке, потом
по пустой лунке во второй. Столбцы считаются слева, строки сверху, от 1 до 7.
Выигрыш: на доске осталось меньше двух фишек.

Позицию, где выбрано (стоит 2) больше одной фишки, решатель не принимает.

Код выхода: 0 - позицию можно выиграть (с --count и --ways: всё сосчитано), 1 - нельзя,
2 - ошибка во входных данных, не хватило памяти или ответ не удалось вывести.
)"));
    }

    // The answer that cannot be given is not given as if all was well: the reason goes to
    // standard error and the status is 2.
    void failureToAnswerEndsWithStatusTwo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<std::function<void()>>("prepare");
        QTest::addColumn<QString>("message");
        const QStringList latinCross = {QStringLiteral("--layout"), QStringLiteral("1")};
        QTest::newRow("output to a full disk") << latinCross << std::function<void()>([] {
            const int full = ::open("/dev/full", O_WRONLY);
            ::dup2(full, STDOUT_FILENO);
        }) << QStringLiteral("Ответ не удалось вывести: на диске нет места.");
        QTest::newRow("output past the file size limit") << latinCross << std::function<void()>([] {
            const rlimit limit {10, 10};
            ::dup2(::open("/tmp", O_TMPFILE | O_WRONLY, 0600), STDOUT_FILENO);
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }) << QStringLiteral("Ответ не удалось вывести: ошибка ввода-вывода 27.");
        QTest::newRow("output closed")
            << latinCross << std::function<void()>([] { ::close(STDOUT_FILENO); })
            << QStringLiteral("Ответ не удалось вывести: стандартный вывод закрыт.");
#ifndef QUORVEL_ADDRESS_SANITIZER
        // The full board's games need a few hundred megabytes, its positions alone about a
        // hundred; with half of that, memory runs out part-way, in the threads that share out
        // the count.
        for (const auto &[count, megabytes] : {std::pair {"--ways", 128}, {"--count", 64}}) {
            QTest::addRow("too little memory for %s", count) << QStringList {
                QString::fromLatin1(count), QStringLiteral("--layout"),
                QStringLiteral("0")} << std::function<void()>([megabytes] {
                const rlimit limit {rlim_t(megabytes) << 20, rlim_t(megabytes) << 20};
                ::setrlimit(RLIMIT_AS, &limit);
            }) << QStringLiteral("Не хватило памяти: позиций слишком много для этого компьютера.");
        }
#endif
    }

    void failureToAnswerEndsWithStatusTwo()
    {
#ifdef QUORVEL_ADDRESS_SANITIZER
        qInfo("AddressSanitizer reserves terabytes of address space, so the program cannot run "
              "under an address-space limit; the out-of-memory row is left out");
#endif
        QFETCH(QStringList, arguments);
        QFETCH(std::function<void()>, prepare);
        QFETCH(QString, message);
        // Both outputs in one pipe: what was answered comes before the message.
        const Run run = runSolver(arguments, prepare, true);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.out.endsWith(QStringLiteral("quorvel-solve: ") + message + u'\n'),
                 qPrintable(run.out));
    }
};

QTEST_APPLESS_MAIN(TestQuorvelSolve)
#include "tst_quorvelsolve.moc"
