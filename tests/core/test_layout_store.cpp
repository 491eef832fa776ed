// The stored cheque layout: catalogue, style names, right-margin arithmetic, reading, saving
// as one transaction, deleting an account with its layout.
#include "core/cheque/ChequeLayout.h"
#include "core/errors/AppError.h"
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"
#include "core/storage/ImageCodec.h"
#include "core/storage/LayoutStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <limits>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A fresh database in a temporary folder, open through the main data module.
struct Fixture
{
    QTemporaryDir dir;
    std::unique_ptr<Database> dm;

    Fixture()
    {
        const QString error = CreateDatabase(dir.filePath(QString::fromLatin1(kDatabaseFileName)));
        if (!error.isEmpty())
            qFatal("%s", qPrintable(error));
        dm = std::make_unique<Database>(dir.path());
    }
    QSqlDatabase db() const { return dm->connection(); }

    int addAccount(const QString& bank = u"ملت"_s)
    {
        QSqlQuery q(db());
        q.prepare(u"insert into tblAccountMst (BankName) values (?)"_s);
        q.addBindValue(bank);
        if (!q.exec())
            qFatal("insert failed");
        return q.lastInsertId().toInt();
    }
    int count(const QString& sql)
    {
        QSqlQuery q(db());
        if (!q.exec(sql) || !q.next())
            qFatal("%s failed", qPrintable(sql));
        return q.value(0).toInt();
    }
    void exec(const QString& sql)
    {
        QSqlQuery q(db());
        if (!q.exec(sql))
            qFatal("%s failed", qPrintable(sql));
    }
};

std::array<int, kLayoutItemCount> boxLeftsOf(const LayoutFields& f)
{
    std::array<int, kLayoutItemCount> lefts{};
    for (const LayoutItemInfo& info : LayoutItems())
        lefts[info.itemId - 2] = BoxLeftFromFields(f, info.itemId);
    return lefts;
}

LayoutRows rowsOf(const LayoutFields& f)
{
    return RowsToSave(f, boxLeftsOf(f));
}

LayoutFields readFields(QSqlDatabase db, int accountId, LayoutFields start = StartingFields())
{
    ApplyLayoutRows(ReadLayout(db, accountId), start);
    return start;
}

// A layout unlike the starting one in every value, so that a half-written save shows.
LayoutFields otherFields(int seed)
{
    LayoutFields f = StartingFields();
    f.chequeWidth = 700 + seed;
    f.chequeHeight = 300 + seed;
    f.pageTop = 5 + seed;
    f.pageLeft = 7 + seed;
    f.horizontalFeed = true;
    f.verticalFeed = false;
    for (int id = kFirstLayoutItemId; id <= kLastLayoutItemId; ++id) {
        ItemFields& item = f.item(id);
        item.horizontal = id * 10 + seed;
        item.top = id * 20 + seed;
        item.width = id * 5 + seed;
        item.fontName = u"Font %1"_s.arg(seed);
        item.fontStyle = u"Bold Italic"_s;
        item.fontSize = QString::number(10 + seed);
        item.switchOn = LayoutItemOf(id).itemSwitch != ItemSwitch::None;
    }
    return f;
}

// Child mode of the crash test: saves two layouts in turn until killed.
int saveLoop(const QString& folder, int accountId)
{
    Database dm(folder);
    for (int i = 0;; ++i) {
        const QByteArray picture = QByteArray(20000 + i % 2, char('A' + i % 2));
        SaveLayout(dm.connection(), accountId, rowsOf(otherFields(i % 2)), picture);
    }
}

} // namespace

