// Decoding the built-in JPEG pictures with libjpeg.
#pragma once

#include <cstddef>
#include <vector>

struct RgbImage
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels; // 3 bytes (R, G, B) a pixel, row after row, no padding
};

// Throws Failure when the data is not a complete, readable JPEG picture.
RgbImage decodeJpeg(const unsigned char *data, std::size_t size);
