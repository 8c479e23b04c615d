// What a screen reader learns of the board: its 33 holes, each with a name, a place and a press.
#pragma once

#include <QPoint>
#include <QString>

#include <vector>

class BoardView;

// Lets Qt's accessibility ask the board for its holes, and the board and its window for their
// places in screen pixels; call before the first board is made.
void installBoardAccessibility();

// Tells screen readers that the names of the `changed` holes changed. While a screen reader
// runs, the hole with the focus also says at once its name and what else changed, or
// `heading` if one is given: "4, 4: фишка", "4, 3 и 4, 2: пустые лунки".
void announceHoleChanges(BoardView *board, const std::vector<QPoint> &changed,
                         const QString &heading);
// Tells screen readers that the focus stands on the board's focused hole; `backAgain` when it
// comes back from another window, with the news of the last change still to tell.
void announceHoleFocus(BoardView *board, bool backAgain);
