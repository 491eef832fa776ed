// Amount texts as typed or pasted into the amount field.
#include "core/errors/AppError.h"
#include "core/text/AmountText.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        ParseAmount(text);
    } catch (const ConversionError&) {
    }
    try {
        FormatAmount(text);
    } catch (const ConversionError&) {
    }
    try {
        AmountToWords(text);
    } catch (const ConversionError&) {
    }
    for (const QChar c : text)
        IsAmountKey(c);
    return 0;
}
