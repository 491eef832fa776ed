#include "core/storage/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Closes a descriptor when the scope ends, keeping errno as it was.
struct Fd
{
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0) {
            const int saved = errno;
            ::close(fd);
            errno = saved;
        }
    }
};

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

bool inside(const QString& canonical, const QString& folder)
{
    const QString root = QDir(folder).canonicalPath();
    return !root.isEmpty() && canonical.startsWith(root == u"/"_s ? root : root + u'/');
}

// The file a path names once a symbolic link in its last part is resolved; empty when the link
// leads out of folder or nowhere. *outside tells which.
QString resolvedWithin(const QString& path, const QString& folder, bool* outside)
{
    *outside = false;
    struct stat st
    {
    };
    if (::lstat(encoded(path).constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty())
        return {};
    const QString root = folder.isEmpty() ? QFileInfo(path).absolutePath() : folder;
    if (!inside(target, root)) {
        *outside = true;
        return {};
    }
    return target;
}

bool writeAll(int fd, const QByteArray& bytes, off_t at)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done), at + off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

void syncFolder(const QString& folder)
{
    Fd dir{::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (dir.fd >= 0)
        ::fsync(dir.fd);
}

// A temporary file beside target, written, synced and renamed over it. Returns 0 or errno.
int replaceWithTemporary(const QString& target, const QByteArray& bytes, mode_t mode)
{
    const QFileInfo info(target);
    QByteArray name = encoded(info.absolutePath() + u"/."_s + info.fileName() + u".XXXXXX"_s);
    Fd tmp{::mkostemp(name.data(), O_CLOEXEC)};
    if (tmp.fd < 0)
        return errno;
    int error = 0;
    if (::fchmod(tmp.fd, mode) != 0 || !writeAll(tmp.fd, bytes, 0) || ::fsync(tmp.fd) != 0)
        error = errno;
    const int fd = tmp.fd;
    tmp.fd = -1;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && ::rename(name.constData(), encoded(target).constData()) != 0)
        error = errno;
    if (error) {
        ::unlink(name.constData());
        return error;
    }
    syncFolder(info.absolutePath());
    return 0;
}

// Rewrites an existing file in place (its folder takes no new file). The room for a longer
// content is reserved before the first byte changes, so a full disk leaves the old bytes.
int rewriteInPlace(const QString& target, const QByteArray& bytes)
{
    Fd file{::open(encoded(target).constData(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC)};
    if (file.fd < 0)
        return errno;
    struct stat st
    {
    };
    if (::fstat(file.fd, &st) != 0)
        return errno;
    if (!S_ISREG(st.st_mode))
        return EINVAL;
    if (bytes.size() > st.st_size) {
        const int rc = ::posix_fallocate(file.fd, 0, off_t(bytes.size()));
        if (rc != 0) {
            if (::ftruncate(file.fd, st.st_size) != 0) {
                // the size stays as it was on every filesystem that refused the room
            }
            return rc;
        }
    }
    if (!writeAll(file.fd, bytes, 0) || ::ftruncate(file.fd, off_t(bytes.size())) != 0 ||
        ::fsync(file.fd) != 0)
        return errno;
    return 0;
}

} // namespace

