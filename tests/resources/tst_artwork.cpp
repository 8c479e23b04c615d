// The built-in pictures: cell pictures, toolbar glyphs, the icon and the dialogs' JPEGs.
#include "platform/Failure.h"
#include "platform/Jpeg.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <optional>

namespace {

const QRgb kSilver = qRgb(192, 192, 192);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kOlive = qRgb(128, 128, 0);
const QRgb kPurple = qRgb(128, 0, 128);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kGray = qRgb(128, 128, 128);
const QRgb kYellow = qRgb(255, 255, 0);

const QList<QRgb> kStandardColours
    = {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
       qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(128, 128, 128),
       qRgb(192, 192, 192), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
       qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};

QImage load(const QString &path)
{
    return QImage(path).convertToFormat(QImage::Format_ARGB32);
}

QByteArray resourceBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool isOpaque(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 255)
                return false;
    return true;
}

// --- cell pictures ---

double distanceFromDiscCentre(int x, int y)
{
    return std::hypot(x - 29.5, y - 29.5);
}

// Which pixels of a cell picture carry the white frame.
bool onFrame(const QString &name, int x, int y)
{
    if (name == QLatin1String("empty"))
        return x == 0 || y == 0 || x == 59 || y == 59;
    if (name == QLatin1String("peg"))
        return (x <= 58 && y <= 58) && (x == 0 || y == 0 || x == 58 || y == 58);
    return false;
}

double brightness(QRgb colour)
{
    return 0.3 * qRed(colour) + 0.59 * qGreen(colour) + 0.11 * qBlue(colour);
}

// Mean brightness of the disc's pixels between two radii, within 30 degrees of a direction
// (in degrees, 0 to the right, 90 downwards).
double meanBrightness(const QImage &image, double innerRadius, double outerRadius, double direction)
{
    double sum = 0;
    int count = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            const double r = distanceFromDiscCentre(x, y);
            if (r < innerRadius || r > outerRadius)
                continue;
            const double angle = std::atan2(y - 29.5, x - 29.5) * 180 / M_PI;
            double difference = std::fmod(std::abs(angle - direction), 360.0);
            if (difference > 180)
                difference = 360 - difference;
            if (difference > 30)
                continue;
            sum += brightness(image.pixel(x, y));
            ++count;
        }
    }
    return count ? sum / count : 0;
}

// --- glyphs ---

bool isCommandGlyph(int button)
{
    return button <= 4 || button >= 12;
}

QRect yellowBounds(const QImage &glyph)
{
    QRect bounds;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (glyph.pixel(x, y) == kYellow)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// The yellow pixels of one row of the normal picture, as [first, last], or nothing.
std::optional<std::pair<int, int>> yellowSpan(const QImage &glyph, int y)
{
    std::optional<std::pair<int, int>> span;
    for (int x = 0; x < 16; ++x) {
        if (glyph.pixel(x, y) != kYellow)
            continue;
        if (!span)
            span = std::pair {x, x};
        span->second = x;
    }
    return span;
}

int yellowCount(const QImage &glyph, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += glyph.pixel(x, y) == kYellow;
    return count;
}

// --- JPEG ---

struct FrameHeader
{
    int marker = 0; // 0xC0 for baseline
    int precision = 0;
    int height = 0;
    int width = 0;
    int components = 0;
};

// Walks the marker segments up to the first frame header.
std::optional<FrameHeader> frameHeader(const QByteArray &data)
{
    auto byte = [&data](qsizetype i) { return int(static_cast<unsigned char>(data.at(i))); };
    if (data.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8)
        return {};
    qsizetype i = 2;
    while (i + 4 <= data.size()) {
        if (byte(i) != 0xFF)
            return {};
        const int marker = byte(i + 1);
        const int length = byte(i + 2) << 8 | byte(i + 3);
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8
            && marker != 0xCC;
        if (frame && i + 10 <= data.size())
            return FrameHeader {marker, byte(i + 4), byte(i + 5) << 8 | byte(i + 6),
                                byte(i + 7) << 8 | byte(i + 8), byte(i + 9)};
        i += 2 + length;
    }
    return {};
}

RgbImage decode(const QByteArray &data)
{
    return decodeJpeg(reinterpret_cast<const unsigned char *>(data.constData()),
                      std::size_t(data.size()));
}

// How much is going on in an area: the spread of brightness and the number of
// distinct colours at 4 bits a channel.
void measureContent(const RgbImage &image, const QRect &area, double *spread, int *colours)
{
    double sum = 0, squares = 0;
    QSet<int> seen;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const unsigned char *p = &image.pixels[std::size_t(y * image.width + x) * 3];
            const double b = 0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2];
            sum += b;
            squares += b * b;
            seen.insert((p[0] >> 4) << 8 | (p[1] >> 4) << 4 | (p[2] >> 4));
        }
    }
    const double n = double(area.width()) * area.height();
    *spread = std::sqrt(std::max(0.0, squares / n - (sum / n) * (sum / n)));
    *colours = int(seen.size());
}

} // namespace

