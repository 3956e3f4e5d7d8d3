#include "smart/attributenames.h"

const AttributeNameRow AttributeNames[] = {
    {0x05, "Reallocated sector count"},
    {0xC4, "Reallocation event count"},
    {0xC5, "Current pending sector count"},
    {0xC6, "Off-line uncorrectable sector count"},
    {0x00, ""},
};

const char* AttributeName(BYTE id) {
    for (const AttributeNameRow* row = AttributeNames; row->name[0] != '\0'; ++row) {
        if (static_cast<BYTE>(row->id) == id) return row->name;
    }
    return "Unknown";
}
