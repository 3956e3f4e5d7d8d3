#include "ui/pagetexts.h"

#include <cstdio>

#include "res/resource.h"
#include "ui/pages.h"

void ShowDriveTexts(DrivePages& pages, int k) {
    DriveInfo& drive = pages.Drive(k);
    DrivePage& page = pages.pages[k];
    PanelTexts& texts = drive.texts;
    if (page.hPage != nullptr) {
        SetDlgItemTextA(page.hPage, IDC_SUMMARY, texts.summary);
        SetDlgItemTextA(page.hPage, IDC_FIRMWARE, texts.firmware);
        SetDlgItemTextA(page.hPage, IDC_SERIAL, texts.serial);
    }
    // The tips point at the record's texts, which live as long as the pages.
    char* tips[kPanelTips] = {texts.summary,        texts.firmware,    texts.serial,   texts.counts,
                              texts.maxTemperature, texts.powerOnTime, texts.freeSpace};
    for (int i = 0; i < kPanelTips; ++i) page.panelTips[i].SetText(tips[i]);
    page.usageBar.SetPos(static_cast<DWORD>(drive.gaugeValue));
    std::snprintf(page.usageBar.text, sizeof page.usageBar.text, "%s", texts.usage);
    SetTabImage(pages, k);
}
