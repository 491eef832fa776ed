#include "core/storage/ImageCodec.h"

#include <memory>
#include <zip.h>

namespace {

struct ZipSourceDeleter
{
    void operator()(zip_source_t* s) const { zip_source_free(s); }
};
using ZipSource = std::unique_ptr<zip_source_t, ZipSourceDeleter>;

struct ZipDiscarder
{
    void operator()(zip_t* z) const { zip_discard(z); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipDiscarder>;

struct ZipFileCloser
{
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};
using ZipFile = std::unique_ptr<zip_file_t, ZipFileCloser>;

// Reads the whole of an in-memory source after the archive written into it was closed.
bool readSource(zip_source_t* src, QByteArray& out)
{
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_stat(src, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
        return false;
    if (zip_source_open(src) != 0)
        return false;
    out.resize(qsizetype(st.size));
    const zip_int64_t got = zip_source_read(src, out.data(), st.size);
    zip_source_close(src);
    return got == zip_int64_t(st.size);
}

// The entry "K2741B" of the archive in source, or nullopt-like false when the archive
// cannot be read (not a zip, damaged, truncated, or inflating past the bound).
enum class Unpacked { Entry, NoEntry, Unreadable };

Unpacked extractEntry(const QByteArray& source, QByteArray& out)
{
    zip_error_t error;
    zip_error_init(&error);
    ZipSource src(
        zip_source_buffer_create(source.constData(), zip_uint64_t(source.size()), 0, &error));
    zip_error_fini(&error);
    if (!src)
        return Unpacked::Unreadable;

    zip_error_init(&error);
    ZipArchive archive(zip_open_from_source(src.get(), ZIP_RDONLY, &error));
    zip_error_fini(&error);
    if (!archive)
        return Unpacked::Unreadable;
    zip_source_keep(src.get()); // the archive now shares the source; both release it

    const zip_int64_t index = zip_name_locate(archive.get(), kImageEntryName, 0);
    if (index < 0)
        return Unpacked::NoEntry;

    ZipFile file(zip_fopen_index(archive.get(), zip_uint64_t(index), 0));
    if (!file)
        return Unpacked::Unreadable;

    // Read in chunks and stop at the bound: the size in the header may lie.
    QByteArray data;
    char chunk[64 * 1024];
    for (;;) {
        const zip_int64_t n = zip_fread(file.get(), chunk, sizeof chunk);
        if (n < 0)
            return Unpacked::Unreadable;
        if (n == 0)
            break;
        if (data.size() + n > kMaxUnpackedImageBytes)
            return Unpacked::Unreadable;
        data.append(chunk, qsizetype(n));
    }
    out = std::move(data);
    return Unpacked::Entry;
}

} // namespace

void PackImageStream(const QByteArray& source, QByteArray& target)
{
    if (source.isEmpty())
        return;
    target.clear();

    zip_error_t error;
    zip_error_init(&error);
    ZipSource buffer(zip_source_buffer_create(nullptr, 0, 0, &error));
    zip_error_fini(&error);
    if (!buffer)
        return;

    zip_error_init(&error);
    zip_t* archive = zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error);
    zip_error_fini(&error);
    if (!archive)
        return;
    // Keep the buffer alive past zip_close(): that is where the finished archive lives.
    zip_source_keep(buffer.get());

    zip_source_t* content =
        zip_source_buffer(archive, source.constData(), zip_uint64_t(source.size()), 0);
    const zip_int64_t index =
        content ? zip_file_add(archive, kImageEntryName, content, ZIP_FL_ENC_UTF_8) : -1;
    if (index < 0) {
        if (content)
            zip_source_free(content);
        zip_discard(archive);
        return;
    }
    zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 9);
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        return;
    }
    readSource(buffer.get(), target);
}

void UnpackImageStream(const QByteArray& source, QByteArray& target)
{
    if (source.isEmpty())
        return;
    target.clear();
    switch (extractEntry(source, target)) {
    case Unpacked::Entry:
    case Unpacked::NoEntry:
        return;
    case Unpacked::Unreadable:
        target = source;
        return;
    }
}
