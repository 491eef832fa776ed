#include "core/register/ChequeBatch.h"

#include "core/cheque/ChequeTexts.h"
#include "core/errors/AppError.h"
#include "core/text/AmountText.h"
#include "core/text/TextChecks.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace {

enum Column { Account, DueDate, Amount, Payee, NationalId, SayadId, Description, ColumnCount };

// Header names folded: Persian yeh and kaf as the Arabic letters, half-spaces and runs of
// blanks as one space, lower case.
QString foldName(QString name)
{
    name.replace(QChar(0x06CC), QChar(0x064A)).replace(QChar(0x06A9), QChar(0x0643));
    name.replace(QChar(0x200C), u' ');
    return name.simplified().toLower();
}

int columnOf(const QString& header)
{
    static const QHash<QString, int> names = [] {
        QHash<QString, int> h;
        auto add = [&h](int column, std::initializer_list<QString> list) {
            for (const QString& n : list)
                h.insert(foldName(n), column);
        };
        add(Account, {u"account"_s, u"حساب"_s, u"شماره حساب"_s});
        add(DueDate, {u"due_date"_s, u"سررسيد"_s, u"تاريخ سررسيد"_s, u"تاريخ"_s});
        add(Amount, {u"amount"_s, u"مبلغ"_s});
        add(Payee, {u"payee"_s, u"گيرنده"_s, u"در وجه"_s});
        add(NationalId, {u"national_id"_s, u"كد ملي"_s, u"شناسه ملي"_s, u"كد ملي گيرنده"_s});
        add(SayadId, {u"sayad_id"_s, u"شناسه صياد"_s, u"شماره صياد"_s, u"صياد"_s});
        add(Description, {u"description"_s, u"توضيحات"_s, u"شرح"_s});
        return h;
    }();
    return names.value(foldName(header), -1);
}

const char* const kColumnNames[ColumnCount] = {"account",     "due_date", "amount",     "payee",
                                               "national_id", "sayad_id", "description"};

} // namespace

CsvTable ParseCsv(const QByteArray& bytes)
{
    CsvTable table;
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decode(bytes);
    if (decode.hasError()) {
        table.error = u"the file is not UTF-8 text"_s;
        return table;
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    int line = 1;
    CsvRecord record{1, {}};
    QString field;
    bool quoted = false, fieldQuoted = false, any = false;
    auto endField = [&] {
        record.fields.append(field);
        field.clear();
        fieldQuoted = false;
    };
    auto endRecord = [&] {
        endField();
        // A record of one empty field is a blank line.
        if (!(record.fields.size() == 1 && record.fields[0].trimmed().isEmpty()))
            table.records.append(record);
        record = {line, {}};
        any = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == u'"' && field.trimmed().isEmpty() && !fieldQuoted) {
            field.clear();
            quoted = fieldQuoted = true;
            any = true;
        } else if (c == u',') {
            endField();
            any = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            ++line;
            endRecord();
        } else {
            field += c;
            any = true;
        }
    }
    if (quoted) {
        table.error = u"line %1: a quoted field is not closed"_s.arg(record.line);
        return table;
    }
    if (any || !field.isEmpty())
        endRecord();
    return table;
}

