#include "render/LayoutShare.h"

#include "core/errors/AppError.h"
#include "core/storage/ImageCodec.h"
#include "core/storage/LayoutStore.h"
#include "core/storage/SafeFile.h"
#include "render/JpegImage.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <cmath>
#include <memory>
#include <zip.h>

using namespace Qt::StringLiterals;

namespace {

// Far beyond any cheque (pixels at 96 per inch, points), small enough that no sum overflows.
constexpr int kMaxCoordinate = 100000;
constexpr int kMaxFontSize = 1000;
constexpr int kMaxFontTextLength = 100;

struct ZipDiscard
{
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct ZipSourceFree
{
    void operator()(zip_source_t* s) const { zip_source_free(s); }
};
struct ZipFileClose
{
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

QString badFile(const QString& why)
{
    return u"پرونده طرح چك معتبر نيست: "_s + why;
}

QJsonObject rowToJson(const LayoutRow& r)
{
    return QJsonObject{{u"itemId"_s, r.itemId},          {u"sideMargin"_s, r.sideMargin},
                       {u"upMargin"_s, r.upMargin},      {u"width"_s, r.width},
                       {u"fontSize"_s, r.fontSize},      {u"fontName"_s, r.fontName},
                       {u"fontStyle"_s, r.fontStyle},    {u"doPrint"_s, r.doPrint},
                       {u"printTumans"_s, r.printTumans}};
}

bool readInt(const QJsonObject& o, const QString& key, int low, int high, int* out)
{
    const QJsonValue v = o.value(key);
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (d != std::floor(d) || d < low || d > high)
        return false;
    *out = int(d);
    return true;
}

bool printableText(const QString& text)
{
    if (text.size() > kMaxFontTextLength)
        return false;
    for (const QChar c : text)
        if (!c.isPrint() && c != u' ')
            return false;
    return true;
}

// "" and the row, or why the row is refused.
QString readRow(const QJsonValue& value, LayoutRow* row)
{
    if (!value.isObject())
        return u"رديف طرح شيء JSON نيست"_s;
    const QJsonObject o = value.toObject();
    static const QStringList keys{u"itemId"_s,    u"sideMargin"_s, u"upMargin"_s,
                                  u"width"_s,     u"fontSize"_s,   u"fontName"_s,
                                  u"fontStyle"_s, u"doPrint"_s,    u"printTumans"_s};
    for (auto it = o.begin(); it != o.end(); ++it)
        if (!keys.contains(it.key()))
            return u"كليد ناشناخته «%1»"_s.arg(it.key().left(40));
    LayoutRow r;
    if (!readInt(o, u"itemId"_s, kGeneralItemId, kLastLayoutItemId, &r.itemId))
        return u"شماره قلم نادرست است"_s;
    const QString where = u" (قلم %1)"_s.arg(r.itemId);
    // The general row keeps the cheque's size and its place on the page (which may be
    // negative) in these columns; the items keep a box and a font size in points.
    const bool general = r.itemId == kGeneralItemId;
    if (!readInt(o, u"sideMargin"_s, -kMaxCoordinate, kMaxCoordinate, &r.sideMargin) ||
        !readInt(o, u"upMargin"_s, -kMaxCoordinate, kMaxCoordinate, &r.upMargin) ||
        !readInt(o, u"width"_s, -kMaxCoordinate, kMaxCoordinate, &r.width) ||
        !readInt(o, u"fontSize"_s, general ? -kMaxCoordinate : 0,
                 general ? kMaxCoordinate : kMaxFontSize, &r.fontSize))
        return u"اندازه‌ها بيرون از محدوده يا ناقص است"_s + where;
    const QJsonValue name = o.value(u"fontName"_s), style = o.value(u"fontStyle"_s);
    if (!name.isString() || !style.isString() || !printableText(name.toString()) ||
        !printableText(style.toString()))
        return u"نام يا شيوه قلم نادرست است"_s + where;
    r.fontName = name.toString();
    r.fontStyle = style.toString();
    if (!r.fontStyle.isEmpty() && FontStyleName(FontStyleCode(r.fontStyle)) != r.fontStyle)
        return u"شيوه قلم نادرست است"_s + where;
    const QJsonValue doPrint = o.value(u"doPrint"_s), tumans = o.value(u"printTumans"_s);
    if (!doPrint.isBool() || !tumans.isBool())
        return u"كليدهاي چاپ نادرست است"_s + where;
    r.doPrint = doPrint.toBool();
    r.printTumans = tumans.toBool();
    // The switches live only where the store keeps them (the general row's PrintTumans is
    // its feed direction).
    const ItemSwitch kind = general ? ItemSwitch::PrintTumans : LayoutItemOf(r.itemId).itemSwitch;
    if ((r.doPrint && kind != ItemSwitch::DoPrint) ||
        (r.printTumans && kind != ItemSwitch::PrintTumans))
        return u"كليد چاپ براي اين قلم نيست"_s + where;
    if (general && (!r.fontName.isEmpty() || !r.fontStyle.isEmpty()))
        return u"رديف كلي قلم ندارد"_s;
    *row = r;
    return {};
}

// The entry's bytes, read in chunks up to limit (the size in the archive may lie).
bool readEntry(zip_t* archive, zip_uint64_t index, qint64 limit, QByteArray* out)
{
    std::unique_ptr<zip_file_t, ZipFileClose> file(zip_fopen_index(archive, index, 0));
    if (!file)
        return false;
    QByteArray data;
    char chunk[64 * 1024];
    for (;;) {
        const zip_int64_t n = zip_fread(file.get(), chunk, sizeof chunk);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        if (data.size() + n > limit)
            return false;
        data.append(chunk, qsizetype(n));
    }
    *out = std::move(data);
    return true;
}

} // namespace

QByteArray LayoutJson(const LayoutRows& rows)
{
    QJsonArray array;
    for (const LayoutRow& r : rows)
        array.append(rowToJson(r));
    const QJsonObject doc{
        {u"format"_s, u"NiloChequePrint layout"_s}, {u"version"_s, 1}, {u"rows"_s, array}};
    return QJsonDocument(doc).toJson(QJsonDocument::Indented);
}

QByteArray ZipEntries(const QList<std::pair<QString, QByteArray>>& entries)
{
    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, ZipSourceFree> buffer(
        zip_source_buffer_create(nullptr, 0, 0, &error));
    zip_error_fini(&error);
    if (!buffer)
        return {};
    zip_error_init(&error);
    zip_t* archive = zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error);
    zip_error_fini(&error);
    if (!archive)
        return {};
    zip_source_keep(buffer.get()); // the finished archive lives in the buffer past zip_close
    for (const auto& [name, bytes] : entries) {
        zip_source_t* s =
            zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        const zip_int64_t i =
            s ? zip_file_add(archive, name.toUtf8().constData(), s, ZIP_FL_ENC_UTF_8) : -1;
        if (i < 0) {
            if (s)
                zip_source_free(s);
            zip_discard(archive);
            return {};
        }
    }
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        return {};
    }
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_stat(buffer.get(), &st) != 0 || zip_source_open(buffer.get()) != 0)
        return {};
    QByteArray out(qsizetype(st.size), Qt::Uninitialized);
    const zip_int64_t got = zip_source_read(buffer.get(), out.data(), st.size);
    zip_source_close(buffer.get());
    return got == zip_int64_t(st.size) ? out : QByteArray();
}

