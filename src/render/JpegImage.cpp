#include "render/JpegImage.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>

using namespace Qt::StringLiterals;

namespace {

// More scans than any encoder writes: each one costs a pass over the whole coefficient buffer.
constexpr int kMaxScans = 100;

struct ErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    JpegFailure failure = JpegFailure::Damaged;
};

[[noreturn]] void onError(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (err->pub.msg_code == JERR_NO_SOI)
        err->failure = JpegFailure::NotJpeg;
    std::longjmp(err->jump, 1);
}

// A warning means corrupt or truncated data that libjpeg would paper over with grey: refused.
void onMessage(j_common_ptr cinfo, int level)
{
    if (level < 0)
        onError(cinfo);
}

void onProgress(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
        onError(cinfo);
}

// Bytes of the whole-picture coefficient buffer that progressive and multi-scan files need
// (two bytes a coefficient, 64 a block, every component), whatever the output scale.
qint64 coefficientBytes(const jpeg_decompress_struct& c)
{
    if (!c.progressive_mode && c.comps_in_scan >= c.num_components)
        return 0;
    qint64 total = 0;
    for (int i = 0; i < c.num_components; ++i) {
        const jpeg_component_info& comp = c.comp_info[i];
        const qint64 w = (qint64(comp.width_in_blocks) + comp.h_samp_factor - 1) /
                         comp.h_samp_factor * comp.h_samp_factor;
        const qint64 h = (qint64(comp.height_in_blocks) + comp.v_samp_factor - 1) /
                         comp.v_samp_factor * comp.v_samp_factor;
        total += w * h * qint64(sizeof(JBLOCK));
    }
    return total;
}

qint64 scaled(qint64 side, unsigned n)
{
    return (side * n + 7) / 8;
}

// The decode's working memory at scale n/8: the picture, the coefficients, and the decoder's
// row buffers (a few MCU rows of the output width).
qint64 workBytes(const jpeg_decompress_struct& c, unsigned n, qint64 coefficients)
{
    const qint64 w = scaled(c.image_width, n), h = scaled(c.image_height, n);
    return w * h * 4 + coefficients + w * 4 * 2 * c.max_v_samp_factor * DCTSIZE;
}

// The scale n of n/8 for a picture shown at shown (invalid: as large as the budget allows).
// 0 when even 1/8 passes the budget.
unsigned scaleNumerator(const jpeg_decompress_struct& c, QSize shown)
{
    const qint64 coefficients = coefficientBytes(c);
    const qint64 srcW = c.image_width, srcH = c.image_height;
    unsigned n = 8;
    if (shown.isValid() && !shown.isEmpty()) {
        const qint64 wantW = std::min<qint64>(srcW, shown.width());
        const qint64 wantH = std::min<qint64>(srcH, shown.height());
        for (unsigned m : {1u, 2u, 4u, 8u}) {
            n = m;
            if (scaled(srcW, m) >= wantW && scaled(srcH, m) >= wantH)
                break;
        }
        // A picture far wider than tall (or the reverse) cannot cover both sides at a small
        // scale: give up detail on the long side rather than decode it whole.
        const qint64 shownPixels = qint64(shown.width()) * shown.height();
        while (n > 1 && scaled(srcW, n) * scaled(srcH, n) > 4 * shownPixels)
            n /= 2;
    }
    while (n >= 1 && workBytes(c, n, coefficients) > kMaxJpegWorkBytes)
        n /= 2;
    return n;
}

// The decoder state lives outside the function that calls setjmp, so that nothing with a
// destructor is skipped by longjmp.
struct Decoder
{
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    jpeg_progress_mgr progress{};
    QImage image;
    JpegFailure failure = JpegFailure::None;
};

bool decode(Decoder& d, const QByteArray& bytes, QSize shown, bool headerOnly, QSize& sourceSize)
{
    d.cinfo.err = jpeg_std_error(&d.err.pub);
    d.err.pub.error_exit = onError;
    d.err.pub.emit_message = onMessage;
    if (setjmp(d.err.jump)) {
        jpeg_destroy_decompress(&d.cinfo);
        d.image = QImage();
        d.failure = d.err.failure;
        return false;
    }
    jpeg_create_decompress(&d.cinfo);
    d.progress.progress_monitor = onProgress;
    d.cinfo.progress = &d.progress;
    // Bounds the decoder's own allocations too, should the estimate below miss one.
    d.cinfo.mem->max_memory_to_use = long(kMaxJpegWorkBytes);
    jpeg_mem_src(&d.cinfo, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&d.cinfo, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&d.cinfo);
        d.failure = JpegFailure::NotJpeg;
        return false;
    }
    sourceSize = QSize(int(d.cinfo.image_width), int(d.cinfo.image_height));
    if (headerOnly) {
        jpeg_destroy_decompress(&d.cinfo);
        return true;
    }
    const unsigned n = scaleNumerator(d.cinfo, shown);
    if (qint64(d.cinfo.image_width) * d.cinfo.image_height > kMaxJpegSourcePixels || n == 0) {
        jpeg_destroy_decompress(&d.cinfo);
        d.failure = JpegFailure::TooLarge;
        return false;
    }

    const bool cmyk = d.cinfo.jpeg_color_space == JCS_CMYK || d.cinfo.jpeg_color_space == JCS_YCCK;
    d.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    d.cinfo.scale_num = n;
    d.cinfo.scale_denom = 8;
    d.cinfo.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&d.cinfo);

    d.image = QImage(int(d.cinfo.output_width), int(d.cinfo.output_height), QImage::Format_RGB32);
    if (d.image.isNull()) {
        jpeg_destroy_decompress(&d.cinfo);
        d.failure = JpegFailure::TooLarge;
        return false;
    }
    const bool inverted = cmyk && d.cinfo.saw_Adobe_marker;
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        auto* row = d.image.scanLine(int(d.cinfo.output_scanline));
        JSAMPROW rows[1] = {row};
        if (jpeg_read_scanlines(&d.cinfo, rows, 1) != 1)
            onError(reinterpret_cast<j_common_ptr>(&d.cinfo)); // suspended: data ran out
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
    }
    jpeg_finish_decompress(&d.cinfo);
    jpeg_destroy_decompress(&d.cinfo);
    return true;
}

} // namespace

QImage DecodeJpeg(const QByteArray& jpegBytes, QSize shownSize, JpegFailure* failure)
{
    Decoder d;
    QSize source;
    const bool ok = jpegBytes.size() >= 4 && decode(d, jpegBytes, shownSize, false, source);
    if (failure)
        *failure =
            ok ? JpegFailure::None : (jpegBytes.size() < 4 ? JpegFailure::NotJpeg : d.failure);
    return ok ? d.image : QImage();
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

QString JpegFailureText(JpegFailure failure, const QString& fileName)
{
    switch (failure) {
    case JpegFailure::None:
        return {};
    case JpegFailure::NotJpeg:
        return u"پرونده «%1» تصوير JPEG نيست."_s.arg(fileName);
    case JpegFailure::TooLarge:
        return u"تصوير «%1» بيش از اندازه بزرگ است."_s.arg(fileName);
    case JpegFailure::Damaged:
        break;
    }
    return u"تصوير «%1» آسيب ديده يا ناقص است."_s.arg(fileName);
}
