// The NVMe decoders, the evaluation and both lists over any Identify
// Controller data and health log, each in an allocation of exactly its size,
// so that a read past a block is caught.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "drive/basiclist.h"
#include "drive/nvmeblocks.h"
#include "drive/summaryline.h"
#include "smart/attributerows.h"
#include "smart/evaluation.h"
#include "start_settings.h"

namespace {

std::unique_ptr<BYTE[]> Block(const uint8_t*& data, size_t& size, DWORD length) {
    std::unique_ptr<BYTE[]> block(new BYTE[length]());
    const size_t taken = size < length ? size : length;
    if (taken != 0) std::memcpy(block.get(), data, taken);
    data += taken;
    size -= taken;
    return block;
}

void Require(bool condition) {
    if (!condition) std::abort();
}

void RequireTerminated(const char* text, size_t size) { Require(strnlen(text, size) < size); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const AppSettings& settings = StartSettings();
    // The first byte picks the limits and whether identity is hidden.
    const BYTE choice = size != 0 ? data[0] : 0;
    if (size != 0) {
        ++data;
        --size;
    }
    // The health log first: short inputs reach its fields.
    std::unique_ptr<BYTE[]> health = Block(data, size, kNvmeHealthSize);
    std::unique_ptr<BYTE[]> identify = Block(data, size, kNvmeIdentifySize);

    std::unique_ptr<DriveTable> table(new DriveTable());
    table->Clear();
    DriveInfo& drive = table->slots[0];
    drive.present = 1;
    drive.protocol = ProtocolNvme;
    drive.nvmeIdentifyResult = identify.get();
    drive.nvmeHealthResult = health.get();
    drive.limit05 = choice & 0x70;
    drive.limitC6 = choice & 0x03;
    RefreshDrive(*table, 0, settings);
    Require(drive.summary.raw05 >= 0 && drive.summary.raw05 <= 100);
    Require(drive.summary.rawC6 >= 0 && drive.summary.powerOnHours >= 0);

    AttributeRow rows[kAttributeEntries];
    const DWORD count = FillAttributeRows(drive, choice & 4, rows);
    Require(count >= 17 && count <= 17 + kNvmeSensorCount);
    for (DWORD k = 0; k < count; ++k) RequireTerminated(rows[k].raw, sizeof rows[k].raw);
    BasicRow basic[kBasicRows];
    const DWORD basicCount = FillBasicRows(drive, choice & 8, basic);
    for (DWORD k = 0; k < basicCount; ++k) RequireTerminated(basic[k].value, sizeof basic[k].value);
    char line[kSummaryLineSize];
    SummaryLine(drive, line);
    RequireTerminated(line, sizeof line);
    return 0;
}
