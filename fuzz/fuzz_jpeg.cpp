// libFuzzer target: any bytes given to the JPEG decoder give a picture or a Failure, nothing else.
#include "platform/Failure.h"
#include "platform/Jpeg.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    try {
        const RgbImage image = decodeJpeg(data, size);
        if (image.pixels.size() != std::size_t(image.width) * std::size_t(image.height) * 3)
            std::abort();
    } catch (const Failure &) { }
    return 0;
}