BatchReading ReadBatch(const QByteArray& bytes, const AccountCheck& account,
                       const SayadLookup& sayadInRegister)
{
    BatchReading reading;
    const CsvTable table = ParseCsv(bytes);
    if (!table.error.isEmpty()) {
        reading.errors << table.error;
        return reading;
    }
    if (table.records.isEmpty()) {
        reading.errors << u"the file has no header row"_s;
        return reading;
    }
    const CsvRecord& header = table.records.front();
    int index[ColumnCount];
    std::fill(std::begin(index), std::end(index), -1);
    for (int i = 0; i < header.fields.size(); ++i) {
        const int column = columnOf(header.fields[i]);
        if (column < 0) {
            reading.errors << u"line %1: unknown column '%2'"_s.arg(header.line)
                                  .arg(header.fields[i].trimmed());
        } else if (index[column] >= 0) {
            reading.errors << u"line %1: column '%2' is given twice"_s.arg(header.line)
                                  .arg(QLatin1String(kColumnNames[column]));
        } else {
            index[column] = i;
        }
    }
    for (int column : {Account, DueDate, Amount, Payee})
        if (index[column] < 0)
            reading.errors << u"line %1: the column '%2' is missing"_s.arg(header.line)
                                  .arg(QLatin1String(kColumnNames[column]));
    if (!reading.errors.isEmpty())
        return reading;
    if (table.records.size() == 1) {
        reading.errors << u"the file has no cheques"_s;
        return reading;
    }

    QHash<QString, int> sayadLines; // Sayad IDs met so far in the file
    for (qsizetype r = 1; r < table.records.size(); ++r) {
        const CsvRecord& row = table.records[r];
        QStringList reasons;
        if (row.fields.size() != header.fields.size()) {
            reading.errors << u"line %1: %2 fields where the header has %3"_s.arg(row.line)
                                  .arg(row.fields.size())
                                  .arg(header.fields.size());
            continue;
        }
        auto value = [&](int column) {
            return index[column] < 0 ? QString() : TrimBlanks(row.fields[index[column]]);
        };
        BatchCheque cheque;
        cheque.line = row.line;
        ChequeRecord& rec = cheque.record;

        const QString accountText = ToLatinDigits(value(Account));
        bool ok = false;
        rec.accountId = accountText.toInt(&ok);
        if (!ok || rec.accountId <= 0) {
            reasons << u"account '%1' is not an account number"_s.arg(value(Account));
        } else if (const QString why = account(rec.accountId); !why.isEmpty()) {
            reasons << why;
        }

        if (const std::optional<qint64> day = ParseJalaliDay(value(DueDate)))
            rec.dueDay = *day;
        else
            reasons << u"due date '%1' is not a Jalali date yyyy/mm/dd"_s.arg(value(DueDate));

        cheque.amountText = ToLatinDigits(value(Amount));
        static const QRegularExpression amountPattern(u"^[0-9][0-9,.]*$"_s);
        try {
            if (!amountPattern.match(cheque.amountText).hasMatch() ||
                cheque.amountText.size() > kMaxAmountFieldChars)
                throw ConversionError(QString());
            rec.amount = ParseAmount(cheque.amountText);
            if (rec.amount <= 0)
                throw ConversionError(QString());
            AmountTexts(cheque.amountText); // the words must be writable too
        } catch (const ConversionError&) {
            reasons << u"amount '%1' is not a whole number of Rials"_s.arg(value(Amount));
        }

        rec.payee = value(Payee);
        if (rec.payee.isEmpty())
            reasons << u"the payee is empty"_s;

        if (const QString id = value(NationalId); !id.isEmpty()) {
            if (const std::optional<QString> n = NormalizeNationalId(id))
                rec.nationalId = *n;
            else
                reasons << u"national ID '%1' is not a valid national code (10 digits) or"
                           u" legal entity ID (11 digits)"_s.arg(id);
        }
        if (const QString id = value(SayadId); !id.isEmpty()) {
            if (const std::optional<QString> n = NormalizeSayadId(id)) {
                rec.sayadId = *n;
                if (const qint64 existing = sayadInRegister(*n); existing != 0)
                    reasons << u"Sayad ID %1 is in the register already (record %2)"_s.arg(*n).arg(
                        existing);
                else if (sayadLines.contains(*n))
                    reasons << u"Sayad ID %1 is given on line %2 too"_s.arg(*n).arg(sayadLines[*n]);
                else
                    sayadLines.insert(*n, row.line);
            } else {
                reasons << u"Sayad ID '%1' is not 16 digits"_s.arg(id);
            }
        }
        rec.description = value(Description);

        if (!reasons.isEmpty())
            reading.errors << u"line %1: %2"_s.arg(row.line).arg(reasons.join(u"; "_s));
        else
            reading.cheques.append(std::move(cheque));
    }
    if (!reading.errors.isEmpty())
        reading.cheques.clear();
    return reading;
}
