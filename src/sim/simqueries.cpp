// How the simulated drives answer IOCTL_STORAGE_QUERY_PROPERTY: the device
// property of every drive (its bus type), and for an NVMe drive the Identify
// Controller data and the SMART / Health Information log, with the layouts
// and the errors Microsoft documents for the storage stack.
#include <cstring>

#include "drive/nvmeblocks.h"
#include "sim/simchecks.h"
#include "sim/simulator.h"

namespace {

const DWORD kQueryLength = sizeof(STORAGE_PROPERTY_QUERY);
const DWORD kQueryHeader = offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters);
const DWORD kProtocolLength = sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA);
const DWORD kDescriptorLength = sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR);
const DWORD kIdentifyController = 1;
const DWORD kHealthLog = 2;

void Put32(BYTE* p, DWORD v) {
    for (int k = 0; k < 4; ++k) p[k] = static_cast<BYTE>(v >> (8 * k));
}

// The descriptor's strings: the identify text as stored, blanks at the end
// removed, NUL-terminated.
std::string IdentifyText(const SimNvmeIdentify& identify, DWORD offset, DWORD length) {
    std::string text(reinterpret_cast<const char*>(identify.data()) + offset, length);
    const size_t end = text.find_last_not_of(std::string(" \0", 2));
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

std::string AtaText(const SimBlock& identify, size_t word, size_t length) {
    std::string text(length, ' ');
    for (size_t k = 0; k < length; ++k) text[k] = static_cast<char>(identify[2 * word + (k ^ 1)]);
    const size_t end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

}  // namespace

BOOL Simulator::PropertyQuery(const HandleInfo& h, Request& r, void* in, DWORD inSize, void* out, DWORD outSize,
                              DWORD* returned) {
    if (inSize < kQueryLength)
        return Fail(r, Outcome::Refused, kErrorInvalidParameter,
                    "input length " + NumberText(inSize) + ", needs at least 12", returned);
    const BYTE* query = static_cast<const BYTE*>(in);
    const DWORD property = Get32(query);
    const DWORD type = Get32(query + 4);
    if (type != PropertyStandardQuery)
        return Fail(r, Outcome::Refused, kErrorInvalidParameter, "query type " + NumberText(type) + ", not standard",
                    returned);
    DriveState* d = FindDrive(h.target);
    if (d == nullptr) return Fail(r, Outcome::Absent, kErrorFileNotFound, "drive removed", returned);
    r.poll = d->CurrentPoll();
    if (property == StorageDeviceProperty) return DeviceProperty(*d, r, out, outSize, returned);
    if (property == StorageAdapterProtocolSpecificProperty || property == StorageDeviceProtocolSpecificProperty) {
        if (inSize < kQueryHeader + kProtocolLength)
            return Fail(r, Outcome::Refused, kErrorInvalidParameter,
                        "input length " + NumberText(inSize) + ", needs at least 48 with the protocol data", returned);
        return ProtocolData(*d, r, property, query + kQueryHeader, out, outSize, returned);
    }
    return Fail(r, Outcome::Refused, kErrorNotSupported, "property " + NumberText(property) + " is not one asked here",
                returned);
}

BOOL Simulator::DeviceProperty(const DriveState& d, Request& r, void* out, DWORD outSize, DWORD* returned) {
    if (outSize < sizeof(STORAGE_DESCRIPTOR_HEADER))
        return Fail(r, Outcome::Refused, kErrorInsufficientBuffer,
                    "output length " + NumberText(outSize) + ", needs at least 8", returned);
    const SimDrive& drive = d.drive;
    // The descriptor, then the product, revision and serial strings.
    std::string product, revision, serial;
    STORAGE_BUS_TYPE bus;
    if (drive.nvme) {
        product = IdentifyText(drive.nvmeIdentify, kNvmeModel, kNvmeModelLength);
        revision = IdentifyText(drive.nvmeIdentify, kNvmeFirmware, kNvmeFirmwareLength);
        serial = IdentifyText(drive.nvmeIdentify, kNvmeSerial, kNvmeSerialLength);
        bus = BusTypeNvme;
    } else {
        product = AtaText(drive.identify, 27, 40);
        revision = AtaText(drive.identify, 23, 8);
        serial = AtaText(drive.identify, 10, 20);
        bus = drive.atapi ? BusTypeAtapi : BusTypeSata;
    }
    std::vector<BYTE> reply(sizeof(STORAGE_DEVICE_DESCRIPTOR), 0);
    auto add = [&reply](const std::string& text) {
        const DWORD at = static_cast<DWORD>(reply.size());
        reply.insert(reply.end(), text.begin(), text.end());
        reply.push_back(0);
        return at;
    };
    const DWORD productAt = add(product);
    const DWORD revisionAt = add(revision);
    const DWORD serialAt = add(serial);
    BYTE* p = reply.data();
    Put32(p + 0, sizeof(STORAGE_DEVICE_DESCRIPTOR));
    Put32(p + 4, static_cast<DWORD>(reply.size()));
    p[8] = 0;  // a direct-access device
    p[11] = 1;  // command queueing
    Put32(p + offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset), productAt);
    Put32(p + offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductRevisionOffset), revisionAt);
    Put32(p + offsetof(STORAGE_DEVICE_DESCRIPTOR, SerialNumberOffset), serialAt);
    Put32(p + offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType), bus);
    // A buffer too small for all of it gets what fits, its Size telling how
    // much there is.
    const DWORD written = outSize < reply.size() ? outSize : static_cast<DWORD>(reply.size());
    std::memcpy(out, reply.data(), written);
    return Finish(r, Outcome::Answered, std::string(), returned, written);
}

