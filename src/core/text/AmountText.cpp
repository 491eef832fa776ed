#include "core/text/AmountText.h"

#include "core/calendar/JalaliFormat.h"
#include "core/errors/AppError.h"
#include "core/text/TextChecks.h"

#include <limits>

using namespace Qt::StringLiterals;

const std::array<QString, 13> MonthNames = {
    QString(), u"فروردين"_s, u"ارديبهشت"_s, u"خرداد"_s, u"تير"_s,  u"مرداد"_s, u"شهريور"_s,
    u"مهر"_s,  u"آبان"_s,    u"آذر"_s,      u"دي"_s,    u"بهمن"_s, u"اسفند"_s};

// Sunday is spelt with Arabic kaf (U+0643), unlike the keheh (U+06A9) of the number words.
const std::array<QString, 8> WeekdayNames = {QString(),     u"يكشنبه"_s,  u"دوشنبه"_s, u"سه شنبه"_s,
                                             u"چهارشنبه"_s, u"پنجشنبه"_s, u"جمعه"_s,   u"شنبه"_s};

const std::array<QString, 10> OnesWords = {u"صفر"_s, u"يک"_s, u"دو"_s,  u"سه"_s,  u"چهار"_s,
                                           u"پنج"_s, u"شش"_s, u"هفت"_s, u"هشت"_s, u"نه"_s};

const std::array<QString, 10> TensWords = {QString(),  QString(), u"بيست"_s,  u"سي"_s,    u"چهل"_s,
                                           u"پنجاه"_s, u"شصت"_s,  u"هفتاد"_s, u"هشتاد"_s, u"نود"_s};

const std::array<QString, 20> TeensWords = {
    QString(),   QString(),   QString(),   QString(), QString(),  QString(),   QString(),
    QString(),   QString(),   QString(),   u"ده"_s,   u"يازده"_s, u"دوازده"_s, u"سيزده"_s,
    u"چهارده"_s, u"پانزده"_s, u"شانزده"_s, u"هفده"_s, u"هجده"_s,  u"نوزده"_s};

// One hundred is spelt in full ("one hundred"), never as a bare hundred.
const std::array<QString, 10> HundredsWords = {QString(),   u"يکصد"_s,  u"دويست"_s, u"سيصد"_s,
                                               u"چهارصد"_s, u"پانصد"_s, u"ششصد"_s,  u"هفتصد"_s,
                                               u"هشتصد"_s,  u"نهصد"_s};

const std::array<QString, 5> ScaleWords = {QString(), u"هزار"_s, u"ميليون"_s, u"ميليارد"_s,
                                           u"تريليون"_s};

namespace {

bool isAmountMark(QChar c)
{
    return c == u'.' || c == u',' || c == u')' || c == u'(';
}

// ParseAmount without allocating: the marks are skipped as they are met. False when the
// text without its marks is no 64-bit decimal integer.
bool parseAmountView(QStringView text, qint64& value)
{
    if (text.isEmpty()) {
        value = 0;
        return true;
    }
    bool negativeSign = false;
    bool signAllowed = true;
    bool negate = false; // a ")" anywhere makes the amount negative
    int digits = 0;
    quint64 magnitude = 0;
    constexpr quint64 kLimit = quint64(std::numeric_limits<qint64>::max()) + 1;
    for (const QChar c : text) {
        if (isAmountMark(c)) {
            if (c == u')')
                negate = true;
            continue;
        }
        const char16_t u = c.unicode();
        if (signAllowed && (u == u'-' || u == u'+')) {
            negativeSign = u == u'-';
            signAllowed = false;
            continue;
        }
        signAllowed = false;
        if (u < u'0' || u > u'9')
            return false;
        const quint64 d = u - u'0';
        if (magnitude > (kLimit - d) / 10)
            return false;
        magnitude = magnitude * 10 + d;
        ++digits;
    }
    if (digits == 0)
        return false;
    if (magnitude == kLimit && !negativeSign)
        return false;
    qint64 v = negativeSign ? qint64(0 - magnitude) : qint64(magnitude);
    if (negate) {
        if (v == std::numeric_limits<qint64>::min())
            return false; // its negation does not fit
        v = -v;
    }
    value = v;
    return true;
}

[[noreturn]] void throwNotInteger(const QString& text)
{
    throw ConversionError(u"'%1' is not a valid integer value"_s.arg(text));
}

// A plain signed decimal integer (no marks), as a month number is read.
int parseInteger(const QString& text)
{
    qint64 v = 0;
    for (const QChar c : text) {
        if (isAmountMark(c))
            throwNotInteger(text);
    }
    if (!parseAmountView(text, v) || text.isEmpty() || v < std::numeric_limits<int>::min() ||
        v > std::numeric_limits<int>::max())
        throwNotInteger(text);
    return int(v);
}

void appendWordsOfHundreds(QString& out, int n)
{
    if (n <= 0 || n > 999)
        return;
    const qsizetype start = out.size();
    if (n / 100 != 0) {
        out += HundredsWords[n / 100];
        out += kWordJoiner;
    }
    const int m = n % 100;
    if (m >= 10 && m <= 19) {
        out += TeensWords[m];
        return;
    }
    if (m / 10 != 0) {
        out += TensWords[m / 10];
        out += kWordJoiner;
    }
    if (m % 10 != 0) {
        out += OnesWords[m % 10];
        out += kWordJoiner;
    }
    if (out.size() - start >= kWordJoiner.size())
        out.chop(kWordJoiner.size());
}

} // namespace

