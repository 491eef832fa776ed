// Sharing a layout: exported from one database and imported into another it prints the same
// page; a bad or tampered file is refused in Persian and changes nothing.
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"
#include "core/storage/LayoutStore.h"
#include "render/LayoutShare.h"
#include "support/PdfWords.h"

#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "support/ChequeFixtures.h"

using namespace Qt::StringLiterals;

namespace {

LayoutRows sampleRows()
{
    LayoutRows rows;
    rows[0] = {1, 650, 320, -12, 7, {}, {}, false, true};
    for (int id = 2; id <= kLastLayoutItemId; ++id)
        rows[id - 1] = {id,          40 + id * 30,   20 + id * 25, 120,
                        11 + id % 3, u"Vazirmatn"_s, u"Bold"_s,    id == 3 || id == 7 || id == 11,
                        id == 5};
    return rows;
}

int addAccount(QSqlDatabase db, const QString& bank)
{
    QSqlQuery q(db);
    q.prepare(u"insert into tblAccountMst (Radif, BankName, AccountNo) values (1, :b, '1-2')"_s);
    q.bindValue(u":b"_s, bank);
    return q.exec() ? q.lastInsertId().toInt() : 0;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// The layout JSON with one change made by `edit`.
QByteArray editedJson(const std::function<void(QJsonObject&)>& edit)
{
    QJsonObject doc = QJsonDocument::fromJson(LayoutJson(sampleRows())).object();
    edit(doc);
    return QJsonDocument(doc).toJson();
}

void editRow(QJsonObject& doc, int index, const QString& key, const QJsonValue& value)
{
    QJsonArray rows = doc[u"rows"_s].toArray();
    QJsonObject row = rows[index].toObject();
    row[key] = value;
    rows[index] = row;
    doc[u"rows"_s] = rows;
}

} // namespace

class LayoutShare : public QObject
{
    Q_OBJECT
    QTemporaryDir dir_;
    QString dbA_, dbB_;
    int accountA_ = 0, accountB_ = 0;
    std::unique_ptr<Database> a_, b_;

private slots:
    void initTestCase()
    {
        dbA_ = dir_.filePath(u"a.mdb"_s);
        dbB_ = dir_.filePath(u"b.mdb"_s);
        QVERIFY(CreateDatabase(dbA_).isEmpty());
        QVERIFY(CreateDatabase(dbB_).isEmpty());
        a_ = std::make_unique<Database>(Database::File{dbA_});
        b_ = std::make_unique<Database>(Database::File{dbB_});
        accountA_ = addAccount(a_->connection(), u"ملت"_s);
        addAccount(b_->connection(), u"صادرات"_s);
        accountB_ = addAccount(b_->connection(), u"ملي"_s); // a different Id from A's
        QVERIFY(accountA_ > 0 && accountB_ > 0 && accountA_ != accountB_);
        QString error;
        QVERIFY2(SaveLayout(a_->connection(), accountA_, sampleRows(), chequeJpeg(), {}, &error),
                 qPrintable(error));
    }

    void exportedThenImportedGivesTheSameRowsAndPicture()
    {
        const QString file = dir_.filePath(u"layout.zip"_s);
        QCOMPARE(ExportLayout(a_->connection(), accountA_, file, {dbA_}), QString());
        QCOMPARE(ImportLayout(b_->connection(), accountB_, file), QString());
        const ChequeLayout got = ReadLayout(b_->connection(), accountB_);
        QVERIFY(got.hasRows);
        QVERIFY(got.rows == sampleRows());
        QCOMPARE(got.pictureJpeg, chequeJpeg());
        // The export may not go over the open database.
        QVERIFY(!ExportLayout(a_->connection(), accountA_, dbA_, {dbA_}).isEmpty());
        // An account without a layout has nothing to export, and nothing is written.
        const int bare = addAccount(a_->connection(), u"تجارت"_s);
        QVERIFY(!ExportLayout(a_->connection(), bare, dir_.filePath(u"none.zip"_s), {}).isEmpty());
        QVERIFY(!QFile::exists(dir_.filePath(u"none.zip"_s)));
    }

