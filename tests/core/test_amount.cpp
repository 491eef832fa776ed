// Amount texts: parsing, grouping, key filter, words of amounts and dates.
#include "core/calendar/JalaliCalendar.h"
#include "core/errors/AppError.h"
#include "core/text/AmountText.h"

#include <QRandomGenerator>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

class AmountTest final : public QObject
{
    Q_OBJECT

private slots:
    // The letters that are easy to get wrong: Arabic yeh everywhere, keheh in the number
    // words, Arabic kaf in Sunday.
    void wordTablesUseTheRightLetters()
    {
        const QChar arabicYeh(0x064A), farsiYeh(0x06CC), keheh(0x06A9), arabicKaf(0x0643);
        QStringList all;
        for (const auto* table : {&MonthNames})
            all += QStringList(table->begin(), table->end());
        all += QStringList(WeekdayNames.begin(), WeekdayNames.end());
        all += QStringList(OnesWords.begin(), OnesWords.end());
        all += QStringList(TensWords.begin(), TensWords.end());
        all += QStringList(TeensWords.begin(), TeensWords.end());
        all += QStringList(HundredsWords.begin(), HundredsWords.end());
        all += QStringList(ScaleWords.begin(), ScaleWords.end());
        for (const QString& word : all)
            QVERIFY2(!word.contains(farsiYeh), qPrintable(word));
        QCOMPARE(OnesWords[1], QString(arabicYeh) + keheh);
        QCOMPARE(HundredsWords[1], QString(arabicYeh) + keheh + u"صد"_s);
        QCOMPARE(WeekdayNames[1].at(1), arabicKaf);
        QCOMPARE(WeekdayNames[3], u"سه شنبه"_s);
        QCOMPARE(MonthNames[1].size(), 7);
        QCOMPARE(MonthNames[10], QString(u"د"_s + arabicYeh));
        QVERIFY(MonthNames[0].isEmpty() && TensWords[1].isEmpty() && ScaleWords[0].isEmpty());
        QCOMPARE(kWordJoiner, QString(u" "_s + QChar(0x0648) + u" "_s));
    }

