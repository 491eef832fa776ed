// Stored-picture codec, profile files, text checks, database opening and settings rows.
#include "app/DatabaseSchema.h"
#include "app/OneCopyMutex.h"
#include "app/uMainDM.h"
#include "lib/AppError.h"
#include "lib/ImageCodec.h"
#include "lib/IniFile.h"
#include "lib/TextChecks.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <zip.h>

using namespace Qt::StringLiterals;

namespace {

// A zip archive with one stored entry of the given name, made with libzip directly.
QByteArray zipWith(const char* entryName, const QByteArray& content)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* za = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    zip_source_keep(buffer);
    zip_source_t* s = zip_source_buffer(za, content.constData(), content.size(), 0);
    zip_file_add(za, entryName, s, 0);
    zip_close(za);
    zip_stat_t st;
    zip_source_stat(buffer, &st);
    QByteArray out(qsizetype(st.size), '\0');
    zip_source_open(buffer);
    zip_source_read(buffer, out.data(), st.size);
    zip_source_close(buffer);
    zip_source_free(buffer);
    return out;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class FoundationCore : public QObject
{
    Q_OBJECT
private slots:
    void packThenUnpackGivesTheBytesBack()
    {
        QByteArray source;
        for (int i = 0; i < 5000; ++i)
            source.append(char(i * 7));
        QByteArray packed;
        PackImageStream(source, packed);
        QVERIFY(packed.startsWith("PK\x03\x04"));
        QVERIFY(packed.contains(kImageEntryName));
        QByteArray unpacked("old");
        UnpackImageStream(packed, unpacked);
        QCOMPARE(unpacked, source);
    }

    void packedArchiveIsOneDeflatedEntry()
    {
        QByteArray packed;
        PackImageStream(QByteArray(10000, 'a'), packed);
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* src = zip_source_buffer_create(packed.constData(), packed.size(), 0, &error);
        zip_t* za = zip_open_from_source(src, ZIP_RDONLY | ZIP_CHECKCONS, &error);
        QVERIFY(za);
        QCOMPARE(zip_get_num_entries(za, 0), zip_int64_t(1));
        zip_stat_t st;
        QCOMPARE(zip_stat_index(za, 0, 0, &st), 0);
        QCOMPARE(QByteArray(st.name), QByteArray("K2741B"));
        QCOMPARE(int(st.comp_method), int(ZIP_CM_DEFLATE));
        QCOMPARE(st.size, zip_uint64_t(10000));
        zip_discard(za);
    }

    void emptySourceLeavesTargetUntouched()
    {
        QByteArray target("keep");
        PackImageStream({}, target);
        QCOMPARE(target, QByteArray("keep"));
        UnpackImageStream({}, target);
        QCOMPARE(target, QByteArray("keep"));
    }

    void unpackFallbacks_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray jpeg("\xFF\xD8\xFF\xE0 plain jpeg bytes \xFF\xD9");
        QTest::newRow("plain picture bytes") << jpeg << jpeg;
        QTest::newRow("archive with another entry") << zipWith("other", "data") << QByteArray();
        QByteArray truncated;
        PackImageStream(QByteArray(4000, 'x'), truncated);
        truncated.chop(30);
        QTest::newRow("damaged archive") << truncated << truncated;
        QTest::newRow("stored entry K2741B") << zipWith("K2741B", "abc") << QByteArray("abc");
    }
    void unpackFallbacks()
    {
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, expected);
        QByteArray target("previous");
        UnpackImageStream(source, target);
        QCOMPARE(target, expected);
    }

    void zipBombIsBoundedAndFallsBack()
    {
        // 200 MiB of zeros deflates to a few hundred kilobytes.
        QByteArray huge(200 * 1024 * 1024, '\0');
        QByteArray bomb;
        PackImageStream(huge, bomb);
        huge = QByteArray();
        QVERIFY(bomb.size() < 1024 * 1024);
        QElapsedTimer t;
        t.start();
        QByteArray target;
        UnpackImageStream(bomb, target);
        QVERIFY(t.elapsed() < 5000);
        QCOMPARE(target, bomb); // read as no valid archive: the raw copy
    }

    void entryClaimingFourGiBIsBounded()
    {
        QByteArray packed;
        PackImageStream(QByteArray(100000, 'q'), packed);
        // Claim 4 GiB - 1 uncompressed in the local and the central headers.
        for (const QByteArray& signature : {QByteArray("PK\x03\x04"), QByteArray("PK\x01\x02")}) {
            const qsizetype at = packed.indexOf(signature);
            QVERIFY(at >= 0);
            const qsizetype sizeField = at + (signature[2] == 3 ? 22 : 24);
            packed.replace(sizeField, 4, QByteArray(4, '\xFF'));
        }
        QElapsedTimer t;
        t.start();
        QByteArray target;
        UnpackImageStream(packed, target);
        QVERIFY(t.elapsed() < 1000);
        QCOMPARE(target, packed); // inconsistent sizes: no readable archive, the raw copy
    }

    void iniReadsWindowsProfileSemantics()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        QCOMPARE(ReadIniString(u"a.ini"_s, folder, u"Clock Params"_s, u"No"_s, u"Error On Read"_s),
                 u"Error On Read"_s);
        QVERIFY(!QFile::exists(folder + u"a.ini"_s)); // reading creates nothing
        writeFile(folder + u"a.ini"_s,
                  "; comment\r\n[other]\r\nNo=9\r\n[ clock params ]\r\n  no  =  \"3\"  \r\n");
        QCOMPARE(ReadIniString(u"a.ini"_s, folder, u"Clock Params"_s, u"No"_s, u"x"_s), u"3"_s);
        QCOMPARE(ReadIniString(u"a.ini"_s, folder, u"Clock Params"_s, u"Missing"_s, u"d  "_s),
                 u"d"_s);
        writeFile(folder + u"long.ini"_s, "[s]\nk=" + QByteArray(5000, 'v') + "\n");
        QCOMPARE(ReadIniString(u"long.ini"_s, folder, u"s"_s, u"k"_s, {}).size(), 2047);
    }

    void iniWriteCreatesAndReplacesInPlace()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        WriteIniString(u"NiloChequePrint.ini"_s, folder, u"Clock Params"_s, u"No"_s, u"1"_s);
        QFile f(folder + u"NiloChequePrint.ini"_s);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("[Clock Params]\nNo=1\n"));
        f.close();
        WriteIniString(u"NiloChequePrint.ini"_s, folder, u"Clock Params"_s, u"Other"_s, u"x"_s);
        WriteIniString(u"NiloChequePrint.ini"_s, folder, u"clock params"_s, u"NO"_s, u"5"_s);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("[Clock Params]\nNO=5\nOther=x\n"));
    }

    void iniWriteFailureNamesThePath()
    {
        const QString folder = u"/nonexistent-folder/"_s;
        try {
            WriteIniString(u"x.ini"_s, folder, u"s"_s, u"k"_s, u"v"_s);
            QFAIL("no error");
        } catch (const AppError& e) {
            QCOMPARE(e.message(), u"Unable to write to /nonexistent-folder/x.ini"_s);
        }
    }

    void iniOfOneHugeLineIsBounded()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(u"big.ini"_s), "[s]\nk=" + QByteArray(10 * 1024 * 1024, 'z'));
        QElapsedTimer t;
        t.start();
        QCOMPARE(ReadIniString(u"big.ini"_s, dir.path() + u'/', u"s"_s, u"k"_s, {}).size(), 2047);
        QVERIFY(t.elapsed() < 1000);
    }

    void textChecks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<bool>("isBlank");
        QTest::newRow("empty") << QString() << true << true;
        QTest::newRow("lone full stop") << u"."_s << true << false;
        QTest::newRow("digits and stops") << u"1.2.3"_s << true << false;
        QTest::newRow("digits then letter") << u"12a"_s << false << false;
        QTest::newRow("leading space") << u" 12"_s << false << false;
        QTest::newRow("minus") << u"-1"_s << false << false;
        QTest::newRow("spaces and controls") << u" \t \n"_s << false << true;
        QTest::newRow("persian digits") << u"۱۲"_s << false << false;
    }
    void textChecks()
    {
        QFETCH(QString, text);
        QFETCH(bool, isNumber);
        QFETCH(bool, isBlank);
        QCOMPARE(IsNumberText(text), isNumber);
        QCOMPARE(IsBlankText(text), isBlank);
    }

    void initDbCreatesTablesAndRefusesOverwrite()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"NiloChequePrint.mdb"_s);
        QVERIFY(CreateDatabase(path).isEmpty());
        QVERIFY(!CreateDatabase(path).isEmpty());
        TfrmMainDM dm(dir.path());
        QVERIFY(dm.isOpened());
        QVERIFY(DatabaseOpened);
        QSqlQuery q(dm.connection());
        for (const char* table : {"tblAccountMst", "tblChequeImage", "tblItemsPrvt", "tblBackground", "tblTheme"})
            QVERIFY2(q.exec(u"select * from "_s + QLatin1String(table)), table);
        QVERIFY(q.exec(u"insert into tblAccountMst (BankName) values ('a')"_s));
        QCOMPARE(q.lastInsertId().toInt(), 1);
        // One layout row per account and item.
        QVERIFY(q.exec(u"insert into tblItemsPrvt (AccountMstId, ItemId) values (1, 1)"_s));
        QVERIFY(!q.exec(u"insert into tblItemsPrvt (AccountMstId, ItemId) values (1, 1)"_s));
    }

    void openingFailsWithoutAUsableDatabase_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("dropBackground");
        QTest::newRow("missing file") << QByteArray() << false;
        QTest::newRow("random bytes") << QByteArray(4096, '\x5a') << false;
        QTest::newRow("no tblBackground") << QByteArray() << true;
    }
    void openingFailsWithoutAUsableDatabase()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, dropBackground);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"NiloChequePrint.mdb"_s);
        if (dropBackground) {
            QVERIFY(CreateDatabase(path).isEmpty());
            TfrmMainDM dm(dir.path());
            QSqlQuery(dm.connection()).exec(u"drop table tblBackground"_s);
        } else if (!content.isEmpty()) {
            writeFile(path, content);
        }
        TfrmMainDM dm(dir.path());
        QVERIFY(!dm.isOpened());
        QVERIFY(!DatabaseOpened);
        if (!dropBackground && content.isEmpty())
            QVERIFY(!QFile::exists(path)); // never created
    }

    void settingsRowsAreAppendedThenUpdated()
    {
        QTemporaryDir dir;
        QVERIFY(CreateDatabase(dir.filePath(u"NiloChequePrint.mdb"_s)).isEmpty());
        TfrmMainDM dm(dir.path());
        QVERIFY(!dm.readThemeId().has_value());
        QVERIFY(dm.readBackImage().isEmpty());
        dm.writeThemeId(4);
        dm.writeThemeId(7);
        QCOMPARE(dm.readThemeId(), std::optional<int>(7));
        dm.writeBackImage("packed");
        QCOMPARE(dm.readBackImage(), QByteArray("packed"));
        QSqlQuery q(dm.connection());
        QVERIFY(q.exec(u"select count(*) from tblTheme"_s) && q.next());
        QCOMPARE(q.value(0).toInt(), 1);
    }

    void oneCopyMutexRefusesASecondHolder()
    {
        QTemporaryDir dir;
        const QString lock = dir.filePath(u"OneCopyMutex.lock"_s);
        {
            OneCopyMutex first(lock);
            QVERIFY(!first.heldByAnother());
            OneCopyMutex second(lock);
            QVERIFY(second.heldByAnother());
        }
        OneCopyMutex again(lock); // released with its holder
        QVERIFY(!again.heldByAnother());
        OneCopyMutex unusable(u"/nonexistent-folder/lock"_s);
        QVERIFY(!unusable.heldByAnother());
    }

    void errorBoxTextAppendsFullStop_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << u"'x' is not a valid date"_s << u"'x' is not a valid date."_s;
        QTest::newRow("full stop") << u"done."_s << u"done."_s;
        QTest::newRow("comma below stop") << u"a,"_s << u"a,"_s;
        QTest::newRow("persian letter") << u"خطا"_s << u"خطا."_s;
        QTest::newRow("empty") << QString() << QString();
    }
    void errorBoxTextAppendsFullStop()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(errorBoxText(message), shown);
    }

    void cliInitDbCreatesOnceAndRefusesOverwrite()
    {
        QTemporaryDir dir;
        const QString tool = qEnvironmentVariable("NILOCHEQUE");
        if (tool.isEmpty())
            QSKIP("run under ctest");
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(tool, {u"init-db"_s});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(QFile::exists(dir.filePath(u"NiloChequePrint.mdb"_s)));
        p.start(tool, {u"init-db"_s});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(p.readAllStandardError().contains("already exists"));
        p.start(tool, {u"--help"_s});
        QVERIFY(p.waitForFinished());
        QVERIFY(p.readAllStandardOutput().contains("init-db"));
    }
};

QTEST_GUILESS_MAIN(FoundationCore)
#include "test_foundation_core.moc"
