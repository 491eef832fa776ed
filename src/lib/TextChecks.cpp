#include "lib/TextChecks.h"

bool IsNumberText(const QString& text)
{
    for (const QChar c : text)
        if (c != u'.' && (c < u'0' || c > u'9'))
            return false;
    return true;
}

QString TrimBlanks(const QString& text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

bool IsBlankText(const QString& text)
{
    return TrimBlanks(text).isEmpty();
}
