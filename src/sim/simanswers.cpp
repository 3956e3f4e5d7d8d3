// How the simulated devices answer the requests that passed their checks:
// the version, ATA pass-through, predict-failure, geometry, miniport and
// volume extent replies, written as the request structures lay them out.
#include <cstring>

#include "sim/simchecks.h"
#include "sim/simulator.h"

namespace {

const ULONGLONG kFirstExtentOffset = 1048576;

void Put32(BYTE* p, DWORD v) {
    for (int k = 0; k < 4; ++k) p[k] = static_cast<BYTE>(v >> (8 * k));
}

void Put64(BYTE* p, ULONGLONG v) {
    for (int k = 0; k < 8; ++k) p[k] = static_cast<BYTE>(v >> (8 * k));
}

}  // namespace

BOOL Simulator::Version(const HandleInfo& h, Request& r, DWORD inSize, void* out, DWORD outSize, DWORD* returned) {
    if (inSize != 0)
        return Finish(r, Outcome::Refused, "input length " + NumberText(inSize) + ", needs 0", returned, 0);
    if (outSize != kVersionLength)
        return Finish(r, Outcome::Refused, "output length " + NumberText(outSize) + ", needs 24", returned, 0);
    if (h.kind == HandleKind::PhysicalDrive) {
        DriveState* d = FindDrive(h.target);
        if (d == nullptr) return Finish(r, Outcome::Absent, "drive removed", returned, 0);
        r.poll = d->CurrentPoll();
        if (d->drive.faults.version.Contains(r.poll))
            return Finish(r, Outcome::Faulted, "version fault at poll " + NumberText(r.poll), returned, 0);
    }
    GETVERSIONINPARAMS reply;
    std::memset(&reply, 0, sizeof reply);
    reply.bVersion = 1;
    reply.bRevision = 1;
    for (const auto& entry : drives_) {
        const int n = entry.first;
        if (n < 4 && !entry.second.drive.nvme)
            reply.bIDEDeviceMap |= static_cast<BYTE>(1u << (entry.second.drive.atapi ? n + 4 : n));
    }
    reply.fCapabilities = 7;  // ATA IDENTIFY, ATAPI IDENTIFY, SMART commands
    std::memcpy(out, &reply, sizeof reply);
    return Finish(r, Outcome::Answered, std::string(), returned, kVersionLength);
}