class TestArtwork : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cellFrames_data();
    void cellFrames();
    void discPlacement_data();
    void discPlacement();
    void discLookAndLight_data();
    void discLookAndLight();

    void glyphColours_data();
    void glyphColours();
    void layoutFigures();
    void layoutOutlinesAndShadows_data();
    void layoutOutlinesAndShadows();
    void disabledPictures();

    void icon();

    void jpegFrames_data();
    void jpegFrames();
    void damagedJpegFails();
    void dedicationPicturesShowSomething();

    void generatorReproducesCommittedArt();
};

void TestArtwork::cellFrames_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << QStringLiteral("empty");
    QTest::newRow("peg") << QStringLiteral("peg");
    QTest::newRow("selected") << QStringLiteral("selected");
}

void TestArtwork::cellFrames()
{
    QFETCH(QString, name);
    const QImage image = load(QStringLiteral(":/cells/%1.png").arg(name));
    QCOMPARE(image.size(), QSize(60, 60));
    // Drawn as an opaque square, each picture must cover whatever was in the cell before.
    QVERIFY(isOpaque(image));

    for (int i = 0; i < 60; ++i) {
        for (const QPoint &edge : {QPoint(i, 0), QPoint(i, 59), QPoint(0, i), QPoint(59, i),
                                   QPoint(i, 58), QPoint(58, i)}) {
            const QRgb expected = onFrame(name, edge.x(), edge.y()) ? kWhite : kSilver;
            QVERIFY2(image.pixel(edge) == expected,
                     qPrintable(QStringLiteral("(%1,%2)").arg(edge.x()).arg(edge.y())));
        }
    }
    if (name == QLatin1String("empty")) {
        // No hole or any other mark: a peg drawn before leaves no trace.
        for (int y = 1; y < 59; ++y)
            for (int x = 1; x < 59; ++x)
                QCOMPARE(image.pixel(x, y), kSilver);
    }
}

void TestArtwork::discPlacement_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("peg") << QStringLiteral("peg");
    QTest::newRow("selected") << QStringLiteral("selected");
}

void TestArtwork::discPlacement()
{
    QFETCH(QString, name);
    const QImage image = load(QStringLiteral(":/cells/%1.png").arg(name));
    QRect disc;
    QSet<QRgb> shades;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            const QRgb colour = image.pixel(x, y);
            if (onFrame(name, x, y) || colour == kSilver)
                continue;
            disc |= QRect(x, y, 1, 1);
            shades.insert(colour);
            // Nothing but the disc is drawn: no pixel beyond its anti-aliased edge.
            QVERIFY2(distanceFromDiscCentre(x, y) < 27.75,
                     qPrintable(QStringLiteral("(%1,%2)").arg(x).arg(y)));
        }
    }
    QCOMPARE(disc, QRect(QPoint(3, 3), QPoint(56, 56)));
    // ... and the disc is solid up to its edge.
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            if (distanceFromDiscCentre(x, y) < 26.25)
                QVERIFY(image.pixel(x, y) != kSilver);
    QVERIFY2(shades.size() >= 40 && shades.size() <= 90,
             qPrintable(QStringLiteral("%1 shades").arg(shades.size())));
}

