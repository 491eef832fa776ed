#include "core/calendar/JalaliFormat.h"

#include "core/errors/AppError.h"

#include <cmath>

using namespace Qt::StringLiterals;

const std::array<QString, 13> JalaliShortMonthNames = {
    QString(), u"فروردين"_s, u"ارديبهشت"_s, u"خرداد"_s, u"تير"_s,  u"مرداد"_s, u"شهريور"_s,
    u"مهر"_s,  u"آبان"_s,    u"آذر"_s,      u"دي"_s,    u"بهمن"_s, u"اسفند"_s};

const std::array<QString, 13> JalaliLongMonthNames = JalaliShortMonthNames;

const std::array<QString, 8> JalaliShortDayNames = {QString(), u"ش"_s, u"ي"_s, u"د"_s,
                                                    u"س"_s,    u"چ"_s, u"پ"_s, u"ج"_s};

// Sunday to Thursday carry a zero-width non-joiner between the number and "شنبه".
const std::array<QString, 8> JalaliLongDayNames = {
    QString(),         u"شنبه"_s,           u"يك\u200Cشنبه"_s,  u"دو\u200Cشنبه"_s,
    u"سه\u200Cشنبه"_s, u"چهار\u200Cشنبه"_s, u"پنج\u200Cشنبه"_s, u"جمعه"_s};