BOOL Simulator::AtaRequest(const HandleInfo& h, Request& r, DWORD code, void* in, DWORD inSize, void* out,
                           DWORD outSize, DWORD* returned) {
    if (inSize != kSendCmdInLength)
        return Finish(r, Outcome::Refused, "input length " + NumberText(inSize) + ", needs 32", returned, 0);
    SENDCMDINPARAMS cmd;
    std::memset(&cmd, 0, sizeof cmd);
    std::memcpy(&cmd, in, kSendCmdInLength);
    r.features = cmd.irDriveRegs.bFeaturesReg;
    r.command = cmd.irDriveRegs.bCommandReg;

    const BYTE command = cmd.irDriveRegs.bCommandReg;
    const BYTE features = cmd.irDriveRegs.bFeaturesReg;
    AtaExpect e;
    const std::string kind = ClassifyAtaRequest(code, command, features, &e);
    if (!kind.empty()) return Finish(r, Outcome::Refused, kind, returned, 0);
    if (outSize != e.replyLength)
        return Finish(
            r, Outcome::Refused,
            "output length " + NumberText(outSize) + ", needs " + NumberText(e.replyLength) + " for " + e.name,
            returned, 0);
    const std::string regs = RegisterMismatch(cmd, e);
    if (!regs.empty()) return Finish(r, Outcome::Refused, regs, returned, 0);
    if (cmd.irDriveRegs.bReserved != 0 || !AllZero(cmd.bReserved, sizeof cmd.bReserved) ||
        !AllZero(reinterpret_cast<const BYTE*>(cmd.dwReserved), sizeof cmd.dwReserved))
        return Finish(r, Outcome::Refused, "reserved fields not cleared", returned, 0);

    const int n = cmd.bDriveNumber;
    if (h.kind == HandleKind::PhysicalDrive && n != h.target)
        return Finish(r, Outcome::Refused,
                      "bDriveNumber " + NumberText(n) + " on the device of drive " + NumberText(h.target), returned, 0);
    r.drive = n;
    const BYTE head = static_cast<BYTE>(0xA0 | ((n & 1) << 4));
    if (cmd.irDriveRegs.bDriveHeadReg != head)
        return Finish(r, Outcome::Refused,
                      "bDriveHeadReg " + HexText(cmd.irDriveRegs.bDriveHeadReg, 2) + ", needs " + HexText(head, 2) +
                          " for drive " + NumberText(n),
                      returned, 0);
    DriveState* d = FindDrive(n);
    if (d == nullptr || d->drive.nvme) return Finish(r, Outcome::Absent, "no ATA drive " + NumberText(n), returned, 0);
    const SimDrive& drive = d->drive;
    r.poll = d->CurrentPoll();

    const bool identify = command == kIdentifyAta || command == kIdentifyAtapi;
    const bool data = !identify && e.features == kSmartReadData;
    // The version reply marks ATAPI devices among drives 0-3 only: beyond
    // them a caller cannot know, and the device merely aborts.
    const Outcome wrongKind = n < 4 ? Outcome::Refused : Outcome::Aborted;
    if (identify && drive.atapi && command == kIdentifyAta)
        return Finish(r, wrongKind, "IDENTIFY DEVICE (0xEC) to an ATAPI device", returned, 0);
    if (identify && !drive.atapi && command == kIdentifyAtapi)
        return Finish(r, Outcome::Refused, "IDENTIFY PACKET DEVICE (0xA1) to an ATA device", returned, 0);
    if (e.features == kSmartEnable && drive.atapi)
        return Finish(r, wrongKind, "SMART ENABLE OPERATIONS to an ATAPI device", returned, 0);
    // Behind a miniport the storage driver passes neither request on: the
    // miniport answers IDENTIFY, the predict-failure request the data.
    if ((identify || data) && drive.OnMiniport())
        return Finish(r, Outcome::Refused, std::string(e.name) + " to a drive behind a miniport", returned, 0);

    if (data) r.poll = d->dataReads++;
    if (h.kind == HandleKind::SmartVsd && drive.faults.open.Contains(r.poll))
        return Finish(r, Outcome::Faulted, "drive unreachable (open fault) at poll " + NumberText(r.poll), returned, 0);
    if (!identify && drive.atapi) return Finish(r, Outcome::Aborted, "an ATAPI device has no SMART", returned, 0);
    const PollWindows& fault = identify                     ? drive.faults.identify
                               : e.features == kSmartEnable ? drive.faults.enable
                               : data                       ? drive.faults.data
                                                            : drive.faults.thresholds;
    if (fault.Contains(r.poll))
        return Finish(r, Outcome::Faulted, std::string(e.name) + " fault at poll " + NumberText(r.poll), returned, 0);

    BYTE* reply = static_cast<BYTE*>(out);
    std::memset(reply, 0, kSendCmdOutHeader);
    if (e.features == kSmartEnable) return Finish(r, Outcome::Answered, std::string(), returned, kEnableReplyLength);
    Put32(reply, kAtaBlockSize);
    const SimBlock block = identify ? drive.identify : data ? drive.SmartData(r.poll) : drive.thresholds;
    std::memcpy(reply + kSendCmdOutHeader, block.data(), block.size());
    return Finish(r, Outcome::Answered, std::string(), returned, kAtaReplyLength);
}

BOOL Simulator::PredictFailure(const HandleInfo& h, Request& r, void* in, DWORD inSize, void* out, DWORD outSize,
                               DWORD* returned) {
    if (inSize != kPredictLength || outSize != kPredictLength)
        return Finish(r, Outcome::Refused,
                      "lengths " + NumberText(inSize) + "/" + NumberText(outSize) + ", need 516/516", returned, 0);
    if (!AllZero(static_cast<const BYTE*>(in), kPredictLength))
        return Finish(r, Outcome::Refused, "input not cleared", returned, 0);
    DriveState* d = FindDrive(h.target);
    if (d == nullptr) return Finish(r, Outcome::Absent, "drive removed", returned, 0);
    const SimDrive& drive = d->drive;
    r.poll = d->dataReads++;
    if (drive.atapi) return Finish(r, Outcome::Aborted, "an ATAPI device has no SMART", returned, 0);
    if (drive.faults.data.Contains(r.poll))
        return Finish(r, Outcome::Faulted, "data fault at poll " + NumberText(r.poll), returned, 0);
    BYTE* reply = static_cast<BYTE*>(out);
    Put32(reply, drive.predictFailure.Contains(r.poll) ? 1 : 0);
    const SimBlock block = drive.SmartData(r.poll);
    std::memcpy(reply + 4, block.data(), block.size());
    return Finish(r, Outcome::Answered, std::string(), returned, kPredictLength);
}

