#include "gui/help/ChmFile.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <cerrno>
#include <chm_lib.h>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

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

namespace {

// A record sent by the reading child: path length (4 bytes), object length (8 bytes), both in
// host order, then the path and the object.
constexpr qsizetype kRecordHead = 12;

bool writeAll(int fd, const void* data, size_t size)
{
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, at, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        at += n;
        size -= size_t(n);
    }
    return true;
}

struct ChildSend
{
    int fd;
    qint64 total = 0;
    int count = 0;
};

int sendObject(chmFile* file, chmUnitInfo* unit, void* context)
{
    auto* send = static_cast<ChildSend*>(context);
    const LONGUINT64 length = unit->length;
    if (length > LONGUINT64(ChmFile::kMaxObjectSize))
        return CHM_ENUMERATOR_CONTINUE;
    if (send->total + qint64(length) > ChmFile::kMaxTotalSize ||
        ++send->count > ChmFile::kMaxObjects)
        return CHM_ENUMERATOR_SUCCESS;
    auto* bytes = static_cast<unsigned char*>(std::malloc(length > 0 ? size_t(length) : 1));
    if (!bytes)
        return CHM_ENUMERATOR_FAILURE;
    const bool whole = length == 0 || chm_retrieve_object(file, unit, bytes, 0,
                                                          LONGINT64(length)) == LONGINT64(length);
    bool sent = true;
    if (whole) {
        const quint32 pathLength = quint32(strnlen(unit->path, CHM_MAX_PATHLEN));
        const quint64 objectLength = length;
        char head[kRecordHead];
        std::memcpy(head, &pathLength, 4);
        std::memcpy(head + 4, &objectLength, 8);
        sent = writeAll(send->fd, head, sizeof head) &&
               writeAll(send->fd, unit->path, pathLength) &&
               writeAll(send->fd, bytes, size_t(length));
        send->total += qint64(length);
    }
    std::free(bytes);
    return sent ? CHM_ENUMERATOR_CONTINUE : CHM_ENUMERATOR_FAILURE;
}

// The child's whole life: only chmlib, malloc and write, which glibc keeps usable after a
// fork of a threaded process. Crash handlers inherited from the parent (a test framework's,
// say) must not run here: a crash simply ends the child.
[[noreturn]] void readInChild(const char* path, int fd)
{
    for (int signal : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL, SIGALRM, SIGPIPE})
        std::signal(signal, SIG_DFL);
    alarm(ChmFile::kTimeoutMs / 1000 + 2); // in case the parent is gone
    // glibc reports heap damage on standard error; the parent reports the file instead.
    const int quiet = ::open("/dev/null", O_WRONLY);
    if (quiet >= 0)
        dup2(quiet, STDERR_FILENO);
    chmFile* file = chm_open(path);
    if (!file)
        _exit(2);
    ChildSend send{fd};
    const int done =
        chm_enumerate(file, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_SPECIAL | CHM_ENUMERATE_FILES,
                      sendObject, &send);
    _exit(done ? 0 : 3);
}

// Every object of the file by path, or nullopt when the child could not read the file whole.
std::optional<QHash<QByteArray, QByteArray>> readAllObjects(const QByteArray& path)
{
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return std::nullopt;
    const pid_t child = fork();
    if (child < 0) {
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::close(pipeEnds[0]);
        readInChild(path.constData(), pipeEnds[1]);
    }
    ::close(pipeEnds[1]);

    QByteArray received;
    const qint64 limit =
        ChmFile::kMaxTotalSize + qint64(ChmFile::kMaxObjects) * (kRecordHead + CHM_MAX_PATHLEN);
    QDeadlineTimer deadline(ChmFile::kTimeoutMs);
    bool complete = false;
    char chunk[64 * 1024];
    for (;;) {
        pollfd wait{pipeEnds[0], POLLIN, 0};
        const int ready = poll(&wait, 1, int(qMax<qint64>(0, deadline.remainingTime())));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break; // out of time
        const ssize_t n = ::read(pipeEnds[0], chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0) {
            complete = true;
            break;
        }
        if (n < 0 || received.size() + n > limit)
            break;
        received.append(chunk, n);
    }
    ::close(pipeEnds[0]);
    if (!complete)
        kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!complete || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;

    QHash<QByteArray, QByteArray> objects;
    qsizetype at = 0;
    while (at < received.size()) {
        if (received.size() - at < kRecordHead)
            return std::nullopt;
        quint32 pathLength = 0;
        quint64 objectLength = 0;
        std::memcpy(&pathLength, received.constData() + at, 4);
        std::memcpy(&objectLength, received.constData() + at + 4, 8);
        at += kRecordHead;
        if (pathLength > CHM_MAX_PATHLEN || objectLength > quint64(ChmFile::kMaxObjectSize) ||
            quint64(received.size() - at) < pathLength + objectLength)
            return std::nullopt;
        const QByteArray name = received.mid(at, pathLength);
        at += pathLength;
        objects.insert(name.toLower(), received.mid(at, qsizetype(objectLength)));
        at += qsizetype(objectLength);
    }
    return objects;
}

} // namespace

ChmFile::ChmFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty() || name.contains('\0'))
        return;
    auto objects = readAllObjects(name);
    if (!objects)
        return;
    objects_ = std::move(*objects);
    open_ = true;
    readSystem();
}

std::optional<QByteArray> ChmFile::read(const QString& path) const
{
    const auto found = objects_.constFind(path.toUtf8().toLower());
    if (found == objects_.cend())
        return std::nullopt;
    return *found;
}

bool ChmFile::contains(const QString& path) const
{
    return objects_.contains(path.toUtf8().toLower());
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
        // No record: the first .hhc at the top of the file, by name so the choice is stable.
        QString found;
        for (auto it = objects_.cbegin(); it != objects_.cend(); ++it) {
            const QString name = QString::fromUtf8(it.key());
            if (name.lastIndexOf(u'/') == 0 && name.endsWith(u".hhc"_s, Qt::CaseInsensitive) &&
                (found.isEmpty() || name < found))
                found = name;
        }
        contentsFile_ = found;
    }
}

QList<ChmTopic> ChmFile::contents() const
{
    if (contentsFile_.isEmpty())
        return {};
    const auto bytes = read(contentsFile_);
    if (!bytes)
        return {};
    return parseSitemap(decodeHtml(*bytes));
}

QString ChmFile::decodeHtml(const QByteArray& bytes)
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

QList<ChmTopic> ChmFile::parseSitemap(const QString& text)
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
