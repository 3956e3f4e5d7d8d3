// The simulator's answers to any IOCTL_STORAGE_QUERY_PROPERTY request: the
// input gives the query bytes and the output size. Each request must be
// answered within the output buffer (allocated to exactly its size) or
// refused with the error Windows gives, never both, never neither.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "drive/nvmeblocks.h"
#include "sim/blockbuilder.h"
#include "sim/simulator.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

Simulator& Drives() {
    static Simulator* sim = [] {
        Simulator* s = new Simulator();
        SimDrive nvme;
        nvme.number = 0;
        nvme.nvme = true;
        nvme.nvmeIdentify = BuildNvmeIdentify("FUZZED NVME", "S1", "F1", 1ULL << 40);
        nvme.nvmeHealth = BuildNvmeHealth({40, 100, 10, 0, 1, 2, 3, 4, 5, 6, 7, {40, 41}});
        s->AddDrive(nvme);
        s->SetLogLimit(4);
        return s;
    }();
    return *sim;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // Two bytes of output size (up to 8 KiB), the rest is the query.
    const DWORD outSize = (data[0] | (data[1] << 8)) & 0x1FFF;
    data += 2;
    size -= 2;
    Simulator& sim = Drives();
    HANDLE device = sim.Open("\\\\.\\PHYSICALDRIVE0", 0, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0);
    Require(device != INVALID_HANDLE_VALUE);
    std::vector<BYTE> in(data, data + size);
    std::unique_ptr<BYTE[]> out(new BYTE[outSize ? outSize : 1]);
    DWORD returned = 0;
    const BOOL ok = sim.Control(device, IOCTL_STORAGE_QUERY_PROPERTY, size ? in.data() : nullptr,
                                static_cast<DWORD>(size), outSize ? out.get() : nullptr, outSize, &returned);
    const Simulator::Request last = sim.Requests().back();
    Require(ok ? last.error == 0 && returned <= outSize : last.error != 0 && !last.reason.empty());
    sim.Close(device);
    Require(sim.OpenHandles() == 0);
    return 0;
}
