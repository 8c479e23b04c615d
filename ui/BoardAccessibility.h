// What a screen reader learns of the board: its 33 holes, each with a name, a place and a press.
#pragma once

#include <QString>

struct GameState;

// Lets Qt's accessibility ask the board for its holes, and the board and its window for their
// places in screen pixels; call before the first board is made. While a screen reader runs, it
// hears what the board tells, once, as a notification: "6, 3: фишка; 5, 3 и 4, 3: пустые лунки".
void installBoardAccessibility();
// "6 фишек", as a screen reader hears the pegs on the board counted.
QString pegCount(const GameState &game);
