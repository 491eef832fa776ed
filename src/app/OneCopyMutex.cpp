#include "app/OneCopyMutex.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

OneCopyMutex::OneCopyMutex(const QString& lockPath)
{
    const QByteArray path = QFile::encodeName(lockPath);
    fd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0)
        return;
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
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return QDir(runtime).filePath(QStringLiteral("OneCopyMutex.lock"));
    return QDir::temp().filePath(QStringLiteral("OneCopyMutex-%1.lock").arg(::getuid()));
}
