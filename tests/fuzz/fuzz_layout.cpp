// Layout rows holding arbitrary values (empty, negative, huge, of the wrong type), as another
// program may leave them: reading, showing as fields and saving back never fail.
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"
#include "core/storage/LayoutStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlQuery>
#include <QVariant>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

Database* database()
{
    static std::unique_ptr<Database> dm = [] {
        const QString dir =
            QDir::tempPath() + QStringLiteral("/nilo-fuzz-layout-%1").arg(::getpid());
        QDir().mkpath(dir);
        QFile::remove(dir + QStringLiteral("/NiloChequePrint.mdb"));
        CreateDatabase(dir + QStringLiteral("/NiloChequePrint.mdb"));
        return std::make_unique<Database>(dir);
    }();
    return dm.get();
}

// One value from the input: a type byte, then its bytes.
QVariant nextValue(const uint8_t*& data, size_t& size)
{
    if (size == 0)
        return QVariant();
    const uint8_t type = *data++ % 5;
    --size;
    switch (type) {
    case 1: {
        qint64 v = 0;
        const size_t n = std::min(size, sizeof v);
        std::memcpy(&v, data, n);
        data += n, size -= n;
        return v;
    }
    case 2: {
        double v = 0;
        const size_t n = std::min(size, sizeof v);
        std::memcpy(&v, data, n);
        data += n, size -= n;
        return v;
    }
    case 3:
    case 4: {
        const size_t n = size ? std::min<size_t>(*data % 24, size - 1) : 0;
        if (size) {
            ++data, --size;
        }
        const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(n));
        data += n, size -= n;
        return type == 3 ? QVariant(QString::fromUtf8(bytes)) : QVariant(bytes);
    }
    default:
        return QVariant();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QSqlDatabase db = database()->connection();
    QSqlQuery q(db);
    q.exec(QStringLiteral("delete from tblItemsPrvt"));
    q.exec(QStringLiteral("delete from tblChequeImage"));
    q.prepare(
        QStringLiteral("insert or replace into tblItemsPrvt (AccountMstId, ItemId, SideMargin, "
                       "UpMargin, Width, FSize, FName, FStyle, DoPrint, PrintTumans) values "
                       "(1, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int row = 0; row < 12 && size > 0; ++row) {
        for (int column = 0; column < 9; ++column)
            q.bindValue(column, nextValue(data, size));
        q.exec();
    }
    if (size > 0) {
        QSqlQuery picture(db);
        picture.prepare(
            QStringLiteral("insert into tblChequeImage (AccountMstId, Image) values (1, ?)"));
        picture.bindValue(0, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
        picture.exec();
    }
    const ChequeLayout layout = ReadLayout(db, 1);
    LayoutFields fields = StartingFields();
    ApplyLayoutRows(layout, fields);
    std::array<int, kLayoutItemCount> lefts{};
    for (int id = 2; id <= 10; ++id)
        lefts[id - 2] = BoxLeftFromFields(fields, id);
    if (!SaveLayout(db, 1, RowsToSave(fields, lefts), layout.pictureJpeg))
        __builtin_trap();
    return 0;
}