QByteArray PackSharedLayout(const SharedLayout& layout)
{
    QList<std::pair<QString, QByteArray>> entries{
        {QLatin1String(kLayoutJsonEntry), LayoutJson(layout.rows)}};
    if (!layout.pictureJpeg.isEmpty())
        entries.append({QLatin1String(kLayoutPictureEntry), layout.pictureJpeg});
    return ZipEntries(entries);
}

QString UnpackSharedLayout(const QByteArray& bytes, SharedLayout* layout)
{
    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, ZipSourceFree> src(
        zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error));
    zip_error_fini(&error);
    if (!src)
        return badFile(u"خوانده نشد"_s);
    zip_error_init(&error);
    std::unique_ptr<zip_t, ZipDiscard> archive(
        zip_open_from_source(src.get(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
    zip_error_fini(&error);
    if (!archive)
        return badFile(u"پرونده فشرده (zip) سالم نيست"_s);
    zip_source_keep(src.get());

    QByteArray json, picture;
    bool hasJson = false, hasPicture = false;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const QString name = QString::fromUtf8(zip_get_name(archive.get(), zip_uint64_t(i), 0));
        if (name == QLatin1String(kLayoutJsonEntry) && !hasJson) {
            if (!readEntry(archive.get(), zip_uint64_t(i), kMaxLayoutJsonBytes, &json))
                return badFile(u"بخش layout.json سالم نيست يا بيش از اندازه بزرگ است"_s);
            hasJson = true;
        } else if (name == QLatin1String(kLayoutPictureEntry) && !hasPicture) {
            if (!readEntry(archive.get(), zip_uint64_t(i), kMaxUnpackedImageBytes, &picture))
                return badFile(u"تصوير چك سالم نيست يا بيش از اندازه بزرگ است"_s);
            hasPicture = true;
        } else {
            return badFile(u"بخش ناشناخته «%1»"_s.arg(name.left(60)));
        }
    }
    if (!hasJson)
        return badFile(u"بخش layout.json ندارد"_s);

    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isObject())
        return badFile(u"متن layout.json خوانده نشد"_s);
    const QJsonObject root = doc.object();
    if (root.value(u"format"_s).toString() != u"NiloChequePrint layout"_s ||
        root.value(u"version"_s).toDouble() != 1)
        return badFile(u"قالب يا نسخه پرونده شناخته نيست"_s);
    const QJsonArray rows = root.value(u"rows"_s).toArray();
    if (rows.size() != kLayoutRowCount && rows.size() != kOlderLayoutRowCount)
        return badFile(u"طرح بايد ده يا يازده رديف داشته باشد"_s);
    SharedLayout read;
    std::array<bool, kLayoutRowCount> seen{};
    for (const QJsonValue& v : rows) {
        LayoutRow row;
        if (const QString why = readRow(v, &row); !why.isEmpty())
            return badFile(why);
        if (seen[row.itemId - 1])
            return badFile(u"قلم %1 دو بار آمده است"_s.arg(row.itemId));
        seen[row.itemId - 1] = true;
        read.rows[row.itemId - 1] = row;
    }
    // Ten rows: a file from before the national ID, which it then lacks and nothing else.
    if (rows.size() == kOlderLayoutRowCount) {
        if (seen[kNationalIdItemId - 1])
            return badFile(u"طرح بايد ده يا يازده رديف داشته باشد"_s);
        read.rows[kNationalIdItemId - 1] = StartingRowOf(kNationalIdItemId);
    }
    if (hasPicture) {
        JpegFailure failure = JpegFailure::None;
        if (picture.isEmpty() || DecodeJpeg(picture, QSize(64, 64), &failure).isNull())
            return badFile(
                JpegFailureText(failure == JpegFailure::None ? JpegFailure::NotJpeg : failure,
                                QLatin1String(kLayoutPictureEntry)));
        read.pictureJpeg = picture;
    }
    *layout = std::move(read);
    return {};
}

