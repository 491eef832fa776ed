#include "cli/CliCommon.h"
#include "lib/AmountText.h"
#include "lib/AppError.h"

using namespace Qt::StringLiterals;

namespace {

// The four amount texts of the print window, in its order: digits, perforation, words,
// Toman equivalent.
QStringList chequeTexts(const QString& amount)
{
    const QString grouped = FormatAmount(amount);
    const QString words = AmountToWords(amount);
    // Tomans are Rials divided by ten, the remainder dropped.
    const QString tomans = AmountToWords(QString::number(ParseAmount(amount) / 10));
    return {u"//"_s + grouped, u"##"_s + grouped + u"Rls"_s, words + u" ريال تمام "_s,
            u" معادل "_s + tomans + u" تومان تمام "_s};
}

} // namespace

int CmdWords(const QStringList& args)
{
    QStringList texts = args;
    const bool cheque = texts.removeAll(u"--cheque"_s) > 0;
    if (texts.isEmpty()) {
        err() << "usage: nilocheque words [--cheque] TEXT...\n";
        return 2;
    }
    int code = 0;
    for (const QString& text : texts) {
        try {
            const QStringList lines = cheque ? chequeTexts(text) : QStringList{AmountToWords(text)};
            for (const QString& line : lines)
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
