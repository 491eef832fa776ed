// A stored picture as the database may hold it: unpacked, then decoded as JPEG.
#include "core/storage/ImageCodec.h"
#include "render/JpegImage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray stored(reinterpret_cast<const char*>(data), qsizetype(size));
    QByteArray picture;
    UnpackImageStream(stored, picture);
    if (!picture.isEmpty()) {
        JpegSize(picture);
        DecodeJpeg(picture, QSize(650, 320));
    }
    QByteArray repacked, again;
    PackImageStream(picture, repacked);
    UnpackImageStream(repacked, again);
    if (again != picture)
        __builtin_trap();
    return 0;
}
