#include "core/text/TextChecks.h"

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

QString ToLatinDigits(QString text)
{
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x06F0 && u <= 0x06F9)
            c = QChar(u'0' + (u - 0x06F0));
        else if (u >= 0x0660 && u <= 0x0669)
            c = QChar(u'0' + (u - 0x0660));
    }
    return text;
}
