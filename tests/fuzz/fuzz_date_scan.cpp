// Jalali date texts as a user or the clipboard may give them.
#include "core/calendar/JalaliFormat.h"
#include "core/errors/AppError.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (int position = 1; position <= 3; ++position) {
        int p = position;
        SerialDate value = 0;
        TryScanJalaliDate(text, p, value);
    }
    try {
        const SerialDate value = StrToJalaliDate(text);
        // What was read back formats to a text that reads as the same date.
        if (StrToJalaliDate(JalaliDateToStr(value)) != value)
            __builtin_trap();
    } catch (const ConversionError&) {
    }
    return 0;
}
