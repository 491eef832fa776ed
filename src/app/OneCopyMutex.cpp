#include "app/OneCopyMutex.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder only this user can enter: a real directory (no link), owned by the user, closed
// to group and others.
bool isPrivateFolder(const QString& path)
{
    struct stat st
    {
    };
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &st) == 0 &&
           S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

QString homeFolder()
{
    const QString home = qEnvironmentVariable("HOME");
    if (!home.isEmpty())
        return home;
    const passwd* pw = ::getpwuid(::getuid());
    return pw && pw->pw_dir ? QFile::decodeName(pw->pw_dir) : QString();
}

// The per-user folder beside the user's caches, created private when missing.
QString privateFallbackFolder()
{
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty() || !QDir::isAbsolutePath(cache)) {
        const QString home = homeFolder();
        if (home.isEmpty())
            return {};
        cache = home + QStringLiteral("/.cache");
    }
    QDir().mkpath(cache);
    const QString folder = cache + QStringLiteral("/NiloChequePrint");
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    return isPrivateFolder(folder) ? folder : QString();
}

} // namespace

OneCopyMutex::OneCopyMutex(const QString& lockPath)
{
    if (lockPath.isEmpty())
        return;
    const QByteArray path = QFile::encodeName(lockPath);
    // Never through a link, and only a regular file of this user's: nobody else can hand the
    // program a lock they hold.
    fd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd_ < 0)
        return;
    struct stat st
    {
    };
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()) {
        ::close(fd_);
        fd_ = -1;
        return;
    }
    int rc;
    do {
        rc = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0 && errno == EWOULDBLOCK)
        heldByAnother_ = true;
}

OneCopyMutex::~OneCopyMutex()
{
    if (fd_ >= 0)
        ::close(fd_);
}

QString OneCopyMutex::defaultLockPath()
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!isPrivateFolder(folder))
        folder = privateFallbackFolder();
    if (folder.isEmpty())
        return {};
    return QDir(folder).filePath(QStringLiteral("OneCopyMutex.lock"));
}