void TestArtwork::discLookAndLight_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("lowestHue");
    QTest::addColumn<double>("highestHue");
    // Main tones, grain, deep shadow and highlights, each drawn somewhere on the disc. (Silver,
    // the last of the marble's highlights, is the ground around it.)
    QTest::addColumn<QList<QRgb>>("tones");
    QTest::newRow("amber wood") << QStringLiteral("peg") << 20.0 << 50.0
                                << QList<QRgb>({qRgb(231, 156, 49), qRgb(214, 140, 41),
                                                qRgb(206, 123, 33), qRgb(198, 115, 33),
                                                qRgb(189, 107, 24), qRgb(148, 90, 33),
                                                qRgb(99, 41, 8), qRgb(74, 49, 16), qRgb(74, 33, 8),
                                                qRgb(255, 222, 132), qRgb(255, 255, 239),
                                                qRgb(255, 255, 255)});
    QTest::newRow("green marble") << QStringLiteral("selected") << 120.0 << 170.0
                                  << QList<QRgb>({qRgb(33, 90, 57), qRgb(16, 82, 49),
                                                  qRgb(24, 107, 66), qRgb(33, 132, 82),
                                                  qRgb(33, 115, 74), qRgb(16, 57, 33),
                                                  qRgb(8, 33, 16), qRgb(132, 239, 181),
                                                  qRgb(239, 255, 255)});
}

void TestArtwork::discLookAndLight()
{
    QFETCH(QString, name);
    QFETCH(double, lowestHue);
    QFETCH(double, highestHue);
    QFETCH(QList<QRgb>, tones);
    const QImage image = load(QStringLiteral(":/cells/%1.png").arg(name));
    QSet<QRgb> drawn;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            if (distanceFromDiscCentre(x, y) < 27)
                drawn.insert(image.pixel(x, y));
    for (const QRgb tone : tones)
        QVERIFY2(drawn.contains(tone), qPrintable(QColor(tone).name()));

    double r = 0, g = 0, b = 0;
    int count = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            if (distanceFromDiscCentre(x, y) >= 26)
                continue;
            r += qRed(image.pixel(x, y));
            g += qGreen(image.pixel(x, y));
            b += qBlue(image.pixel(x, y));
            ++count;
        }
    }
    const QColor mean
        = QColor::fromRgbF(float(r / count / 255), float(g / count / 255), float(b / count / 255));
    QVERIFY2(mean.hsvHueF() * 360 >= lowestHue && mean.hsvHueF() * 360 <= highestHue,
             qPrintable(mean.name()));
    QVERIFY2(mean.hsvSaturationF() > 0.4, qPrintable(mean.name()));

    // Light from the upper left (225 degrees): the outer rim is bright there and in deep
    // shadow at the lower right; on the inner wall it is the other way round.
    const double rimLit = meanBrightness(image, 21.5, 26, 225);
    const double rimShaded = meanBrightness(image, 21.5, 26, 45);
    QVERIFY2(rimLit > rimShaded + 60,
             qPrintable(QStringLiteral("%1 %2").arg(rimLit).arg(rimShaded)));
    const double wallLit = meanBrightness(image, 17, 20, 45);
    const double wallShaded = meanBrightness(image, 17, 20, 225);
    QVERIFY2(wallLit > wallShaded + 40,
             qPrintable(QStringLiteral("%1 %2").arg(wallLit).arg(wallShaded)));
}

void TestArtwork::glyphColours_data()
{
    QTest::addColumn<int>("button");
    for (int button = 1; button <= 13; ++button)
        QTest::addRow("SpeedButton%d", button) << button;
}

void TestArtwork::glyphColours()
{
    QFETCH(int, button);
    const QImage glyph = load(QStringLiteral(":/glyphs/SpeedButton%1.png").arg(button));
    QCOMPARE(glyph.size(), QSize(32, 16));

    QList<QRgb> palette = kStandardColours;
    if (isCommandGlyph(button)) {
        palette.replace(palette.indexOf(kGray), qRgb(127, 127, 127));
        palette.replace(palette.indexOf(kSilver), qRgb(191, 191, 191));
    }
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            QVERIFY2(palette.contains(glyph.pixel(x, y)),
                     qPrintable(QStringLiteral("(%1,%2) is %3")
                                    .arg(x)
                                    .arg(y)
                                    .arg(QColor(glyph.pixel(x, y)).name())));

    // The bottom-left pixel names the transparent colour.
    const QRgb key = glyph.pixel(0, 15);
    QCOMPARE(key, button == 4 ? kPurple : kOlive);
    if (button == 4) {
        // The only glyph on purple: any olive in it would be drawn, not left out.
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 32; ++x)
                QVERIFY(glyph.pixel(x, y) != kOlive);
    }
    if (button == 12) {
        // The open book lies at an angle: the blue of its cover climbs from left to right along
        // the bottom, with only the black outline under it, and the white pages are outlined.
        auto at = [&glyph, key](int x, int y) {
            return x >= 0 && y >= 0 && x < 16 && y < 16 ? glyph.pixel(x, y) : key;
        };
        int previous = 0, climb = 0, columns = 0;
        for (int x = 0; x < 16; ++x) {
            int y = 15;
            while (y >= 0 && at(x, y) != qRgb(0, 0, 255))
                --y;
            if (y < 0)
                continue;
            QCOMPARE(at(x, y + 1), kBlack);
            QCOMPARE(at(x, y + 2), key);
            if (columns++ > 0) {
                QVERIFY(y <= previous);
                climb += previous - y;
            }
            previous = y;
        }
        QVERIFY(columns >= 8);
        QVERIFY(climb >= 4);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (at(x, y) == kWhite)
                    QVERIFY(at(x - 1, y) != key && at(x + 1, y) != key && at(x, y - 1) != key
                            && at(x, y + 1) != key);
    }
    // Every picture shows something besides its ground.
    int drawn = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            drawn += glyph.pixel(x, y) != key;
    QVERIFY(drawn >= 20);
}

