// veldakor-query's reading of a status reply, and every text it makes of
// one, over any datagram.
#include <cstdint>
#include <string>
#include <vector>

#include "statusreply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> reply(data, data + size);
    // A fuzzer's inputs are short: a reply of the right length with the
    // input laid over its start reaches the record readers too.
    if (size < kReplySize && size > 0 && (data[0] & 1)) reply.resize(kReplySize);
    std::vector<DriveRecord> drives;
    std::string error;
    if (!ParseStatusReply(reply, &drives, &error)) return 0;
    for (const DriveRecord& drive : drives) DriveLine(drive);
    DrivesJson(drives);
    WorstHealth(drives);
    return 0;
}
