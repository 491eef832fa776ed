#include "cli/CliCommon.h"
#include "core/calendar/JalaliFormat.h"
#include "core/calendar/Today.h"
#include "core/errors/AppError.h"
#include "core/text/AmountText.h"
#include "core/text/TextChecks.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

// Days beyond this distance from day 0 are refused: no calendar of the program reaches
// them and Qt's dates end not far beyond.
constexpr qint64 kMaxDayArgument = 100000000;

QString gregorianText(SerialDate value)
{
    const QDate date = ToQDate(value);
    if (!date.isValid())
        return u"?"_s;
    const int year = date.year();
    return u"%1%2-%3-%4"_s.arg(year < 0 ? u"-"_s : QString())
        .arg(qAbs(year), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

} // namespace

SerialDate ParseDateArgument(const QString& typed)
{
    const QString text = ToLatinDigits(typed); // ۱۴۰۳/۰۱/۱۵ is 1403/01/15
    static const QRegularExpression dayNumber(u"^@(-?\\d{1,18})$"_s);
    if (const QRegularExpressionMatch m = dayNumber.match(text); m.hasMatch()) {
        const qint64 day = m.captured(1).toLongLong();
        if (day > kMaxDayArgument || day < -kMaxDayArgument)
            throw ConversionError(u"'%1' is not a valid date"_s.arg(text));
        return SerialDate(day);
    }
    if (text.startsWith(u'@'))
        throw ConversionError(u"'%1' is not a valid integer value"_s.arg(text.mid(1)));
    static const QRegularExpression gregorian(u"^(\\d{4})-(\\d{2})-(\\d{2})$"_s);
    const QRegularExpressionMatch m = gregorian.match(text);
    if (m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (!date.isValid())
            throw ConversionError(u"'%1' is not a valid date"_s.arg(text));
        return ToDateValue(date);
    }
    return StrToJalaliDate(text);
}

int CmdDate(const QStringList& args)
{
    if (args.isEmpty()) {
        err() << "usage: nilocheque date VALUE...   (VALUE: yyyy-mm-dd, a Jalali date, or @DAY)\n";
        return 2;
    }
    int code = 0;
    for (const QString& arg : args) {
        try {
            const SerialDate value = ParseDateArgument(arg);
            const JalaliDate jalali = DecodeJalaliDateFully(value);
            const QString line = JalaliDateToStr(value) + u'\t' + gregorianText(value) + u'\t' +
                                 QString::number(DayNumberOf(value)) + u'\t' +
                                 QString::number(jalali.weekday) + u'\t' + DateToWords(value);
            out() << line << '\n';
        } catch (const AppError& e) {
            out().flush();
            err() << e.message() << '\n';
            err().flush();
            code = 1;
        }
    }
    return code;
}
