#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// Pictures larger than this (in source pixels) are refused as absurd: a stored picture is a
// scanned cheque or a background, a few megapixels at most.
inline constexpr qint64 kMaxJpegSourcePixels = 50LL * 1000 * 1000;

// Decodes JPEG bytes with libjpeg-turbo. With a shownSize, decodes at the smallest fast
// scale (1/8, 1/4, 1/2) that still covers it, so a large scan costs what the screen shows, not what
// was stored; the result may be a little larger than shownSize and is for the caller to stretch.
// Returns a null image for bytes that are no JPEG, a header that claims an absurd size, or data too
// damaged to give a single row. A truncated file gives what it holds.
QImage DecodeJpeg(const QByteArray& jpegBytes, QSize shownSize = QSize());

// The picture's size from its header alone; invalid when the bytes are no JPEG.
QSize JpegSize(const QByteArray& jpegBytes);