    void amountToWords_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("words");
        QTest::addColumn<bool>("trailingSpace");
        QTest::newRow("0") << u"0"_s << u"صفر"_s << false;
        QTest::newRow("00") << u"00"_s << QString() << false;
        QTest::newRow("000") << u"000"_s << QString() << false;
        QTest::newRow("empty") << QString() << QString() << false;
        QTest::newRow("5") << u"5"_s << u"پنج"_s << true;
        QTest::newRow("15") << u"15"_s << u"پانزده"_s << true;
        QTest::newRow("20") << u"20"_s << u"بيست"_s << true;
        QTest::newRow("21") << u"21"_s << u"بيست و يک"_s << true;
        QTest::newRow("100") << u"100"_s << u"يکصد"_s << true;
        QTest::newRow("110") << u"110"_s << u"يکصد و ده"_s << true;
        QTest::newRow("115") << u"115"_s << u"يکصد و پانزده"_s << true;
        QTest::newRow("123") << u"123"_s << u"يکصد و بيست و سه"_s << true;
        QTest::newRow("1000") << u"1000"_s << u"يک هزار"_s << false;
        QTest::newRow("1001") << u"1001"_s << u"يک هزار و يک"_s << true;
        QTest::newRow("1387") << u"1387"_s << u"يک هزار و سيصد و هشتاد و هفت"_s << true;
        QTest::newRow("100000") << u"100000"_s << u"يکصد هزار"_s << false;
        QTest::newRow("250000") << u"250000"_s << u"دويست و پنجاه هزار"_s << false;
        QTest::newRow("1000000") << u"1000000"_s << u"يک ميليون"_s << false;
        QTest::newRow("1001001") << u"1001001"_s << u"يک ميليون و يک هزار و يک"_s << true;
        QTest::newRow("leading zeros") << u"05"_s << u"پنج"_s << true;
        QTest::newRow("15 digits")
            << u"999000000000019"_s << u"نهصد و نود و نه تريليون و نوزده"_s << true;
        QTest::newRow("a trillion") << u"1000000000000"_s << u"يک تريليون"_s << false;
        // Marks are removed before the digits are cut into groups: the words of the value.
        QTest::newRow("marks inside groups") << u"1.000,5"_s << u"ده هزار و پنج"_s << true;
        QTest::newRow("grouped with commas")
            << u"1,250,000"_s << u"يک ميليون و دويست و پنجاه هزار"_s << false;
        QTest::newRow("ten million grouped") << u"10,000,000"_s << u"ده ميليون"_s << false;
    }
    void amountToWords()
    {
        QFETCH(QString, amount);
        QFETCH(QString, words);
        QFETCH(bool, trailingSpace);
        QCOMPARE(AmountToWords(amount), trailingSpace ? words + u' ' : words);
    }

    void wordsOfHundreds_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("words");
        QTest::newRow("0") << 0 << QString();
        QTest::newRow("7") << 7 << u"هفت"_s;
        QTest::newRow("10") << 10 << u"ده"_s;
        QTest::newRow("19") << 19 << u"نوزده"_s;
        QTest::newRow("90") << 90 << u"نود"_s;
        QTest::newRow("200") << 200 << u"دويست"_s;
        QTest::newRow("512") << 512 << u"پانصد و دوازده"_s;
        QTest::newRow("999") << 999 << u"نهصد و نود و نه"_s;
        QTest::newRow("outside: -1") << -1 << QString();
        QTest::newRow("outside: 1000") << 1000 << QString();
    }
    void wordsOfHundreds()
    {
        QFETCH(int, n);
        QFETCH(QString, words);
        QCOMPARE(WordsOfHundreds(n), words);
    }

    void formatAmount_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("grouped");
        QTest::newRow("0") << u"0"_s << QString();
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("00") << u"00"_s << u"00"_s;
        QTest::newRow("999") << u"999"_s << u"999"_s;
        QTest::newRow("1000") << u"1000"_s << u"1.000"_s;
        QTest::newRow("12345") << u"12345"_s << u"12.345"_s;
        QTest::newRow("1234567") << u"1234567"_s << u"1.234.567"_s;
        QTest::newRow("0012") << u"0012"_s << u"0.012"_s;
        QTest::newRow("1,234") << u"1,234"_s << u"1.234"_s;
        QTest::newRow("1.234") << u"1.234"_s << u"1.234"_s;
        QTest::newRow("-1234") << u"-1234"_s << u"(1.234)"_s;
        QTest::newRow("(1.234)") << u"(1.234)"_s << u"1.234"_s;
        QTest::newRow("blanks trimmed") << u" \t1234 "_s << u"1.234"_s;
        QTest::newRow("smallest value")
            << u"-9223372036854775808"_s << u"(9.223.372.036.854.775.808)"_s;
        QTest::newRow("only blanks") << u"  "_s << QString();
    }
    void formatAmount()
    {
        QFETCH(QString, amount);
        QFETCH(QString, grouped);
        QCOMPARE(FormatAmount(amount), grouped);
    }

    void parseAmount_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<qint64>("value");
        QTest::newRow("empty") << QString() << qint64(0);
        QTest::newRow("1.234") << u"1.234"_s << qint64(1234);
        QTest::newRow("(1.234)") << u"(1.234)"_s << qint64(-1234);
        QTest::newRow("1.234)") << u"1.234)"_s << qint64(-1234);
        QTest::newRow("(1.234") << u"(1.234"_s << qint64(1234);
        QTest::newRow("minus") << u"-12"_s << qint64(-12);
        QTest::newRow("largest") << u"9223372036854775807"_s << std::numeric_limits<qint64>::max();
        QTest::newRow("smallest") << u"-9223372036854775808"_s
                                  << std::numeric_limits<qint64>::min();
    }
    void parseAmount()
    {
        QFETCH(QString, amount);
        QFETCH(qint64, value);
        QCOMPARE(ParseAmount(amount), value);
    }

    // The text without its marks must be a 64-bit integer; the message names that text.
    void notAnAmount_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("named");
        // FormatAmount drops the marks before parsing and AmountToWords parses by groups, so
        // these two are amounts to them.
        QTest::addColumn<bool>("othersRaise");
        QTest::newRow("only a comma") << u","_s << QString() << false;
        QTest::newRow("letters") << u"12a"_s << u"12a"_s << true;
        QTest::newRow("inner space") << u"1 2"_s << u"1 2"_s << true;
        QTest::newRow("too large")
            << u"9.223.372.036.854.775.808"_s << u"9223372036854775808"_s << true;
        QTest::newRow("negated smallest")
            << u"-9223372036854775808)"_s << u"-9223372036854775808"_s << false;
        QTest::newRow("sign only") << u"-"_s << u"-"_s << true;
        QTest::newRow("Persian digits") << u"۱۲"_s << u"۱۲"_s << true;
    }
    void notAnAmount()
    {
        QFETCH(QString, amount);
        QFETCH(QString, named);
        QFETCH(bool, othersRaise);
        const QString message = u"'%1' is not a valid integer value"_s.arg(named);
        try {
            ParseAmount(amount);
            QFAIL("ParseAmount raised nothing");
        } catch (const ConversionError& e) {
            QCOMPARE(e.message(), message);
        }
        if (othersRaise)
            QVERIFY_THROWS_EXCEPTION(ConversionError, FormatAmount(amount));
        if (othersRaise && amount.size() <= kMaxAmountLength)
            QVERIFY_THROWS_EXCEPTION(ConversionError, AmountToWords(amount));
    }

    // Five scale words cover 15 digits; a longer text is refused, not read past the table.
    void amountToWordsRefusesLongTexts()
    {
        QVERIFY(!AmountToWords(QString(15, u'9')).isEmpty());
        QVERIFY_THROWS_EXCEPTION(ConversionError, AmountToWords(QString(16, u'1')));
        QVERIFY_THROWS_EXCEPTION(ConversionError, AmountToWords(u"0000000000000000"_s));
    }

    void stripAmountMarks() { QCOMPARE(StripAmountMarks(u"(1.2,3) -x"_s), u"123 -x"_s); }

    void amountKeys()
    {
        for (const QChar c : u"0123456789,."_s)
            QVERIFY(IsAmountKey(c));
        QVERIFY(IsAmountKey(QChar(8)));
        for (const QChar c : u":-() a۱\t"_s)
            QVERIFY2(!IsAmountKey(c), qPrintable(QString(c)));
    }

    void dateToWords_data()
    {
        QTest::addColumn<SerialDate>("date");
        QTest::addColumn<QString>("words");
        // 1387/05/09, a Wednesday: two spaces after the day words, one at the end.
        QTest::newRow("1387/05/09") << EncodeJalaliDate(1387, 5, 9)
                                    << u"چهارشنبه نه  مرداد يک هزار و سيصد و هشتاد و هفت "_s;
        // 19 Farvardin 2000 is 8 April 2621, a Sunday (Arabic kaf); no blank after "هزار".
        QTest::newRow("Sunday, a year ending in 000")
            << EncodeJalaliDate(2000, 1, 19) << u"يكشنبه نوزده  فروردين دو هزار"_s;
        // 1 Dey 1397 is 22 December 2018.
        QTest::newRow("Saturday, 1 Dey")
            << EncodeJalaliDate(1397, 10, 1) << u"شنبه يک  دي يک هزار و سيصد و نود و هفت "_s;
        // 11 Dey 1378 is 1 January 2000: a teen day.
        QTest::newRow("Saturday, 11 Dey")
            << EncodeJalaliDate(1378, 10, 11) << u"شنبه يازده  دي يک هزار و سيصد و هفتاد و هشت "_s;
        // No Jalali date: the parts that have no words are empty.
        QTest::newRow("before 1/1/1") << -466700.0 << u"چهارشنبه   "_s;
    }
    void dateToWords()
    {
        QFETCH(SerialDate, date);
        QFETCH(QString, words);
        QCOMPARE(DateToWords(date), words);
    }

    void weekdayOf()
    {
        QCOMPARE(WeekdayOf(0), 7);       // 30 December 1899, Saturday
        QCOMPARE(WeekdayOf(1), 1);       // Sunday
        QCOMPARE(WeekdayOf(36526), 7);   // 1 January 2000, Saturday
        QCOMPARE(WeekdayOf(-1), 6);      // Friday
        QCOMPARE(WeekdayOf(40989.9), 4); // 21 March 2012, Wednesday
    }

    // Random texts of amount characters and others: only conversion errors, no crash.
    void robustness()
    {
        QRandomGenerator rng(1387);
        const QString alphabet = u"0123456789.,()-+ 0\u06F1a"_s;
        for (int round = 0; round < 20000; ++round) {
            QString text;
            const int length = int(rng.bounded(18));
            for (int i = 0; i < length; ++i)
                text += rng.bounded(10) == 0 ? QChar(char16_t(rng.bounded(0xFFFF)))
                                             : alphabet[rng.bounded(int(alphabet.size()))];
            try {
                ParseAmount(text);
            } catch (const ConversionError&) {
            }
            try {
                FormatAmount(text);
            } catch (const ConversionError&) {
            }
            try {
                const QString words = AmountToWords(text);
                QVERIFY(!words.endsWith(kWordJoiner));
            } catch (const ConversionError&) {
            }
            IsAmountKey(text.isEmpty() ? QChar() : text[0]);
        }
        for (int n = -5; n < 1005; ++n)
            QVERIFY(!WordsOfHundreds(n).endsWith(kWordJoiner));
    }
};

QTEST_GUILESS_MAIN(AmountTest)
#include "test_amount.moc"
