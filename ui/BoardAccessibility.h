// What a screen reader learns of the board: its 33 holes, each with a name, a place and a press.
#pragma once

class BoardView;

// Lets Qt's accessibility ask the board for its holes, and the board and its window for their
// places in screen pixels; call before the first board is made.
void installBoardAccessibility();

// Tells screen readers that the names of hole (column, row) changed.
void announceHoleChange(BoardView *board, int column, int row);