    // The tool prints both accounts' cheques into PDFs: every word at the same place.
    void theToolExportsAndImportsAndBothPrintTheSamePage()
    {
        const QString tool = qEnvironmentVariable("NILOCHEQUE");
        if (tool.isEmpty() || QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            QSKIP("run under ctest with poppler-utils");
        const auto run = [&](const QStringList& args) {
            QProcess p;
            p.start(tool, args);
            p.waitForFinished(30000);
            return p.exitCode();
        };
        const QString dbC = dir_.filePath(u"c.mdb"_s);
        QVERIFY(CreateDatabase(dbC).isEmpty());
        int accountC = 0;
        {
            Database c(Database::File{dbC});
            accountC = addAccount(c.connection(), u"سپه"_s);
        }
        const QString file = dir_.filePath(u"tool.zip"_s);
        QCOMPARE(run({u"layout"_s, u"export"_s, u"--account"_s, QString::number(accountA_), file,
                      u"--database"_s, dbA_}),
                 0);
        QCOMPARE(run({u"layout"_s, u"import"_s, file, u"--account"_s, QString::number(accountC),
                      u"--database"_s, dbC}),
                 0);
        const auto print = [&](const QString& db, int account, const QString& pdf) {
            return run({u"print"_s, u"--database"_s, db, u"--account"_s, QString::number(account),
                        u"--amount"_s, u"1250000"_s, u"--date"_s, u"1403/01/15"_s, u"--payee"_s,
                        u"علي رضايي"_s, u"--show"_s, u"cover"_s, u"--pdf"_s, pdf});
        };
        const QString pdfA = dir_.filePath(u"a.pdf"_s), pdfC = dir_.filePath(u"c.pdf"_s);
        QCOMPARE(print(dbA_, accountA_, pdfA), 0);
        QCOMPARE(print(dbC, accountC, pdfC), 0);
        const QList<PdfWord> wordsA = PdfWords(pdfA), wordsC = PdfWords(pdfC);
        QVERIFY(wordsA.size() > 3);
        QCOMPARE(wordsC.size(), wordsA.size());
        for (int i = 0; i < wordsA.size(); ++i) {
            QCOMPARE(wordsC[i].text, wordsA[i].text);
            QCOMPARE(wordsC[i].xMin, wordsA[i].xMin);
            QCOMPARE(wordsC[i].yMin, wordsA[i].yMin);
            QCOMPARE(wordsC[i].xMax, wordsA[i].xMax);
        }
        // A tampered file: refused with a Persian reason, exit 1.
        writeFile(file, ZipEntries({{u"layout.json"_s, "{}"}}));
        QCOMPARE(run({u"layout"_s, u"import"_s, file, u"--account"_s, QString::number(accountC),
                      u"--database"_s, dbC}),
                 1);
        QCOMPARE(run({u"layout"_s, u"import"_s, file}), 2);
    }

    // A file shared before the national ID existed: ten rows, which import with the ID's
    // starting row (switched off) written as the eleventh.
    void aTenRowFileImportsWithTheNationalIdOff()
    {
        const QByteArray json = editedJson([](QJsonObject& d) {
            QJsonArray r = d[u"rows"_s].toArray();
            r.removeLast();
            d[u"rows"_s] = r;
        });
        const QString file = dir_.filePath(u"ten.zip"_s);
        writeFile(file, ZipEntries({{u"layout.json"_s, json}}));
        const QString error = ImportLayout(b_->connection(), accountB_, file);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const ChequeLayout got = ReadLayout(b_->connection(), accountB_);
        QVERIFY(got.present[kNationalIdItemId - 1]);
        QVERIFY(got.item(kNationalIdItemId) == StartingRowOf(kNationalIdItemId));
        QVERIFY(!got.item(kNationalIdItemId).doPrint);
        QVERIFY(got.item(10) == sampleRows()[9]);
    }

    void badFilesAreRefusedAndChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray json = LayoutJson(sampleRows());
        const QByteArray picture = chequeJpeg();
        const auto zip = [&](const QByteArray& j, const QByteArray& p = {}) {
            QList<std::pair<QString, QByteArray>> e{{u"layout.json"_s, j}};
            if (!p.isEmpty())
                e.append({u"cheque.jpg"_s, p});
            return ZipEntries(e);
        };
        const QByteArray good = zip(json, picture);
        QTest::newRow("not a zip") << QByteArray("PK\x03\x04 and then nothing");
        QTest::newRow("truncated") << good.left(good.size() / 2);
        QTest::newRow("no layout.json") << ZipEntries({{u"cheque.jpg"_s, picture}});
        QTest::newRow("an unknown entry")
            << ZipEntries({{u"layout.json"_s, json}, {u"../evil.sh"_s, "rm -rf ~"}});
        QTest::newRow("json is not json") << zip("{rows: [");
        QTest::newRow("another format")
            << zip(editedJson([](QJsonObject& d) { d[u"format"_s] = u"x"_s; }));
        QTest::newRow("nine rows") << zip(editedJson([](QJsonObject& d) {
            QJsonArray r = d[u"rows"_s].toArray();
            r.removeLast();
            r.removeLast();
            d[u"rows"_s] = r;
        }));
        QTest::newRow("ten rows lacking another item") << zip(editedJson([](QJsonObject& d) {
            QJsonArray r = d[u"rows"_s].toArray();
            r.removeAt(4);
            d[u"rows"_s] = r;
        }));
        QTest::newRow("an item twice")
            << zip(editedJson([](QJsonObject& d) { editRow(d, 3, u"itemId"_s, 3); }));
        QTest::newRow("item 12") << zip(
            editedJson([](QJsonObject& d) { editRow(d, 10, u"itemId"_s, 12); }));
        QTest::newRow("width a text")
            << zip(editedJson([](QJsonObject& d) { editRow(d, 2, u"width"_s, u"120"_s); }));
        QTest::newRow("width huge")
            << zip(editedJson([](QJsonObject& d) { editRow(d, 2, u"width"_s, 1e12); }));
        QTest::newRow("margin not whole")
            << zip(editedJson([](QJsonObject& d) { editRow(d, 2, u"upMargin"_s, 1.5); }));
        QTest::newRow("font size negative")
            << zip(editedJson([](QJsonObject& d) { editRow(d, 4, u"fontSize"_s, -3); }));
        QTest::newRow("a missing key") << zip(editedJson([](QJsonObject& d) {
            QJsonArray r = d[u"rows"_s].toArray();
            QJsonObject row = r[4].toObject();
            row.remove(u"upMargin"_s);
            r[4] = row;
            d[u"rows"_s] = r;
        }));
        QTest::newRow("an unknown style")
            << zip(editedJson([](QJsonObject& d) { editRow(d, 4, u"fontStyle"_s, u"Heavy"_s); }));
        QTest::newRow("a control character in the font")
            << zip(editedJson([](QJsonObject& d) { editRow(d, 4, u"fontName"_s, u"A\nB"_s); }));
        QTest::newRow("a switch where none belongs")
            << zip(editedJson([](QJsonObject& d) { editRow(d, 1, u"doPrint"_s, true); }));
        QTest::newRow("picture not a JPEG") << zip(json, "GIF89a not a jpeg at all");
        QTest::newRow("picture cut short") << zip(json, picture.left(picture.size() / 3));
    }
    void badFilesAreRefusedAndChangeNothing()
    {
        QFETCH(QByteArray, bytes);
        // B's account holds a known layout of its own.
        LayoutRows own = sampleRows();
        own[4].fontName = u"DejaVu Sans"_s;
        QVERIFY(SaveLayout(b_->connection(), accountB_, own, chequeJpeg(), {}, nullptr));
        const ChequeLayout before = ReadLayout(b_->connection(), accountB_);

        const QString file = dir_.filePath(u"bad.zip"_s);
        writeFile(file, bytes);
        const QString error = ImportLayout(b_->connection(), accountB_, file);
        QVERIFY2(error.startsWith(u"پرونده طرح چك"_s), qPrintable(error));
        const ChequeLayout after = ReadLayout(b_->connection(), accountB_);
        QVERIFY(after.rows == before.rows);
        QCOMPARE(after.pictureJpeg, before.pictureJpeg);
    }

    void importRefusesAMissingAccountAndADevice()
    {
        const QString file = dir_.filePath(u"ok.zip"_s);
        writeFile(file, PackSharedLayout({sampleRows(), {}}));
        QCOMPARE(ImportLayout(b_->connection(), 9999, file), u"حساب 9999 پيدا نشد."_s);
        QVERIFY(!ReadLayout(b_->connection(), 9999).hasRows);
        QVERIFY(ImportLayout(b_->connection(), accountB_, u"/dev/zero"_s)
                    .startsWith(u"پرونده طرح چك خوانده نشد"_s));
        // Without a picture the account keeps its own.
        const QByteArray picture = ReadLayout(b_->connection(), accountB_).pictureJpeg;
        QCOMPARE(ImportLayout(b_->connection(), accountB_, file), QString());
        QCOMPARE(ReadLayout(b_->connection(), accountB_).pictureJpeg, picture);
    }
};

QTEST_MAIN(LayoutShare)
#include "test_layout_share.moc"
