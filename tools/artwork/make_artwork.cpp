// Draws every picture of the program and writes it under the given resources folder.
#include "Artwork.h"
#include "JpegWriter.h"

#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>

namespace {

// Written with a palette and without compression: the game reads these at every start, and
// such a file decodes with little work per pixel. Every picture has a few dozen colours.
bool writePng(const QImage &image, const QString &path)
{
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8);
    if (indexed.convertToFormat(image.format()) != image) {
        std::fprintf(stderr, "make_artwork: %s has more than 256 colours\n", qPrintable(path));
        return false;
    }
    if (indexed.save(path, "PNG", 100))
        return true;
    std::fprintf(stderr, "make_artwork: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fputs("usage: make_artwork <resources dir>\n", stderr);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (const char *folder : {"cells", "glyphs", "icon", "pictures"}) {
        if (!root.mkpath(QString::fromLatin1(folder))) {
            std::fprintf(stderr, "make_artwork: cannot create %s\n", folder);
            return 1;
        }
    }
    auto file = [&root](const char *name) { return root.filePath(QString::fromLatin1(name)); };

    bool ok = writePng(makeCell(CellPicture::Empty), file("cells/empty.png"))
        && writePng(makeCell(CellPicture::Peg), file("cells/peg.png"))
        && writePng(makeCell(CellPicture::Selected), file("cells/selected.png"));
    for (int button = 1; ok && button <= 13; ++button)
        ok = writePng(makeGlyph(button),
                      root.filePath(QStringLiteral("glyphs/SpeedButton%1.png").arg(button)));
    // Quality 85 keeps the pictures small without visible blocks.
    ok = ok && writePng(makeMainIcon(), file("icon/mainicon.png"))
        && writeJpeg(makeProgramIcon(), JpegColours::Grey, 90, file("pictures/ProgramIcon.jpg"))
        && writeJpeg(makeDedicationPicture(), JpegColours::Rgb, 85, file("pictures/Image1.jpg"))
        && writeJpeg(makeWinterPicture(), JpegColours::Rgb, 85, file("pictures/Image2.jpg"));
    return ok ? 0 : 1;
}
