#include "app/ChmFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <chm_lib.h>

using namespace Qt::StringLiterals;

namespace {

// Deeper lists than this in a contents file are flattened into the deepest level: a hostile
// file cannot make the tree (or its walk) arbitrarily deep.
constexpr int kMaxDepth = 32;
// Contents files are small; a larger one is refused rather than parsed.
constexpr qsizetype kMaxSitemapChars = 4 * 1024 * 1024;

QString decodeEntities(QString text)
{
    static const QRegularExpression numeric(u"&#(x?)([0-9a-fA-F]{1,6});"_s);
    QString out;
    qsizetype last = 0;
    for (auto it = numeric.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        bool ok = false;
        const uint code = m.captured(2).toUInt(&ok, m.captured(1).isEmpty() ? 10 : 16);
        if (ok && code > 0 && code <= 0x10FFFF && !QChar::isSurrogate(code))
            out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    out.replace(u"&lt;"_s, u"<"_s).replace(u"&gt;"_s, u">"_s).replace(u"&quot;"_s, u"\""_s);
    out.replace(u"&#39;"_s, u"'"_s).replace(u"&nbsp;"_s, QString(QChar(0xA0)));
    return out.replace(u"&amp;"_s, u"&"_s);
}

// A page path as the contents names it, rooted inside the file: "a\b.htm" -> "/a/b.htm";
// "ms-its:x.chm::/b.htm" -> "/b.htm".
QString rootedPath(QString local)
{
    local = local.trimmed();
    if (local.isEmpty())
        return {};
    const qsizetype separator = local.indexOf(u"::"_s);
    if (separator >= 0)
        local = local.mid(separator + 2);
    local.replace(u'\\', u'/');
    if (local.contains(u"://"_s) || local.startsWith(u"mailto:"_s, Qt::CaseInsensitive))
        return local; // a link out of the file, kept as it is
    if (!local.startsWith(u'/'))
        local.prepend(u'/');
    return local;
}

QString attribute(const QString& attributes, const QString& name)
{
    static const QRegularExpression pattern(
        uR"re(([A-Za-z_:][-\w:.]*)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'>]+)))re"_s);
    for (auto it = pattern.globalMatch(attributes); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(1).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        for (int group = 2; group <= 4; ++group)
            if (m.capturedStart(group) >= 0)
                return decodeEntities(m.captured(group));
    }
    return {};
}

QString decodeLoose(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    // Old help files are in the Windows Arabic code page.
    QStringDecoder arabic("windows-1256");
    if (arabic.isValid())
        return arabic(bytes);
    return QString::fromLatin1(bytes);
}

} // namespace

ChmFile::ChmFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty() || name.contains('\0'))
        return;
    handle_ = chm_open(name.constData());
    if (handle_)
        readSystem();
}

ChmFile::~ChmFile()
{
    if (handle_)
        chm_close(handle_);
}

