#include "sim/demoset.h"

#include "sim/blockbuilder.h"

namespace {

const WORD kPrefail = 0x0033;   // CR OC EC SP
const WORD kAdvisory = 0x0032;  // OC EC SP
const WORD kSata300 = 0x0004;
const WORD kSata600 = 0x0008;

// A hard disk's table with the given defect counts, hours and temperature.
SimBlock DiskTable(ULONGLONG reallocated, ULONGLONG events, ULONGLONG pending, ULONGLONG uncorrectable,
                   ULONGLONG hours, BYTE temperature) {
    const BYTE reallocatedValue = reallocated ? 194 : 200;
    return BuildAttributeTable({
        {0x01, 200, 200, 0, kPrefail},
        {0x03, 175, 172, 4225, 0x0027},
        {0x04, 99, 99, 1466, kAdvisory},
        {0x05, reallocatedValue, reallocatedValue, reallocated, kPrefail},
        {0x07, 200, 200, 0, 0x002E},
        {0x09, 72, 72, hours, kAdvisory},
        {0x0A, 100, 100, 0, kAdvisory},
        {0x0C, 99, 99, 1421, kAdvisory},
        {0xC0, 200, 200, 88, kAdvisory},
        {0xC1, 196, 196, 14630, kAdvisory},
        {0xC2, 112, 98, temperature, 0x0022},
        {0xC4, 200, 200, events, kAdvisory},
        {0xC5, 200, 200, pending, kAdvisory},
        {0xC6, 200, 200, uncorrectable, 0x0030},
        {0xC7, 200, 200, 0, kAdvisory},
        {0xC8, 200, 200, 0, 0x0008},
    });
}

SimBlock DiskThresholds() {
    return BuildThresholds({{0x01, 51}, {0x03, 21}, {0x04, 0}, {0x05, 140}, {0x07, 0}, {0x09, 0}, {0x0A, 0},
                            {0x0C, 0}, {0xC0, 0}, {0xC1, 0}, {0xC2, 0}, {0xC4, 0}, {0xC5, 0}, {0xC6, 0},
                            {0xC7, 0}, {0xC8, 0}});
}

SimDrive HealthySsd() {
    SimDrive drive;
    drive.number = 0;
    drive.identify = BuildIdentify("VELDAKOR DEMO SSD 240GB", "VKD0000000001", "1.0.2", 468862128, kSata600);
    drive.smart = BuildAttributeTable({
        {0x05, 100, 100, 0, kPrefail},
        {0x09, 98, 98, 8321, kAdvisory},
        {0x0C, 99, 99, 913, kAdvisory},
        {0xAB, 100, 100, 0, kAdvisory},
        {0xAC, 100, 100, 0, kAdvisory},
        {0xAD, 96, 96, 118, kAdvisory},
        {0xAE, 99, 99, 41, kAdvisory},
        {0xB1, 96, 96, 118, 0x0013},
        {0xBB, 100, 100, 0, kAdvisory},
        {0xC2, 67, 55, 33, 0x0022},
        {0xC4, 100, 100, 0, kAdvisory},
        {0xC5, 100, 100, 0, kAdvisory},
        {0xC6, 100, 100, 0, 0x0030},
        {0xC7, 100, 100, 0, kAdvisory},
        {0xE7, 96, 96, 4, 0x0013},
        {0xF1, 99, 99, 12817405862ULL, kAdvisory},
    });
    drive.thresholds = BuildThresholds({{0x05, 10}, {0x09, 0}, {0x0C, 0}, {0xAB, 10}, {0xAC, 10}, {0xAD, 0},
                                        {0xAE, 0}, {0xB1, 5}, {0xBB, 0}, {0xC2, 0}, {0xC4, 0}, {0xC5, 0},
                                        {0xC6, 0}, {0xC7, 0}, {0xE7, 10}, {0xF1, 0}});
    return drive;
}

SimDrive Disk(int number, const char* model, const char* serial, const SimBlock& table) {
    SimDrive drive;
    drive.number = number;
    drive.identify = BuildIdentify(model, serial, "01.01A01", 1953525168, kSata300);
    drive.smart = table;
    drive.thresholds = DiskThresholds();
    return drive;
}

// The boot drive of most PCs sold now: a healthy NVMe drive, a little worn.
SimDrive NvmeSsd() {
    SimDrive drive;
    drive.number = 4;
    drive.nvme = true;
    drive.nvmeIdentify = BuildNvmeIdentify("VELDAKOR DEMO NVME 1TB", "VKD4000000005", "3B2QGXA7", 1000204886016ULL);
    drive.nvmeHealth = BuildNvmeHealth({41, 100, 10, 3, 21536911, 30817444, 301755260, 412986143, 1127, 6210, 58, {41, 48}});
    drive.temperatureCycle = {41, 43, 46, 44, 42};
    return drive;
}

}  // namespace

void AddDemoDrives(Simulator& simulator) {
    simulator.AddDrive(HealthySsd());
    simulator.AddDrive(Disk(1, "VELDAKOR DEMO HDD 1TB REALLOC", "VKD1000000002", DiskTable(24, 0, 0, 0, 21843, 36)));
    simulator.AddDrive(Disk(2, "VELDAKOR DEMO HDD 1TB PENDING", "VKD1000000003", DiskTable(0, 0, 3, 1, 30512, 38)));
    SimDrive warm = Disk(3, "VELDAKOR DEMO HDD 1TB WARM", "VKD1000000004", DiskTable(0, 0, 0, 0, 5120, 38));
    warm.temperatureCycle = {38, 40, 42, 44, 46, 48, 49, 47, 45, 43, 41, 39};
    simulator.AddDrive(warm);
    simulator.AddDrive(NvmeSsd());

    simulator.AddVolume(SimVolumeOnDisk('C', 239372136448ULL, 81234567168ULL, 0));
    simulator.AddVolume(SimVolumeOnDisk('D', 1000202039296ULL, 402345678848ULL, 1));
    simulator.AddVolume(SimVolumeOnDisk('E', 1000202039296ULL, 900123456512ULL, 2));
    simulator.AddVolume(SimVolumeOnDisk('F', 1000202039296ULL, 12345678848ULL, 3));
    simulator.AddVolume(SimVolumeOnDisk('G', 1000204886016ULL, 604317564928ULL, 4));
}
