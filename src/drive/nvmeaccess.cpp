#include "drive/nvmeaccess.h"

#include <cstdio>
#include <cstring>

#include "drive/device.h"

namespace {

// Identify CNS 1: the controller; log page 2: SMART / Health Information.
const DWORD kIdentifyController = 1;
const DWORD kHealthLog = 2;

bool IsOpen(const DriveIo& io) { return io.hDevice != nullptr && io.hDevice != INVALID_HANDLE_VALUE; }

// A field of a reply, read as the 32 bits it holds: a device may put any
// value where the structure has an enumeration.
DWORD Field(const BYTE* reply, size_t offset) {
    DWORD value;
    std::memcpy(&value, reply + offset, sizeof value);
    return value;
}

bool Query(DriveIo& io, void* buffer, DWORD length, DWORD* returned) {
    io.cbIn = length;
    io.cbOut = length;
    return Devices().Control(io.hDevice, IOCTL_STORAGE_QUERY_PROPERTY, buffer, length, buffer, length, returned) !=
           FALSE;
}

// The protocol data of one query into its buffer, or null: the reply must
// carry the descriptor Microsoft documents and all of the data asked for.
template <DWORD DataSize>
BYTE* ProtocolData(DriveIo& io, NvmeQuery<DataSize>& query, STORAGE_PROPERTY_ID property, DWORD dataType,
                   DWORD requestValue) {
    if (!IsOpen(io)) return nullptr;
    std::memset(query.bytes, 0, sizeof query.bytes);
    STORAGE_PROPERTY_QUERY header = {};
    header.PropertyId = property;
    header.QueryType = PropertyStandardQuery;
    std::memcpy(query.bytes, &header, kNvmeQueryHeader);
    STORAGE_PROTOCOL_SPECIFIC_DATA protocol = {};
    protocol.ProtocolType = ProtocolTypeNvme;
    protocol.DataType = dataType;
    protocol.ProtocolDataRequestValue = requestValue;
    // Windows 10 1809 drivers take the sub-value as an offset into the page.
    protocol.ProtocolDataRequestSubValue = 0;
    protocol.ProtocolDataOffset = sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA);
    protocol.ProtocolDataLength = DataSize;
    std::memcpy(query.bytes + kNvmeQueryHeader, &protocol, sizeof protocol);

    DWORD returned = 0;
    if (!Query(io, query.bytes, sizeof query.bytes, &returned) || returned < sizeof query.bytes) return nullptr;
    const DWORD descriptor = sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR);
    const size_t data = offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, ProtocolSpecificData);
    if (Field(query.bytes, offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, Version)) != descriptor ||
        Field(query.bytes, offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, Size)) != descriptor) {
        return nullptr;
    }
    if (Field(query.bytes, data + offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataOffset)) !=
            sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA) ||
        Field(query.bytes, data + offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataLength)) < DataSize) {
        return nullptr;
    }
    return query.Data();
}

}  // namespace

bool OpenNvmeDrive(DriveIo& io, BYTE number) {
    if (io.hDevice != nullptr || Devices().PlatformId() != VER_PLATFORM_WIN32_NT) return false;
    io.driveNumber = number;
    char path[32];
    std::snprintf(path, sizeof path, "\\\\.\\PHYSICALDRIVE%d", number);
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE device = Devices().Open(path, GENERIC_READ | GENERIC_WRITE, share, OPEN_EXISTING, 0);
    if (device == INVALID_HANDLE_VALUE) device = Devices().Open(path, 0, share, OPEN_EXISTING, 0);
    if (device == INVALID_HANDLE_VALUE) return false;
    io.hDevice = device;
    io.pNvmeIdentify = nullptr;
    io.pNvmeHealth = nullptr;
    return true;
}

bool IsNvmeDrive(DriveIo& io) {
    if (!IsOpen(io)) return false;
    std::memset(io.deviceProperty, 0, sizeof io.deviceProperty);
    STORAGE_PROPERTY_QUERY query = {};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    std::memcpy(io.deviceProperty, &query, sizeof query);
    DWORD returned = 0;
    io.cbIn = sizeof query;
    io.cbOut = sizeof io.deviceProperty;
    if (!Devices().Control(io.hDevice, IOCTL_STORAGE_QUERY_PROPERTY, io.deviceProperty, sizeof query,
                           io.deviceProperty, sizeof io.deviceProperty, &returned)) {
        return false;
    }
    if (returned < offsetof(STORAGE_DEVICE_DESCRIPTOR, RawPropertiesLength)) return false;
    return Field(io.deviceProperty, offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType)) == BusTypeNvme;
}

BYTE* ReadNvmeIdentify(DriveIo& io) {
    io.pNvmeIdentify = nullptr;
    io.pNvmeIdentify =
        ProtocolData(io, io.identifyQuery, StorageAdapterProtocolSpecificProperty, NVMeDataTypeIdentify,
                     kIdentifyController);
    return io.pNvmeIdentify;
}

BYTE* ReadNvmeHealth(DriveIo& io) {
    io.pNvmeHealth = nullptr;
    io.pNvmeHealth =
        ProtocolData(io, io.healthQuery, StorageDeviceProtocolSpecificProperty, NVMeDataTypeLogPage, kHealthLog);
    return io.pNvmeHealth;
}
