// Format patterns and date values: the first 8 bytes are the value, the rest the pattern.
#include "core/calendar/JalaliFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < sizeof(double))
        return 0;
    double value;
    std::memcpy(&value, data, sizeof value);
    const QString pattern = QString::fromUtf8(reinterpret_cast<const char*>(data + sizeof value),
                                              qsizetype(size - sizeof value));
    const QString out = FormatJalaliDateTime(pattern, value);
    if (out.size() > kMaxFormattedLength)
        __builtin_trap();
    return 0;
}
