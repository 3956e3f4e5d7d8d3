#include "drive/atablocks.h"

#include <cstdio>
#include <cstring>

namespace {

const DWORD kIdentifyWords = 256;  // of a 512-byte block

// Names of the DMA modes for bits 6 down to 0 of a mode-selected byte, and
// the name when none of those bits is set.
struct DmaNames {
    const char* byBit[7];  // index = bit
    const char* none;
};

const DmaNames kSingleDma = {{"Single DMA/16", "Single DMA/25", "Single DMA/33", "Single DMA/44", "Single DMA/66",
                              "Single DMA/100", "Single DMA/133"},
                             "Single DMA"};
const DmaNames kMultiDma = {{"Multi DMA/16", "Multi DMA/25", "Multi DMA/33", "Multi DMA/44", "Multi DMA/66",
                             "Multi DMA/100", "Multi DMA/133"},
                            "Multi DMA"};
const DmaNames kUltraDma = {{"Ultra DMA/16", "Ultra DMA/25", "Ultra DMA/33", "Ultra DMA/44", "Ultra DMA/66",
                             "Ultra DMA/100", "Ultra DMA/133"},
                            "Ultra DMA"};

const char* HighestMode(BYTE selected, const DmaNames& names) {
    for (int bit = 6; bit >= 0; --bit) {
        if (selected & (1u << bit)) return names.byBit[bit];
    }
    return names.none;
}

}  // namespace

WORD IdentifyWord(const BYTE* identify, DWORD k) {
    if (k >= kIdentifyWords) return 0;
    return static_cast<WORD>(identify[2 * k] | (identify[2 * k + 1] << 8));
}

DWORD IdentifyDword(const BYTE* identify, DWORD k) {
    if (k + 1 >= kIdentifyWords) return 0;
    return IdentifyWord(identify, k) | (static_cast<DWORD>(IdentifyWord(identify, k + 1)) << 16);
}

char* SwapAtaString(const BYTE* src, DWORD length, char* dst) {
    if (length == 0) return dst;
    for (DWORD k = 0; k < (length - 1) / 2 + 1; ++k) {
        dst[2 * k] = static_cast<char>(src[2 * k + 1]);
        dst[2 * k + 1] = static_cast<char>(src[2 * k]);
    }
    TrimAtaString(dst, length);
    return dst;
}

void TrimAtaString(char* s, DWORD length) {
    if (length == 0) return;
    // Trailing blanks; NULs inside the padding are skipped over.
    for (DWORD i = length - 1; i >= 1; --i) {
        if (s[i] == ' ')
            s[i] = '\0';
        else if (s[i] != '\0')
            break;
    }
    DWORD start = 0;
    while (start < length && s[start] == ' ') ++start;
    if (start == 0 || start == length || s[start] == '\0') return;
    // Never look past the field: the text ends at its first NUL or at its end.
    DWORD n = 0;
    while (start + n < length && s[start + n] != '\0') ++n;
    std::memmove(s, s + start, n);
    std::memset(s + n, 0, length - n);
}

void FormatCapacity(const BYTE* identify, char* out, size_t outSize) {
    if (identify == nullptr || out == nullptr || outSize == 0) return;
    const bool lba48 = (IdentifyWord(identify, 83) & (1u << 10)) != 0;
    const DWORD sectors = IdentifyDword(identify, lba48 ? 100 : 60);
    // Decimal megabytes of 512-byte sectors.
    double x = sectors * 0.0005 * 1.024;
    if (x < 1000) {
        std::snprintf(out, outSize, "%.2fMB", x);
        return;
    }
    x = x / 1000;
    if (x < 1000)
        std::snprintf(out, outSize, "%.2fGB", x);
    else
        std::snprintf(out, outSize, "%.2fTB", x / 1000);
}

const char* TransferModeName(const BYTE* id) {
    if (id == nullptr) return "";
    // 0xFFFF is what devices without Serial ATA information report.
    const WORD sata = IdentifyWord(id, 76);
    if (sata != 0 && sata != 0xFFFF) {
        if (sata & (1u << 4)) return "S-ATA";
        if (sata & (1u << 3)) return "S-ATA/600";
        if (sata & (1u << 2)) return "S-ATA/300";
        if (sata & (1u << 1)) return "S-ATA/150";
        return "S-ATA";
    }
    if (BYTE s = static_cast<BYTE>(IdentifyWord(id, 62) >> 8)) return HighestMode(s, kSingleDma);
    if (BYTE m = static_cast<BYTE>(IdentifyWord(id, 63) >> 8)) return HighestMode(m, kMultiDma);
    if (BYTE u = static_cast<BYTE>(IdentifyWord(id, 88) >> 8)) return HighestMode(u, kUltraDma);
    return "PIO";
}

char* BitsText(DWORD value, char* out) {
    char bits[21];
    char* p = bits;
    for (int bit = 15; bit >= 0; --bit) {
        *p++ = (value & (1ul << bit)) ? '1' : '0';
        if (bit % 4 == 0) *p++ = ' ';
    }
    *p = '\0';
    std::snprintf(out, kBitsTextSize, "%s (0x%04lX)", bits, static_cast<unsigned long>(value));
    return out;
}

SmartAttribute AttributeAt(const BYTE* table, DWORD k) {
    SmartAttribute entry = {};
    if (table != nullptr && k < kAttributeEntries) std::memcpy(&entry, table + k * sizeof entry, sizeof entry);
    return entry;
}

SmartThreshold ThresholdAt(const BYTE* table, DWORD k) {
    SmartThreshold entry = {};
    if (table != nullptr && k < kAttributeEntries) std::memcpy(&entry, table + k * sizeof entry, sizeof entry);
    return entry;
}

bool FindAttribute(const BYTE* table, BYTE id, BYTE raw[6]) {
    if (table == nullptr || id == 0) return false;
    for (DWORD k = 0; k < kAttributeEntries; ++k) {
        const SmartAttribute entry = AttributeAt(table, k);
        if (entry.id == id) {
            std::memcpy(raw, entry.raw, sizeof entry.raw);
            return true;
        }
    }
    return false;
}

bool FindThreshold(const BYTE* table, BYTE id, SmartThreshold* out) {
    if (table == nullptr || id == 0) return false;
    for (DWORD k = 0; k < kAttributeEntries; ++k) {
        const SmartThreshold entry = ThresholdAt(table, k);
        if (entry.id == id) {
            *out = entry;
            return true;
        }
    }
    return false;
}

LONG RawCount(const BYTE raw[6]) {
    const DWORD low = raw[0] | (raw[1] << 8) | (raw[2] << 16) | (static_cast<DWORD>(raw[3]) << 24);
    return static_cast<LONG>(low);
}
