#include "drive/nvmeblocks.h"

#include <cstring>

#include "drive/atablocks.h"

namespace {

const BYTE kDangerBits = kNvmeWarningSpare | kNvmeWarningReliability | kNvmeWarningReadOnly | kNvmeWarningBackup |
                         kNvmeWarningPersistent;

ULONGLONG Quad(const BYTE* p) {
    ULONGLONG value = 0;
    for (int k = 7; k >= 0; --k) value = (value << 8) | p[k];
    return value;
}

}  // namespace

WORD NvmeWord(const BYTE* block, DWORD offset) {
    return static_cast<WORD>(block[offset] | (block[offset + 1] << 8));
}

DWORD NvmeDword(const BYTE* block, DWORD offset) {
    return static_cast<DWORD>(block[offset]) | (static_cast<DWORD>(block[offset + 1]) << 8) |
           (static_cast<DWORD>(block[offset + 2]) << 16) | (static_cast<DWORD>(block[offset + 3]) << 24);
}

NvmeCounter NvmeCounterAt(const BYTE* block, DWORD offset) {
    return NvmeCounter{Quad(block + offset), Quad(block + offset + 8)};
}

void NvmeCounterText(const NvmeCounter& counter, char (&text)[kNvmeCounterTextSize]) {
    // Long division by ten over four 32-bit parts, most significant first:
    // no 128-bit type on 32-bit targets.
    DWORD parts[4] = {static_cast<DWORD>(counter.high >> 32), static_cast<DWORD>(counter.high),
                      static_cast<DWORD>(counter.low >> 32), static_cast<DWORD>(counter.low)};
    char reversed[kNvmeCounterTextSize];
    size_t length = 0;
    do {
        ULONGLONG remainder = 0;
        bool zero = true;
        for (DWORD& part : parts) {
            const ULONGLONG current = (remainder << 32) | part;
            part = static_cast<DWORD>(current / 10);
            remainder = current % 10;
            zero = zero && part == 0;
        }
        reversed[length++] = static_cast<char>('0' + remainder);
        if (zero) break;
    } while (length < sizeof reversed - 1);
    for (size_t k = 0; k < length; ++k) text[k] = reversed[length - 1 - k];
    text[length] = '\0';
}

LONG NvmeSaturatedCount(const NvmeCounter& counter) {
    const ULONGLONG highest = 0x7FFFFFFFULL;
    if (counter.high != 0 || counter.low > highest) return static_cast<LONG>(highest);
    return static_cast<LONG>(counter.low);
}

ULONGLONG NvmeSaturatedBytes(const NvmeCounter& counter) { return counter.high != 0 ? ~0ULL : counter.low; }

void NvmeString(const BYTE* identify, DWORD offset, DWORD length, char* out) {
    std::memset(out, 0, length + 1);
    std::memcpy(out, identify + offset, length);
    TrimAtaString(out, length);
}

int NvmeCelsius(WORD kelvin) { return static_cast<int>(kelvin) - 273; }

bool NvmeWarningIsCritical(BYTE warning) { return (warning & kDangerBits) != 0; }

LONG NvmeSpareUsed(const BYTE* health) {
    const int spare = health[kNvmeAvailableSpare];
    return spare >= 100 ? 0 : 100 - spare;
}
