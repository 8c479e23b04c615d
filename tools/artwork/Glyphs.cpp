// The 13 toolbar glyphs: 32 x 16, the normal picture on the left, the disabled one on the right.
#include "Artwork.h"

#include <array>
#include <cmath>
#include <cstring>
#include <functional>

namespace {

constexpr int kSide = 16;
using Rows = std::array<const char *, kSide>;

// The glyphs of the command buttons were drawn with the slightly darker 127 and 191 greys;
// the layout glyphs use the standard gray and silver.
struct Greys
{
    QColor gray, silver;
};
const Greys kCommandGreys {QColor(127, 127, 127), QColor(191, 191, 191)};

// 'd' and 'e' are the two dithered fills: yellow with white, yellow with silver.
QColor colourOf(char letter, int x, int y, const QColor &key, const Greys &greys)
{
    const bool even = (x + y) % 2 == 0;
    switch (letter) {
    case 'd':
        return even ? Palette::Yellow : Palette::White;
    case 'e':
        return even ? Palette::Yellow : greys.silver;
    case '.':
        return key;
    case 'k':
        return Palette::Black;
    case 'm':
        return Palette::Maroon;
    case 'o':
        return Palette::Olive;
    case 'n':
        return Palette::Navy;
    case 'G':
        return greys.gray;
    case 's':
        return greys.silver;
    case 'r':
        return Palette::Red;
    case 'y':
        return Palette::Yellow;
    case 'b':
        return Palette::Blue;
    case 'a':
        return Palette::Aqua;
    case 'w':
        return Palette::White;
    }
    qFatal("glyph: unknown colour letter %c", letter);
}

void paint(QImage &image, int left, const Rows &rows, const QColor &key, const Greys &greys)
{
    for (int y = 0; y < kSide; ++y) {
        if (std::strlen(rows[y]) != kSide)
            qFatal("glyph: row %d is not %d pixels wide", y, kSide);
        for (int x = 0; x < kSide; ++x)
            image.setPixelColor(left + x, y, colourOf(rows[y][x], x, y, key, greys));
    }
}

// The usual look of a disabled button: the dark parts of the picture in gray, with a white
// copy one pixel to the lower right, as if pressed into the face.
void paintEmbossed(QImage &image, const Rows &rows, const QColor &key, const Greys &greys)
{
    auto dark = [&rows](int x, int y) {
        if (x < 0 || y < 0 || x >= kSide || y >= kSide)
            return false;
        const char c = rows[y][x];
        return c == 'k' || c == 'm' || c == 'n' || c == 'b' || c == 'r';
    };
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            QColor colour = key;
            if (dark(x, y))
                colour = greys.gray;
            else if (dark(x - 1, y - 1))
                colour = Palette::White;
            image.setPixelColor(kSide + x, y, colour);
        }
    }
}

// --- The command buttons -------------------------------------------------------------------

// Exit: an open door with light streaming in.
const Rows kDoor = {
    "..kkkkkkkkkkk...", //
    "..kaamyyyyyyk...", //
    "..kammyyyyyyk...", //
    "..kmmmyyyyyyk...", //
    "..kmmmyyyyyyk...", //
    "..kmymyyyyyyk...", //
    "..kmmmyyyyyyk...", //
    "..kmmmyyyyyyk...", //
    "..kmmmyyyyyyk...", //
    "..kmmmyyyyyyk...", //
    "..kmmmyyyyyyk...", //
    "..kmmmyyyyyyk...", //
    "..kmmyyyyyyyk...", //
    "..kmmyyyyyyyk...", //
    "..kmyyyyyyyyk...", //
    "..kkkkkkkkkkk...", //
};

// New game: a blank sheet with a folded corner, and sparkles around it.
const Rows kSheet = {
    "......y.........", //
    ".y....y.......y.", //
    "..y..........y..", //
    "....kkkkkk......", //
    "....kwwwwkk.....", //
    "....kwwwwkwk....", //
    "yy..kwwwwkkkk...", //
    "....kwwwwwwwkG..", //
    "....kwwwwwwwkGyy", //
    "....kwwwwwwwkG..", //
    "....kwwwwwwwkG..", //
    "....kwwwwwwwkG..", //
    "....kkkkkkkkkG..", //
    "..y..GGGGGGGGG..", //
    ".y............y.", //
    ".......y.......y", //
};

