// Inputs the fuzzers once found faults with, and hostile stored values; each must pass
// cleanly (run it under the sanitizer build to see undefined behaviour, not only crashes).
#include "core/calendar/JalaliFormat.h"
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"
#include "core/storage/LayoutStore.h"

#include <QSqlQuery>
#include <QTemporaryDir>

#include <QTest>
#include <cmath>
#include <cstring>
#include <limits>

using namespace Qt::StringLiterals;

class FuzzRegressions : public QObject
{
    Q_OBJECT
private slots:
    void formattingFarDateValues_data()
    {
        QTest::addColumn<double>("value");
        const QByteArray found = QByteArray::fromBase64("AAAAAgD9ZEI=");
        double fromFuzzer;
        std::memcpy(&fromFuzzer, found.constData(), sizeof fromFuzzer);
        QTest::newRow("time of day overflowing milliseconds") << fromFuzzer;
        QTest::newRow("far future") << 1.0e11;
        QTest::newRow("far past") << -1.0e11;
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
        QTest::newRow("not a number") << std::nan("");
    }
    void formattingFarDateValues()
    {
        QFETCH(double, value);
        for (const QString& pattern : {QString(), u"c hh:nn:ss.zzz am/pm"_s, u"yyyy/mm/dd dddd"_s})
            QVERIFY(FormatJalaliDateTime(pattern, value).size() <= kMaxFormattedLength);
    }

    // Rows written by something other than this program: every column of the wrong type,
    // out of range or empty. Reading, showing and saving them back never fails.
    void layoutRowsHoldingArbitraryValues_data()
    {
        QTest::addColumn<QString>("values");
        QTest::newRow("all empty") << u"null, null, null, null, null, null, null, null"_s;
        QTest::newRow("negative") << u"-5, -2147483648, -1, -99, 'Tahoma', 'Bold', -1, -1"_s;
        QTest::newRow("huge integers")
            << u"9223372036854775807, -9223372036854775808, 4294967296, 2147483648, 'x', 'Italic', 2, 3"_s;
        QTest::newRow("huge reals") << u"1e300, -1e300, 3.7, -0.5, 1e30, 'Regular', 1.5, 0.1"_s;
        QTest::newRow("text in numbers")
            << u"'abc', '12x', '', ' 7 ', 'ok', 'Bold Italic', 'yes', 'no'"_s;
        QTest::newRow("blobs") << u"x'00ff', x'', x'41', x'3132', x'ffff', x'00', x'01', x''"_s;
    }
    void layoutRowsHoldingArbitraryValues()
    {
        QFETCH(QString, values);
        QTemporaryDir dir;
        QVERIFY(CreateDatabase(dir.filePath(u"NiloChequePrint.mdb"_s)).isEmpty());
        Database dm(dir.path());
        QSqlQuery q(dm.connection());
        // SQLite keeps any value in any column; the unique key still holds, so the odd
        // ItemIds (0, 12, negative) come as rows of their own.
        for (const int itemId : {1, 2, 5, 7, 10, 0, 12, -3}) {
            const QString sql =
                u"insert into tblItemsPrvt (AccountMstId, ItemId, SideMargin, UpMargin, "
                u"Width, FSize, FName, FStyle, DoPrint, PrintTumans) values (1, %1, %2)"_s
                    .arg(itemId)
                    .arg(values);
            QVERIFY2(q.exec(sql), qPrintable(sql));
        }
        QVERIFY(q.exec(
            u"insert into tblChequeImage (AccountMstId, Image) values (1, x'504b0304ffff')"_s));
        const ChequeLayout layout = ReadLayout(dm.connection(), 1);
        QVERIFY(layout.hasRows);
        LayoutFields fields = StartingFields();
        ApplyLayoutRows(layout, fields);
        std::array<int, kLayoutItemCount> boxLeft{};
        for (int id = 2; id <= kLastLayoutItemId; ++id)
            boxLeft[id - 2] = BoxLeftFromFields(fields, id);
        const LayoutRows rows = RowsToSave(fields, boxLeft);
        QString error;
        QVERIFY2(SaveLayout(dm.connection(), 1, rows, layout.pictureJpeg, {}, &error),
                 qPrintable(error));
        QVERIFY(q.exec(
            u"select count(*) from tblItemsPrvt where AccountMstId = 1 and ItemId between 1 and 11"_s));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), kLayoutRowCount);
    }

    // A row whose ItemId only looks like one of 1..11 (64-bit, real, text) is no row of the
    // layout: it is not shown, and saving never re-keys it onto a real row (the unique key
    // would refuse every save from then on). The first value came from the layout fuzzer.
    void layoutRowsWithForeignItemIdsStayUntouched_data()
    {
        QTest::addColumn<QString>("itemId");
        QTest::newRow("4294967298 (2 in 32 bits)") << u"4294967298"_s;
        QTest::newRow("-4294967294") << u"-4294967294"_s;
        QTest::newRow("real 2.5") << u"2.5"_s;
        QTest::newRow("text '2x'") << u"'2x'"_s;
    }
    void layoutRowsWithForeignItemIdsStayUntouched()
    {
        QFETCH(QString, itemId);
        QTemporaryDir dir;
        QVERIFY(CreateDatabase(dir.filePath(u"NiloChequePrint.mdb"_s)).isEmpty());
        Database dm(dir.path());
        QSqlQuery q(dm.connection());
        QVERIFY(q.exec(u"insert into tblItemsPrvt (AccountMstId, ItemId, SideMargin) "
                       "values (1, %1, 777)"_s.arg(itemId)));
        QVERIFY(q.exec(u"insert into tblItemsPrvt (AccountMstId, ItemId, SideMargin) "
                       "values (1, 2, 40)"_s));
        // A real ItemId whose numbers pass 32 bits is shown as absent and written over.
        QVERIFY(q.exec(u"insert into tblItemsPrvt (AccountMstId, ItemId, SideMargin) "
                       "values (1, 3, 1099511627776)"_s));
        const ChequeLayout layout = ReadLayout(dm.connection(), 1);
        QVERIFY(layout.present[1]);
        QCOMPARE(layout.item(2).sideMargin, 40);
        QVERIFY(!layout.present[2]);
        LayoutRows rows{};
        for (int id = 1; id <= kLayoutRowCount; ++id)
            rows[id - 1].sideMargin = id;
        for (int round = 0; round < 2; ++round) {
            QString error;
            QVERIFY2(SaveLayout(dm.connection(), 1, rows, {}, {}, &error), qPrintable(error));
        }
        QVERIFY(q.exec(
            u"select count(*), sum(SideMargin) from tblItemsPrvt where ItemId = %1"_s.arg(itemId)));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        QCOMPARE(q.value(1).toInt(), 777);
        QVERIFY(q.exec(u"select SideMargin from tblItemsPrvt where ItemId = 3"_s));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 3);
        QVERIFY(q.exec(u"select count(*) from tblItemsPrvt"_s));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), kLayoutRowCount + 1);
    }
};

QTEST_GUILESS_MAIN(FuzzRegressions)
#include "test_fuzz_regressions.moc"
