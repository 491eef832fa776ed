#include "core/cheque/ChequeTexts.h"

#include "core/calendar/JalaliFormat.h"
#include "core/text/AmountText.h"

AmountBoxTexts AmountTexts(const QString& amountText)
{
    AmountBoxTexts texts;
    const QString grouped = FormatAmount(amountText);
    texts.numeric = QStringLiteral("//") + grouped;
    texts.perforation = QStringLiteral("##") + grouped + QStringLiteral("Rls");
    texts.words = AmountToWords(amountText) + QStringLiteral(" ريال تمام ");
    // Tomans: the Rial amount divided by 10, the remainder dropped (toward zero).
    const qint64 tomans = ParseAmount(amountText) / 10;
    texts.toman = QStringLiteral(" معادل ") + AmountToWords(QString::number(tomans)) +
                  QStringLiteral(" تومان تمام ");
    return texts;
}

DateBoxTexts DateTexts(SerialDate date)
{
    return {JalaliDateToStr(date), DateToWords(date)};
}
