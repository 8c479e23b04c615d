// The three 60 x 60 cell pictures: an empty hole, a wooden peg and the selected (marble) peg.
#include "Artwork.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kSize = 60;
const QColor kSilver(192, 192, 192);
const QColor kWhite(255, 255, 255);

// The disc in pixel-edge coordinates: pixel (x, y) covers [x, x+1] x [y, y+1], so a radius of
// 27 around (30, 30) fills pixels 3 to 56 in both directions.
constexpr double kCentre = 30.0;
constexpr double kRadius = 27.0;
constexpr double kDishRadius = 16.5;
constexpr double kWallOuter = 20.5;
constexpr double kCrest = 21.5;

struct Rgb
{
    double r = 0, g = 0, b = 0;
};

Rgb rgb(int r, int g, int b)
{
    return {double(r), double(g), double(b)};
}

Rgb mix(const Rgb &a, const Rgb &b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

double smoothstep(double edge0, double edge1, double x)
{
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// Height of the turned surface over the distance from the centre: a shallow dish, a sloping
// inner wall, and a rounded rim that falls steeply to the outer edge.
double height(double r)
{
    const double dish = 0.6 + 0.004 * r * r;
    if (r <= kDishRadius)
        return dish;
    const double dishEdge = 0.6 + 0.004 * kDishRadius * kDishRadius;
    if (r <= kWallOuter)
        return dishEdge + (5.6 - dishEdge) * smoothstep(kDishRadius, kWallOuter, r);
    if (r <= kCrest)
        return 5.6 + 0.4 * smoothstep(kWallOuter, kCrest, r);
    const double u = std::min((r - kCrest) / (kRadius - kCrest + 0.15), 1.0);
    return 0.3 + 5.7 * std::sqrt(1 - u * u);
}

// Value noise on a lattice, smooth between the lattice points; fixed hash, no state.
double latticeValue(int x, int y, unsigned seed)
{
    unsigned h = unsigned(x) * 374761393u + unsigned(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffff) / 65535.0;
}

double valueNoise(double x, double y, unsigned seed)
{
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const double fx = smoothstep(0, 1, x - x0), fy = smoothstep(0, 1, y - y0);
    const double top = latticeValue(x0, y0, seed) * (1 - fx) + latticeValue(x0 + 1, y0, seed) * fx;
    const double bottom
        = latticeValue(x0, y0 + 1, seed) * (1 - fx) + latticeValue(x0 + 1, y0 + 1, seed) * fx;
    return top * (1 - fy) + bottom * fy;
}

double turbulence(double x, double y, unsigned seed)
{
    double sum = 0, amplitude = 0.5, frequency = 1;
    for (int octave = 0; octave < 4; ++octave) {
        sum += amplitude * valueNoise(x * frequency, y * frequency, seed + unsigned(octave));
        amplitude *= 0.5;
        frequency *= 2;
    }
    return sum;
}

// Picks along a ramp of tones, t from 0 to 1.
Rgb ramp(const std::vector<Rgb> &tones, double t)
{
    t = std::clamp(t, 0.0, 1.0) * double(tones.size() - 1);
    const auto i = std::min(std::size_t(t), tones.size() - 2);
    return mix(tones[i], tones[i + 1], t - double(i));
}

struct Material
{
    std::vector<Rgb> shadows; // from the deepest up to the main tone
    std::vector<Rgb> highlights; // from just above the main tone up to the brightest
    Rgb (*surface)(double x, double y);
    // The tones the picture is known by; the disc's palette holds each of them exactly.
    std::vector<Rgb> tones;
};

// Amber wood; the grain runs from top to bottom and wavers a little.
Rgb woodSurface(double x, double y)
{
    static const std::vector<Rgb> tones = {rgb(189, 107, 24), rgb(198, 115, 33), rgb(206, 123, 33),
                                           rgb(214, 140, 41), rgb(231, 156, 49)};
    const double v = x + 0.9 * std::sin(y * 0.08 + x * 0.05) + 0.4 * std::sin(y * 0.27 + 1.3)
        + 1.6 * (turbulence(x * 0.12, y * 0.03, 11) - 0.5);
    const double band = 0.5 + 0.5 * std::sin(v * 0.42 + 0.8 * std::sin(v * 0.13));
    Rgb colour = ramp(tones, band);
    // Dark grain lines, spaced unevenly like the annual rings of a plank seen edge-on.
    const double ring = v * 0.27 + 0.6 * std::sin(v * 0.07);
    const double line = std::pow(std::abs(std::cos(ring * M_PI)), 14.0);
    return mix(colour, rgb(148, 90, 33), 0.85 * line);
}

// Green marble with irregular, branching light veins.
Rgb marbleSurface(double x, double y)
{
    static const std::vector<Rgb> tones
        = {rgb(16, 82, 49), rgb(33, 90, 57), rgb(24, 107, 66), rgb(33, 115, 74), rgb(33, 132, 82)};
    Rgb colour = ramp(tones, turbulence(x * 0.09 + 3, y * 0.09, 31) * 1.6 - 0.3);
    const double warp = 5.5 * turbulence(x * 0.07, y * 0.07, 47);
    const double vein = 1 - std::abs(std::sin(x * 0.13 + y * 0.21 + warp));
    const double fine = 1 - std::abs(std::sin(x * 0.29 - y * 0.11 + 3.1 * warp + 1.7));
    colour
        = mix(colour, rgb(132, 239, 181), 0.2 * std::pow(vein, 3.0) + 0.55 * std::pow(vein, 14.0));
    return mix(colour, rgb(110, 200, 150), 0.45 * std::pow(fine, 16.0));
}

const Material &wood()
{
    static const Material material {{rgb(74, 33, 8), rgb(74, 49, 16), rgb(99, 41, 8)},
                                    {rgb(255, 222, 132), rgb(255, 255, 239), rgb(255, 255, 255)},
                                    woodSurface,
                                    {rgb(231, 156, 49), rgb(214, 140, 41), rgb(206, 123, 33),
                                     rgb(198, 115, 33), rgb(189, 107, 24), rgb(148, 90, 33),
                                     rgb(99, 41, 8), rgb(74, 49, 16), rgb(74, 33, 8),
                                     rgb(255, 222, 132), rgb(255, 255, 239), rgb(255, 255, 255)}};
    return material;
}

const Material &marble()
{
    static const Material material {{rgb(8, 33, 16), rgb(16, 57, 33)},
                                    {rgb(132, 239, 181), rgb(239, 255, 255)},
                                    marbleSurface,
                                    {rgb(33, 90, 57), rgb(16, 82, 49), rgb(24, 107, 66),
                                     rgb(33, 132, 82), rgb(33, 115, 74), rgb(16, 57, 33),
                                     rgb(8, 33, 16), rgb(132, 239, 181), rgb(239, 255, 255)}};
    return material;
}

// The lit colour of the disc at one point: diffuse light from the upper left, with the flat
// dish as the neutral level, plus a glossy highlight.
Rgb shade(const Material &material, double x, double y)
{
    const double dx = x - kCentre, dy = y - kCentre;
    const double r = std::max(std::hypot(dx, dy), 1e-6);
    const double slope = (height(r + 0.05) - height(r - 0.05)) / 0.1;
    // Surface normal: the height rises outwards by `slope`.
    double nx = -slope * dx / r, ny = -slope * dy / r, nz = 1;
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    nx /= length, ny /= length, nz /= length;

    const double lx = -0.62, ly = -0.62, lz = 0.48; // upper left, about 30 degrees high
    const double flat = lz;
    const double diffuse = std::max(0.0, nx * lx + ny * ly + nz * lz);

    // Half-way vector between light and viewer for the highlight.
    const double hl = std::sqrt(lx * lx + ly * ly + (lz + 1) * (lz + 1));
    const double specular = std::pow(std::max(0.0, (nx * lx + ny * ly + nz * (lz + 1)) / hl), 40.0);

    Rgb colour = material.surface(x, y);
    if (diffuse >= flat) {
        const double lift = (diffuse - flat) / (1 - flat);
        colour = mix(colour, ramp(material.highlights, lift * 0.5), lift * 1.1);
    } else {
        const double depth = (flat - diffuse) / flat;
        colour = mix(colour, ramp(material.shadows, 1 - depth), depth * 1.15);
    }
    return mix(colour, ramp(material.highlights, 0.6 + 0.4 * specular), specular);
}

// Reduces the disc to a small set of shades, the way a 256-colour picture would hold it:
// k-means in RGB. The material's own tones are fixed members of the set; the others start from
// colours spread evenly over the brightness order and move.
void quantize(std::vector<Rgb> &colours, std::size_t count, const std::vector<Rgb> &fixed)
{
    std::vector<Rgb> sorted = colours;
    auto brightness = [](const Rgb &c) { return 0.3 * c.r + 0.59 * c.g + 0.11 * c.b; };
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const Rgb &a, const Rgb &b) { return brightness(a) < brightness(b); });
    std::vector<Rgb> centres = fixed;
    const std::size_t moving = count - fixed.size();
    for (std::size_t i = 0; i < moving; ++i)
        centres.push_back(sorted[(2 * i + 1) * sorted.size() / (2 * moving)]);

    std::vector<std::size_t> nearest(colours.size());
    auto distance = [](const Rgb &a, const Rgb &b) {
        return (a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b);
    };
    for (int round = 0; round < 30; ++round) {
        for (std::size_t p = 0; p < colours.size(); ++p) {
            std::size_t best = 0;
            for (std::size_t c = 1; c < count; ++c)
                if (distance(colours[p], centres[c]) < distance(colours[p], centres[best]))
                    best = c;
            nearest[p] = best;
        }
        std::vector<Rgb> sums(count);
        std::vector<double> sizes(count, 0);
        for (std::size_t p = 0; p < colours.size(); ++p) {
            sums[nearest[p]].r += colours[p].r;
            sums[nearest[p]].g += colours[p].g;
            sums[nearest[p]].b += colours[p].b;
            sizes[nearest[p]] += 1;
        }
        for (std::size_t c = fixed.size(); c < count; ++c)
            if (sizes[c] > 0)
                centres[c] = {sums[c].r / sizes[c], sums[c].g / sizes[c], sums[c].b / sizes[c]};
    }
    // A tone of the material that no pixel came nearest to takes over the moving shade closest
    // to it, so that every tone the picture is known by is drawn.
    std::vector<bool> used(count, false);
    for (const std::size_t c : nearest)
        used[c] = true;
    for (std::size_t tone = 0; tone < fixed.size(); ++tone) {
        if (used[tone])
            continue;
        std::size_t closest = count;
        for (std::size_t c = fixed.size(); c < count; ++c)
            if (used[c]
                && (closest == count
                    || distance(fixed[tone], centres[c]) < distance(fixed[tone], centres[closest])))
                closest = c;
        if (closest == count)
            continue;
        std::replace(nearest.begin(), nearest.end(), closest, tone);
        used[closest] = false;
        used[tone] = true;
    }
    for (std::size_t p = 0; p < colours.size(); ++p)
        colours[p] = centres[nearest[p]];
}

