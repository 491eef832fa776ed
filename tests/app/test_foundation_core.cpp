// Stored-picture codec, profile files, text checks, database opening and settings rows.
#include "app/OneCopyMutex.h"
#include "core/errors/AppError.h"
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"
#include "core/storage/ImageCodec.h"
#include "core/storage/IniFile.h"
#include "core/storage/SafeFile.h"
#include "core/text/TextChecks.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <zip.h>

#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// A small tmpfs filled to the last byte, unmounted when the scope ends; unmounted() when the
// machine does not let the test mount one.
struct FullDisk
{
    QTemporaryDir dir;
    bool mounted = false;
    FullDisk()
    {
        mounted = ::mount("tmpfs", QFile::encodeName(dir.path()).constData(), "tmpfs", 0,
                          "size=64k") == 0;
    }
    ~FullDisk()
    {
        if (mounted)
            ::umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH);
    }
    void fill()
    {
        QFile filler(dir.filePath(u"filler"_s));
        filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        const QByteArray block(4096, 'f');
        while (filler.write(block) > 0) {
        }
    }
};

// Sets or clears the immutable flag of a folder (no new entry, no rename; its files stay
// writable): the one way to make a folder unwritable for root.
bool setImmutable(const QString& folder, bool on)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return ok;
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
            QVERIFY(e.message().startsWith(u"Unable to write to /nonexistent-folder/x.ini\n"_s));
        }
    }

    // A write that fails half-way (a full disk, a file size limit) leaves the old file
    // byte for byte and says why; no temporary file is left behind.
    void iniWriteThatFailsKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("fullDisk");
        QTest::newRow("full tmpfs") << true;
        QTest::newRow("file size limit") << false;
    }
    void iniWriteThatFailsKeepsTheOldFile()
    {
        QFETCH(bool, fullDisk);
        FullDisk disk;
        if (fullDisk && !disk.mounted)
            QSKIP("no tmpfs can be mounted here; the file size limit row covers the write");
        const QString folder = disk.dir.path() + u'/';
        const QByteArray old = "[Clock Params]\nNo=3\n";
        writeFile(folder + u"NiloChequePrint.ini"_s, old);
        const QString longValue(8000, u'x');
        rlimit saved{};
        if (fullDisk) {
            disk.fill();
        } else {
            ::signal(SIGXFSZ, SIG_IGN);
            ::getrlimit(RLIMIT_FSIZE, &saved);
            rlimit small = saved;
            small.rlim_cur = 1024;
            ::setrlimit(RLIMIT_FSIZE, &small);
        }
        QString message;
        try {
            WriteIniString(u"NiloChequePrint.ini"_s, folder, u"Clock Params"_s, u"Note"_s,
                           longValue);
        } catch (const AppError& e) {
            message = e.message();
        }
        if (!fullDisk)
            ::setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(message.startsWith(u"Unable to write to "_s));
        QCOMPARE(message.count(u'\n'), 2); // the reason in Persian, then the system's words
        if (fullDisk)
            QVERIFY(message.contains(WriteFailureText(ENOSPC)));
        QCOMPARE(readFile(folder + u"NiloChequePrint.ini"_s), old);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), fullDisk ? 2 : 1);
    }

    // A folder that takes no new file while its settings file is writable: the file is
    // rewritten in place.
    void iniWriteInAnUnwritableFolderRewritesInPlace()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        writeFile(folder + u"a.ini"_s, "[Clock Params]\nNo=3\n");
        const bool immutable = setImmutable(dir.path(), true);
        if (!immutable)
            QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        const auto restore = qScopeGuard([&] {
            if (immutable)
                setImmutable(dir.path(), false);
            QFile::setPermissions(dir.path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        QVERIFY(!QFile(folder + u"probe"_s).open(QIODevice::WriteOnly)); // truly unwritable
        WriteIniString(u"a.ini"_s, folder, u"Clock Params"_s, u"No"_s, u"5"_s);
        WriteIniString(u"a.ini"_s, folder, u"Clock Params"_s, u"Longer"_s, QString(300, u'y'));
        QCOMPARE(ReadIniString(u"a.ini"_s, folder, u"Clock Params"_s, u"No"_s, {}), u"5"_s);
        QCOMPARE(readFile(folder + u"a.ini"_s),
                 "[Clock Params]\nNo=5\nLonger=" + QByteArray(300, 'y') + '\n');
    }

    // Devices, FIFOs, folders and links out of the folder are neither read nor written
    // through, and nothing waits for them.
    void iniSpecialFilesAreRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("link to /dev/zero") << u"zero"_s;
        QTest::newRow("FIFO") << u"fifo"_s;
        QTest::newRow("link out of the folder") << u"outside"_s;
        QTest::newRow("folder") << u"folder"_s;
    }
    void iniSpecialFilesAreRefusedAtOnce()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir, elsewhere;
        const QString folder = dir.path() + u'/';
        const QString ini = folder + u"NiloChequePrint.ini"_s;
        const QString other = elsewhere.filePath(u"other.txt"_s);
        writeFile(other, "[Clock Params]\nNo=4\n");
        if (kind == u"zero"_s)
            QVERIFY(QFile::link(u"/dev/zero"_s, ini));
        else if (kind == u"fifo"_s)
            QCOMPARE(::mkfifo(QFile::encodeName(ini).constData(), 0600), 0);
        else if (kind == u"outside"_s)
            QVERIFY(QFile::link(other, ini));
        else
            QVERIFY(QDir().mkdir(ini));
        QElapsedTimer t;
        t.start();
        QCOMPARE(ReadIniString(u"NiloChequePrint.ini"_s, folder, u"Clock Params"_s, u"No"_s,
                               u"Error On Read"_s),
                 u"Error On Read"_s);
        QVERIFY_THROWS_EXCEPTION(AppError, WriteIniString(u"NiloChequePrint.ini"_s, folder,
                                                          u"Clock Params"_s, u"No"_s, u"2"_s));
        QVERIFY(t.elapsed() < 1000);
        QCOMPARE(readFile(other), QByteArray("[Clock Params]\nNo=4\n"));
        const FileRead read = ReadRegularFile(ini, 1024, folder);
        QVERIFY(!read.ok());
        QVERIFY(read.bytes.isEmpty());
    }

    void readRegularFileIsBoundedAndFollowsLinksWithinTheFolder()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(u"a"_s), QByteArray(100, 'a'));
        QVERIFY(QFile::link(dir.filePath(u"a"_s), dir.filePath(u"link"_s)));
        QCOMPARE(ReadRegularFile(dir.filePath(u"link"_s), 100).bytes, QByteArray(100, 'a'));
        QCOMPARE(ReadRegularFile(dir.filePath(u"a"_s), 99).status, ReadStatus::TooLarge);
        QCOMPARE(ReadRegularFile(dir.filePath(u"missing"_s), 99).status, ReadStatus::Missing);
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
        Database dm(dir.path());
        QVERIFY(dm.isOpened());
        QSqlQuery q(dm.connection());
        for (const char* table :
             {"tblAccountMst", "tblChequeImage", "tblItemsPrvt", "tblBackground", "tblTheme"})
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
            Database dm(dir.path());
            QSqlQuery(dm.connection()).exec(u"drop table tblBackground"_s);
        } else if (!content.isEmpty()) {
            writeFile(path, content);
        }
        Database dm(dir.path());
        QVERIFY(!dm.isOpened());
        if (!dropBackground && content.isEmpty())
            QVERIFY(!QFile::exists(path)); // never created
    }

    void settingsRowsAreAppendedThenUpdated()
    {
        QTemporaryDir dir;
        QVERIFY(CreateDatabase(dir.filePath(u"NiloChequePrint.mdb"_s)).isEmpty());
        Database dm(dir.path());
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

    // Without a private runtime folder the lock goes to a per-user folder of mode 0700 under
    // the user's caches, never to a shared temporary folder.
    void oneCopyLockLivesInAPrivateFolder()
    {
        QTemporaryDir cache;
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"),
                         cacheHome = qgetenv("XDG_CACHE_HOME");
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_RUNTIME_DIR", runtime);
            qputenv("XDG_CACHE_HOME", cacheHome);
        });
        qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
        for (const QByteArray& shared : {QByteArray(), QByteArray("/tmp")}) {
            qputenv("XDG_RUNTIME_DIR", shared);
            const QString path = OneCopyMutex::defaultLockPath();
            QCOMPARE(path, cache.path() + u"/NiloChequePrint/OneCopyMutex.lock"_s);
            struct stat st
            {
            };
            QCOMPARE(::lstat(QFile::encodeName(QFileInfo(path).path()).constData(), &st), 0);
            QCOMPARE(st.st_mode & 0777, 0700u);
        }
        // A folder of the right name that others can enter is not used.
        QVERIFY(QFile::setPermissions(cache.path() + u"/NiloChequePrint"_s,
                                      QFileDevice::Permissions(0x7777)));
        QCOMPARE(OneCopyMutex::defaultLockPath(), QString());
    }

    // A lock file someone else put in the lock's place (a link, another user's file that they
    // hold) never keeps the program from starting.
    void foreignLockFileIsNotHonoured()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(u"target"_s);
        writeFile(target, {});
        const QString link = dir.filePath(u"link.lock"_s);
        QVERIFY(QFile::link(target, link));
        const int holder = ::open(QFile::encodeName(target).constData(), O_RDWR);
        QVERIFY(holder >= 0);
        QCOMPARE(::flock(holder, LOCK_EX), 0);
        QVERIFY(!OneCopyMutex(link).heldByAnother());
        if (::getuid() == 0) {
            QCOMPARE(::fchown(holder, 65534, 65534), 0);
            QVERIFY(!OneCopyMutex(target).heldByAnother());
        }
        ::close(holder);
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
