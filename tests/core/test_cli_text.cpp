// nilocheque words, date and format: what scripts see on stdout, stderr and the exit code.
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Run
{
    int code = -1;
    QString out;
    QString err;
};

Run nilocheque(const QStringList& args)
{
    Run run;
    const QString tool = qEnvironmentVariable("NILOCHEQUE");
    if (tool.isEmpty())
        return run;
    QProcess p;
    // UTF-8 in and out whatever the locale says.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"LC_ALL"_s, u"C"_s);
    p.setProcessEnvironment(env);
    p.start(tool, args);
    if (!p.waitForFinished(30000))
        return run;
    run.code = p.exitCode();
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

} // namespace

class CliTextTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("NILOCHEQUE"))
            QSKIP("run under ctest");
    }

    void wordsKeepTheirTrailingSpace()
    {
        const Run r = nilocheque({u"words"_s, u"123"_s, u"1000"_s, u"0"_s});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, u"يکصد و بيست و سه \nيک هزار\nصفر\n"_s);
    }

    void chequeTextsOfAnAmount()
    {
        const Run r = nilocheque({u"words"_s, u"--cheque"_s, u"1250000"_s, u"5"_s});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, u"//1.250.000\n##1.250.000Rls\nيک ميليون و دويست و پنجاه هزار ريال تمام \n"
                        u" معادل يکصد و بيست و پنج هزار تومان تمام \n"
                        u"//5\n##5Rls\nپنج  ريال تمام \n معادل صفر تومان تمام \n"_s);
        // Group marks and a Persian keyboard's digits give the same four texts.
        for (const QString& same : {u"1,250,000"_s, u"۱۲۵۰۰۰۰"_s}) {
            const Run again = nilocheque({u"words"_s, u"--cheque"_s, same, u"5"_s});
            QCOMPARE(again.out, r.out);
        }
    }

    // A bad value prints the error on stderr and nothing on stdout; the others still print.
    void badValuesFailAlone_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("error");
        QTest::newRow("no amount") << QStringList{u"words"_s, u"12a"_s, u"5"_s} << u"پنج \n"_s
                                   << u"'12a' is not a valid integer value\n"_s;
        QTest::newRow("16 digits")
            << QStringList{u"words"_s, u"--cheque"_s, u"1234567890123456"_s} << QString()
            << u"'1234567890123456' has more than 15 characters\n"_s;
        QTest::newRow("no date") << QStringList{u"date"_s, u"1392/12/30"_s} << QString()
                                 << u"'1392/12/30' is not a valid date\n"_s;
        QTest::newRow("no Gregorian date") << QStringList{u"date"_s, u"2023-02-30"_s} << QString()
                                           << u"'2023-02-30' is not a valid date\n"_s;
        QTest::newRow("no day number") << QStringList{u"date"_s, u"@1x"_s} << QString()
                                       << u"'1x' is not a valid integer value\n"_s;
        QTest::newRow("format of no date") << QStringList{u"format"_s, u"yyyy"_s, u"1391-1-2"_s}
                                           << QString() << u"'1391-1-2' is not a valid date\n"_s;
    }
    void badValuesFailAlone()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        QFETCH(QString, error);
        const Run r = nilocheque(args);
        QCOMPARE(r.code, 1);
        QCOMPARE(r.out, out);
        QVERIFY2(r.err.endsWith(error), qPrintable(r.err));
    }

    void dateLines_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("line");
        QTest::newRow("Gregorian")
            << u"2012-03-21"_s
            << u"1391/01/02\t2012-03-21\t40989\t5\tچهارشنبه دو  فروردين يک هزار و سيصد و نود و يک \n"_s;
        QTest::newRow("Jalali text")
            << u"1387/5/9"_s
            << u"1387/05/09\t2008-07-30\t39659\t5\tچهارشنبه نه  مرداد يک هزار و سيصد و هشتاد و هفت \n"_s;
        QTest::newRow("day number")
            << u"@0"_s
            << u"1278/10/09\t1899-12-30\t0\t1\tشنبه نه  دي يک هزار و دويست و هفتاد و هشت \n"_s;
        QTest::newRow("first Jalali day")
            << u"@-466699"_s << u"0001/01/01\t0622-03-21\t-466699\t6\tپنجشنبه يک  فروردين يک \n"_s;
        QTest::newRow("before the calendar")
            << u"@-466700"_s << u"0000/00/00\t0622-03-20\t-466700\t0\tچهارشنبه   \n"_s;
    }
    void dateLines()
    {
        QFETCH(QString, value);
        QFETCH(QString, line);
        const Run r = nilocheque({u"date"_s, value});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, line);
    }

    void formatWithTime()
    {
        const Run r = nilocheque({u"format"_s, u"dddd d mmmm yyyy hh:nn:ss.zzz am/pm"_s,
                                  u"2012-03-21"_s, u"18:05:07.009"_s});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, u"چهار\u200Cشنبه 2 فروردين 1391 06:05:07.009 pm\n"_s);
        const Run before = nilocheque({u"format"_s, u"yyyy/mm/dd hh:nn"_s, u"@-2"_s, u"06:30"_s});
        QCOMPARE(before.out, u"1278/10/07 06:30\n"_s);
        const Run bad = nilocheque({u"format"_s, u"c"_s, u"@1"_s, u"25:00"_s});
        QCOMPARE(bad.code, 1);
        QVERIFY(bad.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(CliTextTest)
#include "test_cli_text.moc"
