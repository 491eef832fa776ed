// Jalali arithmetic, the clock seam, and Jalali date texts (formatting and scanning).
#include "core/calendar/JalaliCalendar.h"
#include "core/calendar/JalaliFormat.h"
#include "core/calendar/Today.h"
#include "core/errors/AppError.h"

#include <QRandomGenerator>
#include <QTest>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// Pins "today" to a day of the Jalali year 1403 for the scanner's two-digit and
// two-number rules, and restores the real clock afterwards.
class PinnedToday final
{
public:
    explicit PinnedToday(SerialDate now)
    {
        SetNowForTests([now] { return now; });
    }
    ~PinnedToday() { SetNowForTests({}); }
};

const SerialDate k1403Day = 45400.5; // 18 April 2024, 1403/01/30, noon

QString fmt(const QString& pattern, SerialDate value)
{
    return FormatJalaliDateTime(pattern, value);
}

} // namespace

class CalendarTest final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        SetNowForTests({});
        SetJalaliFormatSettings(JalaliFormatSettings());
    }

    void workedExamples_data()
    {
        QTest::addColumn<int>("day");
        QTest::addColumn<QDate>("gregorian");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("dayOfMonth");
        QTest::addColumn<int>("weekday");
        QTest::newRow("1 Farvardin 1") << -466699 << QDate(622, 3, 21) << 1 << 1 << 1 << 6;
        QTest::newRow("day 0") << 0 << QDate(1899, 12, 30) << 1278 << 10 << 9 << 1;
        QTest::newRow("2000-01-01") << 36526 << QDate(2000, 1, 1) << 1378 << 10 << 11 << 1;
        QTest::newRow("2012-03-20") << 40988 << QDate(2012, 3, 20) << 1391 << 1 << 1 << 4;
        QTest::newRow("2012-03-21") << 40989 << QDate(2012, 3, 21) << 1391 << 1 << 2 << 5;
        QTest::newRow("2024-03-20") << 45371 << QDate(2024, 3, 20) << 1403 << 1 << 1 << 5;
        QTest::newRow("30 Esfand 1403 (leap)")
            << 45736 << QDate(2025, 3, 20) << 1403 << 12 << 30 << 6;
        QTest::newRow("2025-03-21") << 45737 << QDate(2025, 3, 21) << 1404 << 1 << 1 << 7;
        QTest::newRow("last encodable") << 3185359 << QDate() << 9999 << 12 << 29 << 3;
        QTest::newRow("31 December 9999")
            << 2958465 << QDate(9999, 12, 31) << 9378 << 10 << 10 << 7;
    }
    void workedExamples()
    {
        QFETCH(int, day);
        QFETCH(QDate, gregorian);
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, dayOfMonth);
        QFETCH(int, weekday);
        const JalaliDate expected{quint16(year), quint16(month), quint16(dayOfMonth),
                                  quint16(weekday)};
        QCOMPARE(DecodeJalaliDateFully(SerialDate(day)), expected);
        // The time of day is ignored; before day 0 it counts back from the day's start.
        QCOMPARE(DecodeJalaliDateFully(day < 0 ? day - 0.75 : day + 0.75), expected);
        QCOMPARE(JalaliDayOfWeek(day), quint16(weekday));
        QCOMPARE(EncodeJalaliDate(year, month, dayOfMonth), SerialDate(day));
        quint16 y = 0, m = 0, d = 0;
        DecodeJalaliDate(day, y, m, d);
        QCOMPARE(y, quint16(year));
        QCOMPARE(m, quint16(month));
        QCOMPARE(d, quint16(dayOfMonth));
        if (gregorian.isValid()) {
            QCOMPARE(ToDateValue(gregorian), SerialDate(day));
            QCOMPARE(ToQDate(day), gregorian);
        }
    }

    // Days outside 1 Farvardin 1 .. 29 Esfand 9999, and values that are no number, decode
    // to zeros (which a later encode rejects).
    void daysWithoutJalaliDateDecodeToZeros_data()
    {
        QTest::addColumn<double>("value");
        QTest::newRow("day before 1/1/1") << -466700.0;
        QTest::newRow("far before") << -1.0e9;
        QTest::newRow("day after 9999/12/29") << 3185360.0;
        QTest::newRow("beyond 64-bit milliseconds") << 2.0e11;
        QTest::newRow("huge") << 1.0e300;
        QTest::newRow("-huge") << -1.0e300;
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("inf") << std::numeric_limits<double>::infinity();
    }
    void daysWithoutJalaliDateDecodeToZeros()
    {
        QFETCH(double, value);
        QCOMPARE(DecodeJalaliDateFully(value), JalaliDate{});
        QVERIFY_THROWS_EXCEPTION(ConversionError, IncJalaliMonth(value, 1));
        QVERIFY_THROWS_EXCEPTION(ConversionError, JalaliWeekOfYear(0, value));
        const quint16 w = JalaliDayOfWeek(value);
        QVERIFY(w >= 1 && w <= 7);
    }

    // A value is rounded to the millisecond before its day is taken, then truncated
    // towards zero.
    void dayNumberRounding_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("day");
        QTest::newRow("23:59:59.9995 is the next day")
            << 10.0 + 86399999.5 / 86400000.0 << qint64(11);
        QTest::newRow("23:59:59.999 stays") << 10.0 + 86399999.0 / 86400000.0 << qint64(10);
        QTest::newRow("-1.25 is day -1") << -1.25 << qint64(-1);
        QTest::newRow("-0.5 is day 0") << -0.5 << qint64(0);
    }
    void dayNumberRounding()
    {
        QFETCH(double, value);
        QFETCH(qint64, day);
        QCOMPARE(DayNumberOf(value), day);
    }

    void invalidDatesAreRefused_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::newRow("30 Esfand 1392 (common)") << 1392 << 12 << 30;
        QTest::newRow("year 0") << 0 << 1 << 1;
        QTest::newRow("year 10000") << 10000 << 1 << 1;
        QTest::newRow("month 13") << 1391 << 13 << 1;
        QTest::newRow("month 0") << 1391 << 0 << 1;
        QTest::newRow("31 Mehr") << 1391 << 7 << 31;
        QTest::newRow("day 0") << 1391 << 1 << 0;
        QTest::newRow("30 Esfand 9999") << 9999 << 12 << 30;
        QTest::newRow("65535/65535/65535") << 65535 << 65535 << 65535;
    }
    void invalidDatesAreRefused()
    {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        SerialDate value = 123.0;
        QVERIFY(!TryEncodeJalaliDate(year, month, day, value));
        QCOMPARE(value, 123.0); // untouched
        try {
            EncodeJalaliDate(year, month, day);
            QFAIL("no error raised");
        } catch (const ConversionError& e) {
            QCOMPARE(e.message(), u"Invalid argument to date encode"_s);
        }
    }

    void leapYears()
    {
        SerialDate value = 0;
        QVERIFY(TryEncodeJalaliDate(1391, 12, 30, value)); // 1391 mod 33 = 5
        QVERIFY(IsJalaliLeapYear(1403));
        QVERIFY(!IsJalaliLeapYear(1404));
        QVERIFY(!IsJalaliLeapYear(9999));
        QCOMPARE(JalaliLeapYearsUpTo(0), 0);
        QCOMPARE(JalaliLeapYearsUpTo(1), 1);
        QCOMPARE(JalaliLeapYearsUpTo(32), 8);
        QCOMPARE(JalaliLeapYearsUpTo(33), 8);
        QCOMPARE(JalaliLeapYearsUpTo(34), 9);
        QCOMPARE(JalaliLeapYearsUpTo(9999), 2424);
        QCOMPARE(JalaliDaysInMonth(1403, 12), quint16(30));
        QCOMPARE(JalaliDaysInMonth(1404, 12), quint16(29));
        QCOMPARE(JalaliDaysInMonth(1404, 13), quint16(0));
    }

    // Every valid date of the years 1..9999 encodes to the day after the one before and
    // decodes back to itself, with the weekday going round.
    void sweepAllDates()
    {
        qint64 expectedDay = kFirstJalaliDay;
        quint16 expectedWeekday = 6; // 1 Farvardin 1 was a Thursday
        int leapCount = 0;
        for (int y = 1; y <= 9999; ++y) {
            const bool leap = IsJalaliLeapYear(y);
            leapCount += leap ? 1 : 0;
            if (JalaliLeapYearsUpTo(y) != leapCount)
                QFAIL(qPrintable(u"leap count of %1"_s.arg(y)));
            for (int m = 1; m <= 12; ++m) {
                for (int d = 1; d <= JalaliMonthDays[leap ? 1 : 0][m - 1]; ++d) {
                    SerialDate value = 0;
                    if (!TryEncodeJalaliDate(y, m, d, value) || value != SerialDate(expectedDay))
                        QFAIL(qPrintable(u"encode %1/%2/%3"_s.arg(y).arg(m).arg(d)));
                    const JalaliDate back =
                        DecodeJalaliDateFully(value < 0 ? value - 0.5 : value + 0.5);
                    if (back != JalaliDate{quint16(y), quint16(m), quint16(d), expectedWeekday})
                        QFAIL(qPrintable(u"decode %1/%2/%3"_s.arg(y).arg(m).arg(d)));
                    ++expectedDay;
                    expectedWeekday = expectedWeekday % 7 + 1;
                }
            }
        }
        QCOMPARE(expectedDay - 1, kLastJalaliDay);
    }

    void incJalaliMonth_data()
    {
        QTest::addColumn<SerialDate>("from");
        QTest::addColumn<int>("months");
        QTest::addColumn<SerialDate>("to");
        QTest::newRow("-13 months")
            << EncodeJalaliDate(1391, 1, 15) << -13 << EncodeJalaliDate(1389, 12, 15);
        QTest::newRow("into a leap Esfand")
            << EncodeJalaliDate(1391, 11, 30) << 1 << EncodeJalaliDate(1391, 12, 30);
        QTest::newRow("31 Shahrivar + 1")
            << EncodeJalaliDate(1391, 6, 31) << 1 << EncodeJalaliDate(1391, 7, 30);
        QTest::newRow("leap 30 Esfand + 12")
            << EncodeJalaliDate(1391, 12, 30) << 12 << EncodeJalaliDate(1392, 12, 29);
        QTest::newRow("-1 from Farvardin")
            << EncodeJalaliDate(1391, 1, 5) << -1 << EncodeJalaliDate(1390, 12, 5);
        QTest::newRow("+0") << EncodeJalaliDate(1391, 1, 5) << 0 << EncodeJalaliDate(1391, 1, 5);
        QTest::newRow("keeps 18:00")
            << EncodeJalaliDate(1391, 1, 15) + 0.75 << 2 << EncodeJalaliDate(1391, 3, 15) + 0.75;
        QTest::newRow("keeps time before day 0")
            << EncodeJalaliDate(1278, 9, 1) - 0.25 << 1 << EncodeJalaliDate(1278, 10, 1) - 0.25;
    }
    void incJalaliMonth()
    {
        QFETCH(SerialDate, from);
        QFETCH(int, months);
        QFETCH(SerialDate, to);
        QCOMPARE(IncJalaliMonth(from, months), to);
    }

    void stepsOutsideTheYearsFail()
    {
        // 1 Farvardin 1 is a Thursday: under rule 2 it belongs to a week of year 0.
        QVERIFY_THROWS_EXCEPTION(ConversionError, JalaliWeekOfYear(0, EncodeJalaliDate(1, 1, 1)));
        QCOMPARE(JalaliWeekOfYear(1, EncodeJalaliDate(1, 1, 1)), 1);
        QVERIFY_THROWS_EXCEPTION(ConversionError, IncJalaliMonth(EncodeJalaliDate(9999, 12, 1), 1));
        QVERIFY_THROWS_EXCEPTION(ConversionError, IncJalaliMonth(EncodeJalaliDate(1, 1, 1), -1));
        QVERIFY_THROWS_EXCEPTION(ConversionError, IncJalaliMonth(EncodeJalaliDate(1391, 1, 1),
                                                                 std::numeric_limits<int>::min()));
        QVERIFY_THROWS_EXCEPTION(ConversionError, IncJalaliMonth(EncodeJalaliDate(1391, 1, 1),
                                                                 std::numeric_limits<int>::max()));
    }

    void weekOfYear_data()
    {
        QTest::addColumn<int>("rule");
        QTest::addColumn<SerialDate>("date");
        QTest::addColumn<int>("week");
        QTest::newRow("1/1/1403 (Wed) rule 0") << 0 << EncodeJalaliDate(1403, 1, 1) << 53;
        QTest::newRow("1/1/1403 rule 2") << 2 << EncodeJalaliDate(1403, 1, 1) << 53;
        QTest::newRow("4/1/1403 (Sat)") << 0 << EncodeJalaliDate(1403, 1, 4) << 1;
        QTest::newRow("2/1/1391") << 0 << EncodeJalaliDate(1391, 1, 2) << 1;
        QTest::newRow("11 Dey 1378") << 0 << EncodeJalaliDate(1378, 10, 11) << 42;
        QTest::newRow("25 Esfand 1403 rule 0") << 0 << EncodeJalaliDate(1403, 12, 25) << 52;
        QTest::newRow("1/1/1403 rule 1") << 1 << EncodeJalaliDate(1403, 1, 1) << 1;
        QTest::newRow("25 Esfand 1403 rule 1") << 1 << EncodeJalaliDate(1403, 12, 25) << 1;
        QTest::newRow("1/1/1403 rule 3") << 3 << EncodeJalaliDate(1403, 1, 1) << 52;
        QTest::newRow("4/1/1403 rule 3") << 3 << EncodeJalaliDate(1403, 1, 4) << 1;
        QTest::newRow("evening is the same day") << 0 << EncodeJalaliDate(1403, 1, 4) + 0.9 << 1;
    }
    void weekOfYear()
    {
        QFETCH(int, rule);
        QFETCH(SerialDate, date);
        QFETCH(int, week);
        QCOMPARE(JalaliWeekOfYear(rule, date), week);
    }

    // The week number stays in 1..53 and only moves on at a Saturday or a new year.
    void weekOfYearIsConsistent()
    {
        for (int rule = 1; rule <= 3; ++rule) {
            const SerialDate first = EncodeJalaliDate(1390, 1, 1);
            int previous = JalaliWeekOfYear(rule, first);
            for (SerialDate day = first + 1; day < EncodeJalaliDate(1410, 1, 1); day += 1) {
                const int week = JalaliWeekOfYear(rule, day);
                QVERIFY(week >= 1 && week <= 53);
                if (JalaliDayOfWeek(day) != 1)
                    QCOMPARE(week, previous);
                else
                    QVERIFY(week == previous + 1 || week == 1);
                previous = week;
            }
        }
    }

    void clockSeam()
    {
        {
            PinnedToday pin(k1403Day);
            QCOMPARE(Now(), k1403Day);
            QCOMPARE(Today(), 45400.0);
            QCOMPARE(CurrentJalaliYear(), quint16(1403));
        }
        // The real clock again: today is within a day of the system's date.
        QVERIFY(std::fabs(Today() - ToDateValue(QDate::currentDate())) <= 1);
        QCOMPARE(ToDateValue(QDateTime(QDate(2000, 1, 1), QTime(18, 0))), 36526.75);
        QCOMPARE(ToDateValue(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);
        QCOMPARE(ToQDateTime(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
        QCOMPARE(ToQDateTime(36526.75), QDateTime(QDate(2000, 1, 1), QTime(18, 0)));
    }

    // --- Jalali date texts ---

    void dateToStr_data()
    {
        QTest::addColumn<SerialDate>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("2012-03-21") << 40989.0 << u"1391/01/02"_s;
        QTest::newRow("2025-03-20") << 45736.0 << u"1403/12/30"_s;
        QTest::newRow("2000-01-01 18:00") << 36526.75 << u"1378/10/11"_s;
        QTest::newRow("1/1/1") << -466699.0 << u"0001/01/01"_s;
        QTest::newRow("no Jalali date") << -466700.0 << u"0000/00/00"_s;
    }
    void dateToStr()
    {
        QFETCH(SerialDate, value);
        QFETCH(QString, text);
        QCOMPARE(JalaliDateToStr(value), text);
    }

    void formatSpecifiers_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<SerialDate>("value");
        QTest::addColumn<QString>("text");
        const SerialDate wed = 40989.0; // 1391/01/02, Wednesday
        const SerialDate evening =
            wed + (18 * 3600 + 5 * 60 + 7) / 86400.0 + 0.009 / 86400.0; // 18:05:07.009
        const SerialDate morning = wed + (3600 + 2 * 60 + 3) / 86400.0; // 01:02:03
        QTest::newRow("d dd") << u"d dd"_s << wed << u"2 02"_s;
        QTest::newRow("ddd") << u"ddd"_s << wed << u"چ"_s;
        QTest::newRow("dddd") << u"dddd"_s << wed << u"چهار\u200Cشنبه"_s;
        QTest::newRow("ddddd") << u"ddddd"_s << wed << u"1391/01/02"_s;
        QTest::newRow("dddddd long date")
            << u"dddddd"_s << wed << u"چهار\u200Cشنبه 2 فروردين 1391"_s;
        QTest::newRow("m mm") << u"m mm"_s << wed << u"1 01"_s;
        QTest::newRow("mmm mmmm mmmmm")
            << u"mmm|mmmm|mmmmm"_s << EncodeJalaliDate(1391, 10, 1) << u"دي|دي|دي"_s;
        QTest::newRow("y yy yyy yyyy") << u"y yy yyy yyyy"_s << wed << u"91 91 1391 1391"_s;
        QTest::newRow("year 1400 two digits") << u"yy"_s << EncodeJalaliDate(1400, 1, 1) << u"00"_s;
        QTest::newRow("year 91 four digits")
            << u"yyyy"_s << EncodeJalaliDate(91, 1, 1) << u"0091"_s;
        QTest::newRow("case-insensitive letters") << u"YYYY/MM/DD"_s << wed << u"1391/01/02"_s;
        QTest::newRow("mixed case runs") << u"yYyy"_s << wed << u"919191"_s;
        QTest::newRow("h hh n nn s ss") << u"h hh n nn s ss"_s << morning << u"1 01 2 02 3 03"_s;
        QTest::newRow("hhh counts as hh") << u"hhh nnn sss"_s << morning << u"01 02 03"_s;
        QTest::newRow("z zz zzz zzzz") << u"z zz zzz zzzz"_s << evening << u"9 09 009 009"_s;
        QTest::newRow("m after h is minutes") << u"h:m hh:mm"_s << evening << u"18:5 18:05"_s;
        QTest::newRow("m after h and other letter is month")
            << u"h d m"_s << evening << u"18 2 1"_s;
        QTest::newRow("am/pm") << u"h am/pm"_s << evening << u"6 pm"_s;
        QTest::newRow("AM/PM as written") << u"hh AM/PM"_s << morning << u"01 AM"_s;
        QTest::newRow("a/p") << u"h a/p"_s << evening << u"6 p"_s;
        QTest::newRow("ampm") << u"hh:nn ampm"_s << evening << u"06:05 ب.ظ"_s;
        QTest::newRow("ampm morning") << u"hh ampm"_s << morning << u"01 ق.ظ"_s;
        QTest::newRow("midnight on 12 hours") << u"h am/pm"_s << wed << u"12 am"_s;
        QTest::newRow("12-hour only before next h") << u"h hh am/pm"_s << evening << u"18 06 pm"_s;
        QTest::newRow("am/pm in quotes is text") << u"h 'am/pm'"_s << evening << u"18 am/pm"_s;
        QTest::newRow("aaa aaaa") << u"aaa aaaa"_s << wed << u"چ چهار\u200Cشنبه"_s;
        QTest::newRow("lone a") << u"a"_s << wed << u"a"_s;
        QTest::newRow("t tt") << u"t|tt"_s << evening << u"18:05|18:05:07"_s;
        QTest::newRow("c at midnight") << u"c"_s << wed << u"1391/01/02"_s;
        QTest::newRow("c with time") << u"c"_s << evening << u"1391/01/02 18:05:07"_s;
        QTest::newRow("empty pattern is c") << QString() << evening << u"1391/01/02 18:05:07"_s;
        QTest::newRow("quotes") << u"'yyyy' \"mm\" yyyy"_s << wed << u"yyyy mm 1391"_s;
        QTest::newRow("unclosed quote") << u"d 'abc"_s << wed << u"2 abc"_s;
        QTest::newRow("other characters") << u"d-m x q"_s << wed << u"2-1 x q"_s;
        QTest::newRow("Persian text") << u"روز d"_s << wed << u"روز 2"_s;
        QTest::newRow("no Jalali date")
            << u"dddd mmmm yyyy/mm/dd"_s << -466700.0 << u"  0000/00/00"_s;
        QTest::newRow("negative value's time") << u"hh:nn"_s << -1.25 << u"06:00"_s;
        QTest::newRow("not a number")
            << u"c"_s << std::numeric_limits<double>::quiet_NaN() << u"0000/00/00"_s;
    }
    void formatSpecifiers()
    {
        QFETCH(QString, pattern);
        QFETCH(SerialDate, value);
        QFETCH(QString, text);
        QCOMPARE(fmt(pattern, value), text);
    }

    void formatUsesSettings()
    {
        JalaliFormatSettings s;
        s.dateSeparator = u'-';
        s.timeSeparator = u'.';
        s.shortDateFormat = u"dd/mm/yy"_s;
        QCOMPARE(FormatJalaliDateTime(u"yyyy/mm/dd hh:nn"_s, 40989.5, s), u"1391-01-02 12.00"_s);
        QCOMPARE(JalaliDateToStr(40989.0, s), u"02-01-91"_s);
        SetJalaliFormatSettings(s);
        QCOMPARE(JalaliDateToStr(40989.0), u"02-01-91"_s);
    }

    // Named patterns expand two levels deep at most, so patterns naming each other stop.
    void expansionDepthIsLimited()
    {
        JalaliFormatSettings s;
        s.shortDateFormat = u"<c>"_s; // names itself through c
        s.longDateFormat = u"[ddddd]"_s;
        s.longTimeFormat = u"{tt}"_s;
        QCOMPARE(FormatJalaliDateTime(u"c"_s, 40989.0, s), u"<>"_s);
        QCOMPARE(FormatJalaliDateTime(u"dddddd"_s, 40989.0, s), u"[]"_s);
        QCOMPARE(FormatJalaliDateTime(u"tt"_s, 40989.0, s), u"{}"_s);
    }

    void outputIsCutAt256Characters()
    {
        QCOMPARE(fmt(QString(300, u'x'), 0).size(), 256);
        QCOMPARE(fmt(u"'"_s + QString(300, u'q'), 0), QString(256, u'q'));
        const QString many = QString(80, u'x') + u"dddd "_s.repeated(60);
        const QString out = fmt(many, 40989.0);
        QCOMPARE(out.size(), 256);
        QVERIFY(out.startsWith(QString(80, u'x') + u"چهار\u200Cشنبه"_s));
    }

    // There is no alternative calendar here: without eras, e is the Jalali year and g is
    // empty; configured eras give their names and years.
    void eraLetters()
    {
        QCOMPARE(fmt(u"e|ee|eee|g"_s, EncodeJalaliDate(1405, 1, 1)), u"5|05|1405|"_s);
        JalaliFormatSettings s;
        s.eras = {{u"ه.ش"_s, 0}, {u"نو"_s, 1400}};
        QCOMPARE(FormatJalaliDateTime(u"g e eee"_s, EncodeJalaliDate(1391, 1, 1), s),
                 u"ه.ش 91 1391"_s);
        QCOMPARE(FormatJalaliDateTime(u"g e eee"_s, EncodeJalaliDate(1405, 1, 1), s),
                 u"نو 5 0005"_s);
    }

    // --- scanning ---

    void scanValidDates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::newRow("1391/1/2") << u"1391/1/2"_s << 1391 << 1 << 2;
        QTest::newRow("1391/01/02") << u"1391/01/02"_s << 1391 << 1 << 2;
        QTest::newRow("trailing separator") << u"1391/1/2/"_s << 1391 << 1 << 2;
        QTest::newRow("spaces everywhere") << u"  1391 / 01 /  02 /  "_s << 1391 << 1 << 2;
        QTest::newRow("two-digit year, this century") << u"91/1/2"_s << 1391 << 1 << 2;
        QTest::newRow("two-digit year, next century") << u"30/1/2"_s << 1430 << 1 << 2;
        QTest::newRow("two-digit year at the window") << u"53/1/2"_s << 1353 << 1 << 2;
        QTest::newRow("three-digit year as written") << u"091/1/2"_s << 91 << 1 << 2;
        QTest::newRow("month and day of this year") << u"1/2"_s << 1403 << 1 << 2;
        QTest::newRow("30 Esfand of a leap year") << u"1391/12/30"_s << 1391 << 12 << 30;
        QTest::newRow("leading zeros do not count") << u"00001391/1/2"_s << 1391 << 1 << 2;
    }
    void scanValidDates()
    {
        QFETCH(QString, text);
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        PinnedToday pin(k1403Day);
        QCOMPARE(StrToJalaliDate(text), EncodeJalaliDate(year, month, day));
    }

    void scanInvalidDates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("30 Esfand of a common year") << u"1392/12/30"_s;
        QTest::newRow("month 13") << u"1391/13/1"_s;
        QTest::newRow("five-digit year") << u"13910/1/2"_s;
        QTest::newRow("other separator") << u"1391-1-2"_s;
        QTest::newRow("text after the date") << u"1391/1/2x"_s;
        QTest::newRow("two separators at the end") << u"1391/1/2//"_s;
        QTest::newRow("separator without a number") << u"1391/1/"_s;
        QTest::newRow("one number") << u"1391"_s;
        QTest::newRow("empty") << QString();
        QTest::newRow("year 0") << u"0000/1/1"_s;
        QTest::newRow("tab is not a space") << u"\t1391/1/2"_s;
        QTest::newRow("Persian digits") << u"۱۳۹۱/۱/۲"_s;
    }
    void scanInvalidDates()
    {
        QFETCH(QString, text);
        PinnedToday pin(k1403Day);
        try {
            StrToJalaliDate(text);
            QFAIL("no error raised");
        } catch (const ConversionError& e) {
            QCOMPARE(e.message(), u"'%1' is not a valid date"_s.arg(text));
        }
    }

    void scanAdvancesPosition()
    {
        PinnedToday pin(k1403Day);
        const QString text = u"x 1391/1/2/ y"_s;
        int position = 2;
        SerialDate value = 0;
        QVERIFY(TryScanJalaliDate(text, position, value));
        QCOMPARE(value, EncodeJalaliDate(1391, 1, 2));
        QCOMPARE(position, 13); // past the trailing separator and the space: at "y"
        position = 0;
        QVERIFY(!TryScanJalaliDate(text, position, value));
        position = 100;
        QVERIFY(!TryScanJalaliDate(text, position, value));
    }

    void scanFollowsDateOrder_data()
    {
        QTest::addColumn<QString>("shortFormat");
        QTest::addColumn<QString>("text");
        QTest::addColumn<SerialDate>("date");
        QTest::newRow("d-m-y") << u"dd/mm/yyyy"_s << u"2/1/1391"_s << EncodeJalaliDate(1391, 1, 2);
        QTest::newRow("m-d-y") << u"mm/dd/yyyy"_s << u"1/2/1391"_s << EncodeJalaliDate(1391, 1, 2);
        QTest::newRow("no letters: m-d-y")
            << u"'x'"_s << u"1/2/1391"_s << EncodeJalaliDate(1391, 1, 2);
        QTest::newRow("d-m this year")
            << u"dd/mm/yyyy"_s << u"2/1"_s << EncodeJalaliDate(1403, 1, 2);
        QTest::newRow("e means y-m-d")
            << u"ee/mm/dd"_s << u"91/1/2"_s << EncodeJalaliDate(1391, 1, 2);
    }
    void scanFollowsDateOrder()
    {
        QFETCH(QString, shortFormat);
        QFETCH(QString, text);
        QFETCH(SerialDate, date);
        PinnedToday pin(k1403Day);
        JalaliFormatSettings s;
        s.shortDateFormat = shortFormat;
        QCOMPARE(StrToJalaliDate(text, s), date);
    }

    void scanWithEras()
    {
        JalaliFormatSettings s;
        s.eras = {{u"نو"_s, 1400}, {u"كهن"_s, 1300}};
        s.shortDateFormat = u"g yy/mm/dd"_s;
        QCOMPARE(StrToJalaliDate(u"كهن 91/1/2"_s, s), EncodeJalaliDate(1391, 1, 2));
        QCOMPARE(StrToJalaliDate(u" نو 5/1/2"_s, s), EncodeJalaliDate(1405, 1, 2));
        s.shortDateFormat = u"e/mm/dd"_s; // the first era applies
        QCOMPARE(StrToJalaliDate(u"5/1/2"_s, s), EncodeJalaliDate(1405, 1, 2));
    }

    // Round trip of every day of a few years through the text.
    void textRoundTrip()
    {
        for (SerialDate day = EncodeJalaliDate(1390, 1, 1); day <= EncodeJalaliDate(1405, 12, 29);
             day += 1)
            QCOMPARE(StrToJalaliDate(JalaliDateToStr(day)), day);
    }

    // Random texts, positions, patterns and values: the scanner and formatter never fail
    // other than by their flag, and stay within bounds.
    void robustness()
    {
        QRandomGenerator rng(20240321);
        const QString alphabet = u"0123456789/ :-'\"ydmhnsztcaepgAMP.\u200Cچ\0"_s;
        JalaliFormatSettings odd;
        odd.shortDateFormat = u"ddddd c g e"_s;
        odd.longDateFormat = u"dddddd"_s;
        odd.dateSeparator = QChar();
        odd.eras = {{QString(), 5}};
        for (int round = 0; round < 20000; ++round) {
            QString text;
            const int length = int(rng.bounded(24));
            for (int i = 0; i < length; ++i)
                text += rng.bounded(8) == 0 ? QChar(char16_t(rng.bounded(0xFFFF)))
                                            : alphabet[rng.bounded(int(alphabet.size()))];
            int position = int(rng.bounded(30)) - 3;
            SerialDate value = 0;
            const JalaliFormatSettings& settings = round % 2 ? odd : CurrentJalaliFormatSettings();
            if (TryScanJalaliDate(text, position, value, settings)) {
                QVERIFY(position >= 1 && position <= text.size() + 1);
                QVERIFY(DecodeJalaliDateFully(value).year != 0);
            }
            const double values[] = {rng.generateDouble() * 7.0e6 - 3.5e6,
                                     -rng.generateDouble() * 1.0e15,
                                     std::numeric_limits<double>::quiet_NaN(), 1.0e308};
            QVERIFY(FormatJalaliDateTime(text, values[round % 4], settings).size() <=
                    kMaxFormattedLength);
            try {
                StrToJalaliDate(text, settings);
            } catch (const ConversionError&) {
            }
        }
    }
};

QTEST_GUILESS_MAIN(CalendarTest)
#include "test_calendar.moc"
