#pragma once

#include "core/calendar/JalaliCalendar.h"
#include "core/cheque/ChequeLayout.h"

#include <QString>

// The texts the print preview shows in its item boxes, shared by the print window and the
// command-line tool so that both print the same cheque.

// Default texts of the boxes, shown until a value replaces them: the layout items' own
// placeholders, and the Toman line's caption.
namespace DefaultBoxText {
inline QString numericDate()
{
    return LayoutItemOf(2).placeholder;
}
inline QString alphabeticDate()
{
    return LayoutItemOf(3).placeholder;
}
inline QString numericPrice()
{
    return LayoutItemOf(4).placeholder;
}
inline QString alphabeticPrice()
{
    return LayoutItemOf(5).placeholder;
}
inline QString toman()
{
    return QStringLiteral("معادل مبلغ به تومان");
}
inline QString customer()
{
    return LayoutItemOf(6).placeholder;
}
inline QString perforation()
{
    return LayoutItemOf(7).placeholder;
}
inline QString description()
{
    return LayoutItemOf(8).placeholder;
}
inline QString constant()
{
    return LayoutItemOf(9).placeholder;
}
inline QString cover()
{
    return LayoutItemOf(10).placeholder;
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

DateBoxTexts DateTexts(SerialDate date);