namespace {

JalaliFormatSettings& settingsStore()
{
    static JalaliFormatSettings settings;
    return settings;
}

constexpr qint64 kMsPerDay = 86400000;

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

char16_t upper(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') ? char16_t(u - 32) : u;
}

// True when the pattern at i starts with the ASCII word (compared without regard to case).
bool startsWithAt(QStringView pattern, qsizetype i, QLatin1StringView word)
{
    if (pattern.size() - i < word.size())
        return false;
    return pattern.sliced(i, word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

class Formatter final
{
public:
    Formatter(const JalaliFormatSettings& settings, SerialDate value)
        : settings_(settings), value_(value)
    {
        out_.reserve(32);
    }

    void append(QStringView pattern);
    QString result() && { return std::move(out_); }

private:
    void ensureDate()
    {
        if (!dateDecoded_) {
            date_ = DecodeJalaliDateFully(value_);
            dateDecoded_ = true;
        }
    }
    void ensureTime()
    {
        if (timeDecoded_)
            return;
        timeDecoded_ = true;
        if (!(std::fabs(value_) < 1.0e8))
            return; // not finite or beyond every calendar: midnight
        const qint64 ms = std::llround(value_ * double(kMsPerDay));
        const qint64 t = (ms < 0 ? -ms : ms) % kMsPerDay;
        hour_ = int(t / 3600000);
        minute_ = int(t / 60000 % 60);
        second_ = int(t / 1000 % 60);
        msec_ = int(t % 1000);
    }
    bool full() const { return out_.size() >= kMaxFormattedLength; }
    void appendText(QStringView text)
    {
        const qsizetype room = kMaxFormattedLength - out_.size();
        if (room > 0)
            out_.append(text.size() > room ? text.first(room) : text);
    }
    void appendChar(QChar c)
    {
        if (!full())
            out_.append(c);
    }
    // n with at least `digits` digits, zero-padded.
    void appendNumber(int n, int digits)
    {
        char16_t buf[16];
        int len = 0;
        unsigned v = unsigned(n < 0 ? -n : n);
        do {
            buf[len++] = char16_t(u'0' + v % 10);
            v /= 10;
        } while (v != 0 && len < 16);
        while (len < digits && len < 16)
            buf[len++] = u'0';
        char16_t text[16];
        for (int i = 0; i < len; ++i)
            text[i] = buf[len - 1 - i];
        appendText(QStringView(text, len));
    }
    // The era in force for the year: the one with the largest offset below it.
    const JalaliEra* eraOf(int year) const
    {
        const JalaliEra* best = nullptr;
        for (const JalaliEra& era : settings_.eras) {
            if (era.yearOffset < year && (!best || era.yearOffset > best->yearOffset))
                best = &era;
        }
        return best;
    }
    bool twelveHourClockAhead(QStringView pattern, qsizetype from) const;

    const JalaliFormatSettings& settings_;
    const SerialDate value_;
    QString out_;
    int level_ = 0;
    bool dateDecoded_ = false;
    bool timeDecoded_ = false;
    JalaliDate date_;
    int hour_ = 0;
    int minute_ = 0;
    int second_ = 0;
    int msec_ = 0;
};

// Whether the pattern after an h run, outside quotes and before the next h, asks for a
// twelve-hour clock.
bool Formatter::twelveHourClockAhead(QStringView pattern, qsizetype from) const
{
    QChar quote;
    for (qsizetype i = from; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'h' || c == u'H') {
            return false;
        } else if (c == u'a' || c == u'A') {
            if (startsWithAt(pattern, i, "am/pm"_L1) || startsWithAt(pattern, i, "a/p"_L1) ||
                startsWithAt(pattern, i, "ampm"_L1))
                return true;
        }
    }
    return false;
}

void Formatter::append(QStringView pattern)
{
    // A pattern named at the third level adds nothing, so patterns that name each other
    // cannot loop.
    if (level_ >= 2)
        return;
    ++level_;
    char16_t lastLetter = 0;
    qsizetype i = 0;
    const qsizetype n = pattern.size();
    while (i < n && !full()) {
        const QChar starter = pattern[i];
        ++i;
        char16_t token = upper(starter);
        if (isAsciiLetter(starter)) {
            if (token == u'M' && lastLetter == u'H')
                token = u'N';
            lastLetter = token;
        }
        // The length of the run of exactly this character, the starter included.
        auto takeCount = [&] {
            qsizetype j = i;
            while (j < n && pattern[j] == starter)
                ++j;
            const int count = int(j - i + 1);
            i = j;
            return count;
        };
        switch (token) {
        case u'Y': {
            const int count = takeCount();
            ensureDate();
            if (count <= 2)
                appendNumber(date_.year % 100, 2);
            else
                appendNumber(date_.year, 4);
            break;
        }
        case u'G': {
            takeCount();
            ensureDate();
            if (const JalaliEra* era = eraOf(date_.year))
                appendText(era->name);
            break;
        }
        case u'E': {
            const int count = takeCount();
            ensureDate();
            const JalaliEra* era = eraOf(date_.year);
            const int eraYear = date_.year - (era ? era->yearOffset : 0);
            if (count >= 3)
                appendNumber(eraYear, 4);
            else
                appendNumber(eraYear % 100, count == 1 ? 1 : 2);
            break;
        }
        case u'M': {
            const int count = takeCount();
            ensureDate();
            if (count <= 2)
                appendNumber(date_.month, count);
            else if (count == 3)
                appendText(JalaliShortMonthNames[date_.month]);
            else
                appendText(JalaliLongMonthNames[date_.month]);
            break;
        }
        case u'D': {
            const int count = takeCount();
            ensureDate();
            if (count <= 2)
                appendNumber(date_.day, count);
            else if (count == 3)
                appendText(JalaliShortDayNames[date_.weekday]);
            else if (count == 4)
                appendText(JalaliLongDayNames[date_.weekday]);
            else if (count == 5)
                append(settings_.shortDateFormat);
            else
                append(settings_.longDateFormat);
            break;
        }
        case u'H': {
            const int count = takeCount();
            ensureTime();
            int h = hour_;
            if (twelveHourClockAhead(pattern, i)) {
                if (h == 0)
                    h = 12;
                else if (h > 12)
                    h -= 12;
            }
            appendNumber(h, count > 2 ? 2 : count);
            break;
        }
        case u'N': {
            const int count = takeCount();
            ensureTime();
            appendNumber(minute_, count > 2 ? 2 : count);
            break;
        }
        case u'S': {
            const int count = takeCount();
            ensureTime();
            appendNumber(second_, count > 2 ? 2 : count);
            break;
        }
        case u'Z': {
            const int count = takeCount();
            ensureTime();
            appendNumber(msec_, count > 3 ? 3 : count);
            break;
        }
        case u'T': {
            const int count = takeCount();
            append(count == 1 ? settings_.shortTimeFormat : settings_.longTimeFormat);
            break;
        }
        case u'C': {
            takeCount();
            append(settings_.shortDateFormat);
            ensureTime();
            if (hour_ != 0 || minute_ != 0 || second_ != 0) {
                appendChar(u' ');
                append(settings_.longTimeFormat);
            }
            break;
        }
        case u'A': {
            const qsizetype at = i - 1;
            if (startsWithAt(pattern, at, "am/pm"_L1)) {
                ensureTime();
                appendText(pattern.sliced(hour_ >= 12 ? at + 3 : at, 2));
                i = at + 5;
            } else if (startsWithAt(pattern, at, "a/p"_L1)) {
                ensureTime();
                appendText(pattern.sliced(hour_ >= 12 ? at + 2 : at, 1));
                i = at + 3;
            } else if (startsWithAt(pattern, at, "ampm"_L1)) {
                ensureTime();
                appendText(hour_ < 12 ? settings_.timeAMString : settings_.timePMString);
                i = at + 4;
            } else if (startsWithAt(pattern, at, "aaaa"_L1)) {
                ensureDate();
                appendText(JalaliLongDayNames[date_.weekday]);
                i = at + 4;
            } else if (startsWithAt(pattern, at, "aaa"_L1)) {
                ensureDate();
                appendText(JalaliShortDayNames[date_.weekday]);
                i = at + 3;
            } else {
                appendChar(starter);
            }
            break;
        }
        case u'/':
            if (!settings_.dateSeparator.isNull())
                appendChar(settings_.dateSeparator);
            break;
        case u':':
            if (!settings_.timeSeparator.isNull())
                appendChar(settings_.timeSeparator);
            break;
        case u'\'':
        case u'"': {
            const qsizetype start = i;
            while (i < n && pattern[i] != starter)
                ++i;
            appendText(pattern.sliced(start, i - start));
            if (i < n)
                ++i; // the closing quote
            break;
        }
        default:
            appendChar(starter);
            break;
        }
    }
    --level_;
}

enum class DateOrder { MDY, DMY, YMD };

DateOrder dateOrderOf(const QString& shortDateFormat)
{
    for (const QChar c : shortDateFormat) {
        switch (upper(c)) {
        case u'D':
            return DateOrder::DMY;
        case u'E':
        case u'Y':
            return DateOrder::YMD;
        case u'M':
            return DateOrder::MDY;
        default:
            break;
        }
    }
    return DateOrder::MDY;
}

// The scanner works on 0-based indexes into the text.
void skipSpaces(QStringView text, qsizetype& i)
{
    while (i < text.size() && text[i] == u' ')
        ++i;
}

bool scanNumber(QStringView text, qsizetype& i, int& number, int& digits)
{
    skipSpaces(text, i);
    qsizetype j = i;
    int value = 0;
    // At most four significant digits: a fifth is left unread.
    while (j < text.size() && text[j] >= u'0' && text[j] <= u'9' && value < 1000) {
        value = value * 10 + (text[j].unicode() - u'0');
        ++j;
    }
    if (j == i)
        return false;
    digits = int(j - i);
    number = value;
    i = j;
    return true;
}

bool scanChar(QStringView text, qsizetype& i, QChar c)
{
    skipSpaces(text, i);
    if (i < text.size() && text[i] == c) {
        ++i;
        return true;
    }
    return false;
}

} // namespace

const JalaliFormatSettings& CurrentJalaliFormatSettings()
{
    return settingsStore();
}

void SetJalaliFormatSettings(const JalaliFormatSettings& settings)
{
    settingsStore() = settings;
}

QString FormatJalaliDateTime(const QString& pattern, SerialDate value,
                             const JalaliFormatSettings& settings)
{
    Formatter formatter(settings, value);
    formatter.append(pattern.isEmpty() ? QStringView(u"c") : QStringView(pattern));
    return std::move(formatter).result();
}

QString FormatJalaliDateTime(const QString& pattern, SerialDate value)
{
    return FormatJalaliDateTime(pattern, value, CurrentJalaliFormatSettings());
}

QString JalaliDateToStr(SerialDate value, const JalaliFormatSettings& settings)
{
    return FormatJalaliDateTime(settings.shortDateFormat, value, settings);
}

QString JalaliDateToStr(SerialDate value)
{
    return JalaliDateToStr(value, CurrentJalaliFormatSettings());
}

bool TryScanJalaliDate(const QString& text, int& position, SerialDate& value,
                       const JalaliFormatSettings& settings)
{
    if (position < 1)
        return false;
    const QStringView s(text);
    qsizetype i = position - 1;
    const DateOrder order = dateOrderOf(settings.shortDateFormat);

    int eraOffset = 0;
    if (settings.shortDateFormat.startsWith(u'g')) {
        while (i < s.size() && !(s[i] >= u'0' && s[i] <= u'9'))
            ++i;
        const QString name = text.left(i).trimmed();
        for (const JalaliEra& era : settings.eras) {
            if (era.name == name) {
                eraOffset = era.yearOffset;
                break;
            }
        }
    } else if (settings.shortDateFormat.contains(u'e') && !settings.eras.isEmpty()) {
        eraOffset = settings.eras.first().yearOffset;
    }

    int n1 = 0, n2 = 0, n3 = 0, l1 = 0, l2 = 0, l3 = 0;
    const QChar sep = settings.dateSeparator;
    const auto done = [&](bool ok) {
        position = int(i + 1);
        return ok;
    };
    if (!(scanNumber(s, i, n1, l1) && scanChar(s, i, sep) && scanNumber(s, i, n2, l2)))
        return done(false);

    int year = 0, month = 0, day = 0;
    if (scanChar(s, i, sep)) {
        if (!scanNumber(s, i, n3, l3))
            return done(false);
        int yearDigits = 0;
        switch (order) {
        case DateOrder::MDY:
            year = n3, yearDigits = l3, month = n1, day = n2;
            break;
        case DateOrder::DMY:
            year = n3, yearDigits = l3, month = n2, day = n1;
            break;
        case DateOrder::YMD:
            year = n1, yearDigits = l1, month = n2, day = n3;
            break;
        }
        if (eraOffset > 0) {
            year += eraOffset;
        } else if (yearDigits <= 2) {
            const int window = settings.twoDigitYearCenturyWindow;
            const int centuryBase = int(CurrentJalaliYear()) - window;
            year += centuryBase / 100 * 100;
            if (window > 0 && year < centuryBase)
                year += 100;
        }
    } else {
        year = CurrentJalaliYear();
        if (order == DateOrder::DMY)
            day = n1, month = n2;
        else
            month = n1, day = n2;
    }
    scanChar(s, i, sep);
    skipSpaces(s, i);

    if (year < 0 || year > 0xFFFF)
        return done(false);
    SerialDate result = 0;
    if (!TryEncodeJalaliDate(quint16(year), quint16(month), quint16(day), result))
        return done(false);
    value = result;
    return done(true);
}

bool TryScanJalaliDate(const QString& text, int& position, SerialDate& value)
{
    return TryScanJalaliDate(text, position, value, CurrentJalaliFormatSettings());
}

SerialDate StrToJalaliDate(const QString& text, const JalaliFormatSettings& settings)
{
    int position = 1;
    SerialDate value = 0;
    if (!TryScanJalaliDate(text, position, value, settings) || position <= text.size())
        throw ConversionError(u"'%1' is not a valid date"_s.arg(text));
    return value;
}

SerialDate StrToJalaliDate(const QString& text)
{
    return StrToJalaliDate(text, CurrentJalaliFormatSettings());
}