void TestArtwork::layoutFigures()
{
    auto glyph
        = [](int button) { return load(QStringLiteral(":/glyphs/SpeedButton%1.png").arg(button)); };
    // Rectangles whose union is exactly the yellow of the figure.
    auto compareYellow = [](const QImage &image, const QList<QRect> &parts) {
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                bool inside = false;
                for (const QRect &part : parts)
                    inside = inside || part.contains(x, y);
                if ((image.pixel(x, y) == kYellow) != inside)
                    return QStringLiteral("(%1,%2)").arg(x).arg(y);
            }
        }
        return QString();
    };
    auto span = [](int first, int last) { return std::optional(std::pair {first, last}); };

    // Latin cross: stem x 6-7, y 2-13; bar x 3-10 at y 5.
    QCOMPARE(
        compareYellow(glyph(5),
                      {QRect(QPoint(6, 2), QPoint(7, 13)), QRect(QPoint(3, 5), QPoint(10, 5))}),
        QString());
    // Greek cross: stem x 6-7, y 2-13; bar y 7-8, x 2-12.
    QCOMPARE(
        compareYellow(glyph(6),
                      {QRect(QPoint(6, 2), QPoint(7, 13)), QRect(QPoint(2, 7), QPoint(12, 8))}),
        QString());
    // Full board: arms three thick, x 6-8 over y 2-12 and y 6-8 over x 2-13.
    QCOMPARE(
        compareYellow(glyph(11),
                      {QRect(QPoint(6, 2), QPoint(8, 12)), QRect(QPoint(2, 6), QPoint(13, 8))}),
        QString());

    // Fireplace: a block x 2-11, y 2-13 with a slot at x 6-7 from y 5 through the bottom.
    const QImage fireplace = glyph(7);
    QCOMPARE(yellowBounds(fireplace), QRect(QPoint(2, 2), QPoint(11, 13)));
    QCOMPARE(yellowCount(fireplace, QRect(QPoint(6, 5), QPoint(7, 15))), 0);
    for (int y = 2; y <= 3; ++y)
        QCOMPARE(yellowSpan(fireplace, y), span(2, 11));

    // Lamp: shade from (7,1) to x 3-11 at y 5, a one-pixel stem at x 7, a foot x 3-11 at y 13.
    const QImage lamp = glyph(8);
    QCOMPARE(yellowBounds(lamp), QRect(QPoint(3, 1), QPoint(11, 13)));
    QCOMPARE(yellowSpan(lamp, 1), span(7, 7));
    QCOMPARE(yellowSpan(lamp, 5), span(3, 11));
    for (int y = 6; y <= 12; ++y)
        QCOMPARE(yellowSpan(lamp, y), span(7, 7));
    QCOMPARE(yellowSpan(lamp, 13), span(3, 11));

    // Turned square: a diamond y 2-12, widest at y 7 (x 2-12), a hole at its centre y 5-10.
    const QImage square = glyph(9);
    QCOMPARE(yellowBounds(square), QRect(QPoint(2, 2), QPoint(12, 12)));
    QCOMPARE(yellowSpan(square, 7)->first, 2);
    QCOMPARE(yellowSpan(square, 7)->second, 12);
    QCOMPARE(yellowSpan(square, 2), span(7, 7));
    QCOMPARE(yellowSpan(square, 12), span(7, 7));
    QRect hole;
    for (int y = 2; y <= 12; ++y)
        for (int x = yellowSpan(square, y)->first; x <= yellowSpan(square, y)->second; ++x)
            if (square.pixel(x, y) != kYellow)
                hole |= QRect(x, y, 1, 1);
    QCOMPARE(hole.top(), 5);
    QCOMPARE(hole.bottom(), 10);
    QCOMPARE(hole.left() + hole.right(), 14);
    for (int y = 2; y <= 12; ++y) {
        if (y >= 5 && y <= 10)
            continue;
        const auto row = yellowSpan(square, y);
        QCOMPARE(yellowCount(square, QRect(row->first, y, row->second - row->first + 1, 1)),
                 row->second - row->first + 1);
    }

    // Pyramid: solid, apex (7,3), base x 3-12 at y 13, each row at least as wide as the last.
    const QImage pyramid = glyph(10);
    QCOMPARE(yellowBounds(pyramid), QRect(QPoint(3, 3), QPoint(12, 13)));
    QCOMPARE(yellowSpan(pyramid, 3), span(7, 7));
    QCOMPARE(yellowSpan(pyramid, 13), span(3, 12));
    for (int y = 4; y <= 13; ++y) {
        const auto row = yellowSpan(pyramid, y), above = yellowSpan(pyramid, y - 1);
        QVERIFY(row && row->first <= above->first && row->second >= above->second);
        QCOMPARE(yellowCount(pyramid, QRect(row->first, y, row->second - row->first + 1, 1)),
                 row->second - row->first + 1);
    }
}

