#pragma once

#include "calendar/JalaliCalendar.h"

#include <QString>

// The texts the print preview shows in its item boxes, shared by the print window and the
// command-line tool so that both print the same cheque.

// Default texts of the boxes, shown until a value replaces them.
namespace DefaultBoxText {
inline QString numericDate()
{
    return QStringLiteral("تاريخ عددي");
}
inline QString alphabeticDate()
{
    return QStringLiteral("تاريخ به حروف");
}
inline QString numericPrice()
{
    return QStringLiteral("مبلغ چك بعدد");
}
inline QString alphabeticPrice()
{
    return QStringLiteral("مبلغ چك بحروف");
}
inline QString toman()
{
    return QStringLiteral("معادل مبلغ به تومان");
}
inline QString customer()
{
    return QStringLiteral("گيرنده چك");
}
inline QString perforation()
{
    return QStringLiteral("Perforate");
}
inline QString description()
{
    return QStringLiteral("توضيحات");
}
inline QString constant()
{
    return QStringLiteral("//فاقد قلم خوردگي و پشت نويسي//");
}
inline QString cover()
{
    return QString(75, u'*');
}
} // namespace DefaultBoxText

// The longest trimmed amount text the preview accepts.
inline constexpr int kMaxAmountFieldChars = 15;

struct AmountBoxTexts
{
    QString numeric;     // "//" + grouped amount
    QString perforation; // "##" + grouped amount + "Rls"
    QString words;       // amount in words + " ريال تمام "
    QString toman;       // " معادل " + words of the amount / 10 + " تومان تمام "
};

// The four amount texts for an amount text as typed (untrimmed). Throws ConversionError
// for a text that is no amount.
AmountBoxTexts AmountTexts(const QString& amountText);

struct DateBoxTexts
{
    QString numeric; // yyyy/mm/dd
    QString words;
};

DateBoxTexts DateTexts(TDateTime date);