std::optional<QByteArray> ChmFile::read(const QString& path) const
{
    if (!handle_)
        return std::nullopt;
    const QByteArray objectPath = path.toUtf8();
    if (objectPath.isEmpty() || objectPath.size() > CHM_MAX_PATHLEN || objectPath.contains('\0'))
        return std::nullopt;
    chmUnitInfo unit{};
    if (chm_resolve_object(handle_, objectPath.constData(), &unit) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    if (unit.length > LONGUINT64(kMaxObjectSize))
        return std::nullopt;
    QByteArray bytes(qsizetype(unit.length), Qt::Uninitialized);
    if (unit.length == 0)
        return bytes;
    const LONGINT64 got = chm_retrieve_object(
        handle_, &unit, reinterpret_cast<unsigned char*>(bytes.data()), 0, LONGINT64(unit.length));
    if (got != LONGINT64(unit.length))
        return std::nullopt;
    return bytes;
}

bool ChmFile::contains(const QString& path) const
{
    if (!handle_)
        return false;
    const QByteArray objectPath = path.toUtf8();
    if (objectPath.isEmpty() || objectPath.size() > CHM_MAX_PATHLEN || objectPath.contains('\0'))
        return false;
    chmUnitInfo unit{};
    return chm_resolve_object(handle_, objectPath.constData(), &unit) == CHM_RESOLVE_SUCCESS;
}

void ChmFile::readSystem()
{
    // #SYSTEM: a 4-byte version, then records of (16-bit code, 16-bit length, data).
    const auto system = read(u"/#SYSTEM"_s);
    if (system) {
        const QByteArray& b = *system;
        qsizetype at = 4;
        auto word = [&](qsizetype i) { return int(uchar(b[i])) | int(uchar(b[i + 1])) << 8; };
        while (at + 4 <= b.size()) {
            const int code = word(at);
            const int length = word(at + 2);
            at += 4;
            if (at + length > b.size())
                break;
            QByteArray data = b.mid(at, length);
            const qsizetype nul = data.indexOf('\0');
            if (nul >= 0)
                data.truncate(nul);
            if (code == 0)
                contentsFile_ = rootedPath(decodeLoose(data));
            else if (code == 2)
                defaultTopic_ = rootedPath(decodeLoose(data));
            else if (code == 3)
                title_ = decodeLoose(data).trimmed();
            at += length;
        }
    }
    if (contentsFile_.isEmpty() || !contains(contentsFile_)) {
        // No record: the first .hhc at the top of the file.
        struct Search
        {
            QString found;
        } search;
        chm_enumerate_dir(
            handle_, "/", CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES,
            [](chmFile*, chmUnitInfo* unit, void* context) -> int {
                const QString name =
                    QString::fromUtf8(unit->path, qstrnlen(unit->path, CHM_MAX_PATHLEN));
                if (name.endsWith(u".hhc"_s, Qt::CaseInsensitive)) {
                    static_cast<Search*>(context)->found = name;
                    return CHM_ENUMERATOR_SUCCESS;
                }
                return CHM_ENUMERATOR_CONTINUE;
            },
            &search);
        contentsFile_ = search.found;
    }
}

QList<ChmTopic> ChmFile::contents() const
{
    if (contentsFile_.isEmpty())
        return {};
    const auto bytes = read(contentsFile_);
    if (!bytes)
        return {};
    return ParseSitemap(DecodeHtml(*bytes));
}

QString ChmFile::DecodeHtml(const QByteArray& bytes)
{
    // The charset is named near the top, in ASCII, whatever the encoding of the rest.
    static const QRegularExpression charset(uR"re(charset\s*=\s*["']?\s*([A-Za-z0-9_.:-]+))re"_s,
                                            QRegularExpression::CaseInsensitiveOption);
    const QString head = QString::fromLatin1(bytes.left(4096));
    const auto m = charset.match(head);
    if (m.hasMatch()) {
        const QByteArray name = m.captured(1).toLatin1();
        QStringDecoder decoder(name.constData());
        if (decoder.isValid())
            return decoder(bytes);
    }
    return decodeLoose(bytes);
}

QList<ChmTopic> ChmFile::ParseSitemap(const QString& text)
{
    QList<ChmTopic> root;
    if (text.size() > kMaxSitemapChars)
        return root;

    // The path from the root to the list being filled: each step is an index into the
    // children of the level above (the first step indexes `root`).
    QList<qsizetype> path;
    auto currentList = [&]() -> QList<ChmTopic>& {
        QList<ChmTopic>* list = &root;
        for (qsizetype index : path)
            list = &(*list)[index].children;
        return *list;
    };
    // For each list still open: whether it went one level down (false for a list opened
    // without an entry to hang it on, or beyond the depth limit).
    QList<bool> openLists;

    std::optional<ChmTopic> entry;
    static const QRegularExpression tag(uR"re(<\s*(/?)\s*([A-Za-z]+)([^>]*)>)re"_s);
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString name = m.captured(2).toLower();
        if (name == u"ul"_s) {
            if (!closing) {
                QList<ChmTopic>& list = currentList();
                const bool down = !list.isEmpty() && path.size() < kMaxDepth;
                if (down)
                    path << list.size() - 1;
                openLists << down;
            } else if (!openLists.isEmpty() && openLists.takeLast()) {
                path.removeLast();
            }
        } else if (name == u"object"_s) {
            if (!closing) {
                if (attribute(m.captured(3), u"type"_s)
                        .compare(u"text/sitemap"_s, Qt::CaseInsensitive) == 0)
                    entry = ChmTopic{};
            } else if (entry) {
                if (!entry->name.isEmpty() || !entry->local.isEmpty()) {
                    if (entry->name.isEmpty())
                        entry->name = entry->local;
                    currentList() << *entry;
                }
                entry.reset();
            }
        } else if (name == u"param"_s && !closing && entry) {
            const QString param = attribute(m.captured(3), u"name"_s);
            const QString value = attribute(m.captured(3), u"value"_s);
            if (param.compare(u"Name"_s, Qt::CaseInsensitive) == 0 && entry->name.isEmpty())
                entry->name = value.trimmed();
            else if (param.compare(u"Local"_s, Qt::CaseInsensitive) == 0 && entry->local.isEmpty())
                entry->local = rootedPath(value);
        }
    }
    return root;
}
