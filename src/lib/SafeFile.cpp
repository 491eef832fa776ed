#include "lib/SafeFile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

bool sameFile(const struct stat& a, const QString& other)
{
    struct stat b
    {
    };
    return !other.isEmpty() && ::stat(QFile::encodeName(other).constData(), &b) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

QString RefusedOutputPath(const QString& path, const QStringList& protectedFiles)
{
    if (path.isEmpty())
        return u"no file name was given"_s;
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {}; // a new file
    if (S_ISDIR(st.st_mode))
        return u"%1 is a folder"_s.arg(path);
    if (!S_ISREG(st.st_mode))
        return u"%1 is not a regular file"_s.arg(path);
    for (const QString& file : protectedFiles)
        if (sameFile(st, file))
            return u"%1 is the program's database"_s.arg(path);
    return {};
}

QString WriteFileWhole(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return u"cannot write %1: %2"_s.arg(path, file.errorString());
    // QSaveFile::commit() does not see a failure of the buffered write at close (a full
    // disk): check every byte and the flush ourselves, then sync before the rename.
    if (file.write(data) != data.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return u"cannot write %1: %2"_s.arg(path, reason);
    }
    if (::fsync(file.handle()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return u"cannot write %1: %2"_s.arg(path, reason);
    }
    if (!file.commit())
        return u"cannot write %1: %2"_s.arg(path, file.errorString());
    return {};
}
