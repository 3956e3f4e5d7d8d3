#include "drive/basiclist.h"

#include <cstdio>
#include <cstring>

#include "drive/atablocks.h"
#include "drive/nvmebasiclist.h"

namespace {

enum RowKind {
    Number,    // "%d" of one unsigned word
    Number32,  // "%d" of two words as a signed 32-bit value
    Bits,      // BitsText of one word
    Text,      // ATA string of `length` characters
    Identity,  // ATA string, "*" while identity is hidden
};

struct IdentifyRow {
    const char* label;
    RowKind kind;
    DWORD word;
    DWORD length;  // characters of a string row
};

// Rows 5 to 56; rows 0 to 4 come from the version reply.
const IdentifyRow kIdentifyRows[] = {
    {"Model Number", Text, 27, 40},
    {"Firmware Revision", Identity, 23, 8},
    {"Serial Number", Identity, 10, 20},
    {"General Configuration", Bits, 0, 0},
    {"Cylinders", Number, 1, 0},
    {"Heads", Number, 3, 0},
    {"Bytes/Track", Number, 4, 0},
    {"Bytes/Sector", Number, 5, 0},
    {"Sectors/Track", Number, 6, 0},
    {"Buffer Type", Number, 20, 0},
    {"Buffer Size", Number, 21, 0},
    {"ECC Size", Number, 22, 0},
    {"Vendor Unique", Bits, 47, 0},
    {"Double Word IO", Number, 48, 0},
    {"Capabilities", Bits, 49, 0},
    {"PIO Timing", Bits, 51, 0},
    {"DMA Timing", Bits, 52, 0},
    {"BS", Bits, 53, 0},
    {"Current Cylinders", Number, 54, 0},
    {"Current Heads", Number, 55, 0},
    {"Current Sectors/Track", Number, 56, 0},
    {"Current Sector Capacity", Number32, 57, 0},
    {"Multi Sector Stuff", Number, 59, 0},
    {"Total Addressable Sectors", Number32, 60, 0},
    {"Single Word DMA", Bits, 62, 0},
    {"Multi Word DMA", Bits, 63, 0},
    {"Advanced PIO", Bits, 64, 0},
    {"Multi Word DMA Cycle Time", Number, 65, 0},
    {"Device Multi Word DMA Cycle Time", Number, 66, 0},
    {"PIO Cycle Time without IODRY", Number, 67, 0},
    {"PIO Cycle Time with IODRY", Number, 68, 0},
    {"Queue Size", Number, 75, 0},
    {"Serial ATA Capabilities", Bits, 76, 0},
    {"Serial ATA Features Supported", Bits, 78, 0},
    {"Serial ATA Features Enabled", Bits, 79, 0},
    {"Major Version", Bits, 80, 0},
    {"Minor Version", Bits, 81, 0},
    {"Command Set 1", Bits, 82, 0},
    {"Command Set 2", Bits, 83, 0},
    {"Command Set 3", Bits, 84, 0},
    {"Command Status 1", Bits, 85, 0},
    {"Command Status 2", Bits, 86, 0},
    {"Command Status 3", Bits, 87, 0},
    {"Ultra DMA", Bits, 88, 0},
    {"Hardware Reset", Bits, 93, 0},
    {"Automatic Acoustic Management", Bits, 94, 0},
    {"Sector Size", Number, 106, 0},
    {"Current Media Serial No", Text, 176, 60},
    {"NV Cache Capabilities", Bits, 214, 0},
    {"NV Cache Size Logical Blocks", Number32, 215, 0},
    {"NV Cache Options 1", Bits, 219, 0},
    {"NV Cache Options 2", Bits, 220, 0},
};

const DWORD kVersionRows = 5;
static_assert(kVersionRows + sizeof kIdentifyRows / sizeof kIdentifyRows[0] == kBasicRows, "Basic list rows");
static_assert(kBitsTextSize <= kBasicValueSize, "a bit text fits a row");

void SetNumber(BasicRow& row, const char* label, long value) {
    row.label = label;
    std::snprintf(row.value, sizeof row.value, "%ld", value);
}

void SetBits(BasicRow& row, const char* label, DWORD value) {
    row.label = label;
    BitsText(value, row.value);
}

}  // namespace

DWORD FillBasicRows(const DriveInfo& drive, DWORD hideIdentity, BasicRow rows[kBasicRows]) {
    if (drive.protocol == ProtocolNvme) {
        return drive.nvmeIdentifyResult != nullptr ? FillNvmeBasicRows(drive.nvmeIdentifyResult, hideIdentity, rows) : 0;
    }
    const GETVERSIONINPARAMS* version = drive.versionResult;
    const BYTE* identify = drive.identifyResult;
    if (version == nullptr || identify == nullptr) return 0;

    SetNumber(rows[0], "Version", version->bVersion);
    SetNumber(rows[1], "Revision", version->bRevision);
    SetBits(rows[2], "IDEDeviceMap", version->bIDEDeviceMap);
    SetBits(rows[3], "Capabilities", version->fCapabilities);
    SetNumber(rows[4], "Version Status", static_cast<LONG>(drive.versionBytes));

    BasicRow* row = rows + kVersionRows;
    for (const IdentifyRow& item : kIdentifyRows) {
        switch (item.kind) {
        case Number:
            SetNumber(*row, item.label, IdentifyWord(identify, item.word));
            break;
        case Number32:
            SetNumber(*row, item.label, static_cast<LONG>(IdentifyDword(identify, item.word)));
            break;
        case Bits:
            SetBits(*row, item.label, IdentifyWord(identify, item.word));
            break;
        case Text:
        case Identity:
            row->label = item.label;
            // The swap writes no NUL: the zeroed buffer ends the text.
            std::memset(row->value, 0, sizeof row->value);
            if (item.kind == Identity && hideIdentity)
                row->value[0] = '*';
            else
                SwapAtaString(identify + 2 * item.word, item.length, row->value);
            break;
        }
        ++row;
    }
    return kBasicRows;
}