class LayoutStoreTest : public QObject
{
    Q_OBJECT
private slots:
    void catalogueNamesTheTenItemsInOrder()
    {
        QStringList labels;
        for (const LayoutItemInfo& info : LayoutItems())
            labels << info.labelName;
        QCOMPARE(labels, (QStringList{u"lblNumericDate"_s, u"lblAlphabeticDate"_s,
                                      u"lblNumericPrice"_s, u"lblAlphabeticPrice1"_s,
                                      u"lblCustomer"_s, u"lblPerferaj"_s, u"lblDescription"_s,
                                      u"lblConstatnt"_s, u"lblCover"_s, u"lblNationalId"_s}));
        QVERIFY(LayoutItemOf(kNationalIdItemId).leftToRight);
        QVERIFY(!StartingFields().item(kNationalIdItemId).switchOn);
        QCOMPARE(LayoutItemOf(10).placeholder, QString(75, u'*'));
        QVERIFY(LayoutItemOf(10).cutAtRight);
        QVERIFY(LayoutItemOf(7).leftToRight);
        QString rightMeasured;
        for (const LayoutItemInfo& info : LayoutItems())
            if (info.side == MeasuredFrom::Right)
                rightMeasured += QString::number(info.itemId);
        QCOMPARE(rightMeasured, u"23568"_s);
        QCOMPARE(StartingFields().item(4).fontName, u"2  Yekan"_s);
    }

