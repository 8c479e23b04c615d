// Writing baseline JPEG files with libjpeg's compressor.
#pragma once

class QImage;
class QString;

enum class JpegColours { Grey, Rgb };

// Returns false, with a message on stderr, when the file cannot be written.
bool writeJpeg(const QImage &image, JpegColours colours, int quality, const QString &path);
