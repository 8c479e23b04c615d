// The click rules: selecting, putting down and jumping pegs, and the end of a game.
#include "model/GameState.h"

#include <QTest>

#include <algorithm>
#include <random>
#include <vector>

using Click = std::pair<int, int>;
Q_DECLARE_METATYPE(std::vector<Click>)

namespace {

GameState dealt(int kind)
{
    GameState game;
    game.SetUpLayout(kind);
    return game;
}

int cellsHolding(const GameState &game, std::int32_t value)
{
    int count = 0;
    for (const auto &column : game.Board)
        for (std::int32_t cell : column)
            count += cell == value;
    return count;
}

} // namespace

class TestClickRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clickOnAPegSelectsItAndClickingAgainPutsItDown()
    {
        GameState game = dealt(FullBoard);
        ClickOutcome outcome = game.HandleClick(4, 2);
        QVERIFY(outcome.Redraw);
        QCOMPARE(outcome.Message, Notice::None);
        QCOMPARE(game.Board[4][2], int(Selected));
        QVERIFY(!game.NothingSelected);
        QCOMPARE(game.SelectedColumn, 4);
        QCOMPARE(game.SelectedRow, 2);

        outcome = game.HandleClick(4, 2);
        QVERIFY(outcome.Redraw);
        QCOMPARE(outcome.Message, Notice::None);
        QCOMPARE(game.Board[4][2], int(Peg));
        QVERIFY(game.NothingSelected);
        QVERIFY(game == [] {
            GameState g = dealt(FullBoard);
            g.SelectedColumn = 4;
            g.SelectedRow = 2;
            return g;
        }());
    }

    void jumpRemovesTheMiddlePeg_data()
    {
        QTest::addColumn<Click>("from");
        QTest::addColumn<Click>("over");
        QTest::addColumn<Click>("to");
        QTest::newRow("down") << Click {4, 2} << Click {4, 3} << Click {4, 4};
        QTest::newRow("up") << Click {4, 6} << Click {4, 5} << Click {4, 4};
        QTest::newRow("right") << Click {2, 4} << Click {3, 4} << Click {4, 4};
        QTest::newRow("left") << Click {6, 4} << Click {5, 4} << Click {4, 4};
    }

    void jumpRemovesTheMiddlePeg()
    {
        QFETCH(Click, from);
        QFETCH(Click, over);
        QFETCH(Click, to);
        GameState game = dealt(FullBoard);
        game.HandleClick(from.first, from.second);
        const GameState selected = game;
        const ClickOutcome outcome = game.HandleClick(to.first, to.second);

        // The game reports the three cells of the jump, and no other.
        const std::vector<CellPlace> changed = game.ChangedSince(selected);
        QCOMPARE(changed.size(), std::size_t(3));
        for (const Click &cell : {from, over, to})
            QCOMPARE(std::ranges::count(changed, CellPlace {cell.first, cell.second}), 1);
        QVERIFY(outcome.Redraw);
        QCOMPARE(outcome.Message, Notice::None);
        QCOMPARE(game.Board[from.first][from.second], int(Empty));
        QCOMPARE(game.Board[over.first][over.second], int(Empty));
        QCOMPARE(game.Board[to.first][to.second], int(Peg));
        QVERIFY(game.NothingSelected);
        QCOMPARE(game.CountPegs(), 31);
    }

    void clicksThatMatchNoRuleChangeNothing_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<std::vector<Click>>("before");
        QTest::addColumn<Click>("click");
        QTest::newRow("diagonal jump")
            << int(LatinCross) << std::vector<Click> {{4, 3}} << Click {6, 5};
        QTest::newRow("three rows away")
            << int(LatinCross) << std::vector<Click> {{4, 3}} << Click {4, 6};
        QTest::newRow("one cell away")
            << int(LatinCross) << std::vector<Click> {{4, 3}} << Click {4, 4 + 0};
        QTest::newRow("one cell diagonally")
            << int(FullBoard) << std::vector<Click> {{3, 5}} << Click {4, 4};
        QTest::newRow("another peg while one is held")
            << int(LatinCross) << std::vector<Click> {{4, 3}} << Click {3, 3};
        QTest::newRow("empty hole with nothing held")
            << int(LatinCross) << std::vector<Click> {} << Click {6, 5};
        QTest::newRow("corner square")
            << int(FullBoard) << std::vector<Click> {{3, 2}} << Click {1, 1};
        QTest::newRow("ring") << int(FullBoard) << std::vector<Click> {} << Click {0, 4};
        QTest::newRow("column nine")
            << int(FullBoard) << std::vector<Click> {{7, 4}} << Click {9, 4};
        QTest::newRow("row nine") << int(FullBoard) << std::vector<Click> {{4, 7}} << Click {4, 9};
        QTest::newRow("far away") << int(FullBoard) << std::vector<Click> {} << Click {250, 1000};
        QTest::newRow("negative") << int(FullBoard) << std::vector<Click> {{3, 1}} << Click {-1, 1};
    }

    void clicksThatMatchNoRuleChangeNothing()
    {
        QFETCH(int, kind);
        QFETCH(std::vector<Click>, before);
        QFETCH(Click, click);
        GameState game = dealt(kind);
        for (const Click &c : before)
            game.HandleClick(c.first, c.second);
        const GameState expected = game;

        const ClickOutcome outcome = game.HandleClick(click.first, click.second);

        QVERIFY(!outcome.Redraw);
        QCOMPARE(outcome.Message, Notice::None);
        QVERIFY(game == expected);
    }

    // Only a peg can be jumped: over a hole, a closed hole or any odd value read from a file,
    // nothing is erased and the held peg goes back down.
    void straightAttemptOverNoPegPutsThePegBackDown_data()
    {
        QTest::addColumn<std::int32_t>("middle");
        QTest::newRow("empty hole") << std::int32_t(0);
        QTest::newRow("closed hole") << std::int32_t(9);
        QTest::newRow("another selected peg") << std::int32_t(2);
        QTest::newRow("odd value") << std::int32_t(-1);
    }

    void straightAttemptOverNoPegPutsThePegBackDown()
    {
        QFETCH(std::int32_t, middle);
        GameState game = dealt(LatinCross);
        game.Board[4][6] = middle;
        GameState expected = game;
        expected.SelectedColumn = 4;
        expected.SelectedRow = 5;
        game.HandleClick(4, 5);
        const ClickOutcome outcome = game.HandleClick(4, 7);
        QVERIFY(outcome.Redraw);
        QCOMPARE(outcome.Message, Notice::None);
        QVERIFY(game == expected);

        game.HandleClick(4, 4);
        QCOMPARE(game.Board[4][4], int(Selected));
    }

    // A file may bring back several selected pegs; none of them is held, so a click on one
    // neither puts it down nor picks it up.
    void loadedSelectedPegsAreNotHeld()
    {
        GameState game = dealt(LatinCross);
        game.Board[4][2] = Selected;
        game.Board[4][5] = Selected;
        const GameState before = game;
        const ClickOutcome outcome = game.HandleClick(4, 5);
        QVERIFY(!outcome.Redraw);
        QCOMPARE(outcome.Message, Notice::None);
        QVERIFY(game == before);
    }

    void latinCrossIsWonOnTheFifthJumpAndThenOver()
    {
        GameState game = dealt(LatinCross);
        const std::vector<std::pair<Click, Click>> jumps = {
            {{4, 3}, {6, 3}}, {{4, 5}, {4, 3}}, {{3, 3}, {5, 3}},
            {{6, 3}, {4, 3}}, {{4, 2}, {4, 4}},
        };
        for (std::size_t i = 0; i < jumps.size(); ++i) {
            const auto &[from, to] = jumps[i];
            QCOMPARE(game.HandleClick(from.first, from.second).Message, Notice::None);
            const ClickOutcome landing = game.HandleClick(to.first, to.second);
            QVERIFY(landing.Redraw);
            QCOMPARE(landing.Message, i + 1 == jumps.size() ? Notice::WinNotice : Notice::None);
        }
        QCOMPARE(game.CountPegs(), 1);
        QCOMPARE(game.Board[4][4], int(Peg));

        for (const Click &anywhere : {Click {4, 4}, Click {1, 1}, Click {0, 0}, Click {30, 30}}) {
            const GameState before = game;
            const ClickOutcome outcome = game.HandleClick(anywhere.first, anywhere.second);
            QVERIFY(!outcome.Redraw);
            QCOMPARE(outcome.Message, Notice::GameOverNotice);
            QVERIFY(game == before);
        }
    }

    void finishedBoardTakesNoClick_data()
    {
        QTest::addColumn<std::int32_t>("lastPeg");
        QTest::newRow("one peg") << std::int32_t(Peg);
        QTest::newRow("one selected peg") << std::int32_t(Selected);
    }

    void finishedBoardTakesNoClick()
    {
        QFETCH(std::int32_t, lastPeg);
        GameState game = dealt(LatinCross);
        for (int column = 1; column <= 7; ++column)
            for (int row = 1; row <= 7; ++row)
                if (game.Board[column][row] == Peg)
                    game.Board[column][row] = Empty;
        game.Board[4][4] = lastPeg;
        game.NothingSelected = lastPeg != Selected;
        game.SelectedColumn = 4;
        game.SelectedRow = 4;
        const GameState before = game;
        for (int column = 0; column <= 9; ++column) {
            for (int row = 0; row <= 9; ++row) {
                const ClickOutcome outcome = game.HandleClick(column, row);
                QVERIFY(!outcome.Redraw);
                QCOMPARE(outcome.Message, Notice::GameOverNotice);
            }
        }
        QVERIFY(game == before);
    }

    // A peg next to the edge must not be thrown into the margin around the board.
    void marginNeverTakesAPeg()
    {
        GameState game = dealt(FullBoard);
        game.HandleClick(2, 4);
        QCOMPARE(game.Board[1][4], int(Peg));
        const GameState before = game;

        const ClickOutcome outcome = game.HandleClick(0, 4);

        QVERIFY(!outcome.Redraw);
        QCOMPARE(outcome.Message, Notice::None);
        QVERIFY(game == before);
        QCOMPARE(game.Board[2][4], int(Selected));
    }

    // Thousands of seeded random clicks on every layout must keep the game's invariants.
    void randomClicksKeepTheInvariants_data()
    {
        QTest::addColumn<int>("kind");
        for (int kind = 0; kind < kLayoutCount; ++kind)
            QTest::addRow("layout %d", kind) << kind;
    }

    void randomClicksKeepTheInvariants()
    {
        QFETCH(int, kind);
        std::mt19937 random(20261207u + static_cast<unsigned>(kind));
        std::uniform_int_distribution<int> coordinate(0, 20);
        for (int game_ = 0; game_ < 40; ++game_) {
            GameState game = dealt(kind);
            const GameState start = game;
            for (int click = 0; click < 500; ++click) {
                const int pegsBefore = game.CountPegs();
                const ClickOutcome outcome
                    = game.HandleClick(coordinate(random), coordinate(random));

                QVERIFY(game.CountPegs() <= pegsBefore);
                const int selected = cellsHolding(game, Selected);
                QCOMPARE(selected, game.NothingSelected ? 0 : 1);
                if (!game.NothingSelected)
                    QCOMPARE(game.Board[game.SelectedColumn][game.SelectedRow], int(Selected));
                if (outcome.Message == Notice::WinNotice)
                    QVERIFY(game.CountPegs() < 2);
                for (int i = 0; i < kGridSize; ++i) {
                    QCOMPARE(game.Board[i][0], start.Board[i][0]);
                    QCOMPARE(game.Board[i][8], start.Board[i][8]);
                    QCOMPARE(game.Board[0][i], start.Board[0][i]);
                    QCOMPARE(game.Board[8][i], start.Board[8][i]);
                }
                for (int column = 1; column <= 7; ++column)
                    for (int row = 1; row <= 7; ++row)
                        if (start.Board[column][row] == OffBoard)
                            QCOMPARE(game.Board[column][row], int(OffBoard));
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestClickRules)
#include "tst_clickrules.moc"
