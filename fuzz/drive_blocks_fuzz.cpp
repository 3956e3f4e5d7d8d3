// The ATA block decoders, the evaluation and the list rows over any three
// blocks: IDENTIFY, SMART data and thresholds, each in an allocation of
// exactly its size, so that a read past a block is caught.
#include <cstdint>
#include <cstring>
#include <memory>

#include "drive/atablocks.h"
#include "drive/basiclist.h"
#include "drive/summaryline.h"
#include "smart/attributerows.h"
#include "smart/evaluation.h"
#include "start_settings.h"

namespace {

std::unique_ptr<BYTE[]> Block(const uint8_t*& data, size_t& size) {
    std::unique_ptr<BYTE[]> block(new BYTE[kAtaBlockSize]());
    const size_t taken = size < kAtaBlockSize ? size : kAtaBlockSize;
    if (taken != 0) std::memcpy(block.get(), data, taken);
    data += taken;
    size -= taken;
    return block;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const AppSettings& settings = StartSettings();
    // The first byte picks the temperature attribute and whether the
    // thresholds came.
    const BYTE choice = size != 0 ? data[0] : 0;
    if (size != 0) {
        ++data;
        --size;
    }
    std::unique_ptr<BYTE[]> identify = Block(data, size);
    std::unique_ptr<BYTE[]> smart = Block(data, size);
    std::unique_ptr<BYTE[]> thresholds = Block(data, size);

    std::unique_ptr<DriveTable> table(new DriveTable());
    table->Clear();
    DriveInfo& drive = table->slots[0];
    drive.present = 1;
    drive.identifyResult = identify.get();
    drive.io.pIdentify = identify.get();
    drive.dataResult = smart.get() + 2;
    drive.io.pDA = smart.get() + 2;
    drive.thresholdResult = (choice & 1) ? thresholds.get() + 2 : nullptr;
    drive.io.pAT = drive.thresholdResult;
    drive.io.hDevice = INVALID_HANDLE_VALUE;  // open, but no geometry to ask for
    drive.tempAttrId = (choice & 2) ? static_cast<BYTE>(choice) : 0xC2;
    RefreshDrive(*table, 0, settings);

    BasicRow rows[kBasicRows];
    FillBasicRows(drive, choice & 4, rows);
    char line[kSummaryLineSize];
    SummaryLine(drive, line);
    char capacity[32];
    FormatCapacity(identify.get(), capacity);
    TransferModeName(identify.get());
    drive.io.hDevice = nullptr;
    return 0;
}
