#include "core/text/ChequeIds.h"

#include "core/text/TextChecks.h"

namespace {

QString digitsOf(const QString& text)
{
    return ToLatinDigits(TrimBlanks(text));
}

bool allDigits(const QString& text, int length)
{
    if (text.size() != length)
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

bool personalCodeValid(const QString& d)
{
    int sum = 0;
    for (int i = 0; i < 9; ++i)
        sum += (d[i].unicode() - u'0') * (10 - i);
    const int r = sum % 11;
    const int check = r < 2 ? r : 11 - r;
    return d[9].unicode() - u'0' == check;
}

// A legal entity's national ID: the tenth digit plus two is added to each of the first ten
// digits, weighted 29, 27, 23, 19, 17 in turn; the sum mod 11 (10 counting as 0) is the
// eleventh digit.
bool legalIdValid(const QString& d)
{
    static constexpr int weights[5] = {29, 27, 23, 19, 17};
    const int add = (d[9].unicode() - u'0') + 2;
    int sum = 0;
    for (int i = 0; i < 10; ++i)
        sum += ((d[i].unicode() - u'0') + add) * weights[i % 5];
    int r = sum % 11;
    if (r == 10)
        r = 0;
    return d[10].unicode() - u'0' == r;
}

} // namespace

std::optional<QString> NormalizeSayadId(const QString& text)
{
    const QString d = digitsOf(text);
    return allDigits(d, 16) ? std::optional<QString>(d) : std::nullopt;
}

NationalIdKind CheckNationalId(const QString& text)
{
    const QString d = digitsOf(text);
    if (allDigits(d, 10))
        return personalCodeValid(d) ? NationalIdKind::Personal : NationalIdKind::Invalid;
    if (allDigits(d, 11))
        return legalIdValid(d) ? NationalIdKind::Legal : NationalIdKind::Invalid;
    return NationalIdKind::Invalid;
}

std::optional<QString> NormalizeNationalId(const QString& text)
{
    if (CheckNationalId(text) == NationalIdKind::Invalid)
        return std::nullopt;
    return digitsOf(text);
}
