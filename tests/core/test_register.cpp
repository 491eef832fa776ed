// The register of issued cheques: the table on old and new files, recording, voiding,
// filters, CSV, Sayad and national IDs, series dates and batch files.
#include "core/errors/AppError.h"
#include "core/register/ChequeBatch.h"
#include "core/storage/ChequeRegister.h"
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

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
    int exec(const QString& sql)
    {
        QSqlQuery q(db());
        if (!q.exec(sql))
            qFatal("%s failed", qPrintable(sql));
        return q.next() ? q.value(0).toInt() : 0;
    }
};

qint64 day(const QString& jalali)
{
    return *ParseJalaliDay(jalali);
}

ChequeRecord record(int account, const QString& due, qint64 amount, const QString& payee,
                    const QString& sayad = {})
{
    ChequeRecord r;
    r.accountId = account;
    r.dueDay = day(due);
    r.amount = amount;
    r.payee = payee;
    r.sayadId = sayad;
    r.printer = u"fuji"_s;
    return r;
}

} // namespace

class TestRegister : public QObject
{
    Q_OBJECT
private slots:
    void nationalIds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        const int P = int(NationalIdKind::Personal), L = int(NationalIdKind::Legal),
                  X = int(NationalIdKind::Invalid);
        QTest::newRow("personal") << u"0084575948"_s << P;
        QTest::newRow("personal r<2") << u"0000000019"_s << P;
        QTest::newRow("personal wrong check") << u"0084575947"_s << X;
        QTest::newRow("persian digits") << u"۰۰۸۴۵۷۵۹۴۸"_s << P;
        QTest::newRow("arabic-indic digits, blanks") << u" ٠٠٨٤٥٧٥٩٤٨ "_s << P;
        QTest::newRow("nine digits") << u"008457594"_s << X;
        QTest::newRow("legal") << u"14007650912"_s << L;
        QTest::newRow("legal 2") << u"10862015346"_s << L;
        QTest::newRow("legal wrong check") << u"14007650913"_s << X;
        QTest::newRow("letters") << u"00845759a8"_s << X;
        QTest::newRow("empty") << QString() << X;
    }
    void nationalIds()
    {
        QFETCH(QString, text);
        QFETCH(int, kind);
        QCOMPARE(int(CheckNationalId(text)), kind);
    }

    void sayadIds()
    {
        QCOMPARE(NormalizeSayadId(u"1234567890123456"_s).value_or(u"x"_s), u"1234567890123456"_s);
        QCOMPARE(NormalizeSayadId(u"۱۲۳۴۵۶۷۸۹۰۱۲۳۴۵۶"_s).value_or(u"x"_s), u"1234567890123456"_s);
        QVERIFY(!NormalizeSayadId(u"123456789012345"_s));   // 15 digits
        QVERIFY(!NormalizeSayadId(u"12345678901234567"_s)); // 17
        QVERIFY(!NormalizeSayadId(u"1234-5678-9012-3456"_s));
    }

    void seriesDates()
    {
        const QList<qint64> days = SeriesDueDays(day(u"1403/06/31"_s), 12, 1);
        QStringList texts;
        for (qint64 d : days)
            texts << JalaliDayText(d);
        // 1403 is leap: Esfand has 30 days; the 31st comes back in Farvardin.
        QCOMPARE(texts,
                 (QStringList{u"1403/06/31"_s, u"1403/07/30"_s, u"1403/08/30"_s, u"1403/09/30"_s,
                              u"1403/10/30"_s, u"1403/11/30"_s, u"1403/12/30"_s, u"1404/01/31"_s,
                              u"1404/02/31"_s, u"1404/03/31"_s, u"1404/04/31"_s, u"1404/05/31"_s}));
        QCOMPARE(JalaliDayText(SeriesDueDays(day(u"1404/11/30"_s), 2, 1)[1]), u"1404/12/29"_s);
        QCOMPARE(JalaliDayText(SeriesDueDays(day(u"1403/01/15"_s), 3, 3)[2]), u"1403/07/15"_s);
        QCOMPARE(SplitTotal(1000000, 3), (QList<qint64>{333333, 333333, 333334}));
        QCOMPARE(SplitTotal(90, 3), (QList<qint64>{30, 30, 30}));
        QVERIFY(!ParseJalaliDay(u"1403/07/31"_s));
        QVERIFY(!ParseJalaliDay(u"1403/13/01"_s));
        QCOMPARE(JalaliDayText(*ParseJalaliDay(u"۱۴۰۳/۰۶/۳۱"_s)), u"1403/06/31"_s);
    }

    // An older file without the table: reads find nothing, the first record creates it.
    void recordVoidQuery()
    {
        Fixture f;
        f.exec(u"drop table tblChequeRegister"_s);
        f.exec(
            u"insert into tblAccountMst (Id, BankName, AccountName) values (1, 'ملت', 'جاري')"_s);
        f.exec(u"insert into tblAccountMst (Id, BankName) values (2, 'ملي')"_s);
        QVERIFY(QueryRegister(f.db()).isEmpty());
        QCOMPARE(ActiveRecordWithSayad(f.db(), u"1234567890123456"_s), 0);
        QCOMPARE(DueSoon(f.db(), day(u"1403/01/01"_s), 3).count, 0);

        ChequeRecord a = record(1, u"1403/02/10"_s, 5000000, u"علي رضايي"_s, u"1234567890123456"_s);
        a.description = u"قسط, \"اول\""_s;
        RecordCheque(f.db(), a);
        QVERIFY(a.id > 0);
        QList<ChequeRecord> more = {record(2, u"1403/01/02"_s, 700, u"شركت نمونه"_s),
                                    record(1, u"1403/03/01"_s, 900, u"رضا"_s)};
        RecordCheques(f.db(), more);
        QCOMPARE(f.exec(u"select count(*) from tblChequeRegister"_s), 3);
        QCOMPARE(ActiveRecordWithSayad(f.db(), u"1234567890123456"_s), a.id);

        // Ordered by due date; each filter narrows.
        QList<ChequeRecord> all = QueryRegister(f.db());
        QCOMPARE(all.size(), 3);
        QCOMPARE(all[0].payee, u"شركت نمونه"_s);
        QCOMPARE(all[1].accountTitle, u"ملت - جاري"_s);
        RegisterFilter byAccount;
        byAccount.accountId = 1;
        QCOMPARE(QueryRegister(f.db(), byAccount).size(), 2);
        RegisterFilter range;
        range.fromDay = day(u"1403/01/03"_s);
        range.toDay = day(u"1403/02/10"_s);
        QCOMPARE(QueryRegister(f.db(), range).size(), 1);
        RegisterFilter text;
        text.text = u"۱۲۳۴۵۶۷۸۹۰"_s; // part of the Sayad ID in Persian digits
        QCOMPARE(QueryRegister(f.db(), text).size(), 1);
        RegisterFilter payee;
        payee.payee = u"%"_s; // no wildcard
        QCOMPARE(QueryRegister(f.db(), payee).size(), 0);

        QVERIFY_THROWS_EXCEPTION(AppError, VoidRecord(f.db(), a.id, u"  "_s));
        VoidRecord(f.db(), a.id, u"ابطال به درخواست گيرنده"_s);
        QVERIFY_THROWS_EXCEPTION(AppError, VoidRecord(f.db(), a.id, u"again"_s));
        QVERIFY_THROWS_EXCEPTION(AppError, VoidRecord(f.db(), 999, u"none"_s));
        QCOMPARE(ActiveRecordWithSayad(f.db(), u"1234567890123456"_s), 0);
        const ChequeRecord voided = *ReadRecord(f.db(), a.id);
        QCOMPARE(voided.status, RecordStatus::Voided);
        QVERIFY(voided.voidedAt.isValid());
        RegisterFilter printed;
        printed.status = RecordStatus::Printed;
        QCOMPARE(QueryRegister(f.db(), printed).size(), 2);

        // Due soon: past due and within four days, voided ones left out.
        const DueSoonSummary soon = DueSoon(f.db(), day(u"1403/02/28"_s), 4);
        QCOMPARE(soon.count, 2);
        QCOMPARE(soon.total, 1600);
        QCOMPARE(soon.pastDue, 1);
        QCOMPARE(JalaliDayText(soon.nearestDay), u"1403/01/02"_s);

        const QByteArray csv = RegisterCsv(QueryRegister(f.db()));
        QVERIFY(csv.startsWith("\xEF\xBB\xBF"
                               "id,account,due_date,amount,payee"));
        const QString text8 = QString::fromUtf8(csv);
        QVERIFY(text8.contains(u",\"قسط, \"\"اول\"\"\",voided,ابطال به درخواست گيرنده,"_s));
        QVERIFY(text8.contains(u",1403/02/10,5000000,"_s));
        QCOMPARE(text8.count(u"\r\n"_s), 4);
        QCOMPARE(NextSeriesId(f.db()), 1);
    }

    void csvParsing()
    {
        const CsvTable t = ParseCsv("\xEF\xBB\xBF"
                                    "a,b\r\n\"x, \"\"y\"\"\",\"two\nlines\"\r\n\r\n3,\n");
        QVERIFY(t.error.isEmpty());
        QCOMPARE(t.records.size(), 3);
        QCOMPARE(t.records[1].fields, (QStringList{u"x, \"y\""_s, u"two\nlines"_s}));
        QCOMPARE(t.records[2].line, 5); // the quoted line break counts, the blank line is skipped
        QCOMPARE(t.records[2].fields, (QStringList{u"3"_s, QString()}));
        QVERIFY(!ParseCsv("a,\"open\n").error.isEmpty());
        QVERIFY(!ParseCsv("a,\xff\xfe\n").error.isEmpty());
    }

    void batchFiles()
    {
        const AccountCheck account = [](int id) {
            return id == 1 || id == 2 ? QString() : u"no account with Id %1"_s.arg(id);
        };
        const SayadLookup register_ = [](const QString& id) {
            return id == u"9999999999999999"_s ? qint64(7) : qint64(0);
        };
        // Persian headers in another order, Persian digits, empty optional columns.
        const QByteArray good = u"مبلغ,گيرنده,حساب,تاريخ سررسيد,کد ملی,شناسه صياد,توضيحات\n"
                                u"\"1,000,000\",علي,۱,۱۴۰۳/۰۶/۳۱,0084575948,1234567890123456,\n"
                                u"2500,شركت,2,1403/07/01,,,قسط دوم\n"_s.toUtf8();
        const BatchReading ok = ReadBatch(good, account, register_);
        QVERIFY2(ok.errors.isEmpty(), qPrintable(ok.errors.join(u'\n')));
        QCOMPARE(ok.cheques.size(), 2);
        QCOMPARE(ok.cheques[0].record.amount, 1000000);
        QCOMPARE(ok.cheques[0].record.accountId, 1);
        QCOMPARE(JalaliDayText(ok.cheques[0].record.dueDay), u"1403/06/31"_s);
        QCOMPARE(ok.cheques[1].record.description, u"قسط دوم"_s);

        const QByteArray bad = "account,due_date,amount,payee,national_id,sayad_id\n"
                               "1,1403/01/10,1000,a,0084575947,\n"      // check digit
                               "1,1403/01/10,1000,b,,123456789012345\n" // 15-digit Sayad
                               "7,1403/01/10,1000,c,,\n"                // unknown account
                               "1,1403/01/10,12a00,d,,\n"               // letters
                               "1,1403/01/10,1000,e,,\n"                // good
                               "1,1403/01/10,1000,f,,9999999999999999\n"
                               "2,1403/01/32,0,,,\n"
                               "1,1403/01/10\n";
        const BatchReading no = ReadBatch(bad, account, register_);
        QVERIFY(no.cheques.isEmpty());
        QCOMPARE(no.errors.size(), 7);
        QVERIFY(no.errors[0].startsWith(u"line 2: national ID"_s));
        QVERIFY(no.errors[1].startsWith(u"line 3: Sayad ID"_s));
        QVERIFY(no.errors[2].startsWith(u"line 4: no account with Id 7"_s));
        QVERIFY(no.errors[3].startsWith(u"line 5: amount '12a00'"_s));
        QVERIFY(no.errors[4].contains(u"in the register already (record 7)"_s));
        QVERIFY(no.errors[5].contains(u"due date"_s) && no.errors[5].contains(u"amount"_s) &&
                no.errors[5].contains(u"payee"_s));
        QVERIFY(no.errors[6].startsWith(u"line 9: 2 fields"_s));

        QCOMPARE(ReadBatch("amount,payee\n1,a\n", account, register_).errors,
                 (QStringList{u"line 1: the column 'account' is missing"_s,
                              u"line 1: the column 'due_date' is missing"_s}));
        QVERIFY(ReadBatch("account,due_date,amount,payee,colour\n", account, register_)
                    .errors.first()
                    .contains(u"unknown column 'colour'"_s));
        const QByteArray twice = "account,due_date,amount,payee,sayad_id\n"
                                 "1,1403/01/10,1000,a,1111111111111111\n"
                                 "1,1403/01/10,1000,b,1111111111111111\n";
        QCOMPARE(ReadBatch(twice, account, register_).errors,
                 QStringList{u"line 3: Sayad ID 1111111111111111 is given on line 2 too"_s});
    }
};

QTEST_GUILESS_MAIN(TestRegister)
#include "test_register.moc"
