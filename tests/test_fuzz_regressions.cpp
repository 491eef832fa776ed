// Inputs the fuzzers once found faults with, and hostile stored values; each must pass
// cleanly (run it under the sanitizer build to see undefined behaviour, not only crashes).
#include "app/DatabaseSchema.h"
#include "app/uMainDM.h"
#include "calendar/JalaliFormat.h"
#include "layout/LayoutStore.h"

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
        TfrmMainDM dm(dir.path());
        QSqlQuery q(dm.connection());
        // SQLite keeps any value in any column; the unique key still holds, so the odd
        // ItemIds (0, 11, negative) come as rows of their own.
        for (const int itemId : {1, 2, 5, 7, 10, 0, 11, -3}) {
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
        for (int id = 2; id <= 10; ++id)
            boxLeft[id - 2] = BoxLeftFromFields(fields, id);
        const LayoutRows rows = RowsToSave(fields, boxLeft);
        QString error;
        QVERIFY2(SaveLayout(dm.connection(), 1, rows, layout.pictureJpeg, {}, &error),
                 qPrintable(error));
        QVERIFY(q.exec(
            u"select count(*) from tblItemsPrvt where AccountMstId = 1 and ItemId between 1 and 10"_s));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), kLayoutRowCount);
    }
};

QTEST_GUILESS_MAIN(FuzzRegressions)
#include "test_fuzz_regressions.moc"
