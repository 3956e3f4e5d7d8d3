#include "app/trayalert.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/appstate.h"
#include "app/messages.h"
#include "base/widetext.h"
#include "res/resource.h"
#include "settings/appsettings.h"
#include "smart/healthcauses.h"
#include "ui/pages.h"

namespace {

// What the shell shows of a balloon's text.
const size_t kBalloonTextLength = 255;

// What the last evaluation of fresh data found on a page.
struct PageWatch {
    LONG status;
    // Hot since it became so, until it has cooled below the threshold: a
    // drive that sways around the threshold is news once.
    bool hot;
};

struct News {
    int page;
    LONG status;
    bool hot;  // became hot, rather than worse
};

struct AlertState {
    PageWatch watches[kDriveSlots];
    UINT shownIndex;
    std::wstring shownTip;
    int balloonPage;
};

AlertState state = {};

bool Enabled() { return appSettings.Alert.Enable != 0; }

LONG StatusOf(int k) {
    const LONG status = pages.Drive(k).status;
    return status >= HealthGood && status <= HealthError ? status : static_cast<LONG>(HealthError);
}

signed char TemperatureOf(int k) { return pages.Drive(k).summary.temperature; }
bool IsHot(int k) { return TemperatureOf(k) > appSettings.Temperature.Threshold; }
bool HasCooled(int k) { return TemperatureOf(k) < appSettings.Temperature.Threshold; }

HICON SmallIcon(int id) {
    return static_cast<HICON>(LoadImageW(app.instance, MAKEINTRESOURCEW(id), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
}

// "01 (D:)" and a word after it.
std::wstring DriveLine(int k, const char* word) {
    char caption[kTabCaptionSize];
    TabCaption(pages.Slot(k), pages.Drive(k).summary.driveLetters, caption);
    return WideFromAnsi(caption) + L" " + WideFromCp932(word);
}

void ShowWorst() {
    int worst = -1;
    for (int k = 0; k < pages.PageCount(); ++k) {
        if (worst < 0 || StatusOf(k) > StatusOf(worst)) worst = k;
    }
    const LONG status = worst < 0 ? static_cast<LONG>(HealthGood) : StatusOf(worst);
    // The program's own tip while all are good; the worst drive in a line of its own.
    const std::wstring tip = status == HealthGood ? std::wstring()
                                                  : WideFromCp932(kWindowCaption) + L"\n" +
                                                        DriveLine(worst, kStateWords[status]);
    const UINT index = static_cast<UINT>(status);
    if (index == state.shownIndex && tip == state.shownTip) return;
    state.shownIndex = index;
    state.shownTip = tip;
    trayIcon.Change(index, tip.c_str());
}

// The drive with its new state and model, then what made it so.
std::vector<std::wstring> NewsLines(const News& news) {
    const DriveInfo& drive = pages.Drive(news.page);
    std::vector<std::wstring> lines;
    const std::wstring model = L" : " + WideFromAnsi(drive.summary.model);
    if (news.hot) {
        lines.push_back(DriveLine(news.page, kHotWord) + model);
        char temperature[kSettingsLabelSize + kSettingsUnitSize + 16];
        std::snprintf(temperature, sizeof temperature, "%s : %d%s", appSettings.Labels.Temperature,
                      drive.summary.temperature, appSettings.Units.Temperature);
        lines.push_back(WideFromAnsi(temperature));
    } else {
        lines.push_back(DriveLine(news.page, kStateWords[news.status]) + model);
        for (const std::string& cause : HealthCauses(drive, appSettings)) lines.push_back(WideFromAnsi(cause.c_str()));
    }
    return lines;
}

// As many whole lines as the balloon holds; a first line too long for it
// is cut by the tray icon.
std::wstring BalloonText(const std::vector<News>& news) {
    std::wstring text;
    for (const News& item : news) {
        for (const std::wstring& line : NewsLines(item)) {
            const std::wstring next = text.empty() ? line : text + L"\n" + line;
            if (!text.empty() && next.size() > kBalloonTextLength) return text;
            text = next;
        }
    }
    return text;
}

// The worst news first, a drive that got worse before one that got hot.
void ShowBalloon(std::vector<News> news) {
    if (news.empty()) return;
    std::stable_sort(news.begin(), news.end(), [](const News& a, const News& b) {
        if (a.hot != b.hot) return !a.hot;
        return !a.hot && a.status > b.status;
    });
    const News& first = news.front();
    state.balloonPage = first.page;
    const DWORD icon = !first.hot && first.status >= HealthDanger ? NIIF_ERROR : NIIF_WARNING;
    const char* title = first.hot ? kHotBalloonTitle : kWorseBalloonTitle;
    trayIcon.Balloon(WideFromCp932(title).c_str(), BalloonText(news).c_str(), icon);
}

}  // namespace

UINT TrayIconCount() { return Enabled() ? static_cast<UINT>(kStatusIconCount) : 1u; }

void AddTrayIcons() {
    trayIcon.AddIcon(SmallIcon(IDI_SMALL), FALSE);
    if (!Enabled()) return;
    for (int status = HealthCaution; status <= HealthError; ++status) {
        // The external icon belongs to the drawing resources, which replace
        // it when the icons are switched: the tray keeps a copy.
        HICON external = appSettings.Icon.Enable ? drawing.externalIcons[status] : nullptr;
        if (external != nullptr) {
            trayIcon.AddIcon(CopyIcon(external), TRUE);
        } else {
            trayIcon.AddIcon(SmallIcon(IDI_STATUS_FIRST + status), FALSE);
        }
    }
}

void ReloadTrayIcons() {
    if (!Enabled()) return;
    trayIcon.Refill();
    AddTrayIcons();
    if (state.shownIndex != HealthGood) trayIcon.Change(state.shownIndex, state.shownTip.c_str());
}

void StartTrayAlert() {
    state.shownIndex = HealthGood;
    state.shownTip.clear();
    state.balloonPage = -1;
    if (!Enabled()) return;
    for (int k = 0; k < pages.PageCount(); ++k) state.watches[k] = PageWatch{StatusOf(k), IsHot(k)};
    ShowWorst();
}

void AlertAfterPoll() {
    if (!Enabled()) return;
    std::vector<News> news;
    for (int k = 0; k < pages.PageCount(); ++k) {
        PageWatch& watch = state.watches[k];
        const LONG status = StatusOf(k);
        if (status > watch.status) news.push_back(News{k, status, false});
        watch.status = status;
        if (IsHot(k)) {
            if (!watch.hot && appSettings.Temperature.Enable) news.push_back(News{k, status, true});
            watch.hot = true;
        } else if (HasCooled(k)) {
            watch.hot = false;
        }
    }
    ShowBalloon(news);
    ShowWorst();
}

void AlertAfterLimits(int k) {
    if (!Enabled()) return;
    if (k >= 0 && k < pages.PageCount()) state.watches[k].status = StatusOf(k);
    ShowWorst();
}

void ShowWorstInTray() {
    if (Enabled()) ShowWorst();
}

void OpenBalloonPage(HWND window) {
    const int k = state.balloonPage;
    if (k < 0 || k >= pages.PageCount()) return;
    pages.currentPage = k;
    SendMessageW(pages.tabControl, TCM_SETCURSEL, k, 0);
    ShowPage(pages, k);
    if (appSettings.Global.TaskTray) {
        PostMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    } else {
        if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
        SetForegroundWindow(window);
    }
}
