#include "drive/nvmebasiclist.h"

#include <cstdio>
#include <cstring>

#include "drive/bytesformat.h"

namespace {

void SetIdentity(BasicRow& row, const char* label, const BYTE* identify, DWORD offset, DWORD length, bool hidden) {
    static_assert(kBasicValueSize > kNvmeModelLength, "the longest identify string fits a row");
    row.label = label;
    if (hidden) {
        std::snprintf(row.value, sizeof row.value, "*");
    } else {
        NvmeString(identify, offset, length, row.value);
    }
}

// "500107862016 (500.10GB)": the count in full, and as the program shows sizes.
void SetCapacity(BasicRow& row, const char* label, const BYTE* identify, DWORD offset) {
    row.label = label;
    const NvmeCounter bytes = NvmeCounterAt(identify, offset);
    char full[kNvmeCounterTextSize];
    NvmeCounterText(bytes, full);
    char shown[kBytesTextSize];
    FormatBytes(shown, NvmeSaturatedBytes(bytes));
    // A count of all 128 bits does not fit a row with its short form: no
    // drive has one, and it is cut.
    char text[kNvmeCounterTextSize + kBytesTextSize + 8];
    std::snprintf(text, sizeof text, "%s (%sB)", full, shown);
    std::snprintf(row.value, sizeof row.value, "%.*s", static_cast<int>(sizeof row.value - 1), text);
}

// A threshold in Kelvin as degrees Celsius; 0 is one the drive does not set.
void SetTemperature(BasicRow& row, const char* label, const BYTE* identify, DWORD offset) {
    row.label = label;
    const WORD kelvin = NvmeWord(identify, offset);
    if (kelvin == 0) {
        std::snprintf(row.value, sizeof row.value, "-");
    } else {
        std::snprintf(row.value, sizeof row.value, "%d C (%u K)", NvmeCelsius(kelvin), static_cast<unsigned>(kelvin));
    }
}

}  // namespace

DWORD FillNvmeBasicRows(const BYTE* identify, DWORD hideIdentity, BasicRow rows[kBasicRows]) {
    static_assert(kNvmeBasicRows <= kBasicRows, "the NVMe rows fit the Basic list's");
    const bool hidden = hideIdentity != 0;
    BasicRow* row = rows;
    row->label = "PCI Vendor ID";
    std::snprintf(row->value, sizeof row->value, "0x%04X", static_cast<unsigned>(NvmeWord(identify, kNvmeVendorId)));
    ++row;
    row->label = "PCI Subsystem Vendor ID";
    std::snprintf(row->value, sizeof row->value, "0x%04X",
                  static_cast<unsigned>(NvmeWord(identify, kNvmeSubsystemVendorId)));
    ++row;
    SetIdentity(*row++, "Model Number", identify, kNvmeModel, kNvmeModelLength, false);
    SetIdentity(*row++, "Firmware Revision", identify, kNvmeFirmware, kNvmeFirmwareLength, hidden);
    SetIdentity(*row++, "Serial Number", identify, kNvmeSerial, kNvmeSerialLength, hidden);
    row->label = "IEEE OUI Identifier";
    const unsigned oui = identify[kNvmeIeeeOui] | (identify[kNvmeIeeeOui + 1] << 8) | (identify[kNvmeIeeeOui + 2] << 16);
    std::snprintf(row->value, sizeof row->value, "0x%06X", oui);
    ++row;
    row->label = "Controller ID";
    std::snprintf(row->value, sizeof row->value, "%u", static_cast<unsigned>(NvmeWord(identify, kNvmeControllerId)));
    ++row;
    // Major in the upper 16 bits, then minor and tertiary; 0 from NVMe 1.0
    // drives, which do not report it.
    row->label = "Version";
    const DWORD version = NvmeDword(identify, kNvmeVersion);
    if (version == 0) {
        std::snprintf(row->value, sizeof row->value, "-");
    } else {
        std::snprintf(row->value, sizeof row->value, "%lu.%lu.%lu", static_cast<unsigned long>(version >> 16),
                      static_cast<unsigned long>((version >> 8) & 0xFF), static_cast<unsigned long>(version & 0xFF));
    }
    ++row;
    row->label = "Number of Namespaces";
    std::snprintf(row->value, sizeof row->value, "%lu", static_cast<unsigned long>(NvmeDword(identify, kNvmeNamespaces)));
    ++row;
    SetCapacity(*row++, "Total NVM Capacity", identify, kNvmeTotalCapacity);
    SetCapacity(*row++, "Unallocated NVM Capacity", identify, kNvmeUnallocatedCapacity);
    SetTemperature(*row++, "Warning Composite Temperature Threshold", identify, kNvmeWarningThreshold);
    SetTemperature(*row++, "Critical Composite Temperature Threshold", identify, kNvmeCriticalThreshold);
    return static_cast<DWORD>(row - rows);
}