QString ExportLayout(QSqlDatabase db, int accountId, const QString& path,
                     const QStringList& protectedFiles)
{
    if (const QString refused = RefusedOutputPath(path, protectedFiles); !refused.isEmpty())
        return refused;
    ChequeLayout stored;
    try {
        stored = ReadLayout(db, accountId);
    } catch (const AppError& e) {
        return e.message();
    }
    if (!stored.hasRows)
        return u"اين حساب طرح چك ندارد."_s;
    // A layout saved before the national ID existed shares its starting row, switched off.
    if (!stored.present[kNationalIdItemId - 1]) {
        stored.rows[kNationalIdItemId - 1] = StartingRowOf(kNationalIdItemId);
        stored.present[kNationalIdItemId - 1] = true;
    }
    for (const bool present : stored.present)
        if (!present)
            return u"طرح چك اين حساب كامل نيست؛ آن را يك بار در طراحي چك ذخيره كنيد."_s;
    const QByteArray bytes = PackSharedLayout({stored.rows, stored.pictureJpeg});
    if (bytes.isEmpty())
        return u"پرونده طرح چك ساخته نشد."_s;
    QString reason;
    if (!WriteFileWhole(path, bytes, QFileInfo(path).absolutePath(), &reason))
        return reason;
    return {};
}

QString ImportLayout(QSqlDatabase db, int accountId, const QString& path)
{
    const FileRead file = ReadRegularFile(path, kMaxLayoutFileBytes);
    if (!file.ok())
        return u"پرونده طرح چك خوانده نشد: "_s + ReadFailureText(file);
    SharedLayout layout;
    if (const QString why = UnpackSharedLayout(file.bytes, &layout); !why.isEmpty())
        return why;
    QSqlQuery account(db);
    if (!account.prepare(u"select count(*) from tblAccountMst where Id = :InId"_s))
        return DatabaseErrorText(DatabaseReadFailed(), account.lastError().text());
    account.bindValue(u":InId"_s, accountId);
    if (!account.exec() || !account.next())
        return DatabaseErrorText(DatabaseReadFailed(), account.lastError().text());
    if (account.value(0).toInt() != 1)
        return u"حساب %1 پيدا نشد."_s.arg(accountId);
    account.finish();
    QString error;
    if (!SaveLayout(db, accountId, layout.rows, layout.pictureJpeg, {}, &error))
        return error;
    return {};
}
