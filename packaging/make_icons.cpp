// Enlarges the 32 x 32 application icon for the desktop's icon theme, one file a size.
#include <QImage>

#include <cstdio>
#include <cstdlib>

// Usage: make_icons <mainicon.png> <size> <out.png> [<size> <out.png> ...]
int main(int argc, char *argv[])
{
    if (argc < 4 || argc % 2 != 0) {
        std::fputs("usage: make_icons ICON SIZE OUT [SIZE OUT ...]\n", stderr);
        return EXIT_FAILURE;
    }
    const QImage icon(QString::fromLocal8Bit(argv[1]));
    if (icon.isNull()) {
        std::fprintf(stderr, "make_icons: cannot read %s\n", argv[1]);
        return EXIT_FAILURE;
    }
    for (int i = 2; i + 1 < argc; i += 2) {
        const int side = std::atoi(argv[i]);
        // Each pixel becomes a square block, so the pixel art stays crisp: no smoothing.
        const QImage large = icon.scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        if (side <= 0 || !large.save(QString::fromLocal8Bit(argv[i + 1]), "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", argv[i + 1]);
            return EXIT_FAILURE;
        }
    }
    return EXIT_SUCCESS;
}