FileRead ReadRegularFile(const QString& path, qint64 maxBytes, const QString& folder)
{
    FileRead r;
    bool outside = false;
    const QString target = resolvedWithin(path, folder, &outside);
    if (target.isEmpty()) {
        r.status = outside ? ReadStatus::OutsideFolder : ReadStatus::Missing;
        return r;
    }
    // Non-blocking, so that opening a FIFO returns at once instead of waiting for a writer.
    Fd file{::open(encoded(target).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0) {
        r.error = errno;
        r.status = errno == ENOENT  ? ReadStatus::Missing
                   : errno == ELOOP ? ReadStatus::OutsideFolder
                                    : ReadStatus::Failed;
        return r;
    }
    struct stat st
    {
    };
    if (::fstat(file.fd, &st) != 0) {
        r.error = errno;
        return r;
    }
    if (!S_ISREG(st.st_mode)) {
        r.status = ReadStatus::NotRegular;
        return r;
    }
    if (st.st_size > maxBytes) {
        r.status = ReadStatus::TooLarge;
        return r;
    }
    // The size may change while reading: read at most one byte past the bound to tell.
    const qint64 cap = maxBytes + 1;
    r.bytes.resize(qsizetype(std::min<qint64>(cap, std::max<qint64>(st.st_size, 0) + 1)));
    qint64 got = 0;
    for (;;) {
        if (got == r.bytes.size()) {
            if (got >= cap)
                break;
            r.bytes.resize(qsizetype(std::min<qint64>(cap, got * 2 + 4096)));
        }
        const ssize_t n = ::read(file.fd, r.bytes.data() + got, size_t(r.bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            r.error = errno;
            r.bytes.clear();
            return r;
        }
        if (n == 0)
            break;
        got += n;
    }
    if (got > maxBytes) {
        r.bytes.clear();
        r.status = ReadStatus::TooLarge;
        return r;
    }
    r.bytes.resize(qsizetype(got));
    r.status = ReadStatus::Ok;
    return r;
}

QString ReadFailureText(const FileRead& read)
{
    switch (read.status) {
    case ReadStatus::Ok:
        return {};
    case ReadStatus::Missing:
        return u"پرونده پيدا نشد"_s;
    case ReadStatus::NotRegular:
        return u"اين نام، پرونده عادي نيست (دستگاه، لوله يا پوشه است)"_s;
    case ReadStatus::OutsideFolder:
        return u"اين پرونده پيوندي به بيرون از پوشه خود است و خوانده نشد"_s;
    case ReadStatus::TooLarge:
        return u"اين پرونده بيش از اندازه بزرگ است"_s;
    case ReadStatus::Failed:
        break;
    }
    return u"پرونده خوانده نشد"_s + u'\n' + QString::fromLocal8Bit(std::strerror(read.error));
}

bool WriteFileWhole(const QString& path, const QByteArray& bytes, const QString& folder,
                    QString* reason)
{
    int error = 0;
    bool outside = false;
    const QString target = resolvedWithin(path, folder, &outside);
    struct stat st
    {
    };
    const bool exists = !target.isEmpty() && ::stat(encoded(target).constData(), &st) == 0;
    if (outside) {
        error = ELOOP;
    } else if (target.isEmpty()) {
        error = ENOENT; // a link that leads nowhere
    } else if (exists && !S_ISREG(st.st_mode)) {
        error = EINVAL;
    } else {
        mode_t mode = exists ? (st.st_mode & 07777) : 0;
        if (!exists) {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
        error = replaceWithTemporary(target, bytes, mode);
        if (exists && (error == EACCES || error == EPERM))
            error = rewriteInPlace(target, bytes);
    }
    if (error && reason)
        *reason = WriteFailureText(error) + u'\n' + QString::fromLocal8Bit(std::strerror(error));
    return error == 0;
}

QString WriteFailureText(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return u"فضاي خالي ديسك كافي نيست؛ پرونده قبلي دست نخورده ماند."_s;
    case EACCES:
    case EPERM:
        return u"اجازه نوشتن در اين پوشه يا پرونده نيست."_s;
    case EROFS:
        return u"ديسك فقط خواندني است."_s;
    case ELOOP:
        return u"پرونده پيوندي به بيرون از پوشه برنامه است و نوشته نشد."_s;
    case EINVAL:
        return u"اين نام، پرونده عادي نيست و نوشته نشد."_s;
    case ENOENT:
        return u"پوشه يا پيوند پرونده پيدا نشد."_s;
    default:
        return u"نوشتن پرونده انجام نشد؛ پرونده قبلي دست نخورده ماند."_s;
    }
}

QString RefusedOutputPath(const QString& path, const QStringList& protectedFiles)
{
    if (path.isEmpty())
        return u"no file name was given"_s;
    struct stat st
    {
    };
    if (::stat(encoded(path).constData(), &st) != 0)
        return {}; // a new file
    if (S_ISDIR(st.st_mode))
        return u"%1 is a folder"_s.arg(path);
    if (!S_ISREG(st.st_mode))
        return u"%1 is not a regular file"_s.arg(path);
    for (const QString& file : protectedFiles) {
        struct stat other
        {
        };
        if (!file.isEmpty() && ::stat(encoded(file).constData(), &other) == 0 &&
            other.st_dev == st.st_dev && other.st_ino == st.st_ino)
            return u"%1 is the program's database"_s.arg(path);
    }
    return {};
}
