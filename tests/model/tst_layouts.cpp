// Dealing the seven layouts, counting pegs and the end-of-game test.
#include "model/GameState.h"
#include "tests/Positions.h"

#include <QTest>

#include <climits>
#include <set>
#include <utility>

using Cell = std::pair<int, int>;

namespace {

bool isCorner(int column, int row)
{
    const bool edgeColumn = column <= 2 || column >= 6;
    const bool edgeRow = row <= 2 || row >= 6;
    return edgeColumn && edgeRow;
}

std::set<Cell> pegsOf(const GameState &game)
{
    std::set<Cell> pegs;
    for (int column = 1; column <= 7; ++column)
        for (int row = 1; row <= 7; ++row)
            if (game.Board[column][row] == Peg)
                pegs.insert({column, row});
    return pegs;
}

std::set<Cell> holesWhere(bool (*holdsPeg)(int column, int row))
{
    std::set<Cell> pegs;
    for (int column = 1; column <= 7; ++column)
        for (int row = 1; row <= 7; ++row)
            if (!isCorner(column, row) && holdsPeg(column, row))
                pegs.insert({column, row});
    return pegs;
}

} // namespace

class TestLayouts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachLayoutDealsItsPegsAndOnlyThePlayfield_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("pegs");
        QTest::newRow("full board") << int(FullBoard) << 32;
        QTest::newRow("latin cross") << int(LatinCross) << 6;
        QTest::newRow("greek cross") << int(GreekCross) << 9;
        QTest::newRow("fireplace") << int(Fireplace) << 11;
        QTest::newRow("lamp") << int(Lamp) << 17;
        QTest::newRow("turned square") << int(TurnedSquare) << 24;
        QTest::newRow("pyramid") << int(Pyramid) << 16;
    }

    void eachLayoutDealsItsPegsAndOnlyThePlayfield()
    {
        QFETCH(int, kind);
        QFETCH(int, pegs);
        GameState game;
        game.SelectedColumn = 5;
        game.SelectedRow = 3;
        const auto ringBefore = game.Board;

        game.SetUpLayout(kind);

        QCOMPARE(game.CountPegs(), pegs);
        QCOMPARE(game.BoardKind, kind);
        QVERIFY(game.NothingSelected);
        QCOMPARE(game.SelectedColumn, 5);
        QCOMPARE(game.SelectedRow, 3);
        for (int column = 0; column < kGridSize; ++column) {
            for (int row = 0; row < kGridSize; ++row) {
                const bool ring = column == 0 || row == 0 || column == 8 || row == 8;
                if (ring)
                    QCOMPARE(game.Board[column][row], ringBefore[column][row]);
                else if (isCorner(column, row))
                    QCOMPARE(game.Board[column][row], int(OffBoard));
                else
                    QVERIFY(game.Board[column][row] == Peg || game.Board[column][row] == Empty);
            }
        }
    }

    void layoutsPutThePegsWhereTheFiguresShowThem()
    {
        GameState game;
        game.SetUpLayout(FullBoard);
        QCOMPARE(game.Board[4][4], int(Empty));
        QCOMPARE(pegsOf(game), holesWhere([](int c, int r) { return !(c == 4 && r == 4); }));

        game.SetUpLayout(LatinCross);
        QCOMPARE(pegsOf(game), (std::set<Cell> {{4, 2}, {3, 3}, {4, 3}, {5, 3}, {4, 4}, {4, 5}}));

        game.SetUpLayout(GreekCross);
        QCOMPARE(pegsOf(game),
                 (std::set<Cell> {
                     {4, 2}, {4, 3}, {2, 4}, {3, 4}, {4, 4}, {5, 4}, {6, 4}, {4, 5}, {4, 6}}));

        game.SetUpLayout(Fireplace);
        QCOMPARE(pegsOf(game), holesWhere([](int c, int r) {
                     return (c >= 3 && c <= 5 && r <= 3) || (r == 4 && (c == 3 || c == 5));
                 }));

        game.SetUpLayout(TurnedSquare);
        QCOMPARE(pegsOf(game), holesWhere([](int c, int r) {
                     const int distance = std::abs(c - 4) + std::abs(r - 4);
                     return distance >= 1 && distance <= 3;
                 }));

        // Lamp and pyramid are mirror-symmetric about the middle column.
        for (int kind : {int(Lamp), int(Pyramid)}) {
            game.SetUpLayout(kind);
            for (int column = 1; column <= 7; ++column)
                for (int row = 1; row <= 7; ++row)
                    QCOMPARE(game.Board[column][row], game.Board[8 - column][row]);
        }
        game.SetUpLayout(Pyramid);
        QCOMPARE(game.Board[4][2], int(Peg));
        QCOMPARE(game.Board[4][1], int(Empty));
        for (int column = 1; column <= 7; ++column)
            QCOMPARE(game.Board[column][5], int(Peg));
    }

    void kindOutOfRangeChangesNothing_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("minus one") << -1;
        QTest::newRow("seven") << 7;
        QTest::newRow("forty-two") << 42;
        QTest::newRow("smallest") << INT_MIN;
    }

    void kindOutOfRangeChangesNothing()
    {
        QFETCH(int, kind);
        GameState game;
        game.SetUpLayout(LatinCross);
        game.HandleClick(4, 3);
        const GameState before = game;

        game.SetUpLayout(kind);

        QVERIFY(game.Board == before.Board);
        QCOMPARE(game.BoardKind, before.BoardKind);
        QCOMPARE(game.NothingSelected, false);
        QCOMPARE(game.SelectedColumn, 4);
        QCOMPARE(game.SelectedRow, 3);
    }

    void freshGameHasNoHolesInTheRingAndNothingDealt()
    {
        GameState game;
        QCOMPARE(game.CountPegs(), 0);
        QCOMPARE(game.BoardKind, 0);
        QVERIFY(!game.NothingSelected);
        for (int i = 0; i < kGridSize; ++i) {
            QCOMPARE(game.Board[i][0], int(OffBoard));
            QCOMPARE(game.Board[i][8], int(OffBoard));
            QCOMPARE(game.Board[0][i], int(OffBoard));
            QCOMPARE(game.Board[8][i], int(OffBoard));
        }
        QCOMPARE(game.Board[4][4], int(Empty));
    }

    void fewerThanTwoPegsIsFinished()
    {
        GameState game = withPegsOnly({});
        QVERIFY(game.IsFinished());

        game.Board[3][3] = Peg;
        QVERIFY(game.IsFinished());
        game.Board[3][3] = Selected;
        QVERIFY(game.IsFinished());

        game.Board[5][5] = Peg;
        QCOMPARE(game.CountPegs(), 2);
        QVERIFY(!game.IsFinished());
    }

    void onlyPegsAndSelectedPegsOnThePlayfieldCount()
    {
        GameState game = withPegsOnly({});
        game.Board[3][3] = Peg;
        game.Board[4][4] = 5;
        game.Board[5][5] = -1;
        game.Board[3][5] = OffBoard;
        game.Board[0][4] = Peg; // a peg in the ring, as only a stray value could put it there
        game.Board[8][8] = Selected;
        QCOMPARE(game.CountPegs(), 1);
        QVERIFY(game.IsFinished());
    }
};

QTEST_APPLESS_MAIN(TestLayouts)
#include "tst_layouts.moc"
