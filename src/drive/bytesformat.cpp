#include "drive/bytesformat.h"

#include <cstdio>

void FormatBytes(char* out, ULONGLONG value) {
    struct Unit {
        ULONGLONG size;
        char letter;
    };
    static const Unit kUnits[] = {
        {1000000000000ULL, 'T'}, {1000000000ULL, 'G'}, {1000000ULL, 'M'}, {1000ULL, 'K'}};
    for (const Unit& unit : kUnits) {
        if (value >= unit.size) {
            const unsigned hundredths = static_cast<unsigned>((value % unit.size) / (unit.size / 100));
            std::snprintf(out, kBytesTextSize, "%llu.%02u%c", static_cast<unsigned long long>(value / unit.size),
                          hundredths, unit.letter);
            return;
        }
    }
    std::snprintf(out, kBytesTextSize, "%llu", static_cast<unsigned long long>(value));
}

double FreePercent(ULONGLONG total, ULONGLONG free) {
    if (total == free) return 100.0;
    if (free == 0) return 0.0;
    if (total / 10000 >= free) return 0.01;
    // The whole 64-bit counts: cutting both to gigabytes first would make a
    // 5 GB volume with half of it free read 40 percent.
    return static_cast<double>(free) / static_cast<double>(total) * 100.0;
}
