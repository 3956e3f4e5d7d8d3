// Reading the three 512-byte ATA blocks of a drive (IDENTIFY, SMART data,
// SMART thresholds): words, strings, capacity, transfer mode, bit texts and
// the attribute lookup. All blocks are little-endian. Pure functions over
// the blocks: nothing here knows the drive record.
#pragma once

#include <cstddef>

#include "base/wintypes.h"

const DWORD kAttributeEntries = 30;
const DWORD kAttributeTableSize = kAttributeEntries * 12;

#pragma pack(push, 1)
// One 12-byte entry of the SMART attribute table.
struct SmartAttribute {
    BYTE id;  // 0: empty entry
    WORD flags;
    BYTE current;
    BYTE worst;
    BYTE raw[6];  // least significant byte first
    BYTE reserved;
};

// One 12-byte entry of the threshold table; entry k belongs to attribute k.
struct SmartThreshold {
    BYTE id;
    BYTE threshold;
    BYTE reserved[10];
};
#pragma pack(pop)
static_assert(sizeof(SmartAttribute) == 12 && sizeof(SmartThreshold) == 12, "attribute table entries");

// IDENTIFY word k (0..255); 0 for a word outside the block.
WORD IdentifyWord(const BYTE* identify, DWORD k);
// Words k (low half) and k + 1 (high half) as one 32-bit value; 0 when
// either lies outside the block.
DWORD IdentifyDword(const BYTE* identify, DWORD k);

// Turns an ATA string (two characters per word, the first in the high byte)
// of `length` characters into text and trims it. dst must hold `length`
// characters rounded up to even and be zeroed beyond `length`: no NUL is
// written, the zeroed tail ends the text. Returns dst.
char* SwapAtaString(const BYTE* src, DWORD length, char* dst);
// Cuts trailing blanks (s[0] is never cut, so a field of blanks only keeps
// one blank) and then leading blanks, in place, within s[0..length-1].
void TrimAtaString(char* s, DWORD length);

// Capacity from IDENTIFY, "%.2fMB", "%.2fGB" or "%.2fTB" (16 characters are
// always enough); cut to outSize. out is left unchanged when there is no
// IDENTIFY data (a null block).
void FormatCapacity(const BYTE* identify, char* out, size_t outSize);
template <size_t N>
void FormatCapacity(const BYTE* identify, char (&out)[N]) {
    FormatCapacity(identify, out, N);
}

// Name of the interface or of the selected transfer mode ("S-ATA/300",
// "Ultra DMA/133", "PIO", ...); "" without IDENTIFY data (a null block).
const char* TransferModeName(const BYTE* identify);

// Binary text of the low 16 bits in groups of four and the whole value in
// hexadecimal: 0x0040 gives "0000 0000 0100 0000  (0x0040)". out must hold
// kBitsTextSize characters (enough for any 32-bit value). Returns out.
const size_t kBitsTextSize = 40;
char* BitsText(DWORD value, char* out);

// Entry k (0..29) of the attribute table at pDA or of the threshold table at
// pAT, copied; a zeroed entry for k outside the table.
SmartAttribute AttributeAt(const BYTE* table, DWORD k);
SmartThreshold ThresholdAt(const BYTE* table, DWORD k);

// Copies the six raw bytes of the first entry with this id of the attribute
// table; false when there is no table (null) or no entry matches (raw is
// then untouched). Id 0 marks empty entries and never matches.
bool FindAttribute(const BYTE* table, BYTE id, BYTE raw[6]);
// The first entry with this id of the threshold table, copied; false (and
// out untouched) when there is no table or none matches. Id 0 never matches.
bool FindThreshold(const BYTE* table, BYTE id, SmartThreshold* out);

// An attribute's raw value as a count: the low four raw bytes as a signed
// 32-bit little-endian number. The upper two bytes are not part of it.
LONG RawCount(const BYTE raw[6]);
