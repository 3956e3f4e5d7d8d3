#include "drive/ataaccess.h"

#include <cstdio>
#include <cstring>

#include "drive/device.h"

namespace {

const BYTE kSmartCommand = 0xB0;
const BYTE kSmartEnable = 0xD8;
const BYTE kSmartReadData = 0xD0;
const BYTE kSmartReadThresholds = 0xD1;
const DWORD kEnableReplyLength = 16;

const DWORD kMiniportRequestLength = 564;
const DWORD kMiniportDataOffset = 52;
const ULONG kMiniportIdentify = 0x00042008;

bool IsOpen(const DriveIo& io) { return io.hDevice != nullptr && io.hDevice != INVALID_HANDLE_VALUE; }

// Fills the request block for one ATA command; registers not named stay 0.
void PrepareCommand(DriveIo& io, BYTE features, BYTE command, DWORD bufferSize) {
    std::memset(&io.cmdIn, 0, sizeof io.cmdIn);
    io.cmdIn.cBufferSize = bufferSize;
    IDEREGS& regs = io.cmdIn.irDriveRegs;
    regs.bFeaturesReg = features;
    regs.bSectorCountReg = 1;
    regs.bSectorNumberReg = 1;
    if (command == kSmartCommand) {
        regs.bCylLowReg = 0x4F;
        regs.bCylHighReg = 0xC2;
    }
    regs.bDriveHeadReg = static_cast<BYTE>(0xA0 | ((io.driveNumber & 1) << 4));
    regs.bCommandReg = command;
    io.cmdIn.bDriveNumber = io.driveNumber;
}

bool Send(DriveIo& io, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* bytes) {
    DWORD returned = 0;
    io.cbIn = inSize;
    io.cbOut = outSize;
    const bool ok = Devices().Control(io.hDevice, code, in, inSize, out, outSize, &returned) != FALSE;
    if (bytes != nullptr) *bytes = returned;
    return ok;
}

// One SMART_RCV_DRIVE_DATA request into a 528-byte reply; the 512-byte
// block, or null.
BYTE* Receive(DriveIo& io, AtaReply& reply, BYTE features, BYTE command, DWORD* bytes) {
    if (!IsOpen(io)) return nullptr;
    PrepareCommand(io, features, command, kAtaBlockSize);
    std::memset(&reply, 0, sizeof reply);
    if (!Send(io, SMART_RCV_DRIVE_DATA, &io.cmdIn, kSendCmdInLength, &reply, kAtaReplyLength, bytes)) {
        return nullptr;
    }
    return reply.Data();
}

}  // namespace

bool OpenDrive(DriveIo& io, BYTE number) {
    if (io.hDevice != nullptr) return false;
    io.driveNumber = number;
    HANDLE device = INVALID_HANDLE_VALUE;
    switch (Devices().PlatformId()) {
        case VER_PLATFORM_WIN32_WINDOWS:
            device = Devices().Open("\\\\.\\SMARTVSD", 0, 0, CREATE_NEW, 0);
            break;
        case VER_PLATFORM_WIN32_NT: {
            char path[32];
            std::snprintf(path, sizeof path, "\\\\.\\PHYSICALDRIVE%d", number);
            device = Devices().Open(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    OPEN_EXISTING, 0);
            break;
        }
        default:  // no drive access defined on other platforms
            break;
    }
    io.hDevice = device;
    if (device == INVALID_HANDLE_VALUE) return false;
    io.pVersion = nullptr;
    io.pIdentify = nullptr;
    io.pDA = nullptr;
    return true;
}

GETVERSIONINPARAMS* GetSmartVersion(DriveIo& io, DWORD* bytes) {
    io.pVersion = nullptr;
    if (!IsOpen(io)) return nullptr;
    std::memset(&io.version, 0, sizeof io.version);
    if (!Send(io, SMART_GET_VERSION, nullptr, 0, &io.version, sizeof io.version, bytes)) return nullptr;
    io.pVersion = &io.version;
    // Bits 4..7 of the device map mark ATAPI devices on drives 0..3.
    if (io.driveNumber < 4 && ((io.version.bIDEDeviceMap >> io.driveNumber) & 0x10) != 0) {
        io.identifyCmd = kIdentifyPacketDevice;
        return io.pVersion;
    }
    io.identifyCmd = kIdentifyDevice;
    EnableSmart(io);
    return io.pVersion;
}

