#include "core/register/ChequeIssue.h"

#include "core/errors/AppError.h"
#include "core/storage/LayoutStore.h"
#include "core/text/AmountText.h"

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

ChequePage ComposeRecordPage(const QSqlDatabase& db, ChequeRecord& record,
                             const QString& amountText, PrinterCalibration calibration,
                             const TextMeasure& measure)
{
    ChequeModel model(measure);
    model.loadAccount(record.accountId, ReadLayout(db, record.accountId));
    model.setDate(SerialDate(record.dueDay));
    if (model.setAmount(amountText) != ChequeModel::AmountChange::Accepted)
        throw AppError(u"'%1' is not a valid amount"_s.arg(amountText));
    model.setPayee(record.payee);
    model.setNationalId(record.nationalId); // printed where the layout switches it on
    if (!record.description.isEmpty()) {
        model.setSwitch(ChequeSwitch::Description, true);
        model.setDescription(record.description);
    }
    model.setCalibration(calibration);
    if (model.printRefusal() != PrintRefusal::None)
        throw AppError(PrintRefusalMessage(model.printRefusal()));
    const ChequeRecord texts = RecordOfCheque(model);
    record.amount = texts.amount;
    record.amountDigits = texts.amountDigits;
    record.amountWords = texts.amountWords;
    record.dateDigits = texts.dateDigits;
    record.dateWords = texts.dateWords;
    return model.page();
}
