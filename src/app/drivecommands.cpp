#include <string>
#include <vector>

#include "app/appstate.h"
#include "app/commandgroups.h"
#include "app/commandids.h"
#include "app/messages.h"
#include "app/monitor.h"
#include "app/trayalert.h"
#include "base/msgbox.h"
#include "drive/probe.h"
#include "settings/appsettings.h"
#include "settings/settingsfile.h"
#include "smart/drivelocks.h"
#include "smart/dumpfile.h"
#include "smart/limits.h"
#include "smart/summaries.h"
#include "ui/header.h"
#include "ui/pages.h"

namespace {

// The commands on the shown drive do nothing while there is none.
bool HasCurrentDrive() { return pages.currentPage >= 0 && pages.currentPage < pages.PageCount(); }

DWORD CurrentSlot() { return pages.Slot(pages.currentPage); }

void MoveLimits(HWND window, const char* question, void (*move)(DriveTable&, DWORD)) {
    if (!HasCurrentDrive()) return;
    if (AskQuestionBox(window, question)) {
        CritSectLock lock(updateLock);
        move(*pages.drives, CurrentSlot());
    }
    RefreshAllPages(pages, true);
    AlertAfterLimits(pages.currentPage);
}

// One box for all the files that could not be written, so that a folder
// that takes nothing does not raise a box per drive.
void Dump(bool all) {
    if (!HasCurrentDrive()) return;
    std::vector<std::string> failed;
    const int first = all ? 0 : pages.currentPage;
    const int last = all ? pages.PageCount() - 1 : pages.currentPage;
    for (int k = first; k <= last; ++k) {
        const std::vector<std::string> names = DumpDrive(*pages.drives, pages.Slot(k));
        failed.insert(failed.end(), names.begin(), names.end());
    }
    if (failed.empty()) return;
    std::string text = kDumpFailed;
    for (const std::string& name : failed) text += "\r\n" + name;
    ShowErrorBox(text.c_str());
}

LONG DebugStatusOf(WORD command) {
    switch (command) {
        case kCommandDebugGood: return HealthGood;
        case kCommandDebugCaution: return HealthCaution;
        case kCommandDebugDanger: return HealthDanger;
        default: return HealthError;
    }
}

void SetDebugState(WORD command) {
    if (!HasCurrentDrive()) return;
    DriveInfo& drive = pages.Drive(pages.currentPage);
    if (command == kCommandDebugHot) {
        // The temperature is part of the status record: it is replaced whole,
        // as an evaluation replaces it, so that no reply carries half of it.
        DriveSummary next = drive.summary;
        next.temperature = static_cast<signed char>(pages.settings->Temperature.Threshold + 1);
        PublishSummary(drive, next);
    } else {
        drive.status = DebugStatusOf(command);
        SetTabImage(pages, pages.currentPage);
        ShowWorstInTray();
    }
    DrawPage(pages, pages.currentPage);
}

}  // namespace

bool RunDriveCommand(HWND window, WORD command) {
    switch (command) {
        case kCommandRefreshFromMonitor:
            MonitorRefreshTaken();
            RefreshAllPages(pages, false);
            AlertAfterPoll();
            MonitorRefreshShown();
            return true;
        case kCommandRefresh: {
            {
                CritSectLock lock(updateLock);
                UpdateDevices(*pages.drives);
            }
            RefreshAllPages(pages, false);
            AlertAfterPoll();
            return true;
        }
        case kCommandHideIdentity:
            pages.drives->hideIdentity = !pages.drives->hideIdentity;
            RefreshAllPages(pages, true);
            ShowWorstInTray();
            return true;
        case kCommandLimitsToCurrent:
            MoveLimits(window, kLimitsToCurrentQuestion, SetLimitsToCurrent);
            return true;
        case kCommandLimitsToZero:
            MoveLimits(window, kLimitsToZeroQuestion, ResetLimits);
            return true;
        case kCommandDumpShown:
        case kCommandDumpAll:
            Dump(command == kCommandDumpAll);
            return true;
        case kCommandDebugGood:
        case kCommandDebugCaution:
        case kCommandDebugDanger:
        case kCommandDebugError:
        case kCommandDebugHot:
            SetDebugState(command);
            return true;
        default:
            return false;
    }
}
