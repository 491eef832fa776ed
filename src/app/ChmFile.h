#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

struct chmFile;

// One entry of a .chm's contents (.hhc) tree.
struct ChmTopic
{
    QString name;  // title shown in the tree
    QString local; // page path inside the file, rooted: "/start.html"; may be empty
    QList<ChmTopic> children;
};

// Read-only access to a compiled HTML help file through chmlib. Every object read is
// bounded in size, so a damaged or hostile file costs at most that much memory.
class ChmFile final
{
public:
    static constexpr qint64 kMaxObjectSize = 32 * 1024 * 1024;

    explicit ChmFile(const QString& path);
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    bool isOpen() const { return handle_ != nullptr; }

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
    static QString DecodeHtml(const QByteArray& bytes);
    // Parses the sitemap text of a .hhc (tolerant: unclosed lists, missing values).
    static QList<ChmTopic> ParseSitemap(const QString& text);

private:
    void readSystem();

    chmFile* handle_ = nullptr;
    QString contentsFile_;
    QString defaultTopic_;
    QString title_;
};
