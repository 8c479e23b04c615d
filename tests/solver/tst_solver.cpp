// The solver and the counts of reachable positions and of games, checked against the game's own
// click rules and against plain searches written out here without the solver's bit tricks or
// symmetries.
#include "model/GameState.h"
#include "platform/Failure.h"
#include "resources/Texts.h"
#include "solver/Enumeration.h"
#include "solver/PositionTable.h"
#include "solver/Solver.h"
#include "solver/Vectors.h"
#include "tests/Positions.h"

#include <QTest>

#include <bit>
#include <map>
#include <numeric>
#include <random>
#include <set>
#include <stdexcept>
#include <vector>

Q_DECLARE_METATYPE(GameState)

namespace {

// The pegs on the playfield as 49 bits, one per cell, whatever the cell is.
using Field = std::uint64_t;

Field bitAt(int column, int row)
{
    return Field(1) << ((column - 1) * 7 + (row - 1));
}

bool isPeg(std::int32_t value)
{
    return value == Peg || value == Selected;
}

Field fieldOf(const GameState &game)
{
    Field field = 0;
    for (int column = 1; column <= 7; ++column)
        for (int row = 1; row <= 7; ++row)
            if (isPeg(game.Board[column][row]))
                field |= bitAt(column, row);
    return field;
}

// The game's jump rule written out on the grid: every position one jump away.
std::vector<GameState> afterOneJump(const GameState &game)
{
    std::vector<GameState> next;
    for (int column = 1; column <= 7; ++column) {
        for (int row = 1; row <= 7; ++row) {
            if (!isPeg(game.Board[column][row]))
                continue;
            for (const auto &[dx, dy] : {std::pair {1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                const int overColumn = column + dx, overRow = row + dy;
                const int toColumn = column + 2 * dx, toRow = row + 2 * dy;
                if (toColumn < 0 || toColumn > 8 || toRow < 0 || toRow > 8)
                    continue;
                if (!isPeg(game.Board[overColumn][overRow]) || game.Board[toColumn][toRow] != Empty)
                    continue;
                GameState after = game;
                after.Board[column][row] = Empty;
                after.Board[overColumn][overRow] = Empty;
                after.Board[toColumn][toRow] = Peg;
                next.push_back(after);
            }
        }
    }
    return next;
}

int fewestPegsByPlainSearch(const GameState &game, std::map<Field, int> &known)
{
    const Field field = fieldOf(game);
    if (const auto found = known.find(field); found != known.end())
        return found->second;
    int fewest = game.CountPegs();
    for (const GameState &next : afterOneJump(game))
        fewest = std::min(fewest, fewestPegsByPlainSearch(next, known));
    return known[field] = fewest;
}

// The mirror images and turns of `field` that keep every hole a hole: the least of them, and
// how many there are, `field` itself among them.
struct Images
{
    Field least = 0;
    int count = 0;
};

Images imagesOf(Field field, const GameState &game)
{
    const auto turned = [](int symmetry, int column, int row) {
        const int x = column - 4, y = row - 4;
        const int turns[8][2]
            = {{x, y}, {-y, x}, {-x, -y}, {y, -x}, {-x, y}, {y, x}, {x, -y}, {-y, -x}};
        return std::pair {4 + turns[symmetry][0], 4 + turns[symmetry][1]};
    };
    Images images {field, 1};
    for (int symmetry = 1; symmetry < 8; ++symmetry) {
        Field image = 0;
        bool keepsHoles = true;
        for (int column = 1; column <= 7; ++column) {
            for (int row = 1; row <= 7; ++row) {
                const auto [c, r] = turned(symmetry, column, row);
                keepsHoles = keepsHoles
                    && (game.Board[column][row] == OffBoard) == (game.Board[c][r] == OffBoard);
                if (field & bitAt(column, row))
                    image |= bitAt(c, r);
            }
        }
        if (keepsHoles) {
            images.least = std::min(images.least, image);
            ++images.count;
        }
    }
    return images;
}

// Plays out every sequence of jumps to its end: {complete games, won, won in the centre}.
void playEverySequence(const GameState &game, QList<qulonglong> &games)
{
    const std::vector<GameState> next = afterOneJump(game);
    for (const GameState &after : next)
        playEverySequence(after, games);
    if (next.empty()) {
        games[0] += 1;
        games[1] += game.CountPegs() == 1;
        games[2] += game.CountPegs() == 1 && isPeg(game.Board[4][4]);
    }
}

GameState dealt(int kind)
{
    GameState game;
    game.SetUpLayout(kind);
    return game;
}

// A playfield with pegs only on `pegs` and no hole at `closed`.
GameState position(const std::vector<std::pair<int, int>> &pegs,
                   const std::vector<std::pair<int, int>> &closed = {})
{
    GameState game = withPegsOnly(pegs);
    for (auto [column, row] : closed)
        game.Board[column][row] = OffBoard;
    return game;
}

// The message of every click that plays `jumps` in the game, two clicks a jump.
std::vector<Notice> play(GameState &game, const std::vector<Jump> &jumps)
{
    std::vector<Notice> messages;
    for (const Jump &jump : jumps) {
        messages.push_back(game.HandleClick(jump.from.column, jump.from.row).Message);
        messages.push_back(game.HandleClick(jump.to.column, jump.to.row).Message);
    }
    return messages;
}

} // namespace

// A position's key in the low bits, with a number above them that adds up.
template<class Word, int kKeyBits> struct Numbered
{
    static constexpr int kWaysShift = kKeyBits;
    static constexpr Word kKeys = (Word(1) << kKeyBits) - 1;
    Word bits = 0;
    Holes pegs() const { return Holes(bits & kKeys); }
    void absorb(const Numbered &other)
    {
        if (__builtin_add_overflow(bits, other.bits & ~kKeys, &bits))
            throw std::overflow_error("too many");
    }
};

template<class Entry> void sumsTooLargeAreRefused()
{
    using Word = decltype(Entry::bits);
    const Word half = Word(1) << (8 * sizeof(Word) - 1);
    const auto ways = [](Word number) { return number << Entry::kWaysShift; };
    for (const bool wide : {false, true}) {
        allowWideVectors(wide);
        PositionTable<Entry> table;
        const Entry some[] {{half | 5}, {ways(3) | 9}, {ways(2) | 5}};
        table.insertAll(some, 3);
        const Entry more[] {{ways(7) | 9}, {half | 5}, {ways(1) | 6}};
        const auto overflow = [&] { table.insertAll(more, 3); };
        allowWideVectors(true);
        QCOMPARE(table.size(), 2u);
        QVERIFY(table.find(5)->bits == (half | ways(2) | 5));
        QVERIFY_THROWS_EXCEPTION(std::overflow_error, overflow());
        QVERIFY(table.find(9)->bits == (ways(10) | 9));
    }
}

class TestSolver : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachLayoutIsWonClickByClick_data()
    {
        QTest::addColumn<int>("kind");
        for (int kind = 0; kind < kLayoutCount; ++kind)
            QTest::addRow("%s", Texts::kLayoutNames[kind]) << kind;
    }

    void eachLayoutIsWonClickByClick()
    {
        QFETCH(int, kind);
        GameState game = dealt(kind);
        const int pegs = game.CountPegs();
        const Solution solution = solve(crossPositionOf(game));
        QVERIFY(solution.winnable);
        QCOMPARE(solution.pegsLeft, 1);
        QCOMPARE(int(solution.jumps.size()), pegs - 1);

        std::vector<Notice> expected(2 * solution.jumps.size(), Notice::None);
        expected.back() = Notice::WinNotice;
        QVERIFY(play(game, solution.jumps) == expected);
        QCOMPARE(game.CountPegs(), 1);
    }

    void lostPositionsReportTheFewestPegs_data()
    {
        QTest::addColumn<GameState>("game");
        QTest::addColumn<int>("fewest");
        QTest::newRow("no jump at all") << position({{3, 3}, {5, 5}, {4, 7}, {1, 5}}) << 4;
        QTest::newRow("two pegs far apart") << position({{1, 4}, {7, 4}}) << 2;
        QTest::newRow("one jump, then two pegs apart") << position({{1, 4}, {2, 4}, {7, 4}}) << 2;
        // Without the closed hole this is won in one jump.
        QTest::newRow("the only landing hole is closed")
            << position({{1, 4}, {2, 4}}, {{3, 4}}) << 2;
        // The top arm is closed but for one cut-off peg; the rest can be cleared to one peg.
        GameState cutOff = dealt(FullBoard);
        for (auto [column, row] : {std::pair {3, 1}, {5, 1}, {3, 2}, {4, 2}, {5, 2}})
            cutOff.Board[column][row] = OffBoard;
        QTest::newRow("a peg cut off behind closed holes") << cutOff << 2;
    }

    void lostPositionsReportTheFewestPegs()
    {
        QFETCH(GameState, game);
        QFETCH(int, fewest);
        const int pegs = game.CountPegs();
        const Solution solution = solve(crossPositionOf(game));
        QVERIFY(!solution.winnable);
        QCOMPARE(solution.pegsLeft, fewest);
        QCOMPARE(int(solution.jumps.size()), pegs - fewest);

        const std::vector<Notice> messages = play(game, solution.jumps);
        QVERIFY(messages == std::vector<Notice>(messages.size(), Notice::None));
        QCOMPARE(game.CountPegs(), fewest);
    }

    void aFinishedGameIsAlreadyWon()
    {
        for (const GameState &game : {position({}), position({{4, 4}})}) {
            const Solution solution = solve(crossPositionOf(game));
            QVERIFY(solution.winnable);
            QCOMPARE(solution.pegsLeft, game.CountPegs());
            QVERIFY(solution.jumps.empty());
        }
    }

    // The search's table of positions finds each position again, with the number it last
    // brought, through every growth of the table, and finds no other.
    void positionTableFindsWhatWasPutIn()
    {
        std::mt19937_64 random(20261207u);
        std::map<Holes, int> put;
        std::vector<Holes> order;
        PositionTable<NumberedPosition> table;
        table.reserve(2000); // as the count of positions makes it ready for what it expects
        for (int i = 0; i < 30000; ++i) {
            // Every third position comes again with a new number.
            const Holes pegs
                = i % 3 == 2 ? order[random() % order.size()] : (random() & kAllHoles) | 1;
            order.push_back(pegs);
            put[pegs] = i % 256;
            table.insert(NumberedPosition(pegs, i % 256));
        }
        QCOMPARE(table.size(), put.size());
        for (const auto &[pegs, number] : put) {
            const NumberedPosition *found = table.find(pegs);
            QVERIFY(found);
            QCOMPARE(found->number(), number);
        }
        for (int i = 0; i < 1000; ++i)
            if (const Holes pegs = (random() & kAllHoles) | 1; !put.contains(pegs))
                QVERIFY(!table.find(pegs));
    }

    // Clusters of pegs, some with closed holes, where the plain search can try everything.
    void solverAgreesWithAPlainSearch()
    {
        std::mt19937 random(20240611u);
        std::uniform_int_distribution<int> line(1, 7);
        for (int trial = 0; trial < 100; ++trial) {
            const int centreColumn = line(random), centreRow = line(random);
            std::vector<std::pair<int, int>> pegs, closed;
            for (int column = 1; column <= 7; ++column) {
                for (int row = 1; row <= 7; ++row) {
                    const int distance
                        = std::abs(column - centreColumn) + std::abs(row - centreRow);
                    const auto draw = random() % 100;
                    if (distance <= 3 && draw < 55)
                        pegs.push_back({column, row});
                    else if (draw < 4)
                        closed.push_back({column, row});
                }
            }
            // Larger clusters make the plain search slow without finding more.
            if (pegs.size() > 14)
                pegs.resize(14);
            GameState game = position(pegs, closed);
            // position() may have put a peg or a closed hole on a corner square.
            for (int column : {1, 2, 6, 7})
                for (int row : {1, 2, 6, 7})
                    game.Board[column][row] = OffBoard;

            std::map<Field, int> known;
            const int fewest = fewestPegsByPlainSearch(game, known);
            const Solution solution = solve(crossPositionOf(game));
            QCOMPARE(solution.pegsLeft, fewest);
            QCOMPARE(solution.winnable, fewest < 2);

            const int pegsBefore = game.CountPegs();
            play(game, solution.jumps);
            QCOMPARE(game.CountPegs(), fewest);
            QCOMPARE(int(solution.jumps.size()), pegsBefore - fewest);
        }
    }

    void countingOnceEachSymmetricSetAgreesWithAPlainCount_data()
    {
        QTest::addColumn<GameState>("game");
        QTest::newRow("latin cross") << dealt(LatinCross);
        QTest::newRow("greek cross") << dealt(GreekCross);
        QTest::newRow("fireplace") << dealt(Fireplace);
        // Closed holes leave fewer symmetries: here the one mirror along the diagonal ...
        GameState mirrored = dealt(GreekCross);
        mirrored.Board[4][1] = OffBoard;
        mirrored.Board[1][4] = OffBoard;
        QTest::newRow("greek cross with two holes closed") << mirrored;
        // ... and here none at all.
        GameState lopsided = dealt(Fireplace);
        lopsided.Board[7][3] = OffBoard;
        lopsided.Board[4][5] = Peg;
        QTest::newRow("fireplace, lopsided") << lopsided;
    }

    void countingOnceEachSymmetricSetAgreesWithAPlainCount()
    {
        QFETCH(GameState, game);
        std::vector<std::uint64_t> expected;
        std::vector<GameState> layer {game};
        // The solver keeps one position for each set of mirror images, the same for them all.
        const CrossBoard board(crossPositionOf(game).open);
        QCOMPARE(board.symmetryCount(), imagesOf(0, game).count);
        std::map<Field, Holes> standsFor;
        std::set<Holes> standing;
        while (!layer.empty()) {
            std::set<Field> seen;
            std::set<Field> classes;
            std::vector<GameState> next;
            for (const GameState &here : layer) {
                const Field least = imagesOf(fieldOf(here), game).least;
                classes.insert(least);
                const Holes one = board.canonical(crossPositionOf(here).pegs);
                standing.insert(one);
                QCOMPARE(standsFor.emplace(least, one).first->second, one);
                for (const GameState &after : afterOneJump(here))
                    if (seen.insert(fieldOf(after)).second)
                        next.push_back(after);
            }
            expected.push_back(classes.size());
            layer = std::move(next);
        }

        QCOMPARE(standing.size(), standsFor.size());
        for (const bool wide : {false, true}) {
            allowWideVectors(wide);
            const PositionCounts counts = countPositions(crossPositionOf(game));
            allowWideVectors(true);
            QCOMPARE(counts.afterJumps, expected);
            QCOMPARE(counts.total(), std::accumulate(expected.begin(), expected.end(), 0ull));
        }
    }

    // The published figures for the 33-hole board from the centre: enough positions that every
    // part of the walk fills and refills, with and without the vector instructions.
    void theFullBoardGivesThePublishedFigures()
    {
#if !defined(__OPTIMIZE__)
        QSKIP("minutes without the optimiser; the optimised build runs it");
#endif
        const std::vector<std::uint64_t> published {
            1,       1,       2,       8,       39,      171,     719,     2757,
            9751,    31312,   89927,   229614,  517854,  1022224, 1753737, 2598215,
            3312423, 3626632, 3413313, 2765623, 1930324, 1160977, 600372,  265865,
            100565,  32250,   8688,    1917,    348,     50,      7,       2};
        for (const bool wide : {false, true}) {
            allowWideVectors(wide);
            const PositionCounts counts = countPositions(crossPositionOf(dealt(FullBoard)));
            std::vector<std::uint64_t> told;
            const GameCounts games
                = countGames(crossPositionOf(dealt(FullBoard)),
                             [&](int, std::uint64_t size) { told.push_back(size); });
            allowWideVectors(true);
            QCOMPARE(counts.afterJumps, published);
            QCOMPARE(told, published);
            QCOMPARE(counts.total(), 23475688u);
            QVERIFY(games.complete == GameCount(577116156815u) * 1000000000u + 309849672u);
            QCOMPARE(qulonglong(games.wonInCentre), 40861647040079968u);
        }
    }

    // A number of games too large to hold is refused, not wrapped round; those that fit add up.
    // Both ways the count of games keeps them: sixteen bytes, and eight.
    void sumsTooLargeToHoldAreRefused()
    {
        sumsTooLargeAreRefused<Numbered<GameCount, 33>>();
        sumsTooLargeAreRefused<Numbered<std::uint64_t, 26>>();
    }

    void countingGamesByPositionAgreesWithPlayingEverySequence_data()
    {
        QTest::addColumn<GameState>("game");
        QTest::addColumn<QList<qulonglong>>("byHand"); // complete, won, won in the centre
        QTest::newRow("no jump at all")
            << position({{3, 3}, {5, 5}, {4, 7}, {1, 5}}) << QList<qulonglong> {1, 0, 0};
        QTest::newRow("one peg in the centre") << position({{4, 4}}) << QList<qulonglong> {1, 1, 1};
        QTest::newRow("two pegs side by side")
            << position({{4, 4}, {5, 4}}) << QList<qulonglong> {2, 2, 0};
        QTest::newRow("into the centre or away from it")
            << position({{4, 2}, {4, 3}}) << QList<qulonglong> {2, 2, 1};
        QTest::newRow("the centre closed")
            << position({{4, 2}, {4, 3}}, {{4, 4}}) << QList<qulonglong> {1, 1, 0};
        QTest::newRow("three in a row, both ways lost")
            << position({{3, 4}, {4, 4}, {5, 4}}) << QList<qulonglong> {2, 0, 0};
        QTest::newRow("latin cross") << dealt(LatinCross) << QList<qulonglong>();
        QTest::newRow("fireplace") << dealt(Fireplace) << QList<qulonglong>();
        GameState centreClosed = dealt(GreekCross);
        centreClosed.Board[4][4] = OffBoard;
        QTest::newRow("greek cross, centre closed: all lost")
            << centreClosed << QList<qulonglong>();
        GameState mirrored = dealt(GreekCross);
        mirrored.Board[4][1] = OffBoard;
        mirrored.Board[1][4] = OffBoard;
        QTest::newRow("greek cross, one mirror left") << mirrored << QList<qulonglong>();
        GameState lopsided = dealt(Fireplace);
        lopsided.Board[7][3] = OffBoard;
        lopsided.Board[4][5] = Peg;
        QTest::newRow("fireplace, lopsided") << lopsided << QList<qulonglong>();
    }

    void countingGamesByPositionAgreesWithPlayingEverySequence()
    {
        QFETCH(GameState, game);
        QFETCH(QList<qulonglong>, byHand);
        QList<qulonglong> played {0, 0, 0};
        playEverySequence(game, played);
        if (!byHand.isEmpty())
            QCOMPARE(played, byHand);

        for (const bool wide : {false, true}) {
            allowWideVectors(wide);
            const GameCounts counts = countGames(crossPositionOf(game));
            allowWideVectors(true);
            QVERIFY((counts.complete | counts.won | counts.wonInCentre) >> 64 == 0);
            QCOMPARE(QList<qulonglong>({qulonglong(counts.complete), qulonglong(counts.won),
                                        qulonglong(counts.wonInCentre)}),
                     played);
        }
    }

    void cellsTheCrossCannotHoldAreRefused_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<std::int32_t>("value");
        QTest::addColumn<QString>("text");
        const auto odd = [](const char *cell, const char *value) {
            return QString::fromStdString(Texts::fillIn(Texts::kSolverOddValue, {cell, value}));
        };
        const auto outside = [](const char *cell, const char *value) {
            return QString::fromStdString(Texts::fillIn(Texts::kSolverOutsideCross, {cell, value}));
        };
        QTest::newRow("five in a hole") << 4 << 4 << 5 << odd("(4,4)", "5");
        QTest::newRow("peg in a corner") << 7 << 6 << int(Peg) << outside("(7,6)", "1");
        QTest::newRow("empty corner") << 2 << 2 << int(Empty) << outside("(2,2)", "0");
    }

    void cellsTheCrossCannotHoldAreRefused()
    {
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(std::int32_t, value);
        QFETCH(QString, text);
        GameState game = dealt(Lamp);
        game.Board[column][row] = value;
        try {
            crossPositionOf(game);
            QFAIL("accepted");
        } catch (const Failure &failure) {
            QCOMPARE(QString::fromUtf8(failure.what()), text);
        }
    }

    void selectedPegsCountAndClosedHolesAreLeftOut()
    {
        GameState game = dealt(LatinCross);
        game.HandleClick(4, 3);
        game.Board[4][7] = OffBoard;
        const CrossPosition position = crossPositionOf(game);
        QCOMPARE(std::popcount(position.pegs), 6);
        QCOMPARE(position.pegs & bitOf(holeAt({4, 3})), bitOf(holeAt({4, 3})));
        QCOMPARE(position.open, kAllHoles & ~bitOf(holeAt({4, 7})));
    }
};

QTEST_APPLESS_MAIN(TestSolver)
#include "tst_solver.moc"