BOOL Simulator::ProtocolData(DriveState& d, Request& r, DWORD property, const BYTE* in, void* out, DWORD outSize,
                             DWORD* returned) {
    // Read field by field: the caller may put any value where the
    // structure has an enumeration.
    struct Asked {
        DWORD ProtocolType, DataType, ProtocolDataRequestValue, ProtocolDataRequestSubValue, ProtocolDataOffset,
            ProtocolDataLength, FixedProtocolReturnData, ProtocolDataRequestSubValue2, ProtocolDataRequestSubValue3,
            ProtocolDataRequestSubValue4;
    } asked;
    static_assert(sizeof asked == kProtocolLength, "the protocol block's ten fields");
    std::memcpy(&asked, in, sizeof asked);
    const SimDrive& drive = d.drive;
    if (!drive.nvme)
        return Fail(r, Outcome::Aborted, kErrorNotSupported, "protocol data of a drive that is not NVMe", returned);
    if (asked.ProtocolType != ProtocolTypeNvme)
        return Fail(r, Outcome::Refused, kErrorInvalidParameter,
                    "protocol type " + NumberText(asked.ProtocolType) + ", needs NVMe (3)", returned);
    const bool identify = property == StorageAdapterProtocolSpecificProperty;
    const DWORD dataType = identify ? NVMeDataTypeIdentify : NVMeDataTypeLogPage;
    const DWORD request = identify ? kIdentifyController : kHealthLog;
    const DWORD size = identify ? kNvmeIdentifySize : kNvmeHealthSize;
    const char* what = identify ? "the adapter property (Identify Controller)" : "the device property (health log)";
    if (asked.DataType != dataType)
        return Fail(r, Outcome::Refused, kErrorInvalidParameter,
                    "data type " + NumberText(asked.DataType) + " for " + what + ", needs " + NumberText(dataType),
                    returned);
    if (asked.ProtocolDataRequestValue != request)
        return Fail(r, Outcome::Refused, kErrorInvalidParameter,
                    "request value " + NumberText(asked.ProtocolDataRequestValue) + " for " + what + ", needs " +
                        NumberText(request),
                    returned);
    // Windows 10 1809 drivers take the sub-value as an offset into the page.
    if (asked.ProtocolDataRequestSubValue != 0 || asked.ProtocolDataRequestSubValue2 != 0 ||
        asked.ProtocolDataRequestSubValue3 != 0 || asked.ProtocolDataRequestSubValue4 != 0)
        return Fail(r, Outcome::Refused, kErrorInvalidParameter, "a sub-value that is not 0", returned);
    if (asked.ProtocolDataOffset < kProtocolLength)
        return Fail(r, Outcome::Refused, kErrorInvalidParameter,
                    "data offset " + NumberText(asked.ProtocolDataOffset) + ", needs at least 40", returned);
    if (asked.ProtocolDataLength < size)
        return Fail(r, Outcome::Refused, kErrorInvalidParameter,
                    "data length " + NumberText(asked.ProtocolDataLength) + ", needs " + NumberText(size), returned);
    const DWORD dataAt = kQueryHeader + asked.ProtocolDataOffset;
    if (asked.ProtocolDataOffset > 0xFFFF || outSize < dataAt + size)
        return Fail(r, Outcome::Refused, kErrorInsufficientBuffer,
                    "output length " + NumberText(outSize) + ", needs " + NumberText(dataAt + size), returned);

    if (!identify) r.poll = d.dataReads++;
    const PollWindows& fault = identify ? drive.faults.identify : drive.faults.data;
    if (fault.Contains(r.poll))
        return Fail(r, Outcome::Faulted, kErrorGenFailure,
                    std::string(identify ? "identify" : "health log") + " fault at poll " + NumberText(r.poll),
                    returned);

    BYTE* reply = static_cast<BYTE*>(out);
    std::memset(reply, 0, dataAt);
    Put32(reply + 0, kDescriptorLength);
    Put32(reply + 4, kDescriptorLength);
    Asked answer = asked;
    answer.ProtocolDataLength = size;
    answer.FixedProtocolReturnData = 0;
    std::memcpy(reply + kQueryHeader, &answer, sizeof answer);
    if (identify) {
        std::memcpy(reply + dataAt, drive.nvmeIdentify.data(), size);
    } else {
        const SimBlock health = drive.NvmeHealth(r.poll);
        std::memcpy(reply + dataAt, health.data(), size);
    }
    return Finish(r, Outcome::Answered, std::string(), returned, dataAt + size);
}
