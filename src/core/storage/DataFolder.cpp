#include "core/storage/DataFolder.h"

#include "core/AppInfo.h"
#include "core/storage/DatabaseSchema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString UserDataFolder()
{
    // The XDG rule: an unset, empty or relative XDG_DATA_HOME means ~/.local/share.
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/NiloChequePrint"));
}

QString ChooseDataFolder()
{
    const QString here = QDir::currentPath();
    if (QFileInfo::exists(QDir(here).filePath(QString::fromLatin1(kDatabaseFileName))))
        return here;
    return UserDataFolder();
}

QString DefaultDatabasePath()
{
    return QDir(ChooseDataFolder()).filePath(QString::fromLatin1(kDatabaseFileName));
}

QStringList HelpFileFolders()
{
    QStringList folders{QDir::currentPath()};
    if (QCoreApplication::instance()) {
        const QString exe = QCoreApplication::applicationDirPath();
        folders << exe << QDir::cleanPath(exe + QStringLiteral("/../share/NiloChequePrint"));
    }
    folders.removeDuplicates();
    return folders;
}

QString FindHelpFile()
{
    for (const QString& folder : HelpFileFolders()) {
        const QFileInfo file(QDir(folder).filePath(ApplicationHelpFile()));
        if (file.isFile())
            return file.absoluteFilePath();
    }
    return {};
}