void TestArtwork::layoutOutlinesAndShadows_data()
{
    QTest::addColumn<int>("button");
    for (int button = 5; button <= 11; ++button)
        QTest::addRow("SpeedButton%d", button) << button;
}

void TestArtwork::layoutOutlinesAndShadows()
{
    QFETCH(int, button);
    const QImage glyph = load(QStringLiteral(":/glyphs/SpeedButton%1.png").arg(button));
    auto at = [&glyph](int x, int y) {
        return x >= 0 && y >= 0 && x < 16 && y < 16 ? glyph.pixel(x, y) : kOlive;
    };
    auto isFigure = [&at](int x, int y) { return at(x, y) == kYellow || at(x, y) == kBlack; };

    int shadow = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            // The yellow never touches the ground or the shadow: a black outline runs round it.
            if (at(x, y) == kYellow) {
                for (const QPoint &next :
                     {QPoint(x - 1, y), QPoint(x + 1, y), QPoint(x, y - 1), QPoint(x, y + 1)})
                    QVERIFY2(isFigure(next.x(), next.y()),
                             qPrintable(QStringLiteral("(%1,%2)").arg(x).arg(y)));
            }
            // Shadow pixels are gray, not the key, and lie just below right of the figure.
            if (at(x, y) == kGray) {
                ++shadow;
                QVERIFY2(isFigure(x - 2, y - 1) || isFigure(x - 1, y - 1),
                         qPrintable(QStringLiteral("(%1,%2)").arg(x).arg(y)));
            }
        }
    }
    QVERIFY(shadow >= 10);

    // The fireplace's slot and the turned square's hole let the button face show.
    if (button == 7) {
        int face = 0, shade = 0;
        for (int y = 5; y <= 13; ++y)
            for (int x = 6; x <= 7; ++x)
                face += at(x, y) == kOlive, shade += at(x, y) == kGray;
        QVERIFY(face > 0 && shade > 0);
    }
    if (button == 9) {
        // Inside its black rim the hole is all face: no shadow falls into it.
        int face = 0;
        for (int y = 5; y <= 10; ++y) {
            int first = 0, last = 15;
            while (at(first, y) != kYellow)
                ++first;
            while (at(last, y) != kYellow)
                --last;
            for (int x = first; x <= last; ++x) {
                QVERIFY2(at(x, y) == kYellow || at(x, y) == kBlack || at(x, y) == kOlive,
                         qPrintable(QStringLiteral("(%1,%2)").arg(x).arg(y)));
                face += at(x, y) == kOlive;
            }
        }
        QVERIFY(face > 0);
    }
}

