#include "lib/JpegImage.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace {

struct ErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void onError(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

void onMessage(j_common_ptr, int) {}

// Smallest n of 1, 2, 4 with size * n / 8 covering the wanted size, else 8. libjpeg-turbo
// has fast paths for these scales only; the others can cost more than a full decode.
unsigned scaleNumerator(QSize source, QSize shown)
{
    if (!shown.isValid() || shown.isEmpty())
        return 8;
    for (unsigned n : {1u, 2u, 4u}) {
        const qint64 w = (qint64(source.width()) * n + 7) / 8;
        const qint64 h = (qint64(source.height()) * n + 7) / 8;
        if (w >= shown.width() && h >= shown.height())
            return n;
    }
    return 8;
}

// The decoder state lives outside the function that calls setjmp, so that nothing with a
// destructor is skipped by longjmp.
struct Decoder
{
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    QImage image;
    JDIMENSION rowsRead = 0;
};

bool decode(Decoder& d, const QByteArray& bytes, QSize shown, bool headerOnly, QSize& sourceSize)
{
    d.cinfo.err = jpeg_std_error(&d.err.pub);
    d.err.pub.error_exit = onError;
    d.err.pub.emit_message = onMessage;
    if (setjmp(d.err.jump)) {
        jpeg_destroy_decompress(&d.cinfo);
        return d.rowsRead > 0 && !headerOnly;
    }
    jpeg_create_decompress(&d.cinfo);
    // Bounds the decoder's own work memory too (coefficient buffers of progressive files).
    d.cinfo.mem->max_memory_to_use = 512L * 1024 * 1024;
    jpeg_mem_src(&d.cinfo, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&d.cinfo, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&d.cinfo);
        return false;
    }
    sourceSize = QSize(int(d.cinfo.image_width), int(d.cinfo.image_height));
    if (headerOnly || qint64(d.cinfo.image_width) * d.cinfo.image_height > kMaxJpegSourcePixels) {
        jpeg_destroy_decompress(&d.cinfo);
        return headerOnly;
    }

    const bool cmyk = d.cinfo.jpeg_color_space == JCS_CMYK || d.cinfo.jpeg_color_space == JCS_YCCK;
    d.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    d.cinfo.scale_num = scaleNumerator(sourceSize, shown);
    d.cinfo.scale_denom = 8;
    d.cinfo.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&d.cinfo);

    d.image = QImage(int(d.cinfo.output_width), int(d.cinfo.output_height), QImage::Format_RGB32);
    if (d.image.isNull()) {
        jpeg_destroy_decompress(&d.cinfo);
        return false;
    }
    d.image.fill(Qt::white);
    const bool inverted = cmyk && d.cinfo.saw_Adobe_marker;
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        auto* row = d.image.scanLine(int(d.cinfo.output_scanline));
        JSAMPROW rows[1] = {row};
        if (jpeg_read_scanlines(&d.cinfo, rows, 1) != 1)
            break;
        if (cmyk) {
            // CMYK rows are 4 bytes a pixel too; convert in place to BGRX.
            for (JDIMENSION x = 0; x < d.cinfo.output_width; ++x) {
                unsigned char* p = row + 4 * x;
                int c = p[0], m = p[1], y = p[2], k = p[3];
                if (!inverted) {
                    c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
                }
                p[2] = static_cast<unsigned char>(c * k / 255);
                p[1] = static_cast<unsigned char>(m * k / 255);
                p[0] = static_cast<unsigned char>(y * k / 255);
                p[3] = 255;
            }
        }
        ++d.rowsRead;
    }
    jpeg_finish_decompress(&d.cinfo);
    jpeg_destroy_decompress(&d.cinfo);
    return d.rowsRead > 0;
}

} // namespace

QImage DecodeJpeg(const QByteArray& jpegBytes, QSize shownSize)
{
    if (jpegBytes.size() < 4)
        return {};
    Decoder d;
    QSize source;
    if (!decode(d, jpegBytes, shownSize, false, source))
        return {};
    return d.image;
}

QSize JpegSize(const QByteArray& jpegBytes)
{
    if (jpegBytes.size() < 4)
        return {};
    Decoder d;
    QSize source;
    if (!decode(d, jpegBytes, {}, true, source))
        return {};
    return source;
}
