#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

// One entry of a .chm's contents (.hhc) tree.
struct ChmTopic
{
    QString name;  // title shown in the tree
    QString local; // page path inside the file, rooted: "/start.html"; may be empty
    QList<ChmTopic> children;
};

// Read-only access to a compiled HTML help file. chmlib trusts the file's tables and writes
// past its buffers on a damaged file, so it never runs in this process: a child process
// copied from this one reads every object once and sends them back, and a child that
// crashes, hangs or sends too much leaves the file unopened. Objects are bounded one by one
// and in total, and the whole read is bounded in time.
class ChmFile final
{
public:
    static constexpr qint64 kMaxObjectSize = 32 * 1024 * 1024;
    static constexpr qint64 kMaxTotalSize = 128 * 1024 * 1024;
    static constexpr int kMaxObjects = 100000;
    static constexpr int kTimeoutMs = 10000;

    explicit ChmFile(const QString& path);

    bool isOpen() const { return open_; }

    // The bytes of an object ("/page.html"); nullopt when missing, unreadable or too large.
    std::optional<QByteArray> read(const QString& path) const;
    bool contains(const QString& path) const;

    // Names from the #SYSTEM object: contents file, default page, title ("" when absent).
    QString contentsFile() const { return contentsFile_; }
    QString defaultTopic() const { return defaultTopic_; }
    QString title() const { return title_; }

    // The contents tree, parsed from the .hhc; empty when the file has none.
    QList<ChmTopic> contents() const;

    // Decodes an HTML page by the charset its meta element names (UTF-8 when none).
    static QString decodeHtml(const QByteArray& bytes);
    // Parses the sitemap text of a .hhc (tolerant: unclosed lists, missing values).
    static QList<ChmTopic> parseSitemap(const QString& text);

private:
    void readSystem();

    bool open_ = false;
    QHash<QByteArray, QByteArray> objects_; // by path in ASCII lower case, as chmlib matches
    QString contentsFile_;
    QString defaultTopic_;
    QString title_;
};
