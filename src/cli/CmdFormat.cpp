#include "cli/CliCommon.h"
#include "core/calendar/JalaliFormat.h"
#include "core/errors/AppError.h"

#include <QTime>

using namespace Qt::StringLiterals;

int CmdFormat(const QStringList& args)
{
    if (args.size() < 2 || args.size() > 3) {
        err() << "usage: nilocheque format PATTERN VALUE [hh:mm:ss.zzz]\n";
        return 2;
    }
    try {
        SerialDate value = ParseDateArgument(args[1]);
        if (args.size() == 3) {
            QTime time;
            for (const QString& form : {u"hh:mm:ss.zzz"_s, u"hh:mm:ss"_s, u"hh:mm"_s}) {
                time = QTime::fromString(args[2], form);
                if (time.isValid())
                    break;
            }
            if (!time.isValid())
                throw ConversionError(u"'%1' is not a valid time"_s.arg(args[2]));
            const SerialDate fraction = time.msecsSinceStartOfDay() / 86400000.0;
            // Before day 0 the fraction still counts forward from midnight.
            value = value < 0 ? value - fraction : value + fraction;
        }
        out() << FormatJalaliDateTime(args[0], value) << '\n';
    } catch (const AppError& e) {
        err() << e.message() << '\n';
        return 1;
    }
    return 0;
}