void TestArtwork::disabledPictures()
{
    // The seven layout buttons share one disabled picture: a ring with a stroke and a dot.
    const QImage shared = load(QStringLiteral(":/glyphs/SpeedButton5.png")).copy(16, 0, 16, 16);
    QSet<QRgb> colours;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            colours.insert(shared.pixel(x, y));
    QCOMPARE(colours, QSet<QRgb>({kOlive, kGray, kWhite, kBlack}));
    for (int button = 6; button <= 11; ++button)
        QCOMPARE(load(QStringLiteral(":/glyphs/SpeedButton%1.png").arg(button)).copy(16, 0, 16, 16),
                 shared);

    // The command buttons' disabled pictures are their motif embossed in gray and white.
    for (int button : {1, 2, 3, 4, 12, 13}) {
        const QImage glyph = load(QStringLiteral(":/glyphs/SpeedButton%1.png").arg(button));
        const QRgb key = glyph.pixel(0, 15);
        colours.clear();
        for (int y = 0; y < 16; ++y)
            for (int x = 16; x < 32; ++x)
                colours.insert(glyph.pixel(x, y));
        QCOMPARE(colours, QSet<QRgb>({key, qRgb(127, 127, 127), kWhite}));
    }
}

void TestArtwork::icon()
{
    const QImage icon = load(QStringLiteral(":/icon/mainicon.png"));
    QCOMPARE(icon.size(), QSize(32, 32));
    QVERIFY(isOpaque(icon));
    QSet<QRgb> colours;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            QVERIFY(kStandardColours.contains(icon.pixel(x, y)));
            colours.insert(icon.pixel(x, y));
        }
    }
    for (int i = 0; i < 32; ++i) {
        QCOMPARE(icon.pixel(i, 0), kWhite);
        QCOMPARE(icon.pixel(0, i), kWhite);
    }
    const QRgb green = qRgb(0, 128, 0), blue = qRgb(0, 0, 255), navy = qRgb(0, 0, 128);
    QCOMPARE(icon.pixel(2, 25), green);
    QCOMPARE(icon.pixel(20, 2), green);
    QCOMPARE(icon.pixel(18, 15), kYellow);
    // The sky fills the lower right, bounded by a black arc: from the top (x 19 to 30 at y 4
    // to 5) down to x 4 to 5, which it reaches at y 21 and follows to the bottom edge.
    int sky = 0;
    for (int y = 22; y < 32; ++y)
        for (int x = 8; x < 20; ++x)
            sky += icon.pixel(x, y) == blue || icon.pixel(x, y) == navy;
    QVERIFY(sky > 100);
    QRect top;
    for (int y = 4; y <= 5; ++y)
        for (int x = 0; x < 32; ++x)
            if (icon.pixel(x, y) == kBlack)
                top |= QRect(x, 4, 1, 1);
    QCOMPARE(top, QRect(QPoint(19, 4), QPoint(30, 4)));
    for (int x = 19; x <= 30; ++x)
        QVERIFY(icon.pixel(x, 4) == kBlack || icon.pixel(x, 5) == kBlack);
    for (int y = 20; y < 32; ++y) {
        int x = 1;
        while (icon.pixel(x, y) == green)
            ++x;
        QCOMPARE(icon.pixel(x, y), kBlack);
        QVERIFY2(y == 20 ? x >= 6 : x == 4 || x == 5, qPrintable(QStringLiteral("y %1").arg(y)));
    }
    for (const QRgb colour : {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(255, 0, 255), navy})
        QVERIFY(colours.contains(colour));
}

void TestArtwork::jpegFrames_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("components");
    QTest::newRow("ProgramIcon") << QStringLiteral(":/pictures/ProgramIcon.jpg") << 50 << 70 << 1;
    QTest::newRow("Image1") << QStringLiteral(":/pictures/Image1.jpg") << 484 << 728 << 3;
    QTest::newRow("Image2") << QStringLiteral(":/pictures/Image2.jpg") << 147 << 184 << 3;
}

void TestArtwork::jpegFrames()
{
    QFETCH(QString, path);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, components);
    const QByteArray data = resourceBytes(path);
    QVERIFY(!data.isEmpty());

    const auto frame = frameHeader(data);
    QVERIFY(frame);
    QCOMPARE(frame->marker, 0xC0); // baseline
    QCOMPARE(frame->precision, 8);
    QCOMPARE(frame->width, width);
    QCOMPARE(frame->height, height);
    QCOMPARE(frame->components, components);

    const RgbImage image = decode(data);
    QCOMPARE(image.width, width);
    QCOMPARE(image.height, height);
    QCOMPARE(image.pixels.size(), std::size_t(width) * std::size_t(height) * 3);
    if (components == 1) {
        // The emblem is in greys on a silver ground.
        for (std::size_t i = 0; i < image.pixels.size(); i += 3) {
            QCOMPARE(image.pixels[i], image.pixels[i + 1]);
            QCOMPARE(image.pixels[i], image.pixels[i + 2]);
        }
        QVERIFY(std::abs(int(image.pixels[0]) - 193) <= 3);
    }
}