// Open: an open folder on a purple ground (its key colour).
const Rows kFolder = {
    "................", //
    ".kkkk...........", //
    "kddddkkkkkkk....", //
    "kddddddddddk....", //
    "kddddddddddk....", //
    "kdddkkkkkkkkkkk.", //
    "kddkeeeeeeeeek..", //
    "kdkeeeeeeeeek...", //
    "kkeeeeeeeeek....", //
    "keeeeeeeeek.....", //
    "kkkkkkkkkkk.....", //
    "................", //
    "................", //
    "................", //
    "................", //
    "................", //
};

// Save: a floppy disk.
const Rows kFloppy = {
    "kkkkkkkkkkkkkkk.", //
    "kkrrrrrrrrrrkGk.", //
    "kkwwwwwwwwwwkGk.", //
    "kkwwwwwwwwwwkkk.", //
    "kkwwwwwwwwwwkkk.", //
    "kkwwwwwwwwwwkkk.", //
    "kkwwwwwwwwwwkkk.", //
    "kkkkkkkkkkkkkkk.", //
    "kkkkkkkkkkkkkkk.", //
    "kkkssssssssskkk.", //
    "kkkssssksssskkk.", //
    "kkkssssksssskkk.", //
    "kkkssssksssskkk.", //
    "kkkssssksssskkk.", //
    "kkkssssssssskkk.", //
    "................", //
};

// Rules and legend: an open book lying at an angle, its right end raised. Under the pages'
// near edge runs the white band of the page edges, then the blue cover.
const Rows kBook = {
    "................", //
    "............k...", //
    "..........kkk...", //
    "........kkwwwk..", //
    "......kkwwwwwk..", //
    "....kkkwwwwwwwk.", //
    "..kkwwwkwwwwkkk.", //
    "kkwwwwwkwwkkwwk.", //
    "kwwwwwwwkkwwbbk.", //
    ".kwwwwkkwwbbkk..", //
    ".kwwkkwwbbkk....", //
    "..kkwwbbkk......", //
    "..kwbbkk........", //
    "..kbkk..........", //
    "...k............", //
    "................", //
};

// About: a question mark on a bright disc.
const Rows kQuestion = {
    ".....ddddd......", //
    "...ddddddddd....", //
    "..ddddrrrdddd...", //
    ".ddddrrdrrdddd..", //
    ".ddddrrdrrGddd..", //
    "ddddddddrrGdddd.", //
    "dddddddrrGddddd.", //
    "ddddddrrddddddd.", //
    "ddddddrrGdddddd.", //
    "ddddddddddddddd.", //
    ".ddddddddddddd..", //
    ".dddddrrdddddd..", //
    "..ddddrrGdddd...", //
    "...ddddGddddd...", //
    ".....ddddd......", //
    "................", //
};

// --- The layout buttons --------------------------------------------------------------------

using Mask = std::array<std::array<bool, kSide>, kSide>;

struct Figure
{
    std::function<bool(int x, int y)> solid; // the yellow pixels
    std::function<bool(int x, int y)> hole; // enclosed pixels that show the button face
    bool diagonalOutline; // close the outline at convex corners (for upright shapes)
    // An open slot lets the shadow in; a small closed hole shows nothing but the face.
    bool shadowInHole = true;
};

QImage renderFigure(const Figure &figure)
{
    Mask yellow {}, hole {}, outline {}, silhouette {};
    auto at = [](const Mask &mask, int x, int y) {
        return x >= 0 && y >= 0 && x < kSide && y < kSide && mask[y][x];
    };
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            yellow[y][x] = figure.solid(x, y);
            hole[y][x] = figure.hole && figure.hole(x, y);
        }
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            if (yellow[y][x])
                continue;
            bool edge = at(yellow, x - 1, y) || at(yellow, x + 1, y) || at(yellow, x, y - 1)
                || at(yellow, x, y + 1);
            if (figure.diagonalOutline && !hole[y][x])
                edge = edge || at(yellow, x - 1, y - 1) || at(yellow, x + 1, y - 1)
                    || at(yellow, x - 1, y + 1) || at(yellow, x + 1, y + 1);
            outline[y][x] = edge;
        }
    }
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            silhouette[y][x] = yellow[y][x] || outline[y][x];

    QImage image(2 * kSide, kSide, QImage::Format_RGB32);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            QColor colour = Palette::Olive;
            if (yellow[y][x])
                colour = Palette::Yellow;
            else if (outline[y][x])
                colour = Palette::Black;
            // The shadow falls two pixels right and one down; inside a hole the walls are
            // close, so there it falls only one pixel each way, if at all.
            else if (hole[y][x] ? figure.shadowInHole && at(silhouette, x - 1, y - 1)
                                : at(silhouette, x - 2, y - 1))
                colour = Palette::Gray;
            image.setPixelColor(x, y, colour);
        }
    }
    return image;
}

