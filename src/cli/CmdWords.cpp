#include "cli/CliCommon.h"
#include "core/cheque/ChequeTexts.h"
#include "core/errors/AppError.h"
#include "core/text/AmountText.h"
#include "core/text/TextChecks.h"

using namespace Qt::StringLiterals;

namespace {

// The four amount texts of the print window, in its order: digits, perforation, words,
// Toman equivalent; the same code as the window's, so both print the same cheque.
QStringList chequeTexts(const QString& amount)
{
    const AmountBoxTexts texts = AmountTexts(amount);
    return {texts.numeric, texts.perforation, texts.words, texts.toman};
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
    for (const QString& typed : texts) {
        const QString text = ToLatinDigits(typed); // ۱۲۵ is 125
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