void drawDisc(QImage &image, const Material &material)
{
    constexpr int kSamples = 4; // per side, for the anti-aliased outer edge
    struct Covered
    {
        int x, y;
    };
    std::vector<Covered> pixels;
    std::vector<Rgb> colours;
    const Rgb silver = rgb(192, 192, 192);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            Rgb sum;
            int inside = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double px = x + (sx + 0.5) / kSamples, py = y + (sy + 0.5) / kSamples;
                    if (std::hypot(px - kCentre, py - kCentre) >= kRadius)
                        continue;
                    const Rgb c = shade(material, px, py);
                    sum.r += c.r, sum.g += c.g, sum.b += c.b;
                    ++inside;
                }
            }
            if (inside == 0)
                continue;
            const double n = kSamples * kSamples;
            const double cover = inside / n;
            const Rgb mean {sum.r / inside, sum.g / inside, sum.b / inside};
            pixels.push_back({x, y});
            colours.push_back(mix(silver, mean, cover));
        }
    }
    quantize(colours, 58, material.tones);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const Rgb &c = colours[i];
        image.setPixelColor(
            pixels[i].x, pixels[i].y,
            QColor(int(std::lround(c.r)), int(std::lround(c.g)), int(std::lround(c.b))));
    }
}

void drawFrame(QImage &image, int last)
{
    for (int i = 0; i <= last; ++i) {
        image.setPixelColor(i, 0, kWhite);
        image.setPixelColor(i, last, kWhite);
        image.setPixelColor(0, i, kWhite);
        image.setPixelColor(last, i, kWhite);
    }
}

} // namespace

QImage makeCell(CellPicture picture)
{
    QImage image(kSize, kSize, QImage::Format_RGB32);
    image.fill(kSilver);
    switch (picture) {
    case CellPicture::Empty:
        drawFrame(image, kSize - 1);
        break;
    case CellPicture::Peg:
        // The peg's frame stops one pixel short: its last row and column stay silver.
        drawFrame(image, kSize - 2);
        drawDisc(image, wood());
        break;
    case CellPicture::Selected:
        drawDisc(image, marble());
        break;
    }
    return image;
}
