#include "smart/attributenames.h"

#include <cstring>

const AttributeNameRow AttributeNames[] = {
    {0x01, "Raw read error rate"},
    {0x02, "Throughput performance"},
    {0x03, "Spin up time"},
    {0x04, "Start/Stop count"},
    {0x05, "Reallocated sector count"},
    {0x06, "Read channel margin"},
    {0x07, "Seek error rate"},
    {0x08, "Seek time performance"},
    {0x09, "Power-on time count"},
    {0x0A, "Spin up retry count"},
    {0x0B, "Recalibration retries"},
    {0x0C, "Device power cycle count"},
    {0x0D, "Soft read error rate"},
    {0x64, "Gigabytes erased"},
    {0xAA, "Available reserved space"},
    {0xAB, "SSD program fail count"},
    {0xAC, "SSD erase fail count"},
    {0xAD, "Average block-erase count"},
    {0xAE, "Unexpected power loss count"},
    {0xAF, "Power loss protection failure"},
    {0xB1, "Wear range delta"},
    {0xB3, "Used reserved block count"},
    {0xB4, "Unused reserve NAND blocks"},
    {0xB5, "Unaligned access count"},
    {0xB6, "Erase fail count"},
    {0xB7, "S-ATA interface downshift"},
    {0xB8, "Error correction count"},
    {0xB9, "Head stability"},
    {0xBA, "Induced Op-vibration detection"},
    {0xBB, "Reported uncorrectable errors"},
    {0xBC, "Command timeout count"},
    {0xBD, "High fly writes"},
    {0xBE, "Airflow temperature"},
    {0xBF, "G-sense error rate"},
    {0xC0, "Power-off retract count"},
    {0xC1, "Load/Unload cycle count"},
    {0xC2, "Temperature"},
    {0xC3, "Hardware ECC recovered"},
    {0xC4, "Reallocation event count"},
    {0xC5, "Current pending sector count"},
    {0xC6, "Off-line uncorrectable sector count"},
    {0xC7, "Ultra DMA CRC error rate"},
    {0xC8, "Write error rate"},
    {0xC9, "TA counter detected"},
    {0xCA, "Data address mark error"},
    {0xCB, "Run out cancel"},
    {0xCC, "Soft ECC correction"},
    {0xCD, "Thermal asperity rate"},
    {0xCE, "Flying height"},
    {0xCF, "Spin high current"},
    {0xD0, "Spin buzz"},
    {0xD1, "Offline seek performance"},
    {0xD2, "Vibration during write"},
    {0xD3, "Vibration during read"},
    {0xD4, "Shock during write"},
    {0xDC, "Disk shift"},
    {0xDD, "G-sense error rate"},
    {0xDE, "Loaded hours"},
    {0xDF, "Load/Unload retry count"},
    {0xE0, "Load friction"},
    {0xE1, "Load/Unload cycle count"},
    {0xE2, "Load-in time"},
    {0xE3, "Torque amplification count"},
    {0xE4, "Power-off retract count"},
    {0xE6, "GMR head amplitude"},
    {0xE7, "SSD life left"},
    {0xE8, "Available reserved"},
    {0xE9, "Power-on hours"},
    {0xEA, "Average erase count"},
    {0xEB, "Good block count"},
    {0xF0, "Head flying hours"},
    {0xF1, "Total LBAs written"},
    {0xF2, "Total LBAs read"},
    {0xF6, "Total host sector writes"},
    {0xF9, "NAND writes 1 Gigabytes"},
    {0xFA, "Read error retry rate"},
    {0xFE, "Free Fall Protection"},
    {0x00, ""},
};

const char* const FlagNames[kFlagNameCount] = {"CR", "OC", "PR", "ER", "EC", "SP"};

const char* AttributeName(BYTE id) {
    for (const AttributeNameRow* row = AttributeNames; row->name[0] != '\0'; ++row) {
        if (static_cast<BYTE>(row->id) == id) return row->name;
    }
    return "Unknown";
}

char* FlagText(char* out, WORD flags) {
    out[0] = '\0';
    for (DWORD bit = 0; bit < kFlagNameCount; ++bit) {
        if ((flags & (1u << bit)) == 0) continue;
        if (out[0] != '\0') std::strcat(out, " ");
        std::strcat(out, FlagNames[bit]);
    }
    return out;
}