void TestArtwork::damagedJpegFails()
{
    const QByteArray whole = resourceBytes(QStringLiteral(":/pictures/Image2.jpg"));
    QVERIFY(whole.size() > 1000);

    QVERIFY_THROWS_EXCEPTION(Failure, decode(QByteArray()));
    QVERIFY_THROWS_EXCEPTION(Failure, decode(whole.left(whole.size() / 2)));
    QVERIFY_THROWS_EXCEPTION(Failure, decode(whole.left(200)));
    QByteArray garbage(4096, '\0');
    for (qsizetype i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 7919 + 13) % 251);
    QVERIFY_THROWS_EXCEPTION(Failure, decode(garbage));
    // A header that asks for an enormous picture is refused before anything is allocated.
    QByteArray huge = whole;
    const qsizetype sof = huge.indexOf(QByteArray("\xFF\xC0", 2));
    QVERIFY(sof > 0);
    huge[sof + 5] = char(0xEA), huge[sof + 6] = char(0x60); // height 60000
    huge[sof + 7] = char(0xEA), huge[sof + 8] = char(0x60); // width 60000
    QVERIFY_THROWS_EXCEPTION(Failure, decode(huge));

    // Scrambled picture data: either a picture of the stated size or a Failure, never a crash.
    for (qsizetype at = whole.size() / 3; at < whole.size() - 2; at += whole.size() / 7) {
        QByteArray damaged = whole;
        for (qsizetype i = at; i < at + 40 && i < damaged.size() - 2; ++i)
            damaged[i] = char(damaged[i] ^ 0x5A);
        try {
            const RgbImage image = decode(damaged);
            QCOMPARE(image.width, 147);
            QCOMPARE(image.height, 184);
        } catch (const Failure &) { }
    }
}

void TestArtwork::dedicationPicturesShowSomething()
{
    // Image2 is shown clipped to its top-left 145 x 177 pixels: that part must hold the picture.
    double spread = 0;
    int colours = 0;
    measureContent(decode(resourceBytes(QStringLiteral(":/pictures/Image2.jpg"))),
                   QRect(0, 0, 145, 177), &spread, &colours);
    QVERIFY2(spread > 25 && colours > 150,
             qPrintable(QStringLiteral("%1 %2").arg(spread).arg(colours)));
    measureContent(decode(resourceBytes(QStringLiteral(":/pictures/Image1.jpg"))),
                   QRect(0, 0, 484, 728), &spread, &colours);
    QVERIFY2(spread > 25 && colours > 300,
             qPrintable(QStringLiteral("%1 %2").arg(spread).arg(colours)));
}

void TestArtwork::generatorReproducesCommittedArt()
{
    // The committed pictures must be exactly what the generator draws today.
    QTemporaryDir output;
    QVERIFY(output.isValid());
    QProcess generator;
    generator.start(QStringLiteral(MAKE_ARTWORK_PATH), {output.path()});
    QVERIFY(generator.waitForFinished(60000));
    QCOMPARE(generator.exitStatus(), QProcess::NormalExit);
    QCOMPARE(generator.exitCode(), 0);

    QStringList files
        = {QStringLiteral("cells/empty.png"),          QStringLiteral("cells/peg.png"),
           QStringLiteral("cells/selected.png"),       QStringLiteral("icon/mainicon.png"),
           QStringLiteral("pictures/ProgramIcon.jpg"), QStringLiteral("pictures/Image1.jpg"),
           QStringLiteral("pictures/Image2.jpg")};
    for (int button = 1; button <= 13; ++button)
        files << QStringLiteral("glyphs/SpeedButton%1.png").arg(button);
    const QDir made(output.path());
    for (const QString &file : files) {
        // Byte for byte: the way a picture is stored counts as well (palette, no compression).
        QFile fresh(made.filePath(file));
        QVERIFY(fresh.open(QIODevice::ReadOnly));
        QVERIFY2(fresh.readAll() == resourceBytes(QStringLiteral(":/") + file), qPrintable(file));
    }
}

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
