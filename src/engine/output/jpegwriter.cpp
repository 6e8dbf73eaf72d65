#include "engine/output/jpegwriter.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace cm {

namespace {

struct ErrorManager {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void onError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void noMessage(j_common_ptr) {}

#ifdef JCS_EXTENSIONS
// The bytes of a Format_RGB32 pixel in memory.
constexpr J_COLOR_SPACE Rgb32Space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;
#endif

// Only plain C state lives from setjmp on: a longjmp skips destructors.
bool compress(const QImage& image, int quality, int rgb32, unsigned char** out, unsigned long* size)
{
    jpeg_compress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = onError;
    errors.manager.output_message = noMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, size);
    info.image_width = JDIMENSION(image.width());
    info.image_height = JDIMENSION(image.height());
#ifdef JCS_EXTENSIONS
    info.input_components = rgb32 ? 4 : 3;
    info.in_color_space = rgb32 ? Rgb32Space : JCS_RGB;
#else
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
#endif
    jpeg_set_defaults(&info);   // 4:2:0
    jpeg_set_quality(&info, quality, TRUE);
    info.dct_method = JDCT_ISLOW;   // as fast as JDCT_IFAST in libjpeg-turbo, and exact
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        info.density_unit = 1;   // per inch
        info.X_density = UINT16(image.dotsPerMeterX() * 0.0254 + 0.5);
        info.Y_density = UINT16(image.dotsPerMeterY() * 0.0254 + 0.5);
    }
    jpeg_start_compress(&info, TRUE);
    constexpr int Rows = 16;   // one band of 4:2:0 blocks at a time
    JSAMPROW rows[Rows];
    while (info.next_scanline < info.image_height) {
        const int count = int(std::min<JDIMENSION>(Rows, info.image_height - info.next_scanline));
        for (int r = 0; r < count; ++r)
            rows[r] = const_cast<JSAMPROW>(image.constScanLine(int(info.next_scanline) + r));
        jpeg_write_scanlines(&info, rows, JDIMENSION(count));
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

QByteArray encodeFastJpeg(const QImage& source, int quality)
{
    if (source.isNull() || quality < 0 || quality > 100)
        return {};
#ifdef JCS_EXTENSIONS
    const bool rgb32 = true;
    const QImage image = source.format() == QImage::Format_RGB32 ? source : source.convertToFormat(QImage::Format_RGB32);
#else
    const bool rgb32 = false;
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
#endif
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const bool ok = compress(image, quality, rgb32 ? 1 : 0, &out, &size);
    QByteArray bytes;
    if (ok && out)
        bytes = QByteArray(reinterpret_cast<const char*>(out), qsizetype(size));
    std::free(out);
    return bytes;
}

} // namespace cm