BOOL Simulator::Geometry(const HandleInfo& h, Request& r, DWORD inSize, void* out, DWORD outSize, DWORD* returned) {
    if (inSize != 0 || outSize != kGeometryLength)
        return Finish(r, Outcome::Refused, "lengths " + NumberText(inSize) + "/" + NumberText(outSize) + ", need 0/40",
                      returned, 0);
    DriveState* d = FindDrive(h.target);
    if (d == nullptr) return Finish(r, Outcome::Absent, "drive removed", returned, 0);
    r.poll = d->CurrentPoll();
    // A translated geometry of 255 heads and 63 sectors, as disks report it.
    const ULONGLONG size = d->drive.DiskSize();
    BYTE* reply = static_cast<BYTE*>(out);
    std::memset(reply, 0, kGeometryLength);
    Put64(reply + 0, size / (255ULL * 63 * 512));
    Put32(reply + 8, FixedMedia);
    Put32(reply + 12, 255);
    Put32(reply + 16, 63);
    Put32(reply + 20, 512);
    Put64(reply + 24, size);
    return Finish(r, Outcome::Answered, std::string(), returned, kGeometryLength);
}

BOOL Simulator::Miniport(const HandleInfo& h, Request& r, void* in, DWORD inSize, void* out, DWORD outSize,
                         DWORD* returned) {
    if (inSize != kMiniportLength || outSize != kMiniportLength)
        return Finish(r, Outcome::Refused,
                      "lengths " + NumberText(inSize) + "/" + NumberText(outSize) + ", need 564/564", returned, 0);
    const BYTE* request = static_cast<const BYTE*>(in);
    const std::string mismatch = MiniportMismatch(request);
    if (!mismatch.empty()) return Finish(r, Outcome::Refused, mismatch, returned, 0);
    const WORD device = static_cast<WORD>(request[kMiniportDevice] | (request[kMiniportDevice + 1] << 8));

    DriveState* d = nullptr;
    for (auto& entry : drives_)
        if (entry.second.drive.miniportPort == h.target && entry.second.drive.miniportDevice == device)
            d = &entry.second;
    if (d == nullptr)
        return Finish(r, Outcome::Absent,
                      "no drive at device " + NumberText(device) + " of port " + NumberText(h.target), returned, 0);
    r.drive = d->drive.number;
    r.poll = d->CurrentPoll();
    if (d->drive.atapi) return Finish(r, Outcome::Aborted, "an ATAPI device answers no IDENTIFY DEVICE", returned, 0);
    if (d->drive.faults.identify.Contains(r.poll))
        return Finish(r, Outcome::Faulted, "IDENTIFY fault at poll " + NumberText(r.poll), returned, 0);
    BYTE* reply = static_cast<BYTE*>(out);
    if (reply != request) std::memmove(reply, request, kMiniportLength);
    Put32(reply + 20, 0);
    std::memcpy(reply + kMiniportIdentify, d->drive.identify.data(), d->drive.identify.size());
    return Finish(r, Outcome::Answered, std::string(), returned, kMiniportLength);
}

BOOL Simulator::Extents(const HandleInfo& h, Request& r, DWORD inSize, void* out, DWORD outSize, DWORD* returned) {
    if (inSize != 0)
        return Finish(r, Outcome::Refused, "input length " + NumberText(inSize) + ", needs 0", returned, 0);
    if (outSize < kExtentsMinimum)
        return Finish(r, Outcome::Refused, "output length " + NumberText(outSize) + ", needs at least 32", returned, 0);
    const auto it = volumes_.find(static_cast<char>(h.target));
    if (it == volumes_.end()) return Finish(r, Outcome::Absent, "volume removed", returned, 0);
    const SimVolume& v = it->second;
    const DWORD count = static_cast<DWORD>(v.disks.size());
    const DWORD needed = 8 + 24 * count;
    BYTE* reply = static_cast<BYTE*>(out);
    const DWORD cleared = needed < kExtentsMinimum ? kExtentsMinimum : needed;
    std::memset(reply, 0, outSize < cleared ? outSize : cleared);
    Put32(reply, count);
    const ULONGLONG share = count == 0 ? 0 : v.totalBytes / count;
    for (DWORD k = 0; k < count && 8 + 24 * (k + 1) <= outSize; ++k) {
        BYTE* extent = reply + 8 + 24 * k;
        Put32(extent, v.disks[k]);
        Put64(extent + 8, kFirstExtentOffset);
        Put64(extent + 16, k + 1 == count ? v.totalBytes - share * (count - 1) : share);
    }
    // Like the volume manager: the count and what fits, then "more data".
    if (outSize < needed)
        return Finish(r, Outcome::Aborted, "reply needs " + NumberText(needed) + " bytes", returned, 0);
    return Finish(r, Outcome::Answered, std::string(), returned, needed);
}
