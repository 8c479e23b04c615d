// Decoding the built-in JPEG pictures with libjpeg.
#include "platform/Jpeg.h"

#include "platform/Failure.h"

#include <csetjmp>
#include <cstdio>
#include <string>

#include <jpeglib.h>

namespace {

// Far larger than any picture of ours; refuses data that would make us allocate gigabytes.
constexpr JDIMENSION kMaxSide = 8192;

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// libjpeg's own handler ends the process; ours jumps back to decodeJpeg instead.
[[noreturn]] void failDecoding(j_common_ptr info)
{
    auto *errors = reinterpret_cast<ErrorManager *>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// A warning means damaged data (a truncated file, a bad marker); a built-in picture has none.
void failOnWarning(j_common_ptr info, int level)
{
    if (level < 0)
        failDecoding(info);
}

} // namespace

RgbImage decodeJpeg(const unsigned char *data, std::size_t size)
{
    RgbImage image;
    jpeg_decompress_struct info {};
    ErrorManager errors {};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = failDecoding;
    errors.base.emit_message = failOnWarning;

    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        throw Failure(std::string("Bad JPEG picture: ") + errors.message);
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    if (info.image_width > kMaxSide || info.image_height > kMaxSide) {
        std::snprintf(errors.message, sizeof errors.message, "%ux%u is too large", info.image_width,
                      info.image_height);
        std::longjmp(errors.jump, 1);
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);

    image.width = static_cast<int>(info.output_width);
    image.height = static_cast<int>(info.output_height);
    const std::size_t stride = std::size_t(info.output_width) * 3;
    image.pixels.resize(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.pixels.data() + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return image;
}
