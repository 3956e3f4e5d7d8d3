#include "smart/driveinfo.h"

void DriveTable::Clear() {
    for (DriveInfo& drive : slots) {
        drive.tempHistoryCount = 0;
        drive.present = 0;
        drive.reverseStrings = 0;
        drive.miniportAddr = 0xFFFFFFFF;
        drive.protocol = ProtocolAta;
        drive.criticalWarning = 0;
        drive.summary = DriveSummary();
    }
}
