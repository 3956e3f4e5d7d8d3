// The byte-packed request and reply structures of the Windows ATA
// pass-through, storage (property queries included), SCSI miniport, disk and
// volume requests, and their I/O control codes. On Windows they come from the platform headers; native
// builds define them here with the same layout.
#pragma once

#include "base/wintypes.h"

#ifdef _WIN32
#include <ntddscsi.h>
#include <winioctl.h>
#else

#define GENERIC_READ 0x80000000UL
#define GENERIC_WRITE 0x40000000UL
#define FILE_SHARE_READ 0x00000001UL
#define FILE_SHARE_WRITE 0x00000002UL
#define CREATE_NEW 1
#define OPEN_EXISTING 3
#define FILE_ATTRIBUTE_NORMAL 0x00000080UL
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(-1))
#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2

#define SMART_GET_VERSION 0x00074080UL
#define SMART_SEND_DRIVE_COMMAND 0x0007C084UL
#define SMART_RCV_DRIVE_DATA 0x0007C088UL
#define IOCTL_STORAGE_PREDICT_FAILURE 0x002D1100UL
#define IOCTL_SCSI_MINIPORT 0x0004D008UL
#define IOCTL_DISK_GET_DRIVE_GEOMETRY_EX 0x000700A0UL
#define IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS 0x00560000UL
#define IOCTL_STORAGE_QUERY_PROPERTY 0x002D1400UL

typedef long long LONGLONG;
typedef unsigned long long ULONGLONG;

// Windows aligns 64-bit members on 8 bytes, the i386 System V ABI on 4.
union LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    alignas(8) LONGLONG QuadPart;
};

#pragma pack(push, 1)
struct GETVERSIONINPARAMS {
    BYTE bVersion;
    BYTE bRevision;
    BYTE bReserved;
    BYTE bIDEDeviceMap;
    DWORD fCapabilities;
    DWORD dwReserved[4];
};

struct IDEREGS {
    BYTE bFeaturesReg;
    BYTE bSectorCountReg;
    BYTE bSectorNumberReg;
    BYTE bCylLowReg;
    BYTE bCylHighReg;
    BYTE bDriveHeadReg;
    BYTE bCommandReg;
    BYTE bReserved;
};

struct SENDCMDINPARAMS {
    DWORD cBufferSize;
    IDEREGS irDriveRegs;
    BYTE bDriveNumber;
    BYTE bReserved[3];
    DWORD dwReserved[4];
    BYTE bBuffer[1];
};

struct DRIVERSTATUS {
    BYTE bDriverError;
    BYTE bIDEError;
    BYTE bReserved[2];
    DWORD dwReserved[2];
};

struct SENDCMDOUTPARAMS {
    DWORD cBufferSize;
    DRIVERSTATUS DriverStatus;
    BYTE bBuffer[1];
};
#pragma pack(pop)

struct STORAGE_PREDICT_FAILURE {
    DWORD PredictFailure;
    BYTE VendorSpecific[512];
};

struct SRB_IO_CONTROL {
    ULONG HeaderLength;
    UCHAR Signature[8];
    ULONG Timeout;
    ULONG ControlCode;
    ULONG ReturnCode;
    ULONG Length;
};

struct DISK_EXTENT {
    DWORD DiskNumber;
    LARGE_INTEGER StartingOffset;
    LARGE_INTEGER ExtentLength;
};

struct VOLUME_DISK_EXTENTS {
    DWORD NumberOfDiskExtents;
    DISK_EXTENT Extents[1];
};

enum MEDIA_TYPE { Unknown = 0, RemovableMedia = 11, FixedMedia = 12 };

struct DISK_GEOMETRY {
    LARGE_INTEGER Cylinders;
    MEDIA_TYPE MediaType;
    DWORD TracksPerCylinder;
    DWORD SectorsPerTrack;
    DWORD BytesPerSector;
};

struct DISK_GEOMETRY_EX {
    DISK_GEOMETRY Geometry;
    LARGE_INTEGER DiskSize;
    BYTE Data[1];
};

enum STORAGE_PROPERTY_ID {
    StorageDeviceProperty = 0,
    StorageAdapterProtocolSpecificProperty = 49,
    StorageDeviceProtocolSpecificProperty = 50,
};
enum STORAGE_QUERY_TYPE { PropertyStandardQuery = 0, PropertyExistsQuery = 1 };
enum STORAGE_BUS_TYPE { BusTypeUnknown = 0, BusTypeAtapi = 2, BusTypeAta = 3, BusTypeSata = 11, BusTypeNvme = 17 };
enum STORAGE_PROTOCOL_TYPE { ProtocolTypeUnknown = 0, ProtocolTypeNvme = 3 };
enum STORAGE_PROTOCOL_NVME_DATA_TYPE { NVMeDataTypeUnknown = 0, NVMeDataTypeIdentify = 1, NVMeDataTypeLogPage = 2 };

struct STORAGE_PROPERTY_QUERY {
    STORAGE_PROPERTY_ID PropertyId;
    STORAGE_QUERY_TYPE QueryType;
    BYTE AdditionalParameters[1];
};

struct STORAGE_DESCRIPTOR_HEADER {
    DWORD Version;
    DWORD Size;
};

struct STORAGE_DEVICE_DESCRIPTOR {
    DWORD Version;
    DWORD Size;
    BYTE DeviceType;
    BYTE DeviceTypeModifier;
    BYTE RemovableMedia;
    BYTE CommandQueueing;
    DWORD VendorIdOffset;
    DWORD ProductIdOffset;
    DWORD ProductRevisionOffset;
    DWORD SerialNumberOffset;
    STORAGE_BUS_TYPE BusType;
    DWORD RawPropertiesLength;
    BYTE RawDeviceProperties[1];
};