QString StripAmountMarks(QString text)
{
    text.remove(u'.');
    text.remove(u',');
    text.remove(u')');
    text.remove(u'(');
    return text;
}

qint64 ParseAmount(const QString& text)
{
    qint64 value = 0;
    if (!parseAmountView(text, value))
        throwNotInteger(StripAmountMarks(text));
    return value;
}

QString FormatAmount(const QString& text)
{
    if (text.isEmpty() || text == u"0")
        return {};
    QString work = StripAmountMarks(TrimBlanks(text));
    const qint64 v = ParseAmount(work);
    if (v < 0)
        work = QString::number(0 - quint64(v)); // -v, also for the smallest value
    const qsizetype n = work.size();
    QString result;
    if (n <= 3) {
        result = work;
    } else {
        const qsizetype r = (n - 1) % 3;
        const qsizetype g = (n - 1) / 3;
        result.reserve(n + g + 2);
        result += QStringView(work).first(r + 1);
        for (qsizetype k = 1; k <= g; ++k) {
            result += u'.';
            result += QStringView(work).sliced(3 * k + r - 2, 3);
        }
    }
    if (v < 0)
        result.prepend(u'(').append(u')');
    return result;
}

bool IsAmountKey(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || u == 8 || u == u',' || u == u'.';
}

QString WordsOfHundreds(int n)
{
    QString out;
    appendWordsOfHundreds(out, n);
    return out;
}

QString AmountToWords(const QString& text)
{
    // Group marks are not digits: "1,250,000" cut into threes as typed would read 12,050,000.
    const QString digits = StripAmountMarks(text);
    if (digits == u"0")
        return OnesWords[0];
    const qsizetype length = digits.size();
    // Five scale words cover five groups of three; a longer text has no words.
    if (length > kMaxAmountLength)
        throw ConversionError(
            u"'%1' has more than %2 characters"_s.arg(text).arg(kMaxAmountLength));
    // Left-pad with zeros to whole groups of three; an empty text becomes "000".
    const qsizetype padding = ((length - 1 + 3) / 3) * 3 - length; // also right for 0
    QString padded(padding > 0 ? padding : 0, u'0');
    padded += digits;
    if (padded.isEmpty())
        padded = u"000"_s;
    const qsizetype groups = padded.size() / 3;
    QString out;
    out.reserve(160);
    for (qsizetype i = 0; i < groups; ++i) {
        const QStringView group = QStringView(padded).sliced(3 * i, 3);
        qint64 value = 0;
        if (!parseAmountView(group, value))
            throwNotInteger(StripAmountMarks(group.toString()));
        if (value == 0)
            continue;
        // A ")" inside a group would make it negative: its words are those of its digits.
        appendWordsOfHundreds(out, int(value < 0 ? -value : value));
        out += u' ';
        out += ScaleWords[groups - 1 - i];
        out += kWordJoiner;
    }
    if (out.size() >= kWordJoiner.size())
        out.chop(kWordJoiner.size());
    return out;
}

int WeekdayOf(SerialDate value)
{
    // Day 0, 30 December 1899, was a Saturday.
    const qint64 r = DayNumberOf(value) % 7;
    const int w = int(r < 0 ? r + 7 : r);
    return w == 0 ? 7 : w;
}

QString DateToWords(SerialDate value)
{
    const QString text = JalaliDateToStr(value);
    QString out = WeekdayNames[WeekdayOf(value)];
    out += u' ';
    out += AmountToWords(text.mid(8, 2));
    out += u' ';
    const int month = parseInteger(text.mid(5, 2));
    // A date with no Jalali date (month 0) has no month name.
    if (month >= 1 && month <= 12)
        out += MonthNames[month];
    out += u' ';
    out += AmountToWords(text.left(4));
    return out;
}
