#pragma once

#include <QByteArray>
#include <QObject>
#include <QSqlDatabase>
#include <optional>

// The main data module: owns the program's one database connection, over which every data
// set of every window runs, and the two single-row settings tables (background, theme).
class Database final : public QObject
{
    Q_OBJECT
public:
    // Opens "<folder>/NiloChequePrint.mdb"; folder defaults to the current directory. Never
    // creates the file; isOpened() says whether it opened and passed its opening test.
    explicit Database(const QString& folder = QString(), QObject* parent = nullptr);
    // Opens a database file of any name (the command-line tool's --database).
    struct File
    {
        QString path;
    };
    explicit Database(const File& file, QObject* parent = nullptr);
    ~Database() override;

    bool isOpened() const { return opened_; }
    // ADOConnection1: the connection every data set runs over.
    QSqlDatabase connection() const;
    QString connectionName() const { return connectionName_; }

    // The stored (packed) background picture of settings row 1; empty when absent.
    QByteArray readBackImage() const;
    void writeBackImage(const QByteArray& packed);
    // The ThemeId of settings row 1; nullopt when the row is absent.
    std::optional<int> readThemeId() const;
    void writeThemeId(int themeId);

private:
    void open(const QString& path);
    QVariant readSetting(const QString& statement, const QString& column) const;
    void writeSetting(const QString& table, const QString& statement, const QString& column,
                      const QVariant& value);

    QString connectionName_;
    bool opened_ = false;
};

// The process-wide main data module, set while it lives.
extern Database* programDatabase;