struct STORAGE_PROTOCOL_SPECIFIC_DATA {
    STORAGE_PROTOCOL_TYPE ProtocolType;
    DWORD DataType;
    DWORD ProtocolDataRequestValue;
    DWORD ProtocolDataRequestSubValue;
    DWORD ProtocolDataOffset;
    DWORD ProtocolDataLength;
    DWORD FixedProtocolReturnData;
    DWORD ProtocolDataRequestSubValue2;
    DWORD ProtocolDataRequestSubValue3;
    DWORD ProtocolDataRequestSubValue4;
};

struct STORAGE_PROTOCOL_DATA_DESCRIPTOR {
    DWORD Version;
    DWORD Size;
    STORAGE_PROTOCOL_SPECIFIC_DATA ProtocolSpecificData;
};
#endif

// Lengths the requests pass: the input block without its one-byte buffer,
// the 16-byte status header plus a 512-byte block.
const DWORD kSendCmdInLength = sizeof(SENDCMDINPARAMS) - 1;
const DWORD kSendCmdOutHeader = sizeof(SENDCMDOUTPARAMS) - 1;
const DWORD kAtaBlockSize = 512;
const DWORD kAtaReplyLength = kSendCmdOutHeader + kAtaBlockSize;

static_assert(sizeof(GETVERSIONINPARAMS) == 24, "GETVERSIONINPARAMS layout");
static_assert(sizeof(IDEREGS) == 8, "IDEREGS layout");
static_assert(sizeof(SENDCMDINPARAMS) == 33 && kSendCmdInLength == 32, "SENDCMDINPARAMS layout");
static_assert(offsetof(SENDCMDINPARAMS, bDriveNumber) == 12 && offsetof(SENDCMDINPARAMS, bBuffer) == 32,
              "SENDCMDINPARAMS layout");
static_assert(sizeof(DRIVERSTATUS) == 12, "DRIVERSTATUS layout");
static_assert(sizeof(SENDCMDOUTPARAMS) == 17 && kAtaReplyLength == 528, "SENDCMDOUTPARAMS layout");
static_assert(sizeof(STORAGE_PREDICT_FAILURE) == 516, "STORAGE_PREDICT_FAILURE layout");
static_assert(sizeof(SRB_IO_CONTROL) == 28, "SRB_IO_CONTROL layout");
static_assert(sizeof(DISK_EXTENT) == 24 && offsetof(DISK_EXTENT, StartingOffset) == 8, "DISK_EXTENT layout");
static_assert(sizeof(VOLUME_DISK_EXTENTS) == 32 && offsetof(VOLUME_DISK_EXTENTS, Extents) == 8,
              "VOLUME_DISK_EXTENTS layout");
static_assert(sizeof(DISK_GEOMETRY) == 24, "DISK_GEOMETRY layout");
static_assert(sizeof(DISK_GEOMETRY_EX) == 40 && offsetof(DISK_GEOMETRY_EX, DiskSize) == 24,
              "DISK_GEOMETRY_EX layout");
// The property queries, as Microsoft documents them: the query's header is
// 8 bytes before its parameters, the protocol block 40, the reply's
// descriptor 48 before the data.
static_assert(sizeof(STORAGE_PROPERTY_QUERY) == 12 && offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters) == 8,
              "STORAGE_PROPERTY_QUERY layout");
static_assert(sizeof(STORAGE_DESCRIPTOR_HEADER) == 8, "STORAGE_DESCRIPTOR_HEADER layout");
static_assert(sizeof(STORAGE_DEVICE_DESCRIPTOR) == 40 && offsetof(STORAGE_DEVICE_DESCRIPTOR, VendorIdOffset) == 12 &&
                  offsetof(STORAGE_DEVICE_DESCRIPTOR, SerialNumberOffset) == 24 &&
                  offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) == 28 &&
                  offsetof(STORAGE_DEVICE_DESCRIPTOR, RawDeviceProperties) == 36,
              "STORAGE_DEVICE_DESCRIPTOR layout");
static_assert(sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA) == 40 &&
                  offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataOffset) == 16 &&
                  offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataLength) == 20,
              "STORAGE_PROTOCOL_SPECIFIC_DATA layout");
static_assert(sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR) == 48 &&
                  offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, ProtocolSpecificData) == 8,
              "STORAGE_PROTOCOL_DATA_DESCRIPTOR layout");
static_assert(StorageDeviceProperty == 0 && StorageAdapterProtocolSpecificProperty == 49 &&
                  StorageDeviceProtocolSpecificProperty == 50 && BusTypeSata == 11 && BusTypeNvme == 17 &&
                  ProtocolTypeNvme == 3 && NVMeDataTypeIdentify == 1 && NVMeDataTypeLogPage == 2,
              "property query values");
static_assert(SMART_GET_VERSION == 0x00074080UL && SMART_SEND_DRIVE_COMMAND == 0x0007C084UL &&
                  SMART_RCV_DRIVE_DATA == 0x0007C088UL && IOCTL_STORAGE_PREDICT_FAILURE == 0x002D1100UL &&
                  IOCTL_SCSI_MINIPORT == 0x0004D008UL && IOCTL_DISK_GET_DRIVE_GEOMETRY_EX == 0x000700A0UL &&
                  IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS == 0x00560000UL && IOCTL_STORAGE_QUERY_PROPERTY == 0x002D1400UL,
              "I/O control codes");
