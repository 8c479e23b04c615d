// Writing baseline JPEG files with libjpeg's compressor.
#include "JpegWriter.h"

#include <QFile>
#include <QImage>
#include <QString>

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

bool writeJpeg(const QImage &image, JpegColours colours, int quality, const QString &path)
{
    const bool grey = colours == JpegColours::Grey;
    const QImage source
        = image.convertToFormat(grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);

    // The default error handler ends the process, which is what a hand-run tool wants.
    jpeg_compress_struct info {};
    jpeg_error_mgr errors {};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);

    info.image_width = JDIMENSION(source.width());
    info.image_height = JDIMENSION(source.height());
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    // Sequential, standard Huffman tables: a baseline file that every decoder reads.
    jpeg_set_quality(&info, quality, TRUE);
    info.optimize_coding = FALSE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto *row = const_cast<JSAMPLE *>(source.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);

    QFile file(path);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(reinterpret_cast<const char *>(buffer), qint64(size)) == qint64(size);
    std::free(buffer);
    if (!written)
        std::fprintf(stderr, "make_artwork: cannot write %s\n", qPrintable(path));
    return written;
}