    void styleCodesAndNamesConvertForExactlyTheFourNames_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("regular") << 0 << u"Regular"_s;
        QTest::newRow("bold") << 1 << u"Bold"_s;
        QTest::newRow("italic") << 2 << u"Italic"_s;
        QTest::newRow("bold italic") << 3 << u"Bold Italic"_s;
    }
    void styleCodesAndNamesConvertForExactlyTheFourNames()
    {
        QFETCH(int, code);
        QFETCH(QString, name);
        QCOMPARE(FontStyleName(quint8(code)), name);
        QCOMPARE(int(FontStyleCode(name)), code);
    }

    void otherStylesHaveNoName()
    {
        QCOMPARE(FontStyleName(FontStyleCodeOf(false, false, true, false)), QString());
        QCOMPARE(FontStyleName(FontStyleCodeOf(true, false, false, true)), QString());
        QCOMPARE(FontStyleName(255), QString());
        // Exact and case-sensitive, no trimming: none of these is a name.
        for (const QString& text : {u"bold"_s, u" Bold"_s, u"Bold "_s, u""_s, u"BoldItalic"_s})
            QCOMPARE(int(FontStyleCode(text)), 0);
    }

    void rightMarginArithmeticIsExact()
    {
        QCOMPARE(LeftEdgeOf(650, 36, 52), 562);
        QCOMPARE(RightMarginOf(650, 562, 52), 36);
        QCOMPARE(RightMarginOf(700, 562, 52), 86);
        QCOMPARE(RightMarginOf(650, 560, 60), 30);
        QCOMPARE(LeftEdgeOf(650, 30, 80), 540);
        QCOMPARE(LeftEdgeOf(0, 10, 20), -30);
        // Typed absurdities saturate instead of overflowing.
        constexpr int maxInt = std::numeric_limits<int>::max();
        constexpr int minInt = std::numeric_limits<int>::min();
        QCOMPARE(LeftEdgeOf(maxInt, minInt, 0), maxInt);
        QCOMPARE(RightMarginOf(minInt, maxInt, maxInt), minInt);
    }

    void emptyDatabaseReadsNothingAndChangesNoValue()
    {
        Fixture fx;
        const ChequeLayout layout = ReadLayout(fx.db(), 1);
        QVERIFY(!layout.hasRows);
        QVERIFY(layout.pictureJpeg.isEmpty());
        LayoutFields shown = otherFields(3);
        ApplyLayoutRows(layout, shown);
        QCOMPARE(shown, otherFields(3));
    }

    void startingValuesRoundTrip()
    {
        Fixture fx;
        const int id = fx.addAccount();
        QVERIFY(SaveLayout(fx.db(), id, rowsOf(StartingFields()), {}));
        QCOMPARE(fx.count(u"select count(*) from tblItemsPrvt"_s), kLayoutRowCount);
        QCOMPARE(fx.count(u"select count(*) from tblChequeImage"_s), 0);
        LayoutFields expected = StartingFields();
        expected.verticalFeed = true; // a stored false reads back as the vertical feed
        QCOMPARE(readFields(fx.db(), id, otherFields(1)), expected);
        QCOMPARE(fx.count(u"select SideMargin from tblItemsPrvt where ItemId = 2"_s), 562);
    }

    void chequeWidthChangeKeepsLeftEdgesAndMovesRightMargins()
    {
        Fixture fx;
        const int id = fx.addAccount();
        LayoutFields f = StartingFields();
        QVERIFY(SaveLayout(fx.db(), id, rowsOf(f), {}));
        // The boxes stay where they are; only the cheque width changes.
        const auto lefts = boxLeftsOf(f);
        f.chequeWidth = 700;
        QVERIFY(SaveLayout(fx.db(), id, RowsToSave(f, lefts), {}));
        QCOMPARE(fx.count(u"select SideMargin from tblItemsPrvt where ItemId = 2"_s), 562);
        const LayoutFields back = readFields(fx.db(), id);
        QCOMPARE(back.chequeWidth, 700);
        QCOMPARE(back.item(2).horizontal, 86);
        QCOMPARE(back.item(4).horizontal, 51); // measured from the left: unchanged
    }

    // A database from before the national ID holds ten rows an account: they read with the ID
    // absent, shown at its starting place and switched off whatever the fields held; the next
    // save writes its row.
    void olderTenRowLayoutReadsWithTheNationalIdOff()
    {
        Fixture fx;
        const int a = fx.addAccount();
        const LayoutFields saved = otherFields(1);
        QVERIFY(saved.item(kNationalIdItemId).switchOn);
        QVERIFY(SaveLayout(fx.db(), a, rowsOf(saved), {}));
        fx.exec(u"delete from tblItemsPrvt where ItemId = 11"_s);

        const ChequeLayout layout = ReadLayout(fx.db(), a);
        QVERIFY(layout.hasRows && !layout.present[kNationalIdItemId - 1]);
        const LayoutFields shown = readFields(fx.db(), a, otherFields(2));
        QCOMPARE(shown.item(kNationalIdItemId), StartingFields().item(kNationalIdItemId));
        QVERIFY(!shown.item(kNationalIdItemId).switchOn);
        for (int id = kFirstLayoutItemId; id < kNationalIdItemId; ++id)
            QCOMPARE(shown.item(id), saved.item(id));

        QVERIFY(SaveLayout(fx.db(), a, rowsOf(shown), {}));
        QCOMPARE(fx.count(u"select count(*) from tblItemsPrvt"_s), kLayoutRowCount);
        QCOMPARE(fx.count(u"select count(*) from tblItemsPrvt where ItemId = 11 and DoPrint = 0 "
                          "and SideMargin = 40"_s),
                 1);
        QCOMPARE(readFields(fx.db(), a, otherFields(2)), shown);
    }

    void repeatedSavesNeverDuplicateRows()
    {
        Fixture fx;
        const int a = fx.addAccount();
        const int b = fx.addAccount();
        QVERIFY(SaveLayout(fx.db(), a, rowsOf(StartingFields()), "first picture"));
        QVERIFY(SaveLayout(fx.db(), a, rowsOf(otherFields(1)), "second picture"));
        QVERIFY(SaveLayout(fx.db(), a, rowsOf(otherFields(2)), {}));
        QVERIFY(SaveLayout(fx.db(), b, rowsOf(StartingFields()), {}));
        QCOMPARE(fx.count(u"select count(*) from tblItemsPrvt where AccountMstId = %1"_s.arg(a)),
                 kLayoutRowCount);
        QCOMPARE(fx.count(u"select count(distinct ItemId) from tblItemsPrvt where "
                          "AccountMstId = %1"_s.arg(a)),
                 kLayoutRowCount);
        QCOMPARE(fx.count(u"select count(*) from tblChequeImage where AccountMstId = %1"_s.arg(a)),
                 1);
        QCOMPARE(fx.count(u"select count(*) from tblItemsPrvt"_s), 2 * kLayoutRowCount);
        // A save without a picture leaves the stored one; the last picture saved is packed.
        const ChequeLayout back = ReadLayout(fx.db(), a);
        QCOMPARE(back.pictureJpeg, QByteArray("second picture"));
        QCOMPARE(readFields(fx.db(), a), otherFields(2));
        QSqlQuery q(fx.db());
        QVERIFY(q.exec(u"select Image from tblChequeImage"_s) && q.next());
        QVERIFY(q.value(0).toByteArray().startsWith("PK"));
    }

    void columnsNotWrittenStayEmpty()
    {
        Fixture fx;
        const int id = fx.addAccount();
        QVERIFY(SaveLayout(fx.db(), id, rowsOf(otherFields(1)), {}));
        QVERIFY(SaveLayout(fx.db(), id, rowsOf(otherFields(2)), {}));
        QCOMPARE(fx.count(u"select count(*) from tblItemsPrvt where ItemId = 1 and FName is null "
                          "and FStyle is null and DoPrint is null"_s),
                 1);
        QSqlQuery q(fx.db());
        QVERIFY(q.exec(u"select group_concat(ItemId, ',') from (select ItemId from tblItemsPrvt "
                       "where DoPrint is not null order by ItemId)"_s) &&
                q.next());
        QCOMPARE(q.value(0).toString(), u"3,7,8,9,10,11"_s);
        QVERIFY(q.exec(u"select group_concat(ItemId, ',') from (select ItemId from tblItemsPrvt "
                       "where PrintTumans is not null order by ItemId)"_s) &&
                q.next());
        QCOMPARE(q.value(0).toString(), u"1,5"_s);
    }

    void emptyColumnsReadAsZeroEmptyAndFalse()
    {
        Fixture fx;
        const int id = fx.addAccount();
        for (int item = 1; item <= 10; ++item)
            fx.exec(
                u"insert into tblItemsPrvt (AccountMstId, ItemId) values (%1, %2)"_s.arg(id).arg(
                    item));
        const ChequeLayout layout = ReadLayout(fx.db(), id);
        QVERIFY(layout.hasRows);
        for (int item = 1; item <= 10; ++item) {
            LayoutRow expected;
            expected.itemId = item;
            QCOMPARE(layout.rows[item - 1], expected);
        }
    }

    // Any failure while a layout is written leaves the one stored before, whole.
    void failedSaveLeavesTheOldLayoutWhole_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::newRow("row 7 refused")
            << u"create trigger t before update on tblItemsPrvt "
               "when new.ItemId = 7 begin select raise(abort, 'no'); end"_s;
        QTest::newRow("last row refused")
            << u"create trigger t before update on tblItemsPrvt "
               "when new.ItemId = 10 begin select raise(abort, 'no'); "
               "end"_s;
        QTest::newRow("picture refused") << u"create trigger t before update on tblChequeImage "
                                            "begin select raise(abort, 'no'); end"_s;
    }
    void failedSaveLeavesTheOldLayoutWhole()
    {
        QFETCH(QString, trigger);
        Fixture fx;
        const int id = fx.addAccount();
        QVERIFY(SaveLayout(fx.db(), id, rowsOf(otherFields(1)), "old picture"));
        fx.exec(trigger);
        QString error;
        QVERIFY(!SaveLayout(fx.db(), id, rowsOf(otherFields(2)), "new picture", {}, &error));
        QVERIFY(error.contains(u"no"_s));
        QCOMPARE(readFields(fx.db(), id), otherFields(1));
        QCOMPARE(ReadLayout(fx.db(), id).pictureJpeg, QByteArray("old picture"));
        // The connection is usable again afterwards.
        fx.exec(u"drop trigger t"_s);
        QVERIFY(SaveLayout(fx.db(), id, rowsOf(otherFields(2)), {}));
        QCOMPARE(readFields(fx.db(), id), otherFields(2));
    }

    void failedFirstSaveWritesNothing()
    {
        Fixture fx;
        const int id = fx.addAccount();
        fx.exec(u"create trigger t before insert on tblItemsPrvt when new.ItemId = 9 "
                "begin select raise(abort, 'no'); end"_s);
        QVERIFY(!SaveLayout(fx.db(), id, rowsOf(StartingFields()), "picture"));
        QCOMPARE(fx.count(u"select count(*) from tblItemsPrvt"_s), 0);
        QCOMPARE(fx.count(u"select count(*) from tblChequeImage"_s), 0);
    }

    void progressCountsTheRows()
    {
        Fixture fx;
        QList<int> seen;
        QVERIFY(SaveLayout(fx.db(), fx.addAccount(), rowsOf(StartingFields()), {},
                           [&](int step) { seen << step; }));
        QCOMPARE(seen, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    }

    void deletingAnAccountTakesItsLayoutAllOrNothing()
    {
        Fixture fx;
        const int a = fx.addAccount();
        const int b = fx.addAccount();
        QVERIFY(SaveLayout(fx.db(), a, rowsOf(StartingFields()), "a"));
        QVERIFY(SaveLayout(fx.db(), b, rowsOf(StartingFields()), "b"));

        fx.exec(u"create trigger t before delete on tblAccountMst begin select raise(abort, "
                "'locked'); end"_s);
        try {
            DeleteAccountWithLayout(fx.db(), a);
            QFAIL("no error");
        } catch (const AppError& e) {
            // A Persian sentence first, the database's own words on the second line.
            const QStringList lines = e.message().split(u'\n');
            QCOMPARE(lines.size(), 2);
            QVERIFY(lines[0].contains(u"حذف نشد"_s));
            QVERIFY(lines[1].contains(u"locked"_s));
        }
        QCOMPARE(fx.count(u"select count(*) from tblItemsPrvt"_s), 2 * kLayoutRowCount);
        QCOMPARE(fx.count(u"select count(*) from tblChequeImage"_s), 2);

        fx.exec(u"drop trigger t"_s);
        DeleteAccountWithLayout(fx.db(), a);
        QCOMPARE(fx.count(u"select count(*) from tblAccountMst"_s), 1);
        QCOMPARE(fx.count(u"select count(*) from tblItemsPrvt where AccountMstId = %1"_s.arg(a)),
                 0);
        QCOMPARE(fx.count(u"select count(*) from tblChequeImage where AccountMstId = %1"_s.arg(a)),
                 0);
        QCOMPARE(fx.count(u"select count(*) from tblItemsPrvt"_s), kLayoutRowCount);
    }

    // A save killed at any moment leaves the previous layout or the new one, whole.
    void killedSaveLeavesOneWholeLayout()
    {
        Fixture fx;
        const int id = fx.addAccount();
        QVERIFY(SaveLayout(fx.db(), id, rowsOf(otherFields(1)), QByteArray(20001, 'B')));
        fx.dm.reset();
        for (int round = 0; round < 3; ++round) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {u"--save-loop"_s, fx.dir.path(), QString::number(id)});
            QVERIFY(child.waitForStarted());
            QThread::msleep(150 + round * 70);
            child.kill();
            child.waitForFinished();

            Database dm(fx.dir.path());
            QSqlQuery q(dm.connection());
            QVERIFY(q.exec(u"pragma integrity_check"_s) && q.next());
            QCOMPARE(q.value(0).toString(), u"ok"_s);
            q.finish();
            const LayoutFields back = readFields(dm.connection(), id);
            const int seed = back.chequeWidth - 700;
            QVERIFY2(seed == 0 || seed == 1, qPrintable(QString::number(back.chequeWidth)));
            QCOMPARE(back, otherFields(seed));
            const QByteArray picture = ReadLayout(dm.connection(), id).pictureJpeg;
            QCOMPARE(picture, QByteArray(20000 + seed, char('A' + seed)));
        }
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--save-loop") == 0)
        return saveLoop(QString::fromLocal8Bit(argv[2]), QString::fromLatin1(argv[3]).toInt());
    LayoutStoreTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_layout_store.moc"
