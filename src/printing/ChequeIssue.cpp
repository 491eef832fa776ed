#include "printing/ChequeIssue.h"

#include "lib/AmountText.h"

using namespace Qt::StringLiterals;

namespace {

QString printedText(const ChequeModel& model, ChequeItem item)
{
    const ChequeItemView& v = model.item(item);
    return v.visible && v.hasValue ? v.text : QString();
}

} // namespace

ChequeRecord RecordOfCheque(const ChequeModel& model)
{
    ChequeRecord r;
    r.accountId = model.accountId();
    r.dueDay = DayNumberOf(model.date());
    r.amount = ParseAmount(model.amount());
    const ChequeItemView& payee = model.item(ChequeItem::Customer);
    r.payee = payee.hasValue ? payee.text : QString();
    const ChequeItemView& description = model.item(ChequeItem::Description);
    r.description = description.hasValue ? description.text : QString();
    r.amountDigits = printedText(model, ChequeItem::NumericPrice);
    r.amountWords = printedText(model, ChequeItem::AlphabeticPrice);
    r.dateDigits = printedText(model, ChequeItem::NumericDate);
    r.dateWords = printedText(model, ChequeItem::AlphabeticDate);
    return r;
}

QString SayadRegistrationText(const ChequeRecord& record)
{
    QStringList lines = {u"شناسه صياد: "_s + record.sayadId,
                         u"تاريخ سررسيد: "_s + JalaliDayText(record.dueDay),
                         u"مبلغ (ريال): "_s + QString::number(record.amount)};
    if (!record.nationalId.isEmpty())
        lines << u"كد ملي گيرنده: "_s + record.nationalId;
    if (!record.payee.isEmpty())
        lines << u"گيرنده: "_s + record.payee;
    return lines.join(u'\n');
}

QString NotRecordedSentence()
{
    return u"چك چاپ شد، اما در دفتر چك‌هاي صادره ثبت نشد؛ آن را دستي يادداشت كنيد."_s;
}