// The disabled picture shared by the seven layout buttons: a "not available" sign.
void paintForbidden(QImage &image)
{
    Mask ring {};
    const double cx = 7.5, cy = 7.5;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const double dx = x - cx, dy = y - cy;
            const double r = std::hypot(dx, dy);
            const bool onRing = r >= 5.6 && r <= 7.1;
            // The stroke from upper right to lower left: x + y is constant along it.
            const bool onStroke = r < 6 && std::abs(dx + dy) < 0.8;
            ring[y][x] = (onRing && x <= 14 && y <= 14) || onStroke;
        }
    }
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            QColor colour = Palette::Olive;
            if (ring[y][x])
                colour = Palette::Gray;
            else if (x > 0 && y > 0 && ring[y - 1][x - 1])
                colour = Palette::White;
            image.setPixelColor(kSide + x, y, colour);
        }
    }
    image.setPixelColor(kSide + 4, 10, Palette::Black);
}

// The hole in the turned square: a diamond of six rows from y 5 to 10, 1, 3, 5, 5, 3 and 1
// pixels wide about x 7.
bool turnedSquareHole(int x, int y)
{
    return std::abs(2 * x - 14) + std::abs(2 * y - 15) <= 5;
}

Figure layoutFigure(int button)
{
    switch (button) {
    case 5: // Latin cross
        return {[](int x, int y) {
                    return (x >= 6 && x <= 7 && y >= 2 && y <= 13) || (y == 5 && x >= 3 && x <= 10);
                },
                nullptr, true};
    case 6: // Greek cross
        return {[](int x, int y) {
                    return (x >= 6 && x <= 7 && y >= 2 && y <= 13)
                        || (y >= 7 && y <= 8 && x >= 2 && x <= 12);
                },
                nullptr, true};
    case 7: // Fireplace: a block with a slot open at the bottom
        return {[](int x, int y) {
                    const bool block = x >= 2 && x <= 11 && y >= 2 && y <= 13;
                    const bool slot = x >= 5 && x <= 8 && y >= 4;
                    return block && !slot;
                },
                [](int x, int y) { return x >= 6 && x <= 7 && y >= 5; }, true};
    case 8: // Lamp: shade, stem and foot
        return {[](int x, int y) {
                    const bool shade = y >= 1 && y <= 5 && std::abs(x - 7) <= y - 1;
                    const bool stem = x == 7 && y >= 6 && y <= 12;
                    const bool foot = y == 13 && x >= 3 && x <= 11;
                    return shade || stem || foot;
                },
                nullptr, false};
    case 9: // Turned square with a small hole: six rows (y 5 to 10) about y 7.5, its rim black
        return {[](int x, int y) {
                    return std::abs(x - 7) + std::abs(y - 7) <= 5 && !turnedSquareHole(x, y);
                },
                turnedSquareHole, false, false};
    case 10: // Pyramid: steps two rows high under a single apex
        return {[](int x, int y) {
                    if (y == 3)
                        return x == 7;
                    if (y < 4 || y > 13)
                        return false;
                    const int step = (y - 4) / 2; // 0 to 4
                    return x >= 7 - step && x <= 8 + step;
                },
                nullptr, true};
    default: // 11, the full board: a plus with arms three pixels thick
        return {[](int x, int y) {
                    return (x >= 6 && x <= 8 && y >= 2 && y <= 12)
                        || (y >= 6 && y <= 8 && x >= 2 && x <= 13);
                },
                nullptr, true};
    }
}

QImage commandGlyph(const Rows &rows, const QColor &key)
{
    QImage image(2 * kSide, kSide, QImage::Format_RGB32);
    paint(image, 0, rows, key, kCommandGreys);
    paintEmbossed(image, rows, key, kCommandGreys);
    return image;
}

} // namespace

QImage makeGlyph(int button)
{
    switch (button) {
    case 1:
        return commandGlyph(kDoor, Palette::Olive);
    case 2:
        return commandGlyph(kSheet, Palette::Olive);
    case 3:
        return commandGlyph(kFloppy, Palette::Olive);
    case 4:
        return commandGlyph(kFolder, Palette::Purple);
    case 12:
        return commandGlyph(kBook, Palette::Olive);
    case 13:
        return commandGlyph(kQuestion, Palette::Olive);
    }
    QImage image = renderFigure(layoutFigure(button));
    paintForbidden(image);
    return image;
}
