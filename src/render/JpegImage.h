#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// Pictures larger than this (in source pixels) are refused as absurd: a stored picture is a
// scanned cheque or a background, a few megapixels at most.
inline constexpr qint64 kMaxJpegSourcePixels = 50LL * 1000 * 1000;
// The most working memory one decode may take (the decoded picture plus the decoder's
// buffers), whatever the header claims; decided from the header before decoding.
inline constexpr qint64 kMaxJpegWorkBytes = 64LL * 1024 * 1024;

enum class JpegFailure { None, NotJpeg, TooLarge, Damaged };

// Decodes JPEG bytes with libjpeg-turbo. With a shownSize, decodes at the smallest fast scale
// (1/8, 1/4, 1/2, 1) that covers it (each side at most its source size), and never at more than
// one scale step above it in pixels, so a large or crafted picture costs what the screen shows,
// not what its header claims; the result may be a little larger than shownSize and is for the
// caller to stretch. Without a shownSize, at the largest scale within the work budget.
// Returns a null image, and the reason in *failure, for bytes that are no JPEG, a picture whose
// decode would pass kMaxJpegWorkBytes, and data that libjpeg finds damaged or truncated (any of
// its warnings).
QImage DecodeJpeg(const QByteArray& jpegBytes, QSize shownSize = QSize(),
                  JpegFailure* failure = nullptr);

// The picture's size from its header alone; invalid when the bytes are no JPEG.
QSize JpegSize(const QByteArray& jpegBytes);

// A Persian sentence for a failure, naming the picture's file.
QString JpegFailureText(JpegFailure failure, const QString& fileName);