bool EnableSmart(DriveIo& io) {
    if (!IsOpen(io)) return false;
    std::memset(&io.cmdStatus, 0, sizeof io.cmdStatus);
    PrepareCommand(io, kSmartEnable, kSmartCommand, 0);
    return Send(io, SMART_SEND_DRIVE_COMMAND, &io.cmdIn, kSendCmdInLength, &io.identifyOut, kEnableReplyLength,
                nullptr);
}

BYTE* IdentifyDrive(DriveIo& io, DWORD* bytes) {
    io.pIdentify = nullptr;
    io.pIdentify = Receive(io, io.identifyOut, 0, io.identifyCmd, bytes);
    return io.pIdentify;
}

BYTE* IdentifyByMiniport(DriveIo& io, WORD port, WORD device, DWORD* bytes) {
    io.pIdentify = nullptr;
    char path[32];
    std::snprintf(path, sizeof path, "\\\\.\\SCSI%u:", static_cast<unsigned>(port));
    HANDLE portHandle = Devices().Open(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       OPEN_EXISTING, 0);
    if (portHandle == INVALID_HANDLE_VALUE) return nullptr;

    BYTE request[kMiniportRequestLength] = {};
    SRB_IO_CONTROL header = {};
    header.HeaderLength = sizeof(SRB_IO_CONTROL);
    std::memcpy(header.Signature, "CMD_IDE ", sizeof header.Signature);
    header.Timeout = 5;
    header.ControlCode = kMiniportIdentify;
    header.ReturnCode = 0xFFFFFFFF;
    header.Length = kMiniportRequestLength - sizeof(SRB_IO_CONTROL);
    std::memcpy(request, &header, sizeof header);
    const WORD requestWord = 1;
    std::memcpy(request + 28, &device, sizeof device);
    std::memcpy(request + 30, &requestWord, sizeof requestWord);

    DWORD returned = 0;
    io.cbIn = kMiniportRequestLength;
    io.cbOut = kMiniportRequestLength;
    if (Devices().Control(portHandle, IOCTL_SCSI_MINIPORT, request, kMiniportRequestLength, request,
                          kMiniportRequestLength, &returned)) {
        std::memcpy(io.identifyOut.Data(), request + kMiniportDataOffset, kAtaBlockSize);
        io.pIdentify = io.identifyOut.Data();
    }
    if (bytes != nullptr) *bytes = returned;
    Devices().Close(portHandle);
    return io.pIdentify;
}

BYTE* ReadSmartData(DriveIo& io, DWORD* bytes) {
    io.pDA = nullptr;
    BYTE* block = Receive(io, io.dataOut, kSmartReadData, kSmartCommand, bytes);
    io.pDA = block != nullptr ? block + 2 : nullptr;
    return io.pDA;
}

BYTE* ReadPredictFailure(DriveIo& io, DWORD* bytes) {
    io.pDA = nullptr;
    if (!IsOpen(io)) return nullptr;
    std::memset(&io.predict, 0, sizeof io.predict);
    if (Send(io, IOCTL_STORAGE_PREDICT_FAILURE, &io.predict, sizeof io.predict, &io.predict, sizeof io.predict,
             bytes) &&
        io.predict.PredictFailure == 0) {
        io.pDA = io.predict.VendorSpecific + 2;
    }
    return io.pDA;
}

BYTE* ReadSmartThresholds(DriveIo& io, DWORD* bytes) {
    io.pAT = nullptr;
    BYTE* block = Receive(io, io.thresholdOut, kSmartReadThresholds, kSmartCommand, bytes);
    io.pAT = block != nullptr ? block + 2 : nullptr;
    return io.pAT;
}

void CloseDrive(DriveIo& io) {
    if (IsOpen(io)) Devices().Close(io.hDevice);
    io.hDevice = nullptr;
    io.driveNumber = 0;
    io.identifyCmd = 0;
    io.pVersion = nullptr;
    io.pIdentify = nullptr;
    io.pDA = nullptr;
    io.pAT = nullptr;
    io.pNvmeIdentify = nullptr;
    io.pNvmeHealth = nullptr;
}
