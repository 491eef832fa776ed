// Settings files of any content: reading never fails, writing keeps the file readable.
#include "core/errors/AppError.h"
#include "core/storage/IniFile.h"

#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString folder =
        QDir::tempPath() + QStringLiteral("/nilo-fuzz-ini-%1/").arg(::getpid());
    static const bool made = QDir().mkpath(folder);
    (void)made;
    const QString name = QStringLiteral("fuzz.ini");
    {
        QFile f(folder + name);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    ReadIniString(name, folder, QStringLiteral("Clock Params"), QStringLiteral("No"),
                  QStringLiteral("Error On Read"));
    try {
        WriteIniString(name, folder, QStringLiteral("Clock Params"), QStringLiteral("No"),
                       QStringLiteral("3"));
        if (ReadIniString(name, folder, QStringLiteral("Clock Params"), QStringLiteral("No"), {}) !=
            QStringLiteral("3"))
            __builtin_trap();
    } catch (const AppError&) {
    }
    return 0;
}
