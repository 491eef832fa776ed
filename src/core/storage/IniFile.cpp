#include "core/storage/IniFile.h"

#include "core/errors/AppError.h"
#include "core/storage/SafeFile.h"

#include <QStringList>

namespace {

// Larger files are no settings file of ours: read as missing, never loaded whole.
constexpr qint64 kMaxIniFileBytes = 16 * 1024 * 1024;

// Only a regular file of the folder counts: a device, a FIFO, a link out of the folder or an
// oversized file reads as unreadable at once, without waiting or loading it.
FileRead readLines(const QString& path, const QString& folder, QStringList& lines)
{
    FileRead read = ReadRegularFile(path, kMaxIniFileBytes, folder);
    if (!read.ok())
        return read;
    const QString text = QString::fromUtf8(read.bytes);
    read.bytes.clear();
    lines = text.split(u'\n');
    for (QString& line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return read;
}

[[noreturn]] void throwUnableToWrite(const QString& path, const QString& reason)
{
    throw AppError(QStringLiteral("Unable to write to %1").arg(path) + u'\n' + reason);
}

// The section name of a "[name]" line, or a null string for any other line.
QString sectionName(const QString& line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(u'['))
        return {};
    const qsizetype close = t.indexOf(u']');
    return close < 0 ? t.mid(1).trimmed() : t.mid(1, close - 1).trimmed();
}

bool splitKey(const QString& line, QString& key, QString& value)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return false;
    key = line.left(eq).trimmed();
    value = line.mid(eq + 1).trimmed();
    return true;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString unquote(const QString& value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

QString trimTrailingBlanks(QString s)
{
    while (!s.isEmpty() && s.back() == u' ')
        s.chop(1);
    return s;
}

} // namespace

QString ReadIniString(const QString& fileNamePart, const QString& folder, const QString& section,
                      const QString& key, const QString& defaultValue)
{
    const QString fallback = trimTrailingBlanks(defaultValue).left(kIniValueMaxChars);
    QStringList lines;
    if (!readLines(folder + fileNamePart, folder, lines).ok())
        return fallback;
    bool inSection = false;
    for (const QString& line : lines) {
        const QString name = sectionName(line);
        if (!name.isNull()) {
            inSection = sameName(name, section.trimmed());
            continue;
        }
        QString k, v;
        if (inSection && splitKey(line, k, v) && sameName(k, key.trimmed()))
            return unquote(v).left(kIniValueMaxChars);
    }
    return fallback;
}

void WriteIniString(const QString& fileNamePart, const QString& folder, const QString& section,
                    const QString& key, const QString& value)
{
    const QString path = folder + fileNamePart;
    QStringList lines;
    // An existing file that cannot be read is never replaced: its lines would be lost.
    const FileRead read = readLines(path, folder, lines);
    if (!read.ok() && read.status != ReadStatus::Missing)
        throwUnableToWrite(path, ReadFailureText(read));

    const QString entry = key.trimmed() + u'=' + value;
    qsizetype sectionAt = -1, insertAt = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString name = sectionName(lines[i]);
        if (!name.isNull()) {
            if (sectionAt >= 0)
                break;
            if (sameName(name, section.trimmed())) {
                sectionAt = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (sectionAt < 0)
            continue;
        QString k, v;
        if (splitKey(lines[i], k, v) && sameName(k, key.trimmed())) {
            lines[i] = entry;
            insertAt = -1;
            break;
        }
        if (!lines[i].trimmed().isEmpty())
            insertAt = i + 1;
    }
    if (sectionAt < 0) {
        lines << u'[' + section.trimmed() + u']' << entry;
    } else if (insertAt >= 0) {
        lines.insert(insertAt, entry);
    }

    // Written whole, synced and renamed: a crash or a full disk never leaves half a file.
    QString reason;
    if (!WriteFileWhole(path, (lines.join(u'\n') + u'\n').toUtf8(), folder, &reason))
        throwUnableToWrite(path, reason);
}
