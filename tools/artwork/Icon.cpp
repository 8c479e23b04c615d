// The 32 x 32 application icon: a yellow star over a night sky, in the 16 standard colours.
#include "Artwork.h"

#include <array>
#include <cmath>

namespace {

constexpr int kSide = 32;

// The sky is a large rounded disc whose centre lies beyond the lower-right corner; a
// fourth-power "squircle" gives it a nearly flat top and left side joined by a wide bend.
// Its black rim runs along y 4 to 5 from x 19 to 30 (rising out through the right edge above
// y 4), bends down and left, and follows x 4 to 5 from y 21 to the bottom edge. The size is
// tuned to those pixels: a change of a few hundredths moves them.
constexpr double kSkyCentreX = 46.5;
constexpr double kSkyCentreY = 45.5;
constexpr double kSkyRadius = 42.19;

bool inSky(int x, int y)
{
    const double dx = std::abs(x + 0.5 - kSkyCentreX), dy = std::abs(y + 0.5 - kSkyCentreY);
    return std::pow(dx * dx * dx * dx + dy * dy * dy * dy, 0.25) < kSkyRadius;
}

// The rim: sky pixels next to the green ground (the picture's own edges do not count).
bool onSkyRim(int x, int y)
{
    auto ground = [](int gx, int gy) {
        return gx >= 0 && gy >= 0 && gx < kSide && gy < kSide && !inSky(gx, gy);
    };
    return inSky(x, y)
        && (ground(x - 1, y) || ground(x + 1, y) || ground(x, y - 1) || ground(x, y + 1));
}

// Draws small hand-made letters: one string a row, '#' for a set pixel.
void stamp(QImage &image, int left, int top, std::initializer_list<const char *> rows,
           const QColor &colour)
{
    int y = top;
    for (const char *row : rows) {
        for (int x = 0; row[x] != '\0'; ++x)
            if (row[x] == '#')
                image.setPixelColor(left + x, y, colour);
        ++y;
    }
}

} // namespace

QImage makeMainIcon()
{
    QImage image(kSide, kSide, QImage::Format_RGB32);
    image.fill(Palette::Green);

    // Night sky with its black rim.
    Random random(20260107);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            if (!inSky(x, y))
                continue;
            QColor colour = Palette::Blue;
            if (onSkyRim(x, y))
                colour = Palette::Black;
            else if (random.below(9) == 0)
                colour = Palette::Navy;
            image.setPixelColor(x, y, colour);
        }
    }
    // A few distant stars, placed by hand away from the big one and the marks.
    for (const auto &[x, y] :
         std::array<std::pair<int, int>, 5> {{{27, 9}, {11, 27}, {29, 19}, {23, 28}, {8, 31}}})
        image.setPixelColor(x, y, Palette::Yellow);

    // The four-pointed star: rays that narrow to single pixels, a white glow between them.
    constexpr int cx = 18, cy = 15;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const int dx = std::abs(x - cx), dy = std::abs(y - cy);
            const bool horizontal = x >= 7 && x <= 27 && dy <= (dx < 2 ? 2 : dx < 5 ? 1 : 0);
            const bool vertical = y >= 6 && y <= 25 && dx <= (dy < 2 ? 2 : dy < 5 ? 1 : 0);
            const bool glow = dx + dy <= 7 && x >= 11 && x <= 24 && y >= 11 && y <= 21;
            if (horizontal || vertical)
                image.setPixelColor(x, y, Palette::Yellow);
            else if (glow)
                image.setPixelColor(x, y, Palette::White);
        }
    }

    // Our mark at the top left: "QV" in red, raised on a lime shadow.
    const auto q = {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"};
    const auto v = {"#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."};
    stamp(image, 3, 4, q, Palette::Lime);
    stamp(image, 10, 4, v, Palette::Lime);
    stamp(image, 2, 3, q, Palette::Red);
    stamp(image, 9, 3, v, Palette::Red);

    // The year at the bottom right: '26.
    stamp(image, 21, 26, {"#", "#"}, Palette::Fuchsia);
    stamp(image, 23, 26, {"###", "..#", "###", "#..", "###"}, Palette::Fuchsia);
    stamp(image, 27, 26, {"###", "#..", "###", "#.#", "###"}, Palette::Fuchsia);

    // A bevel of light along the top and the left edge.
    for (int i = 0; i < kSide; ++i) {
        image.setPixelColor(i, 0, Palette::White);
        image.setPixelColor(0, i, Palette::White);
    }
    return image;
}
